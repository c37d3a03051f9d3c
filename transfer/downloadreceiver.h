#pragma once
#include "transfer/endlinescanner.h"
#include "transfer/fileoutcome.h"
#include "transfer/filewriter.h"
#include "link/messagereader.h"

#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

class QSaveFile;

// Receives a download: the announcement, each file's framing, storing under the download
// folder, and the acknowledgements. Widget-free; the message reader feeds it.
//
// Each file goes into a QSaveFile that is committed only once the file is whole, so an
// interrupted or failed file never replaces the local copy that was there before. Writing
// and committing happen on the writer's thread; the stream is held (holding()) while a file
// is being committed, so the file is acknowledged, and the next message read, only after.
//
// A header with a plain decimal size frames the file by that size, so content may hold any
// text, its own end line included; the end line must follow the content at once. Without a
// size, or where the end line is not where the size puts it, the end line is searched for in
// the bytes, and a file whose length then disagrees with its size is not stored.
// Only files announced for the download under way are stored; others are read to their end,
// thrown away and acknowledged, so the instrument goes on, and the user is told.
class DownloadReceiver : public QObject, public DownloadStream
{
    Q_OBJECT
public:
    using Failure = TransferFailure;

    static constexpr int kDefaultStallLimitMs = 60000;
    // Read buffer for the link while a download runs, so a slow disk cannot make the
    // program's memory grow.
    static constexpr qint64 kSocketReadBuffer = 1024 * 1024;
    // Files up to this size are waited for on the window's thread, briefly, as they are
    // committed; larger ones take longer to sync than the wait is worth.
    static constexpr qint64 kQuickCommitBytes = 1024 * 1024;
    static constexpr int kQuickCommitUs = 1500;
    // Longest announcement taken: room for some 100,000 paths of ordinary length.
    static constexpr int kMaxAnnouncementBytes = 32 * 1024 * 1024;
    // A file whose size runs past its end line: with nothing more arriving for this long
    // after an end line, that end line closes it.
    static constexpr int kDefaultSizeQuietMs = 1000;

    // Makes the file that receives a download (a QSaveFile on the path by default).
    using FileFactory = std::function<std::unique_ptr<QSaveFile>(const QString &path)>;

    explicit DownloadReceiver(QObject *parent = nullptr);
    ~DownloadReceiver() override;

    void setDownloadPath(const QString &path) { m_downloadPath = path; }
    QString downloadPath() const { return m_downloadPath; }

    // A request has just been sent: forget the previous download and start the stall clock.
    void begin(const QString &downloadPath);
    // The instrument ended one request of a download sent as several: the next request's
    // files join this download's, and `pathsToCome` paths are still to be asked for.
    void continueWith(int pathsToCome);
    // The download has ended normally (the refreshed listing arrived).
    void finish();
    // The download ends early (link lost, stall): a file being received is discarded.
    void abort();
    // finish() or abort() without waiting: once the writer has done everything it was
    // given, the download is closed and `done` called, from the event loop.
    void endWhenIdle(bool early, std::function<void()> done);
    bool isActive() const { return m_active; }
    // True while the stream is inside an announcement or a file, where it cannot be picked
    // up again once abandoned.
    bool isMidStream() const { return m_inList || m_inFile; }

    // The user confirmed "Stop": files completed from now on are answered with a cancel.
    void requestCancel() { m_cancelRequested = true; }
    bool cancelRequested() const { return m_cancelRequested; }

    // Nothing arriving for this long during a download emits stalled().
    void setStallLimit(int ms);
    int stallLimit() const { return m_stallTimer.interval(); }
    void setSizeQuietLimit(int ms) { m_quietTimer.setInterval(ms); }
    void setFileFactory(FileFactory factory) { m_fileFactory = std::move(factory); }
    // Asked on the writer's thread for each file about to replace its old copy, with the
    // outcome it will have; a non-empty answer (why the record would not take its line)
    // keeps the old copy. Whoever keeps a record sets it, so that no file is acknowledged
    // without its line.
    using RecordGate = std::function<QString(const FileOutcome &outcome)>;
    void setRecordGate(RecordGate gate) { m_recordGate = std::move(gate); }
    // The record would not take the line of the file fileEnded() is telling: the file goes
    // unacknowledged and the instrument is asked to stop, as nothing more could be recorded.
    void recordFailed(const QString &reason);
    // Why the record stopped this download; empty when it did not.
    QString recordFailure() const { return m_recordFailure; }
    FileWriter &writer() { return m_writer; }
    // Waits for the writer and takes in what it finished. For tools and tests; the
    // window never waits for the disk (see endWhenIdle()).
    void settle();

    QStringList announced() const { return m_announced; }
    QStringList pending() const { return m_downloadList; }   // announced, not yet delivered
    QStringList storedFiles() const { return m_stored; }     // remote paths stored whole
    QList<Failure> failures() const { return m_failures; }
    int acknowledgedCount() const { return m_acknowledged; }
    QString interruptedFile() const { return m_interrupted; }
    // Sent without being announced for this download, or after its end: thrown away.
    QStringList unasked() const { return m_unasked; }
    // Stored without a size, and then their end line came once more: the stored copy is
    // likely cut short where the content held that line.
    QStringList cutShort() const { return m_cutShort; }
    // Bytes of the stream held in memory (announcement so far, framing not yet decided).
    qint64 heldBytes() const
    {
        return m_listBuffer.capacity() + m_tail.capacity() + m_scanner.heldBytes() + m_writer.queuedBytes();
    }

