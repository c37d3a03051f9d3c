// MainWindow: the slots the form and the dialogs call, handed to the part that does the work.
#include "app/mainwindow.h"

#include "app/mainwindowui.h"
#include "browser/browserpanel.h"
#include "common/checkconnection.h"
#include "download/alreadydialog.h"
#include "download/alreadydialogtreewidget.h"
#include "download/downloadcontroller.h"
#include "download/folderverify.h"
#include "link/instrumentlink.h"
#include "app/fileopener.h"
#include "transfer/clientsession.h"
#include "viewer/imagedrop.h"

#include <QItemSelectionModel>

void MainWindow::connectParts()
{
    checkConnection(connect(&m_notDownloadedDialog, SIGNAL(signalDownlaod()), this,
                            SLOT(NotDOWNLOAD_clicked())),
                    "signalDownlaod");
    checkConnection(connect(&m_replaceDialog, SIGNAL(DownloadStart()), this,
                            SLOT(DownloadStart())),
                    "DownloadStart");
    checkConnection(connect(&m_replaceFolderDialog, SIGNAL(DownloadStartTreeWidget()), this,
                            SLOT(DownloadStartTreeWidget())),
                    "DownloadStartTreeWidget");
    connect(&m_replaceDialog, &AlreadyDialog::DownloadNewOnly, this, &MainWindow::DownloadNewOnly);
    connect(&m_replaceFolderDialog, &AlreadyDialogTreeWidget::DownloadNewOnlyTreeWidget, this,
            &MainWindow::DownloadNewOnlyTreeWidget);
    connect(m_browser->treeNewFilesAction(), &QAction::triggered, this,
            &MainWindow::TreeDownloadNewFiles);
    checkConnection(connect(m_progressDialog.cancelDialog(), SIGNAL(signalDownloadingCancel()),
                            this, SLOT(slotDownloadingCancel())),
                    "signalDownloadingCancel");
    // "Select files to download" answers the selection it saw; a new one makes it moot.
    for (QAbstractItemView *view : {static_cast<QAbstractItemView *>(ui->FILE_LISTWIDGET),
                                    static_cast<QAbstractItemView *>(ui->FILE_TREEWIDGET)})
        connect(view->selectionModel(), &QItemSelectionModel::selectionChanged,
                &m_emptySelectionDialog, &QDialog::reject);
    connect(m_session, &ClientSession::linkClosed, this,
            [this](ClientSession::End why, const QString &reason) { onLinkClosed(int(why), reason); });
    connect(m_browser, &BrowserPanel::openRequested, this, &MainWindow::openListFile);
    // Queued: it may open the login dialog, which should not run inside a download's end.
    connect(m_downloads, &DownloadController::reconnectRequested, this, &MainWindow::reconnect,
            Qt::QueuedConnection);
    connect(m_session, &ClientSession::loggedIn, this, [this] {
        if (!m_reconnecting)
            return;
        m_reconnecting = false;
        loggedIn();
    });
    connect(m_session, &ClientSession::loginFailed, this,
            [this](LoginExchange::Failure failure, const QString &detail) {
                switch (failure) {
                case LoginExchange::Failure::Refused:
                    onReconnectFailed(tr("The instrument refused the login."));
                    break;
                case LoginExchange::Failure::NoAnswer:
                    onReconnectFailed(tr("No answer from the instrument."));
                    break;
                case LoginExchange::Failure::ConnectFailed:
                case LoginExchange::Failure::LinkClosed:
                    onReconnectFailed(detail);
                    break;
                }
            });
    connect(new ImageDrop(this), &ImageDrop::filesDropped, this, &MainWindow::openImageFiles);
}

void MainWindow::openImageFiles(const QStringList &paths)
{
    if (!paths.isEmpty())
        m_imageDialog.openFile(paths.first());
}

QTcpSocket *MainWindow::socket() const { return m_link->socket(); }
ReaderMode MainWindow::readerMode() const { return m_downloads->readerMode(); }
QString MainWindow::currentRemotePath() const { return m_browser->currentRemotePath(); }
QString MainWindow::downloadPath() const { return m_browser->downloadPath(); }

void MainWindow::setDownloadPath(const QString &path)
{
    m_browser->setDownloadPath(path);
    ui->LABEL_DOWNLOAD_PATH->setPath(path);
}

void MainWindow::openListFile(const QString &name)
{
    const QString folder = m_browser->currentRemotePath();
    m_opener->open(folder, m_browser->toLocalPath(folder), name);
}

void MainWindow::slotReadyRead() { m_link->readAvailable(qobject_cast<QIODevice *>(sender())); }
void MainWindow::on_FILE_TREEWIDGET_itemClicked(QTreeWidgetItem *item, int) { m_browser->treeItemClicked(item); }
void MainWindow::on_FILE_LISTWIDGET_itemClicked(QListWidgetItem *item) { m_browser->listItemClicked(item); }
void MainWindow::on_FILE_LISTWIDGET_itemDoubleClicked(QListWidgetItem *item) { m_browser->listItemDoubleClicked(item); }
void MainWindow::contextMenuRequest(const QPoint &pos) { m_browser->listMenuRequested(pos); }
void MainWindow::treecontextMenuRequest(const QPoint &pos) { m_browser->treeMenuRequested(pos); }

void MainWindow::on_BUTTON_DOWNLOAD_clicked() { m_downloads->downloadListSelection(); }
void MainWindow::DownloadStart() { m_downloads->downloadListSelectionAgain(); }
void MainWindow::TreeDownload() { m_downloads->downloadTreeFolder(m_browser->takeTreeMenuTarget()); }
void MainWindow::DownloadStartTreeWidget() { m_downloads->downloadTreeFolderAgain(); }
void MainWindow::DownloadNewOnly() { m_downloads->downloadListSelectionNewOnly(); }
void MainWindow::DownloadNewOnlyTreeWidget() { m_downloads->downloadTreeFolderNewOnly(); }
void MainWindow::TreeDownloadNewFiles() { m_downloads->downloadNewFilesIn(m_browser->takeTreeMenuTarget()); }
void MainWindow::slotDownloadingCancel() { m_downloads->cancel(); }
void MainWindow::verifyDownloadFolder() { m_verify->start(m_browser->downloadPath()); }
