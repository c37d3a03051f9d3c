#pragma once
#include "link/listing.h"

#include <QObject>
#include <QPointer>
#include <QSet>
#include <QStringList>
#include <QVector>

class ClientSession;
struct FolderListResult;

// Finds every file below instrument folders with the browse commands alone ("$CD", "$PWD",
// "$LIST" per folder, through the session's own listings), so the folder the user sees is
// not disturbed. Depth first, in the instrument's order, one folder at a time.
//
// Instruments may hold folders that lead back up (links). A folder is not walked again when
// the instrument names it as one already walked, when it did not enter the folder asked for
// (its "$PWD:" answer names a folder already seen), or when its listing repeats that of a
// folder above it on the way down (an instrument that keeps the linked name in "$PWD:").
// Past the caps the walk ends with an error rather than growing without bound.
class FolderWalk : public QObject
{
    Q_OBJECT
public:
    struct Result
    {
        bool ok = false;          // false: error says why (link lost, no answer)
        bool stopped = false;     // stop() was called; nothing more was asked
        QString error;
        QStringList files;        // full remote paths of every file below the folders, depth first, instrument order
        QStringList folders;      // every folder walked (remote paths as requested)
        int foldersChecked = 0;
    };

    static constexpr int kDefaultMaxFolders = 20000;
    static constexpr int kDefaultMaxFiles = 500000;
    static constexpr int kMaxDepth = 64;

    explicit FolderWalk(ClientSession *session, QObject *parent = nullptr);

    void setLimits(int maxFolders, int maxFiles);
    bool isRunning() const { return m_running; }
    // Depth first, through session->listFolder only.
    void start(const QStringList &remoteFolders);
    void stop();

signals:
    void progress(int foldersChecked);
    void finished(const FolderWalk::Result &result);

private:
    struct Frame
    {
        QString path;                    // as asked
        QVector<Listing::Entry> entries;
        int next = 0;
        QByteArray signature;            // names and kinds, for spotting a repeat on the way
    };

    void listNext(const QString &path);
    void onListed(quint64 generation, const QString &path, const FolderListResult &answer);
    void advance();
    bool repeatsAncestor(const QByteArray &signature, const QVector<Listing::Entry> &entries) const;
    void finish(bool ok, const QString &error);

    QPointer<ClientSession> m_session;
    QStringList m_roots;
    int m_nextRoot = 0;
    QVector<Frame> m_stack;
    QSet<QString> m_seen; // folders walked, as asked and as the instrument named them
    Result m_result;
    quint64 m_generation = 0;
    bool m_running = false;
    int m_maxFolders = kDefaultMaxFolders;
    int m_maxFiles = kDefaultMaxFiles;
};
Q_DECLARE_METATYPE(FolderWalk::Result)
