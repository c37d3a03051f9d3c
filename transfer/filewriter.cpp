#include "transfer/filewriter.h"

#include "transfer/savedcommit.h"

#include <QLoggingCategory>
#include <QSaveFile>
#include <QStorageInfo>
#include <QThread>

#include <cerrno>
#include <chrono>
#include <cstring>

#include <openssl/evp.h>
#include <unistd.h>
#ifdef Q_OS_LINUX
#include <fcntl.h>
#endif

Q_LOGGING_CATEGORY(lcWriter, "tarvelo.writer")

namespace {
// Written bytes are handed to the disk in steps of this size while the file still arrives,
// so that the sync before the file replaces its old copy has little left to do.
constexpr qint64 kWritebackStep = 8 * 1024 * 1024;
} // namespace

FileWriter::FileWriter(QObject *parent) : QObject(parent)
{
    m_thread = std::thread([this] {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_home = QThread::currentThread();
        }
        m_idle.notify_all();
        run();
    });
    std::unique_lock<std::mutex> lock(m_mutex);
    m_idle.wait_for(lock, std::chrono::seconds(10), [this] { return m_home != nullptr; });
}

FileWriter::~FileWriter()
{
    discard();
    push({Job::Quit, {}, nullptr, {}, 0});
    m_thread.join();
    EVP_MD_CTX_free(m_hash);
}

void FileWriter::push(Job job, bool wake)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (job.kind == Job::Data)
            m_queuedBytes += job.chunk.weight();
        m_jobs.push_back(std::move(job));
    }
    if (wake)
        m_wake.notify_one();
}

quint64 FileWriter::start(std::unique_ptr<QSaveFile> file, const QString &folder)
{
    if (m_open)
        discard();
    m_open = true;
    m_failed = false;
    // The writer thread owns the file from here on, and deletes it there.
    if (m_home)
        file->moveToThread(m_home);
    // Nothing to do until bytes come: one wake-up less for each small file.
    Job open{Job::Open, {}, std::move(file), folder, 0};
    open.serial = ++m_serial;
    push(std::move(open), false);
    return m_serial;
}

void FileWriter::write(const char *data, qint64 size, const ReadBuffer &source)
{
    if (m_failed.load())
        return; // the file will not be stored: its bytes need not be copied
    if (size >= kChunkBytes / 4 && source.holds(data, size)) {
        // A large run is written from the reader's buffer: copying a gigabyte costs the
        // window's thread more than all its other work on it.
        pushFill();
        Chunk piece;
        piece.shared = source.bytes();
        piece.offset = source.offsetOf(data);
        piece.size = size;
        push({Job::Data, std::move(piece), nullptr, {}, 0});
        size = 0;
    }
    while (size > 0) {
        if (!m_fill.bytes) {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (!m_spare.empty()) {
                m_fill.bytes = std::move(m_spare.back());
                m_spare.pop_back();
            }
        }
        // Pieces are reused, so a long download does not touch fresh memory for every read.
        if (!m_fill.bytes)
            m_fill.bytes.reset(new char[kChunkBytes]);
        const qint64 step = qMin(size, kChunkBytes - m_fill.size);
        std::memcpy(m_fill.bytes.get() + m_fill.size, data, size_t(step));
        m_fill.size += step;
        data += step;
        size -= step;
        if (m_fill.size == kChunkBytes)
            pushFill();
    }
    if (isFull())
        m_waitingForRoom = true;
}

void FileWriter::pushFill()
{
    if (m_fill.size == 0)
        return;
    push({Job::Data, std::move(m_fill), nullptr, {}, 0});
    m_fill = Chunk();
}

void FileWriter::commit(qint64 expectedSize, BeforeReplace beforeReplace)
{
    pushFill();
    m_open = false;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_beforeReplace.push_back(std::move(beforeReplace));
    }
    push({Job::Commit, {}, nullptr, {}, expectedSize});
}

void FileWriter::discard()
{
    if (!m_open)
        return;
    m_open = false;
    std::unique_lock<std::mutex> lock(m_mutex);
    // What still waits need not reach the disk at all.
    for (auto it = m_jobs.begin(); it != m_jobs.end();) {
        if (it->kind == Job::Data) {
            m_queuedBytes -= it->chunk.weight();
            if (it->chunk.bytes)
                m_spare.push_back(std::move(it->chunk.bytes));
            it = m_jobs.erase(it);
        } else {
            ++it;
        }
    }
    m_fill.size = 0;
    m_jobs.push_back({Job::Discard, {}, nullptr, {}, 0});
    m_wake.notify_one();
}

