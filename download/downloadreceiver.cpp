#include "download/downloadreceiver.h"

// Stub: filled in by the download work.
DownloadReceiver::DownloadReceiver(QObject *parent) : QObject(parent) {}
DownloadReceiver::~DownloadReceiver() = default;
qint64 DownloadReceiver::announcementData(const char *, qint64 size, bool *complete)
{
    *complete = false;
    return size;
}
void DownloadReceiver::fileHeader(const QByteArray &) {}
qint64 DownloadReceiver::fileData(const char *, qint64 size, bool *finished)
{
    *finished = false;
    return size;
}
void DownloadReceiver::downloadCompleted() {}
