// MainWindow: download requests and the receiver's hook-up.
#include "app/mainwindow.h"

#include "app/mainwindowui.h"
#include "browser/remotepath.h"
#include "download/downloadnotice.h"
#include "download/downloadreceiver.h"
#include "download/downloadrequest.h"
#include "link/protocol.h"

#include <QTcpSocket>

void MainWindow::setUpDownload()
{
    m_receiver = new DownloadReceiver(this);
    m_receiver->setObjectName(QStringLiteral("downloadReceiver"));
    m_reader.setDownloadStream(m_receiver);
    connect(m_receiver, &DownloadReceiver::sendLine, this, &MainWindow::sendLine);
    connect(m_receiver, &DownloadReceiver::totalChanged, &m_progressDialog,
            &DownloadingProgressDialog::setTotal);
    connect(m_receiver, &DownloadReceiver::currentFileChanged, &m_progressDialog,
            &DownloadingProgressDialog::setCurrentFile);
    connect(m_receiver, &DownloadReceiver::completedChanged, this, [this](int count) {
        m_completedCount = count;
        m_progressDialog.setCompleted(count);
    });
    connect(m_receiver, &DownloadReceiver::bytesReceived, &m_progressDialog,
            &DownloadingProgressDialog::setBytesReceived);
    connect(m_receiver, &DownloadReceiver::endNoticeReceived, this, &MainWindow::onDownloadEndNotice);
    connect(m_receiver, &DownloadReceiver::stalled, this, &MainWindow::onDownloadStalled);
    connect(&m_reader, &MessageReader::downloadFinished, this, &MainWindow::onDownloadFinished);
    connect(&m_reader, &MessageReader::refused, this, &MainWindow::onLinkRefused);
}

void MainWindow::slotDownloadingCancel()
{
    m_cancelRequested = true;
    m_receiver->requestCancel();
}

QStringList MainWindow::selectedListNames() const
{
    QStringList names;
    const QList<QListWidgetItem *> items = ui->FILE_LISTWIDGET->selectedItems();
    for (const QListWidgetItem *item : items)
        names.append(item->text());
    return names;
}

void MainWindow::on_BUTTON_DOWNLOAD_clicked()
{
    setEnabled(false);
    m_reader.setMode(Browsing);
    const QStringList names = selectedListNames();
    switch (DownloadRequest::checkListSelection(names, toLocalPath(m_currentRemotePath))) {
    case DownloadRequest::ListCheck::Empty:
        m_emptySelectionDialog.show();
        break;
    case DownloadRequest::ListCheck::ParentEntry:
        break;
    case DownloadRequest::ListCheck::Exists:
        m_replaceDialog.show();
        break;
    case DownloadRequest::ListCheck::Send:
        startDownload(DownloadRequest::requestPaths(m_currentRemotePath, names));
        return;
    }
    setEnabled(true);
}

void MainWindow::DownloadStart()
{
    setEnabled(false);
    m_reader.setMode(Browsing);
    startDownload(DownloadRequest::requestPaths(m_currentRemotePath, selectedListNames()));
}

void MainWindow::NotDOWNLOAD_clicked()
{
    setEnabled(false);
    m_reader.setMode(Browsing);
    startDownload(m_openRequests.isEmpty() ? QStringList() : QStringList{m_openRequests.last()});
}

void MainWindow::TreeDownload()
{
    setEnabled(false);
    m_reader.setMode(Browsing);
    const QList<QTreeWidgetItem *> items = ui->FILE_TREEWIDGET->selectedItems();
    if (!items.isEmpty()) {
        const QString remote = treeItemPath(items.first());
        const QString localParent = toLocalPath(RemotePath::parent(remote));
        if (DownloadRequest::localFolderExists(localParent, items.first()->text(0))) {
            m_replaceFolderDialog.show();
            setEnabled(true);
            return;
        }
        startDownload({remote});
        return;
    }
    startDownload({});
}

void MainWindow::DownloadStartTreeWidget()
{
    setEnabled(false);
    m_reader.setMode(Browsing);
    const QList<QTreeWidgetItem *> items = ui->FILE_TREEWIDGET->selectedItems();
    startDownload(items.isEmpty() ? QStringList() : QStringList{treeItemPath(items.first())});
}

void MainWindow::startDownload(const QStringList &remotePaths)
{
    const QByteArray line = DownloadRequest::requestLine(remotePaths);
    if (line.isEmpty()) { // the selection was emptied while a question was open
        m_emptySelectionDialog.show();
        setEnabled(true);
        return;
    }
    if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState) {
        m_noticeDialog.showNotice(tr("There is no link to the instrument. Connect, then start the download again."));
        setEnabled(true);
        return;
    }
    m_cancelRequested = false;
    m_completedCount = 0;
    // Bytes the disk cannot take yet wait in the system's socket buffer, not in ours.
    m_socket->setReadBufferSize(DownloadReceiver::kSocketReadBuffer);
    m_receiver->begin(m_downloadPath);
    sendLine(line);
    m_progressDialog.reset();
    m_progressDialog.show();
}

void MainWindow::onDownloadEndNotice()
{
    changeRemoteFolder(m_currentRemotePath);
    sendLine(QByteArray(Protocol::kList));
}

void MainWindow::onDownloadFinished()
{
    const QString notice = DownloadNotice::finishedText(*m_receiver);
    const bool wasActive = m_receiver->isActive();
    m_receiver->finish();
    m_progressDialog.accept();
    setEnabled(true);
    if (wasActive && !notice.isEmpty())
        m_noticeDialog.showNotice(notice);
}

void MainWindow::endDownloadEarly(const QString &reason)
{
    m_receiver->abort();
    m_reader.setMode(Browsing);
    m_progressDialog.cancelDialog()->hide();
    m_progressDialog.accept();
    setEnabled(true);
    m_noticeDialog.showNotice(DownloadNotice::earlyEndText(reason, *m_receiver));
}

bool MainWindow::endDownloadOnLinkLoss()
{
    // The instrument's last bytes may still wait in the socket when the close is seen:
    // a file that arrived whole is kept.
    if (m_receiver->isActive() && m_socket && m_socket->bytesAvailable() > 0)
        m_reader.feed(m_socket->readAll());
    if (!m_receiver->isActive())
        return false;
    endDownloadEarly(tr("The link to the instrument was lost during the download."));
    return true;
}

void MainWindow::onDownloadStalled()
{
    // Whatever the instrument sends later could not be told apart from new messages, and
    // nothing it sends may pile up in memory: the link is closed.
    const QString seconds = QString::number(m_receiver->stallLimit() / 1000.0, 'g', 3);
    endDownloadEarly(tr("The instrument sent nothing for %1 s, so the download was stopped.").arg(seconds)
                     + QLatin1Char(' ') + tr("The link was closed; connect again to go on."));
    Disconnect();
}

void MainWindow::onLinkRefused(const QString &reason)
{
    const QString text = reason + QLatin1Char(' ') + tr("The link was closed; connect again to go on.");
    if (m_receiver->isActive())
        endDownloadEarly(text);
    else
        m_noticeDialog.showNotice(text);
    Disconnect();
}
