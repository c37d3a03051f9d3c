#include "record/instrumentwalk.h"

#include "transfer/clientsession.h"

#include <QCryptographicHash>
#include <QPointer>

InstrumentWalk::InstrumentWalk(ClientSession *session, QObject *parent)
    : QObject(parent), m_session(session)
{
}

void InstrumentWalk::start(const QStringList &folders)
{
    if (m_running)
        return;
    m_pending.clear();
    for (auto it = folders.crbegin(); it != folders.crend(); ++it)
        m_pending << *it;
    m_roots = folders;
    m_seen.clear();
    m_signatures.clear();
    m_links.clear();
    m_files.clear();
    m_listed = 0;
    m_stop = false;
    m_running = true;
    next();
}

void InstrumentWalk::stop()
{
    m_stop = true;
}

void InstrumentWalk::next()
{
    if (m_stop)
        return finish(tr("The instrument check was stopped before the end."));
    if (m_pending.isEmpty())
        return finish(QString());
    if (m_listed >= kMaxFolders || m_files.size() >= kMaxFiles)
        return finish(tr("The instrument holds more than %1 folders or %2 files below the folders chosen; "
                         "the check stopped there.").arg(kMaxFolders).arg(kMaxFiles));
    QString folder = m_pending.takeLast();
    while (m_seen.contains(folder)) {
        if (m_pending.isEmpty())
            return finish(QString());
        folder = m_pending.takeLast();
    }
    m_seen.insert(folder);
    QPointer<InstrumentWalk> self(this);
    m_session->listFolder(folder, [self, folder](const FolderListResult &result) {
        if (self)
            self->onListed(folder, result);
    });
}

void InstrumentWalk::onListed(const QString &asked, const FolderListResult &result)
{
    if (!m_running)
        return;
    if (!result.ok)
        return finish(result.error.isEmpty() ? tr("%1 could not be listed.").arg(asked) : result.error);
    // The instrument's own name for the folder: a link back up resolves to one walked already.
    const QString folder = result.folder.isEmpty() ? asked : result.folder;
    if (folder != asked && m_seen.contains(folder))
        return next();
    m_seen.insert(folder);
    ++m_listed;
    if (leadsBackUp(folder, result)) {
        m_links << folder;
        return next();
    }
    QStringList subfolders;
    for (const Listing::Entry &e : result.entries) {
        const QString path = folder + QLatin1Char('/') + e.name;
        if (e.folder)
            subfolders << path;
        else
            m_files << path;
    }
    int depth = int(folder.count(QLatin1Char('/')));
    for (const QString &root : qAsConst(m_roots))
        if (folder == root || folder.startsWith(root + QLatin1Char('/')))
            depth -= int(root.count(QLatin1Char('/')));
    if (!subfolders.isEmpty() && depth >= kMaxDepth)
        return finish(tr("%1 lies more than %2 folders deep below the folder chosen (a folder that links back "
                         "up?); the check stopped there.").arg(folder).arg(kMaxDepth));
    // Depth first in listing order: the first subfolder goes on top of the stack.
    for (auto it = subfolders.crbegin(); it != subfolders.crend(); ++it)
        if (!m_seen.contains(*it))
            m_pending << *it;
    emit progress(m_listed, m_files.size(), folder);
    next();
}

void InstrumentWalk::finish(const QString &error)
{
    m_running = false;
    emit finished(m_files, error);
}

bool InstrumentWalk::leadsBackUp(const QString &folder, const FolderListResult &result)
{
    QStringList names;
    for (const Listing::Entry &e : result.entries)
        names << (e.folder ? QStringLiteral("d:") : QStringLiteral("f:")) + e.name;
    names.sort();
    const QByteArray signature = QCryptographicHash::hash(names.join(QLatin1Char('\n')).toUtf8(),
                                                          QCryptographicHash::Sha1);
    m_signatures.insert(folder, signature);
    // An ancestor with the same listing, whose step down towards this folder is listed here
    // again: this folder is that ancestor once more.
    for (int cut = folder.lastIndexOf(QLatin1Char('/')); cut > 0; cut = folder.lastIndexOf(QLatin1Char('/'), cut - 1)) {
        const QString ancestor = folder.left(cut);
        if (m_signatures.value(ancestor) != signature)
            continue;
        const QString step = folder.mid(cut + 1).section(QLatin1Char('/'), 0, 0);
        if (names.contains(QStringLiteral("d:") + step))
            return true;
    }
    return false;
}
