#include "download/downloadreceiver.h"

#include "browser/remotepath.h"
#include "download/downloadnotice.h"
#include "link/protocol.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextCodec>

#include <cstring>

#ifdef Q_OS_LINUX
#include <fcntl.h>
#endif

namespace {

constexpr int kReportIntervalMs = 200;
// Written bytes are handed to the disk in steps of this size while the file still arrives,
// so that the sync before the file replaces its old copy has little left to do.
constexpr qint64 kWritebackStep = 8 * 1024 * 1024;

// The announced list: bracketed entries on the announcement's first line; anything outside
// brackets (the separating commas among it) is skipped, inside every byte but ">" counts.
QList<QByteArray> announcementEntries(const QByteArray &text)
{
    QList<QByteArray> entries;
    QByteArray token;
    bool inEntry = false;
    for (const char c : text) {
        if (c == '\r' || c == '\n')
            break;
        if (!inEntry) {
            if (c == '<') {
                inEntry = true;
                token.clear();
            }
        } else if (c == '>') {
            entries.append(token);
            inEntry = false;
        } else {
            token += c;
        }
    }
    return entries;
}

} // namespace

DownloadReceiver::DownloadReceiver(QObject *parent) : QObject(parent)
{
    m_sink = [this](const char *data, qint64 size) { store(data, size); };
    m_stallTimer.setSingleShot(true);
    m_stallTimer.setInterval(kDefaultStallLimitMs);
    connect(&m_stallTimer, &QTimer::timeout, this, [this] {
        if (m_active)
            emit stalled();
    });
}

DownloadReceiver::~DownloadReceiver()
{
    dropFile();
}

void DownloadReceiver::setStallLimit(int ms)
{
    m_stallTimer.setInterval(ms);
}

void DownloadReceiver::begin(const QString &downloadPath)
{
    dropFile();
    m_downloadPath = downloadPath;
    m_active = true;
    m_cancelRequested = false;
    m_inList = false;
    m_listBuffer.clear();
    m_announced.clear();
    m_downloadList.clear();
    m_stored.clear();
    m_failures.clear();
    m_acknowledged = 0;
    m_interrupted.clear();
    m_downloadBytes = 0;
    m_rateClock.invalidate();
    m_stallTimer.start();
}

void DownloadReceiver::finish()
{
    dropFile();
    m_active = false;
    m_inList = false;
    m_listBuffer.clear();
    m_stallTimer.stop();
}

void DownloadReceiver::abort()
{
    if (m_inFile)
        m_interrupted = m_fileRemote;
    finish();
}

void DownloadReceiver::touch()
{
    if (m_active)
        m_stallTimer.start();
}

QList<QByteArray> DownloadReceiver::headerFields(const QByteArray &line)
{
    QList<QByteArray> fields;
    const int start = int(std::strlen(Protocol::kDownloadPrefix));
    int open = -1;
    for (int i = start; i < line.size(); ++i) {
        const char c = line.at(i);
        if (c == '\n')
            break;
        if (c == '<')
            open = i + 1;
        else if (c == '>' && open >= 0) {
            fields.append(line.mid(open, i - open));
            open = -1;
        }
    }
    return fields;
}

QString DownloadReceiver::decodePath(const QByteArray &raw)
{
    QTextCodec::ConverterState state;
    const QString text = QTextCodec::codecForMib(106)->toUnicode(raw.constData(), raw.size(), &state);
    return state.invalidChars > 0 ? QString::fromLatin1(raw) : text;
}

qint64 DownloadReceiver::announcementData(const char *data, qint64 size, bool *complete)
{
    touch();
    const QByteArray endMarker(Protocol::kListEnd);
    const qint64 before = m_listBuffer.size();
    if (before == 0)
        m_inList = true;
    m_listBuffer.append(data, int(size));
    const int from = int(qMax<qint64>(0, before - endMarker.size() + 1));
    const int end = m_listBuffer.indexOf(endMarker, from);
    if (end < 0) {
        *complete = false;
        return size;
    }
    *complete = true;
    const qint64 used = end + endMarker.size() - before;

    const QByteArray startMarker(Protocol::kListStart);
    int start = m_listBuffer.indexOf(startMarker);
    start = (start < 0 || start > end) ? 0 : start + startMarker.size();
    m_announced.clear();
    for (const QByteArray &entry : announcementEntries(m_listBuffer.mid(start, end - start)))
        m_announced.append(decodePath(entry));
    m_downloadList = m_announced;
    m_listBuffer.clear();
    m_inList = false;

    emit sendLine(QByteArray(Protocol::kListAck));
    emit totalChanged(m_announced.size());
    return used;
}

void DownloadReceiver::fileHeader(const QByteArray &line)
{
    touch();
    dropFile();
    const QByteArray rawPath = headerFields(line).value(0);
    m_scanner.start(rawPath);
    m_inFile = true;
    m_fileBytes = 0;
    m_writebackFrom = 0;
    m_lastReportMs = -1;
    m_fileRemote = decodePath(rawPath);
    m_fileFailure.clear();
    m_fileState = FileState::Discarding;
    if (!m_active)
        return; // not asked for: framed and dropped, then answered with a cancel
    emit currentFileChanged(DownloadNotice::shownName(m_fileRemote));
    bool sized = false;
    const qint64 size = headerFields(line).value(1).toLongLong(&sized);
    emit currentFileSizeChanged(sized && size >= 0 ? size : -1);
    openFile(m_fileRemote);
    if (!m_rateClock.isValid())
        m_rateClock.start();
}

