#pragma once
#include "fetch/fetchoptions.h"
#include "fetch/fetchoutput.h"
#include "fetch/pathfilter.h"
#include "transfer/clientsession.h"

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class DownloadRecorder;
class RemoteWalk;

// One run of tarvelo-fetch: logs in through the same session the window uses, does the one
// command, and ends the event loop with the exit code. The download folder gets the same
// transfer record the window writes, so both read as one history.
class FetchRun : public QObject
{
    Q_OBJECT
public:
    FetchRun(const FetchOptions &options, QObject *parent = nullptr);
    ~FetchRun() override;

    // Starts the work from the event loop; finished() carries the exit code.
    void start();
    // A signal asked the run to end (SIGINT, SIGTERM): the file under way is dropped, what
    // is stored stays, the record gets its end, and the run ends with `code`.
    void interrupt(int code);
    int exitCode() const { return m_exitCode; }

signals:
    void finished(int exitCode);

private:
    void onLoggedIn();
    void onLoginFailed(LoginExchange::Failure failure, const QString &detail);
    void onLinkClosed(ClientSession::End why, const QString &reason);
    void finish(int code);
    void walk(bool recursive, const QStringList &targets, std::function<void()> then);
    void unfetched(const QString &path, const QString &reason);
    QString localPath(const QString &remote) const;
    bool localCopyExists(const QString &remote, bool folder) const;

    // ls
    void runLs();
    // get (fetchrun_get.cpp)
    bool prepareDownloadFolder();
    void runGet();
    void request(const QStringList &paths);
    void onFileEnded(const FileOutcome &outcome);
    void onDownloadEnded(const ClientSession::Result &result);
    void onRecordUpdated(const QString &problem);
    void checkSilentPaths();
    void summarise();
    void showProgress(qint64 bytesPerSecond);
    // verify (fetchrun_verify.cpp)
    void runVerify();
    int verifyLocal(const QStringList &remoteFiles);

    FetchOptions m_options;
    FetchOutput m_out;
    PathFilter m_filter;
    ClientSession *m_session = nullptr;
    DownloadRecorder *m_recorder = nullptr;
    RemoteWalk *m_walk = nullptr;
    QElapsedTimer m_clock;
    QTimer m_recordLimit;
    int m_exitCode = 0;
    bool m_finished = false;
    bool m_downloading = false;
    bool m_awaitingRecord = false; // the download has ended; its record is made durable
    int m_pendingCode = 0;       // the download's code while its record is made durable
    int m_interruptCode = 0;
    qint64 m_rate = 0;
    // The download under way.
    int m_total = 0;
    int m_done = 0;
    qint64 m_bytes = 0;          // whole files stored
    qint64 m_currentBytes = 0;
    qint64 m_currentSize = -1;
    int m_skipped = 0;
    bool m_checkingSilent = false; // looking up paths the instrument sent nothing for
    QVector<QPair<QString, QString>> m_unfetched; // asked for and not fetched, and why
    ClientSession::Result m_result;
};
