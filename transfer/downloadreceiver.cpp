#include "transfer/downloadreceiver.h"

#include "link/remotepath.h"
#include "transfer/downloadframing.h"
#include "transfer/downloadnotice.h"
#include "common/utf8text.h"
#include "link/protocol.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace {
constexpr int kReportIntervalMs = 200;
} // namespace

DownloadReceiver::DownloadReceiver(QObject *parent) : QObject(parent)
{
    m_sink = [this](const char *data, qint64 size) { store(data, size); };
    m_fileFactory = [](const QString &path) { return std::make_unique<QSaveFile>(path); };
    m_quietTimer.setSingleShot(true);
    m_quietTimer.setInterval(kDefaultSizeQuietMs);
    connect(&m_quietTimer, &QTimer::timeout, this, &DownloadReceiver::sizeRanPastEnd);
    qRegisterMetaType<FileOutcome>();
    connect(&m_writer, &FileWriter::committed, this, &DownloadReceiver::fileCommitted);
    connect(&m_writer, &FileWriter::drained, this, &DownloadReceiver::release);
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
    // What the writer still does for an earlier download ends up nowhere: its results carry
    // the serial of a file this download never started.
    dropFile();
    m_downloadPath = downloadPath;
    m_active = true;
    m_endReported = false;
    m_cancelRequested = false;
    m_inList = false;
    m_listBuffer.clear();
    m_announced.clear();
    m_downloadList.clear();
    m_earlierAnnounced.clear();
    m_earlierPending.clear();
    m_pathsToCome = 0;
    m_stored.clear();
    m_failures.clear();
    m_acknowledged = 0;
    m_interrupted.clear();
    m_unasked.clear();
    m_cutShort.clear();
    m_storedWithoutSize.clear();
    m_ended = false;
    m_refusal.clear();
    m_recordFailure.clear();
    m_downloadBytes = 0;
    m_rateClock.invalidate();
    m_stallTimer.start();
}

void DownloadReceiver::finish()
{
    settle();
    dropFile();
    settle(); // the dropped file's folders go once the writer has come to it
    becomeIdle();
}

void DownloadReceiver::abort()
{
    settle();
    if (m_inFile && !m_fileUnasked)
        m_interrupted = m_fileRemote;
    reportNeverSent();
    finish();
}

void DownloadReceiver::touch()
{
    if (m_active)
        m_stallTimer.start();
}

QString DownloadReceiver::decodePath(const QByteArray &raw)
{
    return Utf8Text::decodeOrLatin1(raw);
}

qint64 DownloadReceiver::announcementData(const char *data, qint64 size, bool *complete)
{
    touch();
    const QByteArray endMarker(Protocol::kListEnd);
    const qint64 before = m_listBuffer.size();
    if (before == 0)
        m_inList = true;
    if (before + size > kMaxAnnouncementBytes + qint64(endMarker.size())
        && m_listBuffer.indexOf(endMarker, int(qMax<qint64>(0, before - endMarker.size() + 1))) < 0
        && QByteArray::fromRawData(data, int(size)).indexOf(endMarker) < 0) {
        m_listBuffer.clear();
        m_listBuffer.squeeze();
        m_inList = false;
        m_refusal = tr("The instrument's list of files to send went on past %1 MiB without its end.")
                        .arg(kMaxAnnouncementBytes / (1024 * 1024));
        *complete = false;
        return -1;
    }
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
    m_announced = m_earlierAnnounced;
    m_downloadList = m_earlierPending;
    for (const QByteArray &entry : DownloadFraming::announcementEntries(m_listBuffer.mid(start, end - start))) {
        m_announced.append(decodePath(entry));
        m_downloadList.append(m_announced.last());
    }
    m_listBuffer.clear();
    m_listBuffer.squeeze();
    m_inList = false;

    emit sendLine(QByteArray(Protocol::kListAck));
    emit totalChanged(int(m_announced.size()) + m_pathsToCome);
    return used;
}

