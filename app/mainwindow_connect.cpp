// MainWindow: logging in, logging out and losing the link.
#include "app/mainwindow.h"

#include "common/checkconnection.h"
#include "app/mainwindowui.h"
#include "browser/browserpanel.h"
#include "download/downloadcontroller.h"
#include "link/instrumentlink.h"
#include "link/logindialog.h"
#include "transfer/clientsession.h"

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
    QTcpSocket *socket = m_session->newSocket();

    bool accepted = false;
    QString account;
    {
        LoginDialog dialog;
        dialog.setSocket(socket);
        accepted = dialog.exec() == QDialog::Accepted;
        account = dialog.account();
    }
    if (!accepted) {
        m_link->drop(); // a failed or cancelled attempt leaves nothing behind
        return;
    }
    // A download picked up again belongs to the link it was asked for on.
    m_downloads->dropResume();
    beginSession(socket, account);
}

// The instrument accepted the login on `socket`.
bool MainWindow::beginSession(QTcpSocket *socket, const QString &account)
{
    // The instrument may have gone between its acceptance and now.
    if (!m_session->begin(socket, account)) {
        m_downloads->dropResume();
        m_noticeDialog.showNotice(linkLostText());
        return false;
    }
    loggedIn();
    return true;
}

void MainWindow::loggedIn()
{
    ui->FILE_TREEWIDGET->reset();
    connectContextMenus();
    m_connectAction->setVisible(false);
    m_disconnectAction->setVisible(true);
    ++m_connectionCount;
    showStatus();
    m_downloads->resumeAfterLogin();
}

// "Stop now" and "Reconnect and get the rest": the same instrument and account again. An
// anonymous login goes without asking; an account's password is asked for again, since the
// window never keeps it.
void MainWindow::reconnect()
{
    const QString host = m_downloads->resumeHost();
    const QString account = m_downloads->resumeAccount();
    if (!m_downloads->hasResume() || host.isEmpty())
        return;
    if (m_downloads->isBusy()) { // another download was started meanwhile: it is not cut off
        m_downloads->dropResume();
        m_noticeDialog.showNotice(downloadLockText());
        return;
    }
    // Logged in there again already (the user chose "Connect"): nothing to open.
    if (m_connectionCount != 0 && m_session->isConnected() && m_session->host() == host
        && m_session->account() == account) {
        m_downloads->resumeAfterLogin();
        return;
    }
    if (m_connectionCount != 0)
        Disconnect();
    if (account.isEmpty()) {
        m_reconnecting = true;
        showStatus(tr("Connecting to %1 again\u2026").arg(host));
        ClientSession::Login login;
        login.host = host;
        m_session->logIn(login);
        return;
    }
    QTcpSocket *socket = m_session->newSocket();
    bool accepted = false;
    {
        LoginDialog dialog;
        dialog.setSocket(socket);
        dialog.askPasswordFor(host, account);
        accepted = dialog.exec() == QDialog::Accepted;
    }
    if (!accepted) {
        m_link->drop();
        m_downloads->dropResume();
        return;
    }
    beginSession(socket, account);
}

void MainWindow::onReconnectFailed(const QString &detail)
{
    if (!m_reconnecting)
        return;
    m_reconnecting = false;
    m_downloads->dropResume();
    showStatus();
    QString text = tr("Connecting to %1 again failed.").arg(m_session->host());
    if (!detail.isEmpty())
        text += QLatin1Char(' ') + detail;
    m_noticeDialog.showNotice(text + QLatin1Char('\n') + tr("Choose \"Connect\" to log in again."));
}

void MainWindow::connectContextMenus()
{
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
}

void MainWindow::Disconnect()
{
    m_reconnecting = false;
    m_session->close();
    m_browser->clear();
    // Their answers would start a download that cannot run any more.
    m_downloads->closeQuestions();
    m_notDownloadedDialog.reject();

    m_connectAction->setVisible(true);
    m_disconnectAction->setVisible(false);
    ui->BUTTON_DOWNLOAD->setEnabled(false);
    m_connectionCount = 0;
    m_openAfterDownload.clear();
    ui->EDIT_REMOTE_PATH->clear();
    showStatus();
}

// After any download under way has ended and told the user how.
void MainWindow::onLinkClosed(int why, const QString &reason)
{
    if (m_connectionCount == 0)
        return;
    const bool told = m_downloads->toldLinkEnd();
    Disconnect();
    if (told)
        return;
    if (ClientSession::End(why) == ClientSession::End::LinkLost)
        m_noticeDialog.showNotice(linkLostText());
    else
        m_noticeDialog.showNotice(reason + QLatin1Char(' ') + DownloadController::linkClosedText());
}
