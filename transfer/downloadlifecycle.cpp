#include "transfer/downloadlifecycle.h"

ReaderMode DownloadLifecycle::mode(const MessageReader &reader) const
{
    switch (reader.framing()) {
    case MessageReader::Framing::Announcement:
        return ReceivingList;
    case MessageReader::Framing::File:
        return ReceivingFile;
    case MessageReader::Framing::Lines:
        break;
    }
    return m_phase;
}

bool DownloadLifecycle::listingShown()
{
    if (m_phase != Refreshing)
        return false;
    m_phase = Browsing;
    return true;
}

qint64 DownloadLifecycle::announcementData(const char *data, qint64 size, bool *complete)
{
    const qint64 used = m_stream->announcementData(data, size, complete);
    if (*complete)
        m_phase = ListAcknowledged;
    return used;
}

qint64 DownloadLifecycle::fileData(const char *data, qint64 size, bool *finished)
{
    const qint64 used = m_stream->fileData(data, size, finished);
    // A file sent after the end notice leaves the download ending.
    if (*finished && m_phase != Refreshing)
        m_phase = FileStored;
    return used;
}

void DownloadLifecycle::downloadCompleted()
{
    m_phase = Refreshing;
    m_stream->downloadCompleted();
}
