#pragma once
#include "link/readbuffer.h"
#include "transfer/transferfailure.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

class QSaveFile;
class QThread;
struct evp_md_ctx_st;

// Writes a download's files on a thread of its own. The sync that makes a file durable
// before it replaces its old copy takes a good part of a second for a large file, longer on
// a slow disk; on the window's thread that froze the window at the end of every file.
//
// One file at a time: start(), write() as the bytes arrive, then commit() or discard().
// What waits to be written is bounded: past kMaxQueuedBytes isFull() says so, and the
// caller stops reading until drained(). The result of a commit comes as committed(), with
// the SHA-256 of the bytes worked out on the writer thread from the very pieces it wrote.
// Nothing here waits for the disk on the caller's thread: whenIdle() says when the writer
// has done all it was given.
class FileWriter : public QObject
{
    Q_OBJECT
public:
    static constexpr qint64 kChunkBytes = 1024 * 1024;
    static constexpr qint64 kMaxQueuedBytes = 8 * kChunkBytes;
    // Bounds a wait for the disk where the window must have an answer (the link went away).
    static constexpr int kSettleLimitMs = 120000;

    explicit FileWriter(QObject *parent = nullptr);
    ~FileWriter() override;

    // Takes over an open file; `folder` is where a failure's cause is looked for. Returns the
    // serial its result will carry.
    quint64 start(std::unique_ptr<QSaveFile> file, const QString &folder);
    // With `source`, the buffer `data` lies in: a large piece is then written from it
    // rather than copied (the buffer is shared until written).
    void write(const char *data, qint64 size, const ReadBuffer &source = ReadBuffer());
    // Runs on the writer thread once the file is whole and on the disk, just before it
    // replaces the old copy, with the SHA-256 of its bytes. A non-empty answer keeps the old
    // copy, and is the failure's reason.
    using BeforeReplace = std::function<QString(const QByteArray &sha256)>;

    // Writes what is left, checks that `expectedSize` bytes reached the file, syncs it and
    // replaces the old copy. committed() follows.
    void commit(qint64 expectedSize, BeforeReplace beforeReplace = nullptr);
    // Drops the file; its old copy stays. The partial file is gone by the next whenIdle().
    void discard();
    // Calls `done` on this object's thread, from the event loop, once the writer has done
    // everything given before (results delivered first).
    void whenIdle(std::function<void()> done);
    // Waits for the writer to finish what it was given, then delivers its results at once.
    // For tools and tests with nothing else to do; the window uses whenIdle().
    void settle();
    // Waits up to `limitUs` microseconds, without sleeping, for the result of a commit and
    // delivers it at once if it came; false if it did not come in time (it then comes as
    // committed() as usual).
    bool awaitResultBriefly(int limitUs);
    // Gives back the memory kept for the next file (the download is over); the fill under
    // way is dropped, so only once the last file has been committed or discarded.
    void trim();

    bool isFull() const { return m_queuedBytes.load() >= kMaxQueuedBytes; }
    // Bytes handed over and not yet written.
    qint64 queuedBytes() const { return m_queuedBytes.load() + m_fill.size; }
    // Runs on the writer thread before each piece is written (a slow disk, in tests).
    void setWriteHook(std::function<void()> hook) { m_writeHook = std::move(hook); }

signals:
    void committed(const WriteResult &result);
    // There is room to write again after isFull().
    void drained();

private:
    struct Chunk
    {
        std::unique_ptr<char[]> bytes;
        qint64 size = 0;
        QByteArray shared;      // instead of bytes: the reader's buffer
        qint64 offset = 0;      // where in it
        qint64 weight() const { return shared.isNull() ? size : shared.size(); }
        const char *data() const { return shared.isNull() ? bytes.get() : shared.constData() + offset; }
    };
    struct Job
    {
        enum Kind { Open, Data, Commit, Discard, Notify, Quit } kind;
        Chunk chunk;
        std::unique_ptr<QSaveFile> file;
        QString folder;
        qint64 expected = 0;
        quint64 serial = 0; // the file's, or a whenIdle() ticket
    };

    void push(Job job, bool wake = true);
    void pushFill();
    void run();
    void writeChunk(const Chunk &chunk);
    WriteResult commitFile(qint64 expected, const BeforeReplace &beforeReplace);
    QString failure(int error, TransferFailure::Kind *kind) const;
    void deliver();

    // Shared with the writer thread, under m_mutex.
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<Job> m_jobs;
    std::deque<BeforeReplace> m_beforeReplace; // one for each Commit in m_jobs, in order
    bool m_working = false;
    std::vector<std::unique_ptr<char[]>> m_spare;
    std::vector<WriteResult> m_results;
    std::atomic<qint64> m_queuedBytes{0};
    std::atomic<bool> m_failed{false};
    std::atomic<bool> m_waitingForRoom{false};
    std::atomic<int> m_resultCount{0}; // m_results.size(), to be looked at without the lock
    std::atomic<quint64> m_notifyReached{0}; // whenIdle() tickets the writer has come to

    // The window's side.
    bool m_open = false;           // a file was started and is neither committed nor dropped
    quint64 m_serial = 0;
    quint64 m_notifyIssued = 0;
    std::deque<std::pair<quint64, std::function<void()>>> m_idleCallbacks;
    Chunk m_fill;
    std::function<void()> m_writeHook;
    QThread *m_home = nullptr;     // where the files live while they are written
    std::thread m_thread;

    // The writer thread's side.
    std::unique_ptr<QSaveFile> m_file;
    QString m_folder;
    QString m_error;
    TransferFailure::Kind m_errorKind = TransferFailure::Kind::WriteFailed;
    quint64 m_fileSerial = 0;
    evp_md_ctx_st *m_hash = nullptr;
    qint64 m_written = 0;
    qint64 m_writebackFrom = 0;
};
