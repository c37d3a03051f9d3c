// MainWindow: where the user is (the folder's path, the status line, Refresh, Up and Back),
// what stays usable while a download runs, and opening a file once it has been downloaded.
#include "app/mainwindow.h"

#include "app/mainwindowui.h"
#include "browser/browserpanel.h"
#include "browser/lockhint.h"
#include "download/downloadcontroller.h"
#include "link/remotepath.h"
#include "transfer/clientsession.h"
#include "app/fileopener.h"

#include <QAction>
#include <QMenu>

QString MainWindow::downloadLockText()
{
    return tr("Not while a download runs: wait for it to end, or choose Stop.");
}

void MainWindow::buildViewMenu(QMenu *view)
{
    auto add = [&](const QString &text, QList<QKeySequence> keys, void (BrowserPanel::*go)()) {
        QAction *action = view->addAction(text);
        action->setShortcuts(keys);
        action->setShortcutContext(Qt::WindowShortcut);
        addAction(action); // the keys work with the menu closed
        connect(action, &QAction::triggered, m_browser, go);
        return action;
    };
    m_refreshAction = add(tr("Refresh"), {QKeySequence::Refresh}, &BrowserPanel::refresh);
    m_upAction = add(tr("Up"), {QKeySequence(Qt::Key_Backspace), QKeySequence(Qt::ALT | Qt::Key_Up)},
                     &BrowserPanel::goUp);
    m_backAction = add(tr("Back"), {QKeySequence(Qt::ALT | Qt::Key_Left)}, &BrowserPanel::goBack);

    connect(m_browser, &BrowserPanel::folderShown, this, [this](const QString &path) {
        ui->EDIT_REMOTE_PATH->setText(path);
        ui->EDIT_REMOTE_PATH->setToolTip(path);
        ui->EDIT_REMOTE_PATH->setCursorPosition(path.size()); // a long path shows its end
        showStatus();
    });
    connect(m_browser, &BrowserPanel::refused, this, &MainWindow::showStatus);
    connect(m_downloads, &DownloadController::busyChanged, this, &MainWindow::lockForDownload);
    connect(m_session, &ClientSession::downloadEnded, this, &MainWindow::openDownloadedFile);
}

void MainWindow::showStatus(const QString &message)
{
    QString text = m_session->isConnected()
        ? tr("Connected to %1 as %2")
              .arg(m_session->host(), m_session->account().isEmpty() ? QStringLiteral("anonymous")
                                                                     : m_session->account())
        : tr("Not connected");
    if (!message.isEmpty())
        text += QStringLiteral(" \u2014 ") + message;
    ui->LABEL_STATUS->setText(text);
    ui->LABEL_STATUS->setToolTip(text);
}

// The window stays open to everything that neither starts a download nor moves the
// instrument to another folder: the list scrolls and selects, images open, Help shows.
void MainWindow::lockForDownload(bool busy)
{
    const QString why = downloadLockText();
    m_browser->setLocked(busy, why);
    for (QAction *action : {m_folderAction, m_connectAction, m_disconnectAction, m_refreshAction,
                            m_upAction, m_backAction})
        LockHint::lock(action, busy, why);
    showStatus(busy ? tr("Downloading. Other folders and downloads wait until it has ended.")
                    : QString());
}

void MainWindow::NotDOWNLOAD_clicked()
{
    if (m_downloads->isBusy()) {
        m_noticeDialog.showNotice(downloadLockText());
        return;
    }
    m_openAfterDownload = m_opener->lastOpenRequest();
    m_downloads->downloadFile(m_openAfterDownload);
    if (!m_downloads->isBusy()) // it did not start, and has said why
        m_openAfterDownload.clear();
}

// A file downloaded to be opened opens once it is stored; a failure has its own notice.
void MainWindow::openDownloadedFile(const ClientSession::Result &result)
{
    const QString wanted = m_openAfterDownload;
    m_openAfterDownload.clear();
    if (wanted.isEmpty())
        return;
    for (const FileOutcome &file : result.files) {
        if (file.remotePath != wanted || (file.kind != FileOutcome::Kind::Stored
                                          && file.kind != FileOutcome::Kind::Replaced))
            continue;
        const QString folder = RemotePath::parent(wanted);
        m_opener->open(folder, m_browser->toLocalPath(folder),
                       wanted.mid(wanted.lastIndexOf(QLatin1Char('/')) + 1), false);
        return;
    }
}
