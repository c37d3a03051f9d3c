#include "record/transferrecord.h"

#include "record/manifestupdate.h"
#include "record/recordindex.h"
#include "record/recordpaths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;
constexpr auto kSyncPeriod = std::chrono::milliseconds(1000);

QString systemError(int cause = errno)
{
    return QString::fromLocal8Bit(std::strerror(cause));
}

QString lockError(const QString &why)
{
    return QCoreApplication::translate("TransferRecord", "The transfer record cannot be locked: %1").arg(why);
}

bool probeWrite(const QString &folder, QString *why)
{
    QTemporaryFile probe(folder + QStringLiteral("/.tarvelo-probe-XXXXXX"));
    if (!probe.open() || probe.write("x", 1) != 1 || !probe.flush()) {
        *why = probe.errorString();
        return false;
    }
    return true;
}

} // namespace

TransferRecord::TransferRecord(const QString &downloadFolder) : m_folder(downloadFolder)
{
}

TransferRecord::~TransferRecord()
{
    {
        std::lock_guard<std::mutex> lk(m_mutex);
        m_quit = true;
    }
    m_wake.notify_all();
    if (m_syncer.joinable())
        m_syncer.join();
    if (m_fd >= 0) {
        if (m_dirty)
            ::fdatasync(m_fd);
        ::close(m_fd);
    }
    if (m_lockFd >= 0)
        ::close(m_lockFd);
    for (const int fd : m_oldFds) {
        ::fdatasync(fd);
        ::close(fd);
    }
}

QString TransferRecord::checkWritable()
{
    const QString shown = QDir::toNativeSeparators(m_folder);
    const QFileInfo info(m_folder);
    if (info.exists() && !info.isDir())
        return QCoreApplication::translate("TransferRecord", "The download folder %1 is a file, not a folder, so "
                                           "nothing was requested from the instrument.").arg(shown);
    if (!info.isDir())
        return QCoreApplication::translate("TransferRecord", "The download folder %1 does not exist and could not "
                                           "be made, so nothing was requested from the instrument.").arg(shown);
    QString why;
    const QString recordFolder = RecordPaths::folder(m_folder);
    if (!probeWrite(m_folder, &why) || !QDir().mkpath(recordFolder) || !probeWrite(recordFolder, &why))
        return QCoreApplication::translate("TransferRecord", "The download folder %1 cannot be written to (%2), "
                                           "so nothing was requested from the instrument.").arg(shown, why.isEmpty() ? QStringLiteral("read-only") : why);
    std::lock_guard<std::mutex> lk(m_mutex);
    RecordLock lock(m_folder, true);
    if (!lock.isLocked() || !openLocked(&why))
        return QCoreApplication::translate("TransferRecord", "The transfer record in %1 cannot be written to "
                                           "(%2), so nothing was requested from the instrument.").arg(shown, lock.isLocked() ? why : lock.error());
    return QString();
}

