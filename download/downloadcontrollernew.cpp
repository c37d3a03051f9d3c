// Downloads of only the files that are not in the download folder yet.
#include "download/downloadcontroller.h"

#include "browser/browserpanel.h"
#include "common/noticedialog.h"
#include "download/downloadingprogressdialog.h"
#include "download/emptydownloadsizedialog.h"
#include "link/listing.h"
#include "link/remotepath.h"
#include "transfer/downloadrequest.h"
#include "transfer/newfiles.h"

#include <QListWidget>

bool DownloadController::isLookingForNewFiles() const
{
    return m_walk && m_walk->isRunning();
}

void DownloadController::downloadListSelectionNewOnly()
{
    if (refuseWhenDisconnected())
        return;
    const QString folder = m_browser->currentRemotePath();
    const QMap<QString, QString> &kinds = m_browser->itemKinds();
    QStringList files;
    QStringList folders;
    for (const QString &name : selectedListNames()) {
        if (name == FolderListing::kParent)
            continue;
        const QStringList path = DownloadRequest::requestPaths(folder, {name});
        if (path.isEmpty())
            continue;
        (kinds.value(name) == FolderListing::kDir ? folders : files).append(path.first());
    }
    if (files.isEmpty() && folders.isEmpty()) {
        m_dialogs.emptySelection->show();
        return;
    }
    fetchNewFiles(files, folders);
}

void DownloadController::downloadTreeFolderNewOnly()
{
    downloadNewFilesIn(m_askedTreeFolder);
}

void DownloadController::downloadNewFilesIn(const QString &remoteFolder)
{
    if (refuseWhenDisconnected())
        return;
    if (remoteFolder.isEmpty()) {
        m_dialogs.emptySelection->show();
        return;
    }
    fetchNewFiles({}, {remoteFolder});
}

void DownloadController::fetchNewFiles(const QStringList &files, const QStringList &folders)
{
    prepareRequest();
    if (folders.isEmpty()) {
        sendNewFiles(files);
        return;
    }
    delete m_walk; // a finished walk of an earlier request
    m_walk = new FolderWalk(m_session, this);
    connect(m_walk, &FolderWalk::progress, m_dialogs.progress,
            &DownloadingProgressDialog::showLooking);
    connect(m_walk, &FolderWalk::finished, this,
            [this, files](const FolderWalk::Result &walked) { onWalkFinished(files, walked); });
    m_dialogs.progress->reset();
    m_dialogs.progress->showLooking(0);
    m_dialogs.progress->show();
    m_walk->start(folders);
}

void DownloadController::onWalkFinished(const QStringList &directFiles,
                                        const FolderWalk::Result &walked)
{
    m_walk->deleteLater();
    m_walk = nullptr;
    if (!walked.ok || walked.stopped) {
        m_dialogs.progress->cancelDialog()->hide();
        m_dialogs.progress->accept();
        m_window->setEnabled(true);
        returnToShownFolder();
        if (!walked.stopped)
            m_dialogs.notice->showNotice(
                tr("The search for new files ended early: %1").arg(walked.error));
        return;
    }
    QStringList candidates = directFiles;
    for (const QString &file : walked.files)
        if (!candidates.contains(file))
            candidates.append(file);
    m_dialogs.progress->cancelDialog()->hide();
    sendNewFiles(candidates);
}

void DownloadController::sendNewFiles(const QStringList &candidates)
{
    const QStringList missing = NewFiles::missing(candidates, m_browser->downloadPath());
    if (missing.isEmpty()) {
        m_dialogs.progress->accept();
        m_window->setEnabled(true);
        returnToShownFolder();
        m_dialogs.notice->showNotice(
            candidates.isEmpty()       ? tr("There are no files in the selected folders.")
            : candidates.size() == 1 ? tr("The file is already in the download folder.")
                                     : tr("All %1 files are already in the download folder.")
                                           .arg(candidates.size()));
        return;
    }
    const int present = int(candidates.size() - missing.size());
    startDownload(missing);
    // Only a download that went out is summed up as one of only new files.
    m_skippedPresent = m_session->isDownloading() ? present : -1;
    if (!m_session->isDownloading()) { // refused, and the user told why
        m_dialogs.progress->accept();
        returnToShownFolder();
    }
}

// The walk moved the instrument from the folder the user sees; it is asked to go back, so
// the next command without a path works where the user thinks it does.
void DownloadController::returnToShownFolder()
{
    if (m_session->isConnected() && !m_session->currentFolder().isEmpty())
        m_session->showFolder(m_session->currentFolder());
}

QString DownloadController::newOnlySummary() const
{
    if (m_skippedPresent <= 0)
        return QString();
    return m_skippedPresent == 1
        ? tr("1 file already in the download folder was skipped (compared by name only).")
        : tr("%1 files already in the download folder were skipped (compared by name only).")
              .arg(m_skippedPresent);
}
