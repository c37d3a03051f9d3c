#include "record/instrumentwalk.h"

#include "transfer/clientsession.h"

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
    m_seen.clear();
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
    QStringList subfolders;
    for (const Listing::Entry &e : result.entries) {
        const QString path = folder + QLatin1Char('/') + e.name;
        if (e.folder)
            subfolders << path;
        else
            m_files << path;
    }
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
