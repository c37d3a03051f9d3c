// MainWindow: opening a file from the list.
#include "app/mainwindow.h"

#include "browser/remotepath.h"
#include "viewer/listfileopen.h"

#include <QDesktopServices>
#include <QUrl>

void MainWindow::openListFile(const QString &name)
{
    const QString remotePath = RemotePath::join(m_currentRemotePath, name);
    const QString localFolder = toLocalPath(m_currentRemotePath);
    if (localFolder.isEmpty() || !RemotePath::isSafe(remotePath)) {
        m_noticeDialog.showNotice(tr("\"%1\" cannot be opened: its path does not map safely "
                                     "into the download folder.").arg(name));
        return;
    }
    const QString localFile = localFolder + QLatin1Char('/') + name;
    switch (listFileKind(localFile, name)) {
    case ListFileKind::Image:
        m_imageDialog.openImage(localFolder, localFile, name);
        m_imageDialog.setFileName(name);
        m_imageDialog.show();
        m_imageDialog.raise();
        return;
    case ListFileKind::Pdf: {
        setCursor(Qt::WaitCursor);
        const bool opened = QDesktopServices::openUrl(QUrl::fromLocalFile(localFile));
        setCursor(Qt::ArrowCursor);
        if (!opened) {
            m_openRequests.append(remotePath);
            m_notDownloadedDialog.show();
        }
        return;
    }
    case ListFileKind::Other:
        m_openRequests.append(remotePath);
        m_notDownloadedDialog.show();
        return;
    }
}
