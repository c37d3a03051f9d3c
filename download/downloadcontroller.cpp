// Downloads: the request checks, the receiver's hook-up and the end of a download.
#include "download/downloadcontroller.h"

#include "browser/browserpanel.h"
#include "browser/remotepath.h"
#include "common/noticedialog.h"
#include "download/alreadydialog.h"
#include "download/alreadydialogtreewidget.h"
#include "download/downloadingprogressdialog.h"
#include "download/downloadnotice.h"
#include "download/downloadreceiver.h"
#include "download/downloadrequest.h"
#include "download/emptydownloadsizedialog.h"
#include "link/instrumentlink.h"
#include "link/protocol.h"

#include <QListWidget>
#include <QTcpSocket>

DownloadController::DownloadController(InstrumentLink *link, BrowserPanel *browser,
                                       QListWidget *list, const Dialogs &dialogs,
                                       QWidget *window)
    : QObject(window), m_link(link), m_browser(browser), m_list(list),
      m_dialogs(dialogs), m_window(window), m_receiver(new DownloadReceiver(this)),
      m_lifecycle(m_receiver)
{
    DownloadingProgressDialog *progress = m_dialogs.progress;
    m_receiver->setObjectName(QStringLiteral("downloadReceiver"));
    m_link->reader().setDownloadStream(&m_lifecycle);
    connect(m_receiver, &DownloadReceiver::sendLine, m_link, &InstrumentLink::sendLine);
    connect(m_receiver, &DownloadReceiver::totalChanged, progress,
            &DownloadingProgressDialog::setTotal);
    connect(m_receiver, &DownloadReceiver::currentFileChanged, progress,
            &DownloadingProgressDialog::setCurrentFile);
    connect(m_receiver, &DownloadReceiver::completedChanged, progress,
            &DownloadingProgressDialog::setCompleted);
    connect(m_receiver, &DownloadReceiver::currentFileSizeChanged, progress,
            &DownloadingProgressDialog::setCurrentFileSize);
    connect(m_receiver, &DownloadReceiver::bytesReceived, progress,
            &DownloadingProgressDialog::setFileBytes);
    connect(m_receiver, &DownloadReceiver::waitingForDisk, progress,
            &DownloadingProgressDialog::setWaitingForDisk);
    connect(m_receiver, &DownloadReceiver::endNoticeReceived, this, &DownloadController::onEndNotice);
    connect(m_receiver, &DownloadReceiver::stalled, this, &DownloadController::onStalled);
    // The download ends once the refreshed listing is on screen.
    connect(m_browser, &BrowserPanel::listingApplied, this, &DownloadController::onListingApplied);
    connect(&m_link->reader(), &MessageReader::refused, this, &DownloadController::onLinkRefused);
}

ReaderMode DownloadController::readerMode() const
{
    return m_lifecycle.mode(m_link->reader());
}

// Whatever the instrument left unfinished of an earlier download does not carry over.
void DownloadController::prepareRequest()
{
    m_window->setEnabled(false);
    m_link->reader().leaveStream();
    m_lifecycle.restart();
}

void DownloadController::cancel()
{
    m_receiver->requestCancel();
}

QStringList DownloadController::selectedListNames() const
{
    QStringList names;
    const QList<QListWidgetItem *> items = m_list->selectedItems();
    for (const QListWidgetItem *item : items)
        names.append(item->text());
    return names;
}

QString DownloadController::notConnectedText()
{
    return tr("Not connected to an instrument.\nChoose \"Connect\" to log in, then start the "
              "download again.");
}

// Checked first: a selection question or a replace question means nothing without a link.
bool DownloadController::refuseWhenDisconnected()
{
    if (m_link->isConnected())
        return false;
    m_dialogs.notice->showNotice(notConnectedText());
    return true;
}

void DownloadController::closeQuestions()
{
    m_dialogs.replace->reject();
    m_dialogs.replaceFolder->reject();
    m_dialogs.emptySelection->reject();
}

void DownloadController::downloadListSelection()
{
    if (refuseWhenDisconnected())
        return;
    prepareRequest();
    const QStringList names = selectedListNames();
    switch (DownloadRequest::checkListSelection(names, m_browser->toLocalPath(m_browser->currentRemotePath()))) {
    case DownloadRequest::ListCheck::Empty:
        m_dialogs.emptySelection->show();
        break;
    case DownloadRequest::ListCheck::ParentEntry:
        break;
    case DownloadRequest::ListCheck::Exists:
        m_dialogs.replace->ask(m_browser->toLocalPath(m_browser->currentRemotePath()), names);
        break;
    case DownloadRequest::ListCheck::Send:
        startDownload(DownloadRequest::requestPaths(m_browser->currentRemotePath(), names));
        return;
    }
    m_window->setEnabled(true);
}