void FileWriter::whenIdle(std::function<void()> done)
{
    pushFill();
    m_idleCallbacks.emplace_back(++m_notifyIssued, std::move(done));
    Job job{Job::Notify, {}, nullptr, {}, 0};
    job.serial = m_notifyIssued;
    push(std::move(job));
}

void FileWriter::settle()
{
    pushFill();
    m_wake.notify_one(); // a file just started has not woken the writer yet
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (!m_idle.wait_for(lock, std::chrono::milliseconds(kSettleLimitMs),
                             [this] { return m_jobs.empty() && !m_working; }))
            qCWarning(lcWriter) << "the disk has not answered for" << kSettleLimitMs / 1000 << "s";
    }
    deliver();
}

// Busy: a thread put to sleep and woken again takes about as long as a small file's commit
// on these machines, and the instrument sends nothing before the acknowledgement anyway.
bool FileWriter::awaitResultBriefly(int limitUs)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(limitUs);
    while (m_resultCount.load(std::memory_order_acquire) == 0) {
        if (std::chrono::steady_clock::now() >= until)
            return false;
#if defined(__x86_64__) || defined(__i386__)
        __builtin_ia32_pause();
#endif
    }
    deliver();
    return true;
}

// Pieces still on their way to the disk come back afterwards and are kept until the next
// trim: at most what may wait, so nothing here needs to wait for the writer.
void FileWriter::trim()
{
    m_fill = Chunk();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_spare.clear();
    m_spare.shrink_to_fit();
}

void FileWriter::deliver()
{
    std::vector<WriteResult> results;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        results.swap(m_results);
        m_resultCount.store(0, std::memory_order_relaxed);
    }
    for (const WriteResult &result : results)
        emit committed(result);
    // Results first, so whoever waits for the writer sees every file that ended before.
    const quint64 reached = m_notifyReached.load(std::memory_order_acquire);
    while (!m_idleCallbacks.empty() && m_idleCallbacks.front().first <= reached) {
        std::function<void()> done = std::move(m_idleCallbacks.front().second);
        m_idleCallbacks.pop_front();
        if (done)
            done();
    }
    if (m_waitingForRoom.load() && m_queuedBytes.load() <= kMaxQueuedBytes / 2) {
        m_waitingForRoom = false;
        emit drained();
    }
}

void FileWriter::run()
{
    for (;;) {
        Job job;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_working = false;
            if (m_jobs.empty())
                m_idle.notify_all();
            m_wake.wait(lock, [this] { return !m_jobs.empty(); });
            job = std::move(m_jobs.front());
            m_jobs.pop_front();
            m_working = true;
        }
        bool tell = false;
        switch (job.kind) {
        case Job::Quit:
            return;
        case Job::Open:
            m_file = std::move(job.file);
            m_folder = job.folder;
            m_fileSerial = job.serial;
            m_error.clear();
            m_written = 0;
            m_writebackFrom = 0;
            if (!m_hash)
                m_hash = EVP_MD_CTX_new();
            if (m_hash && !EVP_DigestInit_ex(m_hash, EVP_sha256(), nullptr)) {
                EVP_MD_CTX_free(m_hash);
                m_hash = nullptr;
            }
            break;
        case Job::Data: {
            writeChunk(job.chunk);
            const qint64 weight = job.chunk.weight();
            job.chunk.shared = QByteArray(); // the reader may fill it again
            std::lock_guard<std::mutex> lock(m_mutex);
            m_queuedBytes -= weight;
            if (job.chunk.bytes)
                m_spare.push_back(std::move(job.chunk.bytes));
            tell = m_waitingForRoom.load() && m_queuedBytes.load() <= kMaxQueuedBytes / 2;
            break;
        }
        case Job::Commit: {
            BeforeReplace beforeReplace;
            {
                std::lock_guard<std::mutex> lock(m_mutex);
                beforeReplace = std::move(m_beforeReplace.front());
                m_beforeReplace.pop_front();
            }
            WriteResult result = commitFile(job.expected, beforeReplace);
            std::lock_guard<std::mutex> lock(m_mutex);
            m_results.push_back(std::move(result));
            m_resultCount.fetch_add(1, std::memory_order_release);
            tell = true;
            break;
        }
        case Job::Discard:
            if (m_file)
                m_file->cancelWriting();
            m_file.reset();
            break;
        case Job::Notify:
            m_notifyReached.store(job.serial, std::memory_order_release);
            tell = true;
            break;
        }
        if (tell)
            QMetaObject::invokeMethod(this, [this] { deliver(); }, Qt::QueuedConnection);
    }
}