bool DownloadReceiver::fileHeader(const QByteArray &line)
{
    touch();
    const DownloadFraming::Header header = DownloadFraming::parseHeader(line);
    if (header.endLine) {
        strayEndLine(header.path);
        return false;
    }
    dropFile();
    m_rawPath = header.path;
    m_scanner.start(m_rawPath);
    m_inFile = true;
    m_fileBytes = 0;
    m_lastReportMs = -1;
    m_fileSize = header.size;
    m_sizeLeft = qMax<qint64>(0, header.size);
    m_tail.clear();
    m_quietTimer.stop();
    if (m_fileSize == 0)
        m_scanner.expectEndLineNow();
    m_fileRemote = decodePath(m_rawPath);
    m_fileFailure.clear();
    m_fileState = FileState::Discarding;
    m_fileUnasked = false;
    m_closedByQuiet = false;
    if (!m_active)
        return true; // not asked for: framed and dropped, then answered with a cancel
    // Only what this download announced replaces local files; anything else could overwrite
    // a file the user never chose, without the replace question.
    const int index = m_downloadList.indexOf(m_fileRemote);
    if (m_ended || (index < 0 && !m_rawPath.isEmpty())) {
        m_fileUnasked = true;
        return true;
    }
    if (m_fileSize < 0)
        m_storedWithoutSize.append(m_fileRemote); // told apart from a resend of a whole file
    if (index >= 0)
        m_downloadList.removeAt(index);
    emit currentFileChanged(DownloadNotice::shownName(m_fileRemote));
    emit currentFileSizeChanged(m_fileSize);
    if (!DownloadFraming::isStorable(m_rawPath))
        fail(TransferFailure::Kind::Unnameable, tr("its name holds \"<\", \">\" or a line break, which cannot be named on the connection"));
    else
        openFile(m_fileRemote);
    if (!m_rateClock.isValid())
        m_rateClock.start();
    return true;
}

void DownloadReceiver::strayEndLine(const QByteArray &rawPath)
{
    if (!m_active || rawPath.isEmpty())
        return;
    // Stored without a size, the file's content held its own end line and was cut there:
    // the instrument still waits for an answer to the real end.
    const QString remote = decodePath(rawPath);
    if (m_stored.contains(remote) && m_storedWithoutSize.contains(remote) && !m_cutShort.contains(remote))
        m_cutShort.append(remote);
    emit sendLine(Protocol::kFileAckPrefix + rawPath + '\n');
}

void DownloadReceiver::store(const char *data, qint64 size)
{
    m_fileBytes += size;
    m_downloadBytes += size;
    if (m_fileState != FileState::Writing)
        return;
    m_writer.write(data, size, m_source);
    if (m_writer.isFull()) {
        m_stallTimer.stop(); // the instrument waits for us now, not we for it
        noteDiskWait();
    }
}

void DownloadReceiver::noteDiskWait()
{
    if (holding() != m_waitingForDisk) {
        m_waitingForDisk = !m_waitingForDisk;
        emit waitingForDisk(m_waitingForDisk);
    }
}

bool DownloadReceiver::holding() const
{
    return m_fileState == FileState::Committing || m_writer.isFull();
}

void DownloadReceiver::release()
{
    if (holding())
        return;
    touch();
    noteDiskWait();
    released();
}

void DownloadReceiver::settle()
{
    m_writer.settle();
}

qint64 DownloadReceiver::fileData(const char *data, qint64 size, bool *finished)
{
    touch();
    *finished = false;
    if (!m_inFile && m_closedByQuiet) {
        m_closedByQuiet = false;
        *finished = true;
        return 0;
    }
    if (!m_inFile) // no header came first: nothing can frame these bytes
        return size;
    qint64 used = 0;
    if (m_sizeLeft > 0) {
        used = qMin(size, m_sizeLeft);
        store(data, used);
        keepTail(data, used);
        m_sizeLeft -= used;
        if (m_sizeLeft == 0) {
            m_quietTimer.stop();
            m_tail.clear();
            m_scanner.expectEndLineNow();
        } else if (DownloadFraming::endsWithEndLine(m_tail, m_rawPath)) {
            m_quietTimer.start(); // the size may run past the real end: see sizeRanPastEnd()
        } else {
            m_quietTimer.stop();
        }
    }
    if (used < size)
        used += m_scanner.scan(data + used, size - used, m_sink, finished);
    if (*finished)
        finishFile();
    else
        reportBytes(false);
    return used;
}

