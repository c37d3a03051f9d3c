#pragma once
#include "record/verifier.h"

#include <QObject>
#include <QStringList>

#include <functional>

class ClientSession;
class InstrumentWalk;
class QProgressDialog;
class QWidget;
class RecordResultWindow;

// File > Verify Download Folder…: re-hashes the copies on a worker behind a progress
// window with "Stop", then, when connected, lists the instrument folders the user names and
// says which of their files have no verified copy. The answers go to the result window.
// Also opens one download's record lines there ("Show record").
class FolderVerify : public QObject
{
    Q_OBJECT
public:
    FolderVerify(ClientSession *session, QWidget *window);
    ~FolderVerify() override;

    void start(const QString &downloadFolder);
    void showDownload(const QString &downloadFolder, const QString &downloadId);
    bool isRunning() const;

    RecordResultWindow *resultWindow() const { return m_result; }
    QProgressDialog *progressDialog() const { return m_progress; }

    // Asks which instrument folders to compare; an empty list skips the comparison. The
    // default asks in a dialog, one folder a line, the folder shown filled in.
    using FolderAsker = std::function<QStringList(QWidget *parent, const QString &shown)>;
    void setFolderAsker(FolderAsker asker) { m_asker = std::move(asker); }

signals:
    // The result window has been filled.
    void done();

private:
    void onVerified(const VerifyResult &result);
    void walkNext();
    void onWalked(const QStringList &files, const QString &error);
    void showResult();
    void stop();

    ClientSession *m_session;
    QWidget *m_window;
    Verifier *m_verifier;
    InstrumentWalk *m_walk;
    QProgressDialog *m_progress;
    RecordResultWindow *m_result;
    FolderAsker m_asker;

    QString m_folder;
    VerifyResult m_verified;
    QStringList m_instrumentFolders;
    QStringList m_answers;
    QStringList m_problems;
    QVector<QStringList> m_instrumentRows;
    bool m_stopped = false;
};