void FileWriter::writeChunk(const Chunk &chunk)
{
    if (!m_file || !m_error.isEmpty())
        return;
    if (m_writeHook)
        m_writeHook();
    errno = 0;
    if (m_file->write(chunk.data(), chunk.size) != chunk.size) {
        m_error = failure(errno, &m_errorKind);
        m_failed = true;
        return;
    }
    // Hashed from the bytes just handed to the file, never read back: the record's hash
    // is of what arrived, and costs no second pass over the disk.
    if (m_hash)
        EVP_DigestUpdate(m_hash, chunk.data(), size_t(chunk.size));
    m_written += chunk.size;
#ifdef Q_OS_LINUX
    if (m_written - m_writebackFrom >= kWritebackStep) {
        // A failed flush must not go unnoticed: the save file would still commit what it has.
        errno = 0;
        if (!m_file->flush()) {
            m_error = failure(errno, &m_errorKind);
            m_failed = true;
            return;
        }
        ::sync_file_range(m_file->handle(), m_writebackFrom, m_written - m_writebackFrom,
                          SYNC_FILE_RANGE_WRITE);
        m_writebackFrom = m_written;
    }
#endif
}

WriteResult FileWriter::commitFile(qint64 expected, const BeforeReplace &beforeReplace)
{
    WriteResult result;
    result.serial = m_fileSerial;
    if (!m_file) {
        result.reason = tr("the file could not be written");
        return result;
    }
    result.reason = m_error;
    result.kind = m_errorKind;
    errno = 0;
    if (result.reason.isEmpty() && (!m_file->flush() || m_file->size() != expected))
        result.reason = failure(errno, &result.kind);
    QByteArray sha256;
    if (result.reason.isEmpty()) {
        unsigned char digest[EVP_MAX_MD_SIZE];
        unsigned int length = 0;
        if (m_hash && EVP_DigestFinal_ex(m_hash, digest, &length))
            sha256 = QByteArray(reinterpret_cast<const char *>(digest), int(length)).toHex();
    }
    if (result.reason.isEmpty()) {
        // The bytes are made durable before anyone is told they are whole: a disk (or a
        // share) that fails the sync fails here, where commit() would not have said so.
        errno = 0;
        if (::fdatasync(m_file->handle()) != 0) {
            result.reason = failure(errno, &result.kind);
        } else if (beforeReplace) {
            result.reason = beforeReplace(sha256);
            if (!result.reason.isEmpty())
                result.kind = TransferFailure::Kind::RecordNotWritten;
        }
    }
    if (result.reason.isEmpty()) {
        int cause = 0;
        const auto put = SavedCommit::finish(*m_file, &cause);
        errno = cause;
        if (put == SavedCommit::Result::NotHandled ? !m_file->commit() : put == SavedCommit::Result::Failed)
            result.reason = failure(errno, &result.kind);
    }
    result.written = m_written;
    if (!result.reason.isEmpty()) {
        m_file->cancelWriting();
    } else {
        result.stored = true;
        result.sha256 = sha256;
    }
    m_file.reset(); // an uncommitted file takes its partial copy with it
    return result;
}

QString FileWriter::failure(int error, TransferFailure::Kind *kind) const
{
    *kind = TransferFailure::Kind::DiskFull;
    if (error == ENOSPC || error == EDQUOT)
        return tr("no space left on the disk");
    *kind = TransferFailure::Kind::WriteFailed;
    const QString said = m_file ? m_file->errorString() : QString();
    if (!said.isEmpty() && said != QLatin1String("Unknown error"))
        return said;
    // Qt loses the system's reason when a buffered write fails; a full disk is the usual one.
    const QStorageInfo disk(m_folder);
    if (disk.isValid() && disk.bytesAvailable() < 1024 * 1024) {
        *kind = TransferFailure::Kind::DiskFull;
        return tr("no space left on the disk");
    }
    return tr("the disk did not take the data");
}
