#pragma once
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QVector>

#include "link/listing.h"

class ClientSession;
struct FolderListResult;

// One file or folder found on the instrument, with its path below the path that was asked
// for (what --include and --exclude match); for a file asked for by name, its name.
struct RemoteItem
{
    QString path;
    QString below;
    bool folder = false;
};

// Finds what the paths on the command line are: each is looked up in its parent's listing
// (the request line does not tell files from folders, and neither would "$CD" to a file),
// folders are listed, and with `recursive` every folder below them too (through the shared
// FolderWalk). Only the session's own listings are used, as the window's are.
class RemoteWalk : public QObject
{
    Q_OBJECT
public:
    explicit RemoteWalk(ClientSession *session, QObject *parent = nullptr);

    void start(const QStringList &targets, bool recursive);
    const QVector<RemoteItem> &items() const { return m_items; }
    QStringList files() const;
    // Paths asked for that the instrument does not have.
    const QStringList &missing() const { return m_missing; }
    // Paths asked for that are files (rather than folders).
    const QStringList &fileTargets() const { return m_fileTargets; }

signals:
    void progress(int foldersListed);
    void finished(bool ok, const QString &error);

private:
    struct Pending
    {
        QString folder;
        QString base;
    };
    void resolveNext();
    void classify(const QString &target, const QVector<Listing::Entry> &parentEntries);
    void expandNext();
    void walkFolders();
    void finishWalk();
    void onListed(const Pending &p, const FolderListResult &result);

    QPointer<ClientSession> m_session;
    QStringList m_targets;
    int m_next = 0;
    bool m_recursive = false;
    QHash<QString, QVector<Listing::Entry>> m_parents;
    QVector<Pending> m_queue;
    int m_listed = 0;
    QVector<RemoteItem> m_items;
    QStringList m_missing;
    QStringList m_fileTargets;
};
