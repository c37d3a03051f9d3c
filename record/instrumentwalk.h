#pragma once
#include <QObject>
#include <QSet>
#include <QStringList>

class ClientSession;
struct FolderListResult;

// Lists every file below some instrument folders, depth first, through the session's own
// listings: the tree and list the user sees are never touched. A folder that leads back to
// one already walked (the instrument resolves links in its "$PWD:" answer) is walked once.
class InstrumentWalk : public QObject
{
    Q_OBJECT
public:
    explicit InstrumentWalk(ClientSession *session, QObject *parent = nullptr);

    // Bounds, so that a looping or enormous instrument cannot keep the walk going forever.
    static constexpr int kMaxFolders = 100000;
    static constexpr int kMaxFiles = 2000000;

    void start(const QStringList &folders);
    // Stops after the listing under way; finished() follows with an error.
    void stop();
    bool isRunning() const { return m_running; }

signals:
    void progress(int foldersListed, int filesFound, const QString &current);
    // `files` are remote paths in walk order; `error` is empty when every folder was listed.
    void finished(const QStringList &files, const QString &error);

private:
    void next();
    void onListed(const QString &asked, const FolderListResult &result);
    void finish(const QString &error);

    ClientSession *m_session;
    QStringList m_pending;      // a stack: the last one is listed next
    QSet<QString> m_seen;
    QStringList m_files;
    int m_listed = 0;
    bool m_running = false;
    bool m_stop = false;
};
