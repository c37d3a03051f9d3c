#include "transfer/downloadprogress.h"

#include <QCoreApplication>
#include <QLocale>
#include <QStringList>

namespace {
QString tr(const char *text)
{
    return QCoreApplication::translate("DownloadProgress", text);
}

QString dataSize(qint64 bytes)
{
    return QLocale().formattedDataSize(bytes, 1);
}
} // namespace

void DownloadProgress::reset(qint64 nowMs)
{
    *this = DownloadProgress();
    m_lastArrivalMs = nowMs;
    m_samples.push_back({nowMs, 0});
}

void DownloadProgress::arrived(qint64 nowMs)
{
    m_lastArrivalMs = nowMs;
    // Calls closer together than this add nothing to the rate but memory.
    if (m_samples.size() > 1 && nowMs - m_samples.back().ms < 50)
        m_samples.back() = {nowMs, receivedBytes()};
    else
        m_samples.push_back({nowMs, receivedBytes()});
    // One sample older than the window stays as its starting point.
    while (m_samples.size() > 2 && m_samples[1].ms <= nowMs - kRateWindowMs)
        m_samples.pop_front();
}

void DownloadProgress::setTotal(int files, qint64 nowMs)
{
    m_total = files;
    arrived(nowMs);
}

void DownloadProgress::startFile(qint64 size, qint64 nowMs)
{
    m_doneBytes += m_fileBytes;
    m_fileBytes = 0;
    m_fileSize = size;
    m_fileOpen = true;
    ++m_started;
    arrived(nowMs);
}

void DownloadProgress::setFileBytes(qint64 bytes, qint64 nowMs)
{
    if (bytes < m_fileBytes) { // a new file whose header went unreported
        m_doneBytes += m_fileBytes;
        m_fileSize = -1;
    }
    m_fileBytes = bytes;
    arrived(nowMs);
}

void DownloadProgress::setCompleted(int files, qint64 nowMs)
{
    m_completed = files;
    m_completedBytes = receivedBytes();
    m_fileOpen = false;
    arrived(nowMs);
}

void DownloadProgress::setWaitingForDisk(bool waiting, qint64 nowMs)
{
    if (m_waitingForDisk && !waiting)
        m_lastArrivalMs = nowMs;
    m_waitingForDisk = waiting;
}

int DownloadProgress::fileNumber() const
{
    const int byCount = m_total > 0 ? qMin(m_completed + 1, m_total) : 0;
    return qMax(m_started, byCount);
}

int DownloadProgress::percent() const
{
    if (m_total <= 0)
        return 0;
    if (m_completed >= m_total)
        return 99;
    // Whole files exactly as they have always been counted, so the bar never goes back.
    const int files = int(float(m_completed) / float(m_total) * 100.0f);
    if (m_fileSize <= 0 || !m_fileOpen)
        return files;
    const double share = qMin(1.0, double(m_fileBytes) / double(m_fileSize));
    const int withFile = int((m_completed + share) / m_total * 100.0);
    return qMin(99, qMax(files, withFile));
}

qint64 DownloadProgress::bytesPerSecond(qint64 nowMs) const
{
    if (m_samples.empty())
        return -1;
    const Sample *from = &m_samples.front();
    for (const Sample &sample : m_samples) {
        if (sample.ms > nowMs - kRateWindowMs)
            break;
        from = &sample;
    }
    const qint64 span = nowMs - from->ms;
    if (span < 500)
        return -1;
    return (receivedBytes() - from->bytes) * 1000 / span;
}

qint64 DownloadProgress::quietSeconds(qint64 nowMs) const
{
    return qMax<qint64>(0, nowMs - m_lastArrivalMs) / 1000;
}

qint64 DownloadProgress::secondsLeft(qint64 nowMs) const
{
    const qint64 rate = bytesPerSecond(nowMs);
    if (rate <= 0 || m_total <= 0 || m_completed >= m_total)
        return -1;
    const qint64 average = m_completed > 0 ? m_completedBytes / m_completed : -1;
    qint64 left = -1;
    if (m_fileSize >= 0)
        left = qMax<qint64>(0, m_fileSize - m_fileBytes);
    else if (average >= 0)
        left = qMax<qint64>(0, average - m_fileBytes);
    if (left < 0)
        return -1;
    const int after = m_stopping ? 0 : m_total - fileNumber();
    if (after > 0) {
        if (average < 0)
            return -1;
        left += after * average;
    }
    // Nothing left, yet not done: the instrument sends more than it said; no guess then.
    return left > 0 ? (left + rate - 1) / rate : -1;
}

qint64 DownloadProgress::fileSecondsLeft(qint64 nowMs) const
{
    const qint64 rate = bytesPerSecond(nowMs);
    if (rate <= 0 || m_fileSize < 0 || !m_fileOpen || m_fileBytes >= m_fileSize)
        return -1;
    return (qMax<qint64>(0, m_fileSize - m_fileBytes) + rate - 1) / rate;
}

QString DownloadProgress::durationText(qint64 seconds)
{
    if (seconds < 60)
        return tr("%1 s").arg(seconds);
    if (seconds < 3600)
        return seconds % 60 ? tr("%1 min %2 s").arg(seconds / 60).arg(seconds % 60)
                            : tr("%1 min").arg(seconds / 60);
    return tr("%1 h %2 min").arg(seconds / 3600).arg(seconds % 3600 / 60);
}

QString DownloadProgress::fileCountText() const
{
    const int number = fileNumber();
    if (m_total <= 0 || number <= 0)
        return QString();
    return tr("file %1 of %2").arg(qMin(number, m_total)).arg(m_total);
}

QString DownloadProgress::bytesText() const
{
    if (m_started == 0 && m_fileBytes == 0)
        return QString();
    if (m_fileSize >= 0)
        return tr("%1 of %2").arg(dataSize(m_fileBytes), dataSize(m_fileSize));
    return dataSize(m_fileBytes);
}

QString DownloadProgress::statusText(qint64 nowMs) const
{
    QStringList parts;
    const bool done = m_total > 0 && m_completed >= m_total;
    if (m_stopping && !done)
        parts << tr("Stopping after this file\u2026");
    if (nowMs - m_lastArrivalMs >= kQuietMs) {
        parts << (m_waitingForDisk ? tr("Writing to the disk\u2026")
                                   : tr("No data for %1").arg(durationText(quietSeconds(nowMs))));
    } else if (m_started > 0 && !done) {
        const qint64 rate = bytesPerSecond(nowMs);
        if (rate >= 0)
            parts << tr("%1/s").arg(dataSize(rate));
        // Later files of unknown size: at least when this one will be in.
        const qint64 left = secondsLeft(nowMs);
        const qint64 fileLeft = fileSecondsLeft(nowMs);
        if (left >= 0)
            parts << tr("about %1 left").arg(durationText(left));
        else if (fileLeft >= 0)
            parts << tr("about %1 left in this file").arg(durationText(fileLeft));
    }
    return parts.join(QStringLiteral(" \u00b7 "));
}
