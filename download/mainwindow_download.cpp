// MainWindow: download requests and the receiver's hook-up.
#include "app/mainwindow.h"

#include "app/mainwindowui.h"
#include "download/downloadreceiver.h"

// Stub: filled in by the download work.
void MainWindow::setUpDownload()
{
    m_receiver = new DownloadReceiver(this);
    m_reader.setDownloadStream(m_receiver);
}
void MainWindow::slotDownloadingCancel() { m_cancelRequested = true; }
void MainWindow::on_BUTTON_DOWNLOAD_clicked() {}
void MainWindow::NotDOWNLOAD_clicked() {}
void MainWindow::DownloadStart() {}
void MainWindow::TreeDownload() {}
void MainWindow::DownloadStartTreeWidget() {}
bool MainWindow::endDownloadOnLinkLoss() { return false; }
