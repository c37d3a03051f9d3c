#include "transfer/folderwalk.h"

#include "link/linklog.h"
#include "transfer/browseexchange.h"
#include "transfer/clientsession.h"

#include <QTimer>

namespace {

QString normalFolder(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

QByteArray signatureOf(const QVector<Listing::Entry> &entries)
{
    QByteArray out;
    for (const Listing::Entry &e : entries) {
        out += e.folder ? "<d," : "<f,";
        out += e.name.toUtf8();
        out += '>';
    }
    return out;
}

} // namespace

FolderWalk::FolderWalk(ClientSession *session, QObject *parent)
    : QObject(parent), m_session(session)
{
    qRegisterMetaType<FolderWalk::Result>();
}

void FolderWalk::setLimits(int maxFolders, int maxFiles)
{
    m_maxFolders = qMax(1, maxFolders);
    m_maxFiles = qMax(1, maxFiles);
}

void FolderWalk::start(const QStringList &remoteFolders)
{
    ++m_generation; // answers to an earlier walk are dropped
    m_roots = remoteFolders;
    m_nextRoot = 0;
    m_stack.clear();
    m_seen.clear();
    m_result = Result();
    m_running = true;
    // Always answered from the event loop, so a caller may connect after start().
    QTimer::singleShot(0, this, [this, generation = m_generation] {
        if (generation == m_generation && m_running)
            advance();
    });
}

void FolderWalk::stop()
{
    if (!m_running)
        return;
    ++m_generation;
    m_result.stopped = true;
    m_running = false;
    m_stack.clear();
    const Result result = m_result;
    emit finished(result);
}

void FolderWalk::listNext(const QString &path)
{
    if (!m_session) {
        finish(false, tr("Not connected to an instrument."));
        return;
    }
    QPointer<FolderWalk> self(this);
    const quint64 generation = m_generation;
    m_session->listFolder(path, [self, generation, path](const FolderListResult &answer) {
        if (self)
            self->onListed(generation, path, answer);
    });
}

void FolderWalk::onListed(quint64 generation, const QString &path, const FolderListResult &answer)
{
    if (generation != m_generation || !m_running)
        return;
    if (!answer.ok) {
        finish(false, answer.error.isEmpty() ? tr("The instrument did not list “%1”.").arg(path)
                                             : answer.error);
        return;
    }
    ++m_result.foldersChecked;
    emit progress(m_result.foldersChecked);

    const QString asked = normalFolder(path);
    const QString named = normalFolder(answer.folder);
    // An instrument that resolves links names the folder it really entered; one that could
    // not enter the folder stays where it was, which is always a folder already seen.
    if (!named.isEmpty() && named != asked && m_seen.contains(named)) {
        qCDebug(lcLink) << "walk: not again" << path << "(the instrument is in" << named << ")";
        advance();
        return;
    }
    const QByteArray signature = signatureOf(answer.entries);
    if (repeatsAncestor(signature, answer.entries)) {
        qCDebug(lcLink) << "walk: not again" << path << "(it repeats a folder above it)";
        advance();
        return;
    }
    if (m_stack.size() >= kMaxDepth) {
        finish(false, tr("The folders below “%1” go deeper than %2 levels; the walk was stopped.")
                          .arg(m_roots.value(m_nextRoot - 1), QString::number(kMaxDepth)));
        return;
    }
    m_seen.insert(asked);
    if (!named.isEmpty())
        m_seen.insert(named);
    m_result.folders.append(path);
    m_stack.append({asked, answer.entries, 0, signature});
    advance();
}

bool FolderWalk::repeatsAncestor(const QByteArray &signature,
                                 const QVector<Listing::Entry> &entries) const
{
    // A folder leading back up lists a folder of its own (the way back) and, to be worth
    // skipping, files; two nested folders of only sub-folders with the same names are not
    // mistaken for a loop, and a loop without files is ended by the depth cap.
    bool hasFolder = false;
    bool hasFile = false;
    for (const Listing::Entry &e : entries)
        (e.folder ? hasFolder : hasFile) = true;
    if (!hasFolder || !hasFile)
        return false;
    for (const Frame &frame : m_stack)
        if (frame.signature == signature)
            return true;
    return false;
}

void FolderWalk::advance()
{
    while (m_running) {
        if (m_stack.isEmpty()) {
            if (m_nextRoot >= m_roots.size()) {
                finish(true, QString());
                return;
            }
            const QString root = m_roots.at(m_nextRoot++);
            if (m_seen.contains(normalFolder(root)))
                continue; // named twice, or below a folder already walked
            listNext(root);
            return;
        }
        Frame &top = m_stack.last();
        if (top.next >= top.entries.size()) {
            m_stack.removeLast();
            continue;
        }
        const Listing::Entry entry = top.entries.at(top.next++);
        const QString child = (top.path == QLatin1String("/") ? QString() : top.path)
            + QLatin1Char('/') + entry.name;
        if (!entry.folder) {
            if (m_result.files.size() >= m_maxFiles) {
                finish(false, tr("There are more than %1 files below the folders; the walk was stopped.")
                                  .arg(m_maxFiles));
                return;
            }
            m_result.files.append(child);
            continue;
        }
        if (m_seen.contains(child))
            continue;
        if (m_result.folders.size() >= m_maxFolders) {
            finish(false, tr("There are more than %1 folders below the folders; the walk was stopped.")
                              .arg(m_maxFolders));
            return;
        }
        listNext(child);
        return;
    }
}

void FolderWalk::finish(bool ok, const QString &error)
{
    if (!m_running)
        return;
    ++m_generation;
    m_running = false;
    m_stack.clear();
    m_result.ok = ok;
    m_result.error = error;
    const Result result = m_result;
    emit finished(result);
}