bool TransferRecord::openLocked(QString *error)
{
    if (m_fd >= 0)
        return true;
    int n = 1;
    while (QFileInfo::exists(RecordPaths::seriesFile(m_folder, n + 1)))
        ++n;
    QFile last(RecordPaths::seriesFile(m_folder, n));
    if (last.exists()) {
        const bool opened = last.open(QIODevice::ReadOnly);
        const auto state = opened ? RecordIndex::classify(last.read(64 * 1024)) : RecordIndex::FileState::Damaged;
        if (state != RecordIndex::FileState::Readable) {
            // Never written to again: a later version may want it back, and the user may
            // want to look at what is left of it.
            ++n;
            m_notice = QCoreApplication::translate("TransferRecord", "The transfer record %1 in %2 could not be read (%3). "
                                                   "It was kept as it is, and a new record, %4, was started beside it.")
                           .arg(RecordPaths::seriesName(n - 1), QDir::toNativeSeparators(RecordPaths::folder(m_folder)),
                                state == RecordIndex::FileState::Newer
                                    ? QCoreApplication::translate("TransferRecord", "it was written by a later version of this program")
                                    : opened ? QCoreApplication::translate("TransferRecord", "it is damaged") : last.errorString(),
                                RecordPaths::seriesName(n));
        }
    }
    const QString path = RecordPaths::seriesFile(m_folder, n);
    const bool existed = QFileInfo::exists(path);
    m_fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (m_fd < 0) {
        *error = QStringLiteral("%1: %2").arg(QDir::toNativeSeparators(path), systemError());
        return false;
    }
    m_fileName = path;
    if (!existed) {
        // The new name must survive a power loss as well as the lines in it.
        const int dir = ::open(QFile::encodeName(RecordPaths::folder(m_folder)).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (dir >= 0) {
            ::fsync(dir);
            ::close(dir);
        }
    }
    return true;
}

bool TransferRecord::appendLine(const QByteArray &line, QString *error)
{
    // The lock file stays open for the record's lifetime: taking the lock is then one call
    // per line, which a folder of many small files notices.
    if (m_lockFd < 0) {
        const QString folder = RecordPaths::folder(m_folder);
        if (QDir().mkpath(folder))
            m_lockFd = ::open(QFile::encodeName(folder + QStringLiteral("/lock")).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (m_lockFd < 0) {
            *error = lockError(systemError());
            return false;
        }
    }
    int r;
    do
        r = ::flock(m_lockFd, LOCK_EX);
    while (r < 0 && errno == EINTR);
    if (r < 0) {
        *error = lockError(systemError());
        return false;
    }
    const bool written = appendLocked(line, error);
    ::flock(m_lockFd, LOCK_UN);
    return written;
}

bool TransferRecord::appendLocked(const QByteArray &line, QString *error)
{
    qint64 size = -1;
    if (m_fd >= 0 && !stillInPlace(&size)) {
        // Moved, deleted or replaced since it was opened: lines written to it now would
        // be lost to whoever reads the folder.
        m_oldFds.push_back(m_fd); // the syncer may still be syncing it
        m_fd = -1;
    }
    if (m_fd < 0) {
        if (!openLocked(error))
            return false;
        struct stat st;
        size = ::fstat(m_fd, &st) == 0 ? qint64(st.st_size) : -1;
        m_endOfOwnLine = -1;
    }
    QByteArray out;
    // A line cut short by a crash of whoever wrote last is ended first, so that it spoils
    // only itself and not the line after it. Where our own line ended the file, it ends whole.
    char lastByte = '\n';
    if (size > 0 && size != m_endOfOwnLine && ::pread(m_fd, &lastByte, 1, size - 1) == 1 && lastByte != '\n')
        out = "\n" + line;
    const QByteArray &whole = out.isEmpty() ? line : out;
    qint64 done = 0;
    while (done < whole.size()) {
        const ssize_t n = ::write(m_fd, whole.constData() + done, size_t(whole.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            *error = QCoreApplication::translate("TransferRecord", "The transfer record %1 could not be written: %2")
                         .arg(QDir::toNativeSeparators(m_fileName), systemError(n < 0 ? errno : ENOSPC));
            return false;
        }
        done += n;
    }
    m_endOfOwnLine = size >= 0 ? size + whole.size() : -1;
    // The syncer waits out its second once it has work; only a clean record needs to wake it.
    const bool wasDirty = m_dirty;
    m_dirty = true;
    if (!m_syncer.joinable())
        m_syncer = std::thread([this] { syncLoop(); });
    else if (!wasDirty)
        m_wake.notify_all();
    return true;
}

bool TransferRecord::stillInPlace(qint64 *size) const
{
    struct stat open, named;
    if (::fstat(m_fd, &open) != 0 || ::stat(QFile::encodeName(m_fileName).constData(), &named) != 0
        || open.st_ino != named.st_ino || open.st_dev != named.st_dev)
        return false;
    *size = open.st_size;
    return true;
}

bool TransferRecord::beginDownload(Record::Start start, QString *error)
{
    if (start.download.isEmpty())
        start.download = Record::newDownloadId();
    if (!start.time.isValid())
        start.time = QDateTime::currentDateTimeUtc();
    std::lock_guard<std::mutex> lk(m_mutex);
    m_download = start.download;
    m_counts = {};
    return appendLine(Record::line(start), error);
}

bool TransferRecord::appendFile(Record::File file, QString *error)
{
    if (!file.time.isValid())
        file.time = QDateTime::currentDateTimeUtc();
    std::lock_guard<std::mutex> lk(m_mutex);
    if (file.download.isEmpty())
        file.download = m_download;
    if (!appendLine(Record::line(file), error))
        return false;
    ++m_counts[size_t(file.outcome)];
    return true;
}

bool TransferRecord::endDownload(bool stopped, bool linkLost, QString *error)
{
    {
        std::lock_guard<std::mutex> lk(m_mutex);
        Record::End end;
        end.download = m_download;
        end.time = QDateTime::currentDateTimeUtc();
        end.counts = m_counts;
        end.stopped = stopped;
        end.linkLost = linkLost;
        if (!appendLine(Record::line(end), error))
            return false;
        m_download.clear();
        m_counts = {};
    }
    return sync(error) && updateManifest(error);
}

bool TransferRecord::sync(QString *error)
{
    std::unique_lock<std::mutex> lk(m_mutex);
    return syncNow(error);
}

// Called with m_mutex held; lets it go for the sync itself, so that lines can be appended
// meanwhile.
bool TransferRecord::syncNow(QString *error)
{
    if (m_fd < 0)
        return true;
    const int fd = m_fd;
    m_dirty = false;
    m_mutex.unlock();
    const int r = ::fdatasync(fd);
    const int cause = errno;
    m_mutex.lock();
    m_lastSync = Clock::now();
    if (r < 0) {
        m_dirty = true;
        m_syncError = QCoreApplication::translate("TransferRecord", "The transfer record %1 could not be saved to the disk: %2")
                          .arg(QDir::toNativeSeparators(m_fileName), systemError(cause));
    } else {
        m_syncError.clear();
    }
    if (error && r < 0)
        *error = m_syncError;
    return r == 0;
}

void TransferRecord::syncLoop()
{
    std::unique_lock<std::mutex> lk(m_mutex);
    while (!m_quit) {
        m_wake.wait(lk, [this] { return m_dirty || m_quit; });
        if (m_quit)
            break;
        // At most one sync a second: many small files add many lines, which one sync covers.
        if (m_wake.wait_until(lk, m_lastSync + kSyncPeriod, [this] { return m_quit; }))
            break;
        if (m_dirty)
            syncNow(nullptr);
    }
}

bool TransferRecord::updateManifest(QString *error)
{
    RecordLock lock(m_folder, true);
    if (!lock.isLocked()) {
        *error = lockError(lock.error());
        return false;
    }
    return ManifestUpdate::run(m_folder, error);
}

QString TransferRecord::takeNotice()
{
    std::lock_guard<std::mutex> lk(m_mutex);
    QString notice;
    notice.swap(m_notice);
    return notice;
}