    qint64 announcementData(const char *data, qint64 size, bool *complete) override;
    bool fileHeader(const QByteArray &line) override;
    qint64 fileData(const char *data, qint64 size, bool *finished) override;
    void downloadCompleted() override;
    void activity() override { touch(); }
    QString refusal() const override { return m_refusal; }
    bool holding() const override;
    void setSource(const ReadBuffer &buffer) override { m_source = buffer; }
    // Paths come as UTF-8 like the listings; bytes that are not UTF-8 are taken as Latin-1.
    static QString decodePath(const QByteArray &raw);

signals:
    // A file has ended, before its acknowledgement goes out; files announced and never
    // sent are told when the download ends.
    void fileEnded(const FileOutcome &outcome);
    // A client line to write to the instrument, exactly as it goes on the wire.
    void sendLine(const QByteArray &line);
    void totalChanged(int total);
    void currentFileChanged(const QString &name);
    // The size the current file's header gives, or -1 when it gives none (for progress only).
    void currentFileSizeChanged(qint64 size);
    // Files acknowledged as completed so far in this download.
    void completedChanged(int count);
    // Bytes of the current file so far and the download's rate in bytes per second;
    // at most a few times a second.
    void bytesReceived(qint64 fileBytes, qint64 bytesPerSecond);
    // "$DOWNLOAD: COMPLETED" arrived for the download under way.
    void endNoticeReceived();
    // Nothing arrived for the stall limit.
    void stalled();
    // Whether the instrument is held back until the disk has taken what came.
    void waitingForDisk(bool waiting);

private:
    void touch();
    void store(const char *data, qint64 size);
    void openFile(const QString &remote);
    void finishFile();
    void fileCommitted(const WriteResult &result);
    void reportNeverSent();
    void recordFile();
    FileWriter::BeforeReplace recordGate();
    void becomeIdle();
    void release();
    void noteDiskWait();
    void acknowledge(bool counted);
    void strayEndLine(const QByteArray &rawPath);
    void keepTail(const char *data, qint64 size);
    void sizeRanPastEnd();
    void dropFile();
    void fail(TransferFailure::Kind kind, const QString &reason);
    void reportBytes(bool force);
    void removeCreatedFolders(bool afterWriter = false);

    enum class FileState { Writing, Committing, Discarding };

    QString m_downloadPath;
    bool m_active = false;
    bool m_cancelRequested = false;
    bool m_endReported = false;    // files never sent have been told
    bool m_inList = false;
    bool m_inFile = false;
    bool m_ended = false;          // "$DOWNLOAD: COMPLETED" has arrived
    QString m_refusal;

    QByteArray m_listBuffer;
    QStringList m_announced;
    QStringList m_downloadList;
    QStringList m_earlierAnnounced; // from the earlier requests of the download
    QStringList m_earlierPending;
    int m_pathsToCome = 0;
    QStringList m_stored;
    QList<Failure> m_failures;
    int m_acknowledged = 0;
    QString m_interrupted;
    QStringList m_unasked;
    QStringList m_cutShort;
    QStringList m_storedWithoutSize;

    EndLineScanner m_scanner;
    EndLineScanner::Sink m_sink;
    FileWriter m_writer;
    ReadBuffer m_source; // the reader's buffer, while it feeds from one
    FileFactory m_fileFactory;
    RecordGate m_recordGate;
    QString m_recordFailure;
    bool m_fileRecorded = false;   // the gate has recorded the file being committed
    FileState m_fileState = FileState::Discarding;
    bool m_waitingForDisk = false; // as last told
    bool m_fileUnasked = false;
    QByteArray m_rawPath;          // the file's path as the instrument sent it
    qint64 m_fileSize = -1;        // from the header, -1 when it gave none
    qint64 m_sizeLeft = 0;         // content bytes still to come by the size
    QByteArray m_tail;             // last bytes of sized content, for an end line inside
    QTimer m_quietTimer;
    bool m_closedByQuiet = false;  // sizeRanPastEnd() closed the file between reads
    QString m_fileRemote;          // decoded path of the file being received
    QString m_fileFailure;         // why it will not be stored, empty while all is well
    TransferFailure::Kind m_fileFailureKind = TransferFailure::Kind::WriteFailed;
    QString m_fileLocal;           // where it goes
    bool m_fileReplaces = false;   // a local copy was there before
    quint64 m_commitSerial = 0;    // the writer's serial of the file being committed
    QByteArray m_fileSha256;
    QStringList m_createdFolders;  // made for this file, deepest first
    qint64 m_fileBytes = 0;

    qint64 m_downloadBytes = 0;
    QElapsedTimer m_rateClock;
    qint64 m_lastReportMs = -1;

    QTimer m_stallTimer;
};
