#pragma once
#include <QHash>
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
    // An instrument that names a linked folder by the link's path cannot be caught by its
    // "$PWD:" answer: a walk this deep ends with an error rather than a wrong "all copied".
    static constexpr int kMaxDepth = 64;

    void start(const QStringList &folders);
    // Stops after the listing under way; finished() follows with an error.
    void stop();
    bool isRunning() const { return m_running; }
    // Folders left out because they show the very folder above them again, down to a
    // folder of the same name: an instrument that names a linked folder by the link's path
    // would otherwise be walked round and round.
    QStringList linksBackUp() const { return m_links; }

signals:
    void progress(int foldersListed, int filesFound, const QString &current);
    // `files` are remote paths in walk order; `error` is empty when every folder was listed.
    void finished(const QStringList &files, const QString &error);

private:
    void next();
    void onListed(const QString &asked, const FolderListResult &result);
    void finish(const QString &error);
    bool leadsBackUp(const QString &folder, const FolderListResult &result);

    ClientSession *m_session;
    QStringList m_pending;      // a stack: the last one is listed next
    QSet<QString> m_seen;
    QStringList m_roots;
    QHash<QString, QByteArray> m_signatures;  // folder -> digest of its listing
    QStringList m_links;
    QStringList m_files;
    int m_listed = 0;
    bool m_running = false;
    bool m_stop = false;
};
