// Opening a file from the list.
#include "app/fileopener.h"

#include "link/remotepath.h"
#include "common/noticedialog.h"
#include "download/notdownloaddialog.h"
#include "viewer/imageloaddialog.h"
#include "viewer/listfileopen.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

FileOpener::FileOpener(ImageLoadDialog *images, NotDownloadDialog *notDownloaded,
                       NoticeDialog *notice, QWidget *window)
    : QObject(window), m_imageDialog(images), m_notDownloadedDialog(notDownloaded),
      m_noticeDialog(notice), m_window(window), m_urlOpener(&QDesktopServices::openUrl)
{
    connect(&m_noViewerDialog, &NoViewerDialog::showInFolderRequested, this,
            &FileOpener::showInFolder);
}

void FileOpener::open(const QString &remoteFolder, const QString &localFolder, const QString &name,
                      bool offerDownload)
{
    const QString remotePath = RemotePath::join(remoteFolder, name);
    if (localFolder.isEmpty() || !RemotePath::isSafe(remotePath)) {
        m_noticeDialog->showNotice(tr("\"%1\" cannot be opened: its path does not map safely "
                                      "into the download folder.").arg(name));
        return;
    }
    const QString localFile = localFolder + QLatin1Char('/') + name;
    switch (listFileKind(localFile, name)) {
    case ListFileKind::Image:
        m_imageDialog->openImage(localFolder, localFile, name);
        m_imageDialog->setFileName(name);
        m_imageDialog->show();
        m_imageDialog->raise();
        return;
    case ListFileKind::Pdf: {
        m_window->setCursor(Qt::WaitCursor);
        const bool opened = m_urlOpener(QUrl::fromLocalFile(localFile));
        m_window->setCursor(Qt::ArrowCursor);
        // The copy is here: downloading it again would not help.
        if (!opened)
            m_noViewerDialog.ask(QStringLiteral("PDF"), localFile);
        return;
    }
    case ListFileKind::Other:
        if (!offerDownload) {
            m_noticeDialog->showNotice(tr("\"%1\" has been downloaded, but it is neither an image "
                                          "nor a PDF file. It is in:\n%2")
                                           .arg(name, QDir::toNativeSeparators(localFolder)));
            return;
        }
        m_openRequests.append(remotePath);
        m_notDownloadedDialog->show();
        return;
    }
}

void FileOpener::showInFolder(const QString &localFile)
{
    const QString folder = QFileInfo(localFile).absolutePath();
    if (!m_urlOpener(QUrl::fromLocalFile(folder)))
        m_noticeDialog->showNotice(tr("The folder could not be shown either. The file is:\n%1")
                                       .arg(QDir::toNativeSeparators(localFile)));
}
