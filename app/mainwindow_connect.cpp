// MainWindow: logging in, logging out and losing the link.
#include "app/mainwindow.h"

#include "app/checkconnection.h"
#include "app/mainwindowui.h"
#include "browser/remotepath.h"
#include "link/logindialog.h"
#include "link/protocol.h"

#include <QAction>
#include <QTcpSocket>

namespace {
QString linkLostText()
{
    return MainWindow::tr("The connection to the instrument was lost.\n"
                          "Choose \"Connect\" to log in again.");
}
} // namespace

void MainWindow::Connect()
{
    if (m_connectionCount != 0)
        Disconnect();
    dropSocket(); // the closed link of an earlier session
    m_socket = new QTcpSocket(this);

    bool accepted = false;
    {
        LoginDialog dialog;
        dialog.setSocket(m_socket);
        accepted = dialog.exec() == QDialog::Accepted;
    }
    if (!accepted) {
        dropSocket(); // a failed or cancelled attempt leaves nothing behind
        return;
    }
    // The instrument may have gone between its acceptance and now.
    if (m_socket->state() != QAbstractSocket::ConnectedState) {
        dropSocket();
        m_noticeDialog.showNotice(linkLostText());
        return;
    }

    m_reader.reset();
    checkConnection(connect(m_socket, SIGNAL(readyRead()), this, SLOT(slotReadyRead())),
                    "readyRead");
    watchLink();
    sendLine(Protocol::kCdHome);
    sendLine(Protocol::kPwd);
    sendLine(Protocol::kList);
    ui->FILE_TREEWIDGET->reset();

    if (!m_contextMenusConnected) {
        checkConnection(connect(ui->FILE_LISTWIDGET, SIGNAL(customContextMenuRequested(QPoint)),
                                this, SLOT(contextMenuRequest(QPoint))),
                        "list context menu");
        checkConnection(connect(m_listDownloadAction, SIGNAL(triggered()), this,
                                SLOT(on_BUTTON_DOWNLOAD_clicked())),
                        "list Start Download");
        checkConnection(connect(ui->FILE_TREEWIDGET, SIGNAL(customContextMenuRequested(QPoint)),
                                this, SLOT(treecontextMenuRequest(QPoint))),
                        "tree context menu");
        checkConnection(connect(m_treeDownloadAction, SIGNAL(triggered()), this,
                                SLOT(TreeDownload())),
                        "tree Start Download");
        m_contextMenusConnected = true;
    }

    m_connectAction->setVisible(false);
    m_disconnectAction->setVisible(true);
    ++m_connectionCount;
}

void MainWindow::Disconnect()
{
    if (m_socket) {
        // Our own closing is not a lost link, and nothing more is read from this link.
        m_socket->disconnect(this);
        m_socket->disconnectFromHost();
    }
    m_reader.reset(); // nothing from the closed link stays in memory

    QTreeWidget *tree = ui->FILE_TREEWIDGET;
    QTreeWidgetItem *root = nullptr;
    if (tree->topLevelItemCount() > 0) {
        root = findTreeItem(RemotePath::kRoot);
        if (root)
            removeTreeChildren(root);
    }
    ui->FILE_LISTWIDGET->clear();
    if (root && root->treeWidget() == tree)
        root->setHidden(true);

    m_connectAction->setVisible(true);
    m_disconnectAction->setVisible(false);
    ui->BUTTON_DOWNLOAD->setEnabled(false);
    m_connectionCount = 0;
}

void MainWindow::watchLink()
{
    connect(m_socket, &QAbstractSocket::disconnected, this, &MainWindow::onLinkLost);
    connect(m_socket, &QAbstractSocket::errorOccurred, this,
            [this](QAbstractSocket::SocketError error) {
                // A timed-out wait of some caller says nothing about the link itself.
                if (error != QAbstractSocket::SocketTimeoutError)
                    onLinkLost();
            });
}

void MainWindow::onLinkLost()
{
    if (m_connectionCount == 0)
        return;
    const bool told = endDownloadOnLinkLoss();
    Disconnect();
    if (!told)
        m_noticeDialog.showNotice(linkLostText());
}

void MainWindow::dropSocket()
{
    if (!m_socket)
        return;
    m_socket->disconnect(this);
    m_socket->abort();
    delete m_socket;
    m_socket = nullptr;
}

void MainWindow::sendLine(const QByteArray &line)
{
    if (m_socket)
        m_socket->write(line);
}
