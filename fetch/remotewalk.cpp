#include "fetch/remotewalk.h"

#include "link/remotepath.h"
#include "transfer/clientsession.h"

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
    expandNext();
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
    if (m_queue.isEmpty()) {
        // A tree reads best, and compares between runs, in path order.
        if (m_recursive)
            std::sort(m_items.begin(), m_items.end(),
                      [](const RemoteItem &a, const RemoteItem &b) { return a.path < b.path; });
        return emit finished(true, QString());
    }
    if (m_listed >= kMaxFolders || m_items.size() >= kMaxItems)
        return emit finished(false, tr("More than %1 folders or %2 entries: the walk was given up.")
                                        .arg(kMaxFolders).arg(kMaxItems));
    if (!m_session)
        return emit finished(false, tr("Not connected to an instrument."));
    // Depth first, in the instrument's order: the listing reads like the tree.
    const Pending p = m_queue.takeLast();
    m_session->listFolder(p.folder, [this, p](const FolderListResult &result) { onListed(p, result); });
}

void RemoteWalk::onListed(const Pending &p, const FolderListResult &result)
{
    if (!result.ok)
        return emit finished(false, tr("Cannot list %1: %2").arg(p.folder, result.error));
    emit progress(++m_listed);
    QVector<Pending> below;
    for (const Listing::Entry &e : result.entries) {
        if (!Listing::isEntryName(e.name))
            continue;
        const QString path = RemotePath::join(p.folder, e.name);
        m_items.append({path, path.mid(p.base.size() + 1), e.folder});
        // A folder that leads back up would be walked for ever; the depth bound ends it.
        if (e.folder && m_recursive && path.count(QLatin1Char('/')) < 64)
            below.append({path, p.base});
    }
    for (int i = below.size() - 1; i >= 0; --i)
        m_queue.append(below.at(i));
    expandNext();
}
