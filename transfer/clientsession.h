#pragma once
#include "link/loginexchange.h"
#include "transfer/browseexchange.h"
#include "transfer/downloadlifecycle.h"
#include "transfer/fileoutcome.h"

#include <QObject>
#include <QStringList>
#include <QTimer>

class DownloadReceiver;
class InstrumentLink;
class QTcpSocket;

// One conversation with an instrument, without widgets: the link, the login, the folder the
// instrument stands in, browse commands paired with their answers, and downloads from the
// request to the refreshed listing. The window, a command line and a folder walk all drive
// the instrument through it, so every one of them speaks the protocol the same way.
//
// Nothing here waits: the end of a download runs from the event loop after the read that
// delivered it, and the disk's work is waited for by the writer's own hand-over.
class ClientSession : public QObject
{
    Q_OBJECT
public:
    struct Login
    {
        QString host;
        bool anonymous = true;
        QString account;
        QString password;
        int connectTimeoutMs = Protocol::kConnectTimeoutMs;
        int answerTimeoutMs = LoginExchange::kAnswerTimeoutMs;
    };

    // How a download ended. Stopped: the user stopped it at once, and the link was closed
    // for it, since the protocol has no way to break off a file.
    enum class End { Completed, LinkLost, Stalled, Refused, Closed, Stopped };
    Q_ENUM(End)
    struct Result
    {
        End end = End::Completed;
        QString reason;          // why it ended early, for people
        bool stopped = false;    // the user asked to stop
        QStringList requested;
        QList<FileOutcome> files;
        // Requested paths the instrument never got to announce: a long request goes out in
        // parts, and a download that ends early leaves the later ones unsent.
        QStringList unannounced;
        int count(FileOutcome::Kind kind) const;
        // What did not arrive and can be asked for again: files cut off, files announced and
        // never sent, and the paths never announced. Files stored, or refused, are not.
        QStringList rest() const;
    };

    explicit ClientSession(QObject *parent = nullptr);
    ~ClientSession() override;

    InstrumentLink *link() const { return m_link; }
    DownloadReceiver *receiver() const { return m_receiver; }
    DownloadLifecycle &lifecycle() { return m_lifecycle; }
    ReaderMode readerMode() const;

    // Logging in. The window's login dialog works on newSocket() and hands it back to
    // begin() once accepted; a program without a window calls logIn().
    QTcpSocket *newSocket();
    // Takes the logged-in socket and shows the instrument's home folder. False when the
    // instrument went away meanwhile (nothing is kept then).
    bool begin(QTcpSocket *socket, const QString &account = QString());
    void logIn(const Login &login);
    // Our own closing; not reported as a loss. A download under way ends as Closed.
    void close();
    bool isConnected() const;
    QString host() const { return m_host; }
    QString account() const { return m_account; } // empty for anonymous

    // The folder the instrument last reported for the user's view.
    QString currentFolder() const { return m_currentFolder; }
    void showFolder(const QString &remotePath) { m_browse.showFolder(remotePath); }
    void listFolder(const QString &remotePath, BrowseExchange::Done done);
    void abandonListings() { m_browse.abandon(); }
    // How long a "$PWD" or "$LIST" may go unanswered (the window keeps the default).
    void setAnswerLimit(int ms) { m_browse.setAnswerLimit(ms); }

    void setDownloadPath(const QString &path) { m_downloadPath = path; }
    QString downloadPath() const { return m_downloadPath; }
    bool isDownloading() const { return m_downloading; }
    // Sends the request for `remotePaths`; false (nothing sent) when not connected, when
    // a download runs, or for an empty request.
    bool startDownload(const QStringList &remotePaths);
    // "Stop": files completed from now on are answered with a cancel.
    void stopDownload();
    // "Stop now": the file under way is thrown away (an older copy stays) and the link is
    // closed at once; the download ends as Stopped. False when no download runs.
    bool stopNow();

    void setStallLimit(int ms);

signals:
    void loggedIn();
    void loginFailed(LoginExchange::Failure failure, const QString &detail);
    // Answers for the user's view, as the reader delivers them.
    void pwdShown(const QString &line, quint64 lineId);
    void listShown(const QString &line, quint64 lineId, bool complete);
    void downloadStarted(const QStringList &requested);
    void fileEnded(const FileOutcome &outcome);
    void downloadEnded(const ClientSession::Result &result);
    // The link is gone (lost, or closed for a stall or a refusal), after any download
    // under way has ended. Not emitted for close().
    void linkClosed(ClientSession::End why, const QString &reason);

private:
    void onPwdShown(const QString &line, quint64 lineId);
    void onListShown(const QString &line, quint64 lineId, bool complete);
    void onEndNotice();
    void onLinkLost();
    void drain();
    void endEarly(End why, const QString &reason);
    void conclude(End why, const QString &reason);
    void closeLink();
    void sendNextPart();
    bool continueWithNextPart();
    void noteUnannounced();

    InstrumentLink *m_link;
    DownloadReceiver *m_receiver;
    DownloadLifecycle m_lifecycle;
    BrowseExchange m_browse;
    LoginExchange *m_login = nullptr;
    QString m_host;
    QString m_account;
    QString m_currentFolder;
    QString m_downloadPath;
    bool m_downloading = false;
    bool m_ending = false;     // the end of the download is on its way
    bool m_draining = false;   // the link is lost; what it delivered is still being stored
    bool m_lossSeen = false;
    bool m_folderKnown = false; // a "$PWD:" answer has named the user's folder
    int m_drainRounds = 0;
    QTimer m_drainLimit;
    Result m_result;
    QList<QStringList> m_parts; // request lines still to send, as their paths
    QStringList m_partPaths;    // the request under way
    bool m_partAnnounced = false;
    bool m_stoppingNow = false;
};
Q_DECLARE_METATYPE(ClientSession::Result)
