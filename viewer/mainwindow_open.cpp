// MainWindow: opening a file from the list.
#include "app/mainwindow.h"

// Stub: filled in by the viewer work.
void MainWindow::openListFile(const QString &name)
{
    m_openRequests.append(m_currentRemotePath + QLatin1Char('/') + name);
    m_notDownloadedDialog.show();
}
