// Downloads: the request checks, the receiver's hook-up and the end of a download.
#include "download/downloadcontroller.h"

#include "browser/browserpanel.h"
#include "common/noticedialog.h"
#include "download/alreadydialog.h"
#include "download/alreadydialogtreewidget.h"
#include "download/downloadingprogressdialog.h"
#include "transfer/downloadnotice.h"
#include "transfer/downloadreceiver.h"
#include "transfer/downloadrequest.h"
#include "download/emptydownloadsizedialog.h"
#include "record/downloadrecorder.h"
#include "download/downloadtoast.h"
#include "download/folderverify.h"
#include "link/remotepath.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <QListWidget>

DownloadController::DownloadController(ClientSession *session, BrowserPanel *browser,
                                       QListWidget *list, const Dialogs &dialogs,
                                       QWidget *window)
    : QObject(window), m_session(session), m_browser(browser), m_list(list),
      m_dialogs(dialogs), m_window(window)
{
    DownloadingProgressDialog *progress = m_dialogs.progress;
    DownloadReceiver *receiver = m_session->receiver();
    connect(receiver, &DownloadReceiver::totalChanged, progress,
            &DownloadingProgressDialog::setTotal);
    connect(receiver, &DownloadReceiver::currentFileChanged, progress,
            &DownloadingProgressDialog::setCurrentFile);
    connect(receiver, &DownloadReceiver::completedChanged, progress,
            &DownloadingProgressDialog::setCompleted);
    connect(receiver, &DownloadReceiver::currentFileSizeChanged, progress,
            &DownloadingProgressDialog::setCurrentFileSize);
    connect(receiver, &DownloadReceiver::bytesReceived, progress,
            &DownloadingProgressDialog::setFileBytes);
    connect(receiver, &DownloadReceiver::waitingForDisk, progress,
            &DownloadingProgressDialog::setWaitingForDisk);
    connect(m_session, &ClientSession::downloadEnded, this, &DownloadController::onEnded);
    connect(progress, &DownloadingProgressDialog::stopNowRequested, this, &DownloadController::stopNow);
}

DownloadReceiver *DownloadController::receiver() const
{
    return m_session->receiver();
}

DownloadLifecycle &DownloadController::lifecycle()
{
    return m_session->lifecycle();
}

ReaderMode DownloadController::readerMode() const
{
    return m_session->readerMode();
}

void DownloadController::prepareRequest()
{
    setBusy(true);
}

void DownloadController::setBusy(bool busy)
{
    if (busy == m_busy)
        return;
    m_busy = busy;
    emit busyChanged(busy);
}

void DownloadController::cancel()
{
    if (isLookingForNewFiles()) {
        m_walk->stop(); // nothing is requested then
        return;
    }
    m_session->stopDownload();
}

QStringList DownloadController::selectedListNames() const
{
    return m_browser->selectedEntries(); // never ".."

}

QString DownloadController::notConnectedText()
{
    return tr("Not connected to an instrument.\nChoose \"Connect\" to log in, then start the "
              "download again.");
}

// Checked first: a selection question or a replace question means nothing without a link.
bool DownloadController::refuseWhenDisconnected()
{
    if (m_session->isConnected())
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
    setBusy(false);
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
            setBusy(false);
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
        setBusy(false);
        return;
    }
    const QString unwritable = DownloadRecorder::checkWritable(m_browser->downloadPath());
    if (!unwritable.isEmpty()) {
        m_dialogs.notice->showNotice(unwritable);
        setBusy(false);
        return;
    }
    m_session->setDownloadPath(m_browser->downloadPath());
    if (!m_session->startDownload(remotePaths)) {
        m_dialogs.notice->showNotice(notConnectedText());
        setBusy(false);
        return;
    }
    m_toldLinkEnd = false;
    m_dialogs.progress->reset();
    m_dialogs.progress->show();
}

QString DownloadController::linkClosedText()
{
    return tr("The connection was closed; connect again to go on.");
}

bool DownloadController::toldLinkEnd()
{
    const bool told = m_toldLinkEnd;
    m_toldLinkEnd = false;
    return told;
}

