// Picking a download up again: "Stop now", and "Reconnect and get the rest" after the link
// was lost or the instrument went quiet.
#include "download/downloadcontroller.h"

#include "browser/browserpanel.h"
#include "common/noticedialog.h"
#include "download/downloadingprogressdialog.h"
#include "download/folderverify.h"
#include "link/remotepath.h"
#include "record/downloadrecorder.h"

void DownloadController::stopNow()
{
    if (isLookingForNewFiles()) {
        m_walk->stop(); // nothing is being received: the search just ends
        return;
    }
    m_session->stopNow();
}

// Taken when the download ends: the window forgets the folder it showed when the link goes,
// and the user may log in elsewhere before answering the notice.
DownloadController::Resume DownloadController::resumeHere(const QStringList &rest) const
{
    return {m_session->host(), m_session->account(), m_browser->currentRemotePath(), rest};
}

void DownloadController::noticeEarlyEnd(const QString &text, const QStringList &rest)
{
    QList<NoticeDialog::Action> actions;
    if (m_recorder && m_verify)
        actions.append({tr("Show record"), [this] { showRecord(); }});
    if (!rest.isEmpty()) {
        const Resume resume = resumeHere(rest);
        actions.append({tr("Reconnect and get the rest"), [this, resume] { requestReconnect(resume); }});
    }
    if (actions.isEmpty())
        m_dialogs.notice->showNotice(text);
    else
        m_dialogs.notice->showNotice(text, actions);
}

void DownloadController::requestReconnect(const Resume &resume)
{
    m_resumePending = true;
    m_resume = resume;
    emit reconnectRequested();
}

void DownloadController::dropResume()
{
    m_resumePending = false;
    m_resume = Resume();
}

void DownloadController::resumeAfterLogin()
{
    if (!m_resumePending)
        return;
    const Resume resume = m_resume;
    const QString &folder = resume.folder;
    const QStringList &rest = resume.rest;
    dropResume();
    // Down from the top one folder at a time, so that the tree holds every folder on the way
    // as it did; the instrument answers in order, before the request below.
    if (folder.startsWith(RemotePath::kRoot + QLatin1Char('/'))) {
        const QStringList names = folder.mid(RemotePath::kRoot.size() + 1).split(QLatin1Char('/'), Qt::SkipEmptyParts);
        QString path = RemotePath::kRoot;
        for (const QString &name : names) {
            path = RemotePath::join(path, name);
            m_browser->changeRemoteFolder(path);
        }
    }
    if (rest.isEmpty())
        return;
    prepareRequest();
    startDownload(rest);
}
