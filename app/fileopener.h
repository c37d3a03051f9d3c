#pragma once
#include "viewer/noviewerdialog.h"

#include <QObject>
#include <QStringList>

#include <functional>

class ImageLoadDialog;
class NotDownloadDialog;
class NoticeDialog;
class QUrl;
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
    // Without `offerDownload` (the file has just been downloaded), a file that neither
    // viewer takes is shown in its folder instead of being offered for download again.
    void open(const QString &remoteFolder, const QString &localFolder, const QString &name,
              bool offerDownload = true);
    // The files offered for download, the latest last.
    const QStringList &openRequests() const { return m_openRequests; }
    QString lastOpenRequest() const { return m_openRequests.value(m_openRequests.size() - 1); }

    // Hands a file or folder to the desktop; false when nothing there takes it. The
    // default is QDesktopServices::openUrl.
    using UrlOpener = std::function<bool(const QUrl &)>;
    void setUrlOpener(UrlOpener opener) { m_urlOpener = std::move(opener); }
    NoViewerDialog &noViewerDialog() { return m_noViewerDialog; }

private:
    void showInFolder(const QString &localFile);

    ImageLoadDialog *m_imageDialog;
    NotDownloadDialog *m_notDownloadedDialog;
    NoticeDialog *m_noticeDialog;
    QWidget *m_window;
    QStringList m_openRequests;
    UrlOpener m_urlOpener;
    NoViewerDialog m_noViewerDialog; // a top-level window of its own, like the others
};