void DownloadController::onEnded(const ClientSession::Result &result)
{
    const DownloadReceiver &receiver = *m_session->receiver();
    m_dialogs.progress->cancelDialog()->hide();
    m_dialogs.progress->accept();
    setBusy(false);
    const QString skipped = newOnlySummary();
    m_skippedPresent = -1;
    auto withSkipped = [&skipped](const QString &text) {
        return skipped.isEmpty() ? text
                                 : text.isEmpty() ? skipped : text + QStringLiteral("\n\n") + skipped;
    };
    m_pendingConfirmation.clear();
    if (m_recorder) {
        m_recordFolder = m_recorder->lastFolder();
        m_recordId = m_recorder->lastDownload();
    }
    // A failure keeps its notice, which can open the download's record lines.
    auto notice = [this, &withSkipped](const QString &text) {
        if (m_recorder && m_verify)
            m_dialogs.notice->showNotice(withSkipped(text), tr("Show record"), [this] { showRecord(); });
        else
            m_dialogs.notice->showNotice(withSkipped(text));
    };
    switch (result.end) {
    case ClientSession::End::Completed: {
        if (result.requested.isEmpty())
            return;
        const QString text = DownloadNotice::finishedText(receiver);
        if (!text.isEmpty()) {
            notice(text);
        } else {
            m_confirmedFolder = localFolderOf(result.requested);
            m_pendingConfirmation = storedText(result.count(FileOutcome::Kind::Stored)
                                                   + result.count(FileOutcome::Kind::Replaced),
                                               m_confirmedFolder);
            if (!skipped.isEmpty())
                m_pendingConfirmation += QLatin1Char(' ') + skipped;
            if (!m_recorder) // nothing to wait for
                onRecordUpdated(QString());
        }
        return;
    }
    case ClientSession::End::Closed:
        return;
    case ClientSession::End::Stopped:
        notice(DownloadNotice::earlyEndText(result.reason, receiver, result.unannounced));
        requestReconnect(resumeHere({}));
        return;
    case ClientSession::End::LinkLost:
        noticeEarlyEnd(withSkipped(DownloadNotice::earlyEndText(result.reason, receiver, result.unannounced)),
                       result.rest());
        break;
    case ClientSession::End::Stalled:
        noticeEarlyEnd(withSkipped(DownloadNotice::earlyEndText(result.reason + QLatin1Char(' ') + linkClosedText(),
                                                                receiver, result.unannounced)),
                       result.rest());
        break;
    case ClientSession::End::Refused:
        notice(DownloadNotice::earlyEndText(result.reason + QLatin1Char(' ') + linkClosedText(), receiver));
        break;
    }
    m_toldLinkEnd = true;
}

void DownloadController::setRecordViews(DownloadRecorder *recorder, FolderVerify *verify)
{
    m_recorder = recorder;
    m_verify = verify;
    m_toast = new DownloadToast(m_window);
    connect(m_recorder, &DownloadRecorder::recordUpdated, this, &DownloadController::onRecordUpdated);
    connect(m_toast, &DownloadToast::showRecordRequested, this, &DownloadController::showRecord);
    connect(m_toast, &DownloadToast::showFolderRequested, this, [this] {
        QDesktopServices::openUrl(QUrl::fromLocalFile(m_confirmedFolder));
    });
}

QString DownloadController::storedText(int files, const QString &localFolder)
{
    // A long path would not fit the short word: its end tells the run apart.
    QString shown = QDir::toNativeSeparators(localFolder);
    const QStringList parts = localFolder.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    if (shown.size() > 60 && parts.size() > 2)
        shown = QStringLiteral("\u2026") + QDir::separator() + QDir::toNativeSeparators(parts.mid(parts.size() - 2).join(QLatin1Char('/')));
    return files == 1 ? tr("1 file stored in %1").arg(shown) : tr("%1 files stored in %2").arg(files).arg(shown);
}

// Where the files of a request went: the folder asked for, or the folder of the files.
QString DownloadController::localFolderOf(const QStringList &requested) const
{
    if (requested.size() == 1) {
        const QString local = m_browser->toLocalPath(requested.first());
        if (QFileInfo(local).isDir())
            return local;
    }
    return m_browser->toLocalPath(RemotePath::parent(requested.value(0)));
}

void DownloadController::onRecordUpdated(const QString &problem)
{
    if (m_pendingConfirmation.isEmpty()) {
        // A download that ended with a notice: a record problem is added to it.
        if (!problem.isEmpty())
            m_dialogs.notice->showNotice(problem);
        return;
    }
    const QString text = m_pendingConfirmation;
    m_pendingConfirmation.clear();
    if (!problem.isEmpty()) {
        // The files are there but the record is not whole: that needs a click.
        m_dialogs.notice->showNotice(text + QStringLiteral(".\n") + problem, tr("Show record"),
                                     [this] { showRecord(); });
        return;
    }
    if (m_toast)
        m_toast->showMessage(text + tr("; record updated"));
}

void DownloadController::showRecord()
{
    if (m_verify && !m_recordId.isEmpty())
        m_verify->showDownload(m_recordFolder, m_recordId);
}
