#pragma once
#include "transfer/clientsession.h"
#include "transfer/downloadlifecycle.h"
#include "transfer/folderwalk.h"

#include <QObject>
#include <QStringList>

class AlreadyDialog;
class AlreadyDialogTreeWidget;
class BrowserPanel;
class DownloadRecorder;
class DownloadToast;
class FolderVerify;
class ClientSession;
class DownloadReceiver;
class DownloadingProgressDialog;
class EmptyDownloadSizeDialog;
class NoticeDialog;
class QListWidget;
class QWidget;

// The window's side of a download: checks the request against the download folder, asks the
// questions it needs, hands the request to the session and shows what it reports. It is
// busy from the request to the end; the window keeps what would interfere disabled then.
class DownloadController : public QObject
{
    Q_OBJECT
public:
    // The dialogs stay the window's; the controller shows and fills them.
    struct Dialogs
    {
        DownloadingProgressDialog *progress;
        EmptyDownloadSizeDialog *emptySelection;
        AlreadyDialog *replace;
        AlreadyDialogTreeWidget *replaceFolder;
        NoticeDialog *notice;
    };
    DownloadController(ClientSession *session, BrowserPanel *browser, QListWidget *list,
                       const Dialogs &dialogs, QWidget *window);

    DownloadReceiver *receiver() const;
    // Sits between the link's reader and the receiver.
    DownloadLifecycle &lifecycle();
    // The reader's six modes: its framing inside a message, the download's phase between.
    ReaderMode readerMode() const;

    // What the download button and the list's menu start.
    void downloadListSelection();
    // The user agreed to replace the local copies of the list's selection.
    void downloadListSelectionAgain();
    // What the tree's menu starts for the instrument's folder `remotePath`, and the answer to
    // the question about a local folder of that name.
    void downloadTreeFolder(const QString &remotePath);
    void downloadTreeFolderAgain();
    // "Only new files" on the list's and the tree's replace questions, and the tree menu's
    // "Download new files in …": folders are walked on the instrument and only the files
    // with no local regular file are requested.
    void downloadListSelectionNewOnly();
    void downloadTreeFolderNewOnly();
    void downloadNewFilesIn(const QString &remoteFolder);
    bool isLookingForNewFiles() const;
    // A file the user tried to open and agreed to download.
    void downloadFile(const QString &remotePath);
    void cancel();
    // "Stop now": the file under way is thrown away and the link closed; the window is asked
    // to log in again at once and comes back to the folder it showed.
    void stopNow();
    // The window has logged in again for a "Stop now" or for "Reconnect and get the rest":
    // the folder shown before comes back, and the files that did not arrive are asked for.
    void resumeAfterLogin();
    // Logging in again failed or was given up: nothing is resumed.
    void dropResume();
    bool hasResume() const { return m_resumePending; }
    // The instrument and account the link to log in to again was made with.
    QString resumeHost() const { return m_resume.host; }
    QString resumeAccount() const { return m_resume.account; }
    // True once after a download ended with the link: the user has been told why.
    bool toldLinkEnd();
    // The link is gone: questions about a download that can no longer start are closed.
    void closeQuestions();
    static QString notConnectedText();
    bool isBusy() const { return m_busy; }
    // Set while a request is checked and while its download runs.
    void setBusy(bool busy);

signals:
    void busyChanged(bool busy);
    // Log in again to the instrument and account of the link that ended, then call
    // resumeAfterLogin().
    void reconnectRequested();

public:

    // The end of a download is confirmed once its record is written: a short word that goes
    // away by itself when all went well, the notice otherwise; both offer "Show record".
    void setRecordViews(DownloadRecorder *recorder, FolderVerify *verify);
    DownloadToast *toast() const { return m_toast; }
    // "12 files stored in /home/lab/Downloads/Run_2024-03-11_001"
    static QString storedText(int files, const QString &localFolder);
    static QString linkClosedText();

private:
    bool refuseWhenDisconnected();
    void prepareRequest();
    void startDownload(const QStringList &remotePaths);
    void onEnded(const ClientSession::Result &result);
    // The end notice of a download that ended early: "Show record", and "Reconnect and get
    // the rest" when files are missing and logging in again can fetch them.
    void noticeEarlyEnd(const QString &text, const QStringList &rest);
    struct Resume
    {
        QString host;
        QString account;
        QString folder;
        QStringList rest;
    };
    Resume resumeHere(const QStringList &rest) const;
    void requestReconnect(const Resume &resume);
    QStringList selectedListNames() const;
    void fetchNewFiles(const QStringList &files, const QStringList &folders);
    void onWalkFinished(const QStringList &directFiles, const FolderWalk::Result &walked);
    void sendNewFiles(const QStringList &candidates);
    void returnToShownFolder();
    QString newOnlySummary() const;
    void onRecordUpdated(const QString &problem);
    void showRecord();
    QString localFolderOf(const QStringList &requested) const;

    ClientSession *m_session;
    BrowserPanel *m_browser;
    QListWidget *m_list;
    Dialogs m_dialogs;
    QWidget *m_window;
    QString m_askedTreeFolder; // the folder the replace question is about
    bool m_toldLinkEnd = false;
    FolderWalk *m_walk = nullptr;
    int m_skippedPresent = -1; // files left out as present, for the end summary; -1: not asked
    bool m_busy = false;

    DownloadRecorder *m_recorder = nullptr;
    FolderVerify *m_verify = nullptr;
    DownloadToast *m_toast = nullptr;
    // Set when a download went well: the confirmation waits for its record.
    QString m_pendingConfirmation;
    QString m_confirmedFolder;
    // The download "Show record" opens: the one that ended last, not one started since.
    QString m_recordFolder;
    QString m_recordId;
    // What to do once the window has logged in again.
    bool m_resumePending = false;
    Resume m_resume;
};