void DownloadController::downloadListSelectionAgain()
{
    prepareRequest();
    startDownload(DownloadRequest::requestPaths(m_browser->currentRemotePath(), selectedListNames()));
}

void DownloadController::downloadFile(const QString &remotePath)
{
    prepareRequest();
    startDownload(remotePath.isEmpty() ? QStringList() : QStringList{remotePath});
}

void DownloadController::downloadTreeFolder(const QString &remote)
{
    if (refuseWhenDisconnected())
        return;
    prepareRequest();
    if (!remote.isEmpty()) {
        const QString localParent = m_browser->toLocalPath(RemotePath::parent(remote));
        const QString name = remote.mid(remote.lastIndexOf(QLatin1Char('/')) + 1);
        if (DownloadRequest::localFolderExists(localParent, name)) {
            m_askedTreeFolder = remote;
            m_dialogs.replaceFolder->ask(localParent, {name});
            m_window->setEnabled(true);
            return;
        }
        startDownload({remote});
        return;
    }
    startDownload({});
}

void DownloadController::downloadTreeFolderAgain()
{
    prepareRequest();
    startDownload(m_askedTreeFolder.isEmpty() ? QStringList() : QStringList{m_askedTreeFolder});
}

void DownloadController::startDownload(const QStringList &remotePaths)
{
    const QByteArray line = DownloadRequest::requestLine(remotePaths);
    if (line.isEmpty()) { // the selection was emptied while a question was open
        m_dialogs.emptySelection->show();
        m_window->setEnabled(true);
        return;
    }
    if (!m_link->isConnected()) {
        m_dialogs.notice->showNotice(notConnectedText());
        m_window->setEnabled(true);
        return;
    }
    // Bytes the disk cannot take yet wait in the system's socket buffer, not in ours.
    m_link->socket()->setReadBufferSize(DownloadReceiver::kSocketReadBuffer);
    m_receiver->begin(m_browser->downloadPath());
    m_link->sendLine(line);
    m_dialogs.progress->reset();
    m_dialogs.progress->show();
}

void DownloadController::onEndNotice()
{
    m_browser->changeRemoteFolder(m_browser->currentRemotePath());
    m_link->sendLine(QByteArray(Protocol::kList));
}

void DownloadController::onListingApplied()
{
    if (m_lifecycle.listingShown())
        onFinished();
}

void DownloadController::onFinished()
{
    const QString notice = DownloadNotice::finishedText(*m_receiver);
    const bool wasActive = m_receiver->isActive();
    m_receiver->finish();
    m_link->trimReadBuffers();
    m_dialogs.progress->accept();
    m_window->setEnabled(true);
    if (wasActive && !notice.isEmpty())
        m_dialogs.notice->showNotice(notice);
}

void DownloadController::endEarly(const QString &reason)
{
    m_receiver->abort();
    m_link->trimReadBuffers();
    m_link->reader().leaveStream();
    m_lifecycle.restart();
    m_dialogs.progress->cancelDialog()->hide();
    m_dialogs.progress->accept();
    m_window->setEnabled(true);
    m_dialogs.notice->showNotice(DownloadNotice::earlyEndText(reason, *m_receiver));
}

bool DownloadController::endOnLinkLoss()
{
    // The instrument's last bytes may still wait in the socket when the close is seen:
    // a file that arrived whole is kept. Each file in them is made durable before the next
    // is read; every round takes at least one file's framing out of a bounded buffer.
    if (m_receiver->isActive()) {
        for (int round = 0; round < DownloadReceiver::kSocketReadBuffer; ++round) {
            m_receiver->settle();
            if (!m_link->readPending())
                break;
        }
    }
    if (!m_receiver->isActive())
        return false;
    endEarly(tr("The connection to the instrument was lost during the download."));
    return true;
}

void DownloadController::onStalled()
{
    // Whatever the instrument sends later could not be told apart from new messages, and
    // nothing it sends may pile up in memory: the link is closed.
    const QString seconds = QString::number(m_receiver->stallLimit() / 1000.0, 'g', 3);
    endEarly(tr("The instrument sent nothing for %1 s, so the download was stopped.").arg(seconds)
             + QLatin1Char(' ') + tr("The connection was closed; connect again to go on."));
    emit linkUnusable();
}

void DownloadController::onLinkRefused(const QString &reason)
{
    const QString text = reason + QLatin1Char(' ') + tr("The connection was closed; connect again to go on.");
    if (m_receiver->isActive())
        endEarly(text);
    else
        m_dialogs.notice->showNotice(text);
    emit linkUnusable();
}
