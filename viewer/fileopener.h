#pragma once
#include <QObject>
#include <QStringList>

class ImageLoadDialog;
class NotDownloadDialog;
class NoticeDialog;
class QWidget;

// Opens a file of the instrument's list from its local copy: images in the image browser,
// PDF files in the desktop's reader. A file without a usable copy is offered for download.
class FileOpener : public QObject
{
    Q_OBJECT
public:
    FileOpener(ImageLoadDialog *images, NotDownloadDialog *notDownloaded, NoticeDialog *notice,
               QWidget *window);

    // `name` in the instrument's folder `remoteFolder`, whose copy is `localFolder`.
    void open(const QString &remoteFolder, const QString &localFolder, const QString &name);
    // The files offered for download, the latest last.
    const QStringList &openRequests() const { return m_openRequests; }
    QString lastOpenRequest() const { return m_openRequests.value(m_openRequests.size() - 1); }

private:
    ImageLoadDialog *m_imageDialog;
    NotDownloadDialog *m_notDownloadedDialog;
    NoticeDialog *m_noticeDialog;
    QWidget *m_window;
    QStringList m_openRequests;
};
