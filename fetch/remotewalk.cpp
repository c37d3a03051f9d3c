#include "fetch/remotewalk.h"

#include "link/remotepath.h"
#include "transfer/clientsession.h"
#include "transfer/folderwalk.h"

#include <algorithm>

RemoteWalk::RemoteWalk(ClientSession *session, QObject *parent) : QObject(parent), m_session(session) {}

void RemoteWalk::start(const QStringList &targets, bool recursive)
{
    m_targets = targets;
    m_recursive = recursive;
    m_next = 0;
    m_listed = 0;
    m_queue.clear();
    m_items.clear();
    m_missing.clear();
    m_fileTargets.clear();
    resolveNext();
}

QStringList RemoteWalk::files() const
{
    QStringList out;
    for (const RemoteItem &item : m_items)
        if (!item.folder)
            out << item.path;
    return out;
}

void RemoteWalk::resolveNext()
{
    while (m_next < m_targets.size()) {
        const QString target = m_targets.at(m_next);
        if (target == RemotePath::kRoot) {
            m_queue.append({target, target});
            ++m_next;
            continue;
        }
        const QString parent = RemotePath::parent(target);
        const auto cached = m_parents.constFind(parent);
        if (cached != m_parents.constEnd()) {
            classify(target, *cached);
            ++m_next;
            continue;
        }
        if (!m_session)
            return emit finished(false, tr("Not connected to an instrument."));
        m_session->listFolder(parent, [this, parent](const FolderListResult &result) {
            if (!result.ok)
                return emit finished(false, result.error);
            m_parents.insert(parent, result.entries);
            resolveNext();
        });
        return;
    }
    if (m_recursive)
        walkFolders();
    else
        expandNext();
}

// Whole trees go through the shared folder walk, which knows the instruments' folders that
// lead back up and caps a runaway tree the same way for the window and for scripts.
void RemoteWalk::walkFolders()
{
    QStringList roots;
    for (const Pending &p : qAsConst(m_queue))
        roots << p.folder;
    m_queue.clear();
    if (roots.isEmpty())
        return finishWalk();
    auto *walk = new FolderWalk(m_session, this);
    connect(walk, &FolderWalk::progress, this, &RemoteWalk::progress);
    connect(walk, &FolderWalk::finished, this, [this, walk, roots](const FolderWalk::Result &result) {
        walk->deleteLater();
        if (!result.ok)
            return emit finished(false, result.error);
        auto add = [this, &roots](const QString &path, bool folder) {
            for (const QString &root : roots) {
                if (path.startsWith(root + QLatin1Char('/')))
                    return m_items.append({path, path.mid(root.size() + 1), folder});
            }
        };
        for (const QString &folder : result.folders)
            if (!roots.contains(folder))
                add(folder, true);
        for (const QString &file : result.files)
            add(file, false);
        finishWalk();
    });
    walk->start(roots);
}

void RemoteWalk::finishWalk()
{
    // A tree reads best, and compares between runs, in path order.
    std::sort(m_items.begin(), m_items.end(),
              [](const RemoteItem &a, const RemoteItem &b) { return a.path < b.path; });
    emit finished(true, QString());
}

void RemoteWalk::classify(const QString &target, const QVector<Listing::Entry> &parentEntries)
{
    const QString name = target.mid(target.lastIndexOf(QLatin1Char('/')) + 1);
    for (const Listing::Entry &e : parentEntries) {
        if (e.name != name)
            continue;
        if (e.folder) {
            m_queue.append({target, target});
        } else {
            m_items.append({target, name, false});
            m_fileTargets << target;
        }
        return;
    }
    m_missing << target;
}

void RemoteWalk::expandNext()
{
    if (m_queue.isEmpty())
        return emit finished(true, QString());
    if (!m_session)
        return emit finished(false, tr("Not connected to an instrument."));
    const Pending p = m_queue.takeFirst();
    m_session->listFolder(p.folder, [this, p](const FolderListResult &result) { onListed(p, result); });
}

void RemoteWalk::onListed(const Pending &p, const FolderListResult &result)
{
    if (!result.ok)
        return emit finished(false, tr("Cannot list %1: %2").arg(p.folder, result.error));
    emit progress(++m_listed);
    for (const Listing::Entry &e : result.entries) {
        if (!Listing::isEntryName(e.name))
            continue;
        const QString path = RemotePath::join(p.folder, e.name);
        m_items.append({path, path.mid(p.base.size() + 1), e.folder});
    }
    expandNext();
}