void DownloadReceiver::keepTail(const char *data, qint64 size)
{
    // Enough for the end line with a few short fields.
    const int keep = m_rawPath.size() + 64 + EndLineScanner::kMaxFieldBytes;
    if (size >= keep) {
        m_tail = QByteArray(data + size - keep, keep);
        return;
    }
    m_tail.append(data, int(size));
    if (m_tail.size() > keep)
        m_tail.remove(0, m_tail.size() - keep);
}

void DownloadReceiver::sizeRanPastEnd()
{
    // The header's size runs past an end line, and the instrument, waiting for its answer,
    // sends nothing more: that end line closes the file (which is then not stored).
    if (!m_inFile || m_sizeLeft <= 0 || !DownloadFraming::endsWithEndLine(m_tail, m_rawPath))
        return;
    m_sizeLeft = 0;
    m_tail.clear();
    finishFile();
    m_closedByQuiet = true; // the reader learns it from the next bytes
}

void DownloadReceiver::finishFile()
{
    m_quietTimer.stop();
    m_inFile = false;
    reportBytes(true);
    if (m_rawPath.isEmpty()) { // the header named no file; its end line does
        m_rawPath = m_scanner.endPath();
        m_fileRemote = decodePath(m_rawPath);
        const int index = m_downloadList.indexOf(m_fileRemote);
        if (index >= 0)
            m_downloadList.removeAt(index);
    }

    if (m_active && m_fileUnasked) {
        // The rest of a file whose content held its own end line comes as if sent again.
        QStringList &list = m_storedWithoutSize.contains(m_fileRemote) && m_stored.contains(m_fileRemote)
            ? m_cutShort : m_unasked;
        if (!list.contains(m_fileRemote))
            list.append(m_fileRemote);
        FileOutcome outcome;
        outcome.kind = FileOutcome::Kind::Discarded;
        outcome.remotePath = m_fileRemote;
        outcome.announced = m_fileSize;
        outcome.time = QDateTime::currentDateTimeUtc();
        emit fileEnded(outcome);
        acknowledge(false);
        return;
    }
    if (m_active) {
        if (m_fileSize >= 0 && m_fileBytes != m_fileSize)
            fail(TransferFailure::Kind::SizeMismatch, tr("%1 bytes arrived where the instrument announced %2").arg(m_fileBytes).arg(m_fileSize));
        if (m_fileState == FileState::Writing) {
            // Acknowledged once durable: see fileCommitted().
            m_fileState = FileState::Committing;
            m_stallTimer.stop();
            m_writer.commit(m_fileBytes, recordGate());
            // A small file is usually durable within a fraction of a millisecond; taking
            // its result here spares the round trip through the event loop for each one.
            if (m_fileBytes <= kQuickCommitBytes && m_writer.awaitResultBriefly(kQuickCommitUs))
                return;
            noteDiskWait();
            return;
        }
        recordFile();
    }
    acknowledge(true);
}

void DownloadReceiver::fileCommitted(const WriteResult &result)
{
    if (m_fileState != FileState::Committing || result.serial != m_commitSerial)
        return;
    m_fileState = FileState::Discarding;
    if (!result.stored && result.kind == TransferFailure::Kind::RecordNotWritten) {
        recordFailed(result.reason);
        fail(result.kind, tr("the record could not be written: %1").arg(result.reason));
    }
    if (m_fileFailure.isEmpty() && !result.stored)
        fail(result.kind, result.reason);
    m_fileSha256 = result.sha256;
    recordFile();
    acknowledge(true);
    release();
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
    if (m_active && !m_ended) {
        m_ended = true;
        emit endNoticeReceived();
    }
}