void DownloadReceiver::openFile(const QString &remote)
{
    bool safe = false;
    const QString local = QDir::cleanPath(RemotePath::toLocalPath(remote, m_downloadPath, &safe));
    if (remote.isEmpty()) {
        fail(tr("the instrument named no path"));
        return;
    }
    if (!safe || remote == RemotePath::kRoot || m_downloadPath.isEmpty()) {
        fail(tr("refused: the path lies outside the instrument's folder"));
        return;
    }

    const QString folder = QFileInfo(local).path();
    m_createdFolders.clear();
    const QString root = QDir::cleanPath(m_downloadPath);
    for (QString dir = folder; dir.size() > root.size() && !QFileInfo::exists(dir);
         dir = QFileInfo(dir).path())
        m_createdFolders.append(dir);
    if (!QDir().mkpath(folder)) {
        fail(tr("the folder %1 could not be created").arg(QDir::toNativeSeparators(folder)));
        return;
    }
    if (QFileInfo(local).isDir()) {
        fail(tr("a folder of that name is in the way"));
        return;
    }
    auto file = std::make_unique<QSaveFile>(local);
    if (!file->open(QIODevice::WriteOnly)) {
        fail(file->errorString());
        return;
    }
    m_file = std::move(file);
    m_fileState = FileState::Writing;
}

void DownloadReceiver::fail(const QString &reason)
{
    if (m_fileFailure.isEmpty())
        m_fileFailure = reason;
    if (m_file) {
        m_file->cancelWriting();
        m_file.reset();
    }
    m_fileState = FileState::Discarding;
}

void DownloadReceiver::store(const char *data, qint64 size)
{
    m_fileBytes += size;
    m_downloadBytes += size;
    if (m_fileState != FileState::Writing)
        return;
    if (m_file->write(data, size) != size) {
        fail(m_file->errorString());
        return;
    }
#ifdef Q_OS_LINUX
    if (m_fileBytes - m_writebackFrom >= kWritebackStep && m_file->flush()) {
        ::sync_file_range(m_file->handle(), m_writebackFrom, m_fileBytes - m_writebackFrom,
                          SYNC_FILE_RANGE_WRITE);
        m_writebackFrom = m_fileBytes;
    }
#endif
}

qint64 DownloadReceiver::fileData(const char *data, qint64 size, bool *finished)
{
    touch();
    if (!m_inFile) { // no header came first: nothing can frame these bytes
        *finished = false;
        return size;
    }
    const qint64 used = m_scanner.scan(data, size, m_sink, finished);
    if (*finished)
        finishFile();
    else
        reportBytes(false);
    return used;
}

void DownloadReceiver::finishFile()
{
    const QByteArray rawPath = m_scanner.endPath();
    const QString remote = decodePath(rawPath);
    if (m_fileRemote.isEmpty())
        m_fileRemote = remote;
    m_inFile = false;
    reportBytes(true);

    if (m_active) {
        if (m_fileState == FileState::Writing && !m_file->commit())
            fail(m_file->errorString());
        m_file.reset();
        if (m_fileFailure.isEmpty()) {
            m_stored.append(m_fileRemote);
            m_createdFolders.clear();
        } else {
            m_failures.append({m_fileRemote, m_fileFailure});
            removeCreatedFolders();
        }
        const int index = m_downloadList.indexOf(remote);
        if (index >= 0)
            m_downloadList.removeAt(index);
    }

    if (!m_active || m_cancelRequested) {
        emit sendLine(QByteArray(Protocol::kCancel));
        return;
    }
    emit sendLine(Protocol::kFileAckPrefix + rawPath + '\n');
    ++m_acknowledged;
    emit completedChanged(m_acknowledged);
}

void DownloadReceiver::dropFile()
{
    if (m_file) {
        m_file->cancelWriting();
        m_file.reset();
    }
    if (m_inFile)
        removeCreatedFolders();
    m_createdFolders.clear();
    m_inFile = false;
    m_fileState = FileState::Discarding;
}

void DownloadReceiver::removeCreatedFolders()
{
    // Deepest first; a folder that holds anything stays.
    for (const QString &dir : qAsConst(m_createdFolders))
        QDir().rmdir(dir);
    m_createdFolders.clear();
}

void DownloadReceiver::reportBytes(bool force)
{
    if (!m_active || !m_rateClock.isValid())
        return;
    const qint64 now = m_rateClock.elapsed();
    if (!force && m_lastReportMs >= 0 && now - m_lastReportMs < kReportIntervalMs)
        return;
    m_lastReportMs = now;
    const qint64 rate = now > 0 ? m_downloadBytes * 1000 / now : 0;
    emit bytesReceived(m_fileBytes, rate);
}

void DownloadReceiver::downloadCompleted()
{
    touch();
    dropFile();
    if (m_active)
        emit endNoticeReceived();
}
