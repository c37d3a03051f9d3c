#pragma once
#include "link/messagereader.h"

#include <QObject>
#include <QStringList>

// Receives a download: the announcement, each file's framing, storing under the download
// folder, and the acknowledgements. Widget-free; the message reader feeds it.
class DownloadReceiver : public QObject, public DownloadStream
{
    Q_OBJECT
public:
    explicit DownloadReceiver(QObject *parent = nullptr);
    ~DownloadReceiver() override;

    void setDownloadPath(const QString &path) { m_downloadPath = path; }
    QString downloadPath() const { return m_downloadPath; }

    qint64 announcementData(const char *data, qint64 size, bool *complete) override;
    void fileHeader(const QByteArray &line) override;
    qint64 fileData(const char *data, qint64 size, bool *finished) override;
    void downloadCompleted() override;

signals:
    // A client line to write to the instrument, exactly as it goes on the wire.
    void sendLine(const QByteArray &line);

private:
    QString m_downloadPath;
};
