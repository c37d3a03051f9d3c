#include "tools/instrument/instrumenttree.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>

const QString InstrumentTree::kRemoteRoot = QStringLiteral("/TARVELO");

InstrumentTree::InstrumentTree(const QString &localRoot)
{
    const QFileInfo info(localRoot);
    if (info.isDir())
        m_root = info.canonicalFilePath();
}

bool InstrumentTree::isInside(const QString &canonical) const
{
    return !canonical.isEmpty()
        && (canonical == m_root || canonical.startsWith(m_root + QLatin1Char('/'))
            || (m_root == QLatin1String("/") && canonical.startsWith(QLatin1Char('/'))));
}

QByteArray InstrumentTree::generatedBytes(qint64 offset, qint64 size)
{
    QByteArray bytes(int(size), Qt::Uninitialized);
    char *out = bytes.data();
    for (qint64 i = 0; i < size; ++i) {
        const qint64 at = offset + i;
        out[i] = char((at * 7 + (at >> 12)) & 0xff);
    }
    return bytes;
}

QString InstrumentTree::normalised(const QString &remote)
{
    QString path = remote;
    if (path.endsWith(QLatin1Char('/')) && path.size() > kRemoteRoot.size())
        path.chop(1);
    if (path == kRemoteRoot)
        return path;
    if (!path.startsWith(kRemoteRoot + QLatin1Char('/')))
        return QString();
    const QStringList segments = path.mid(kRemoteRoot.size() + 1).split(QLatin1Char('/'));
    for (const QString &segment : segments) {
        if (segment.isEmpty() || segment == QLatin1String(".") || segment == QLatin1String("..")
            || segment.contains(QChar(0)))
            return QString();
    }
    return path;
}

QString InstrumentTree::localPath(const QString &remote) const
{
    if (!isValid())
        return QString();
    const QString path = normalised(remote);
    if (path.isEmpty())
        return QString();
    const QString local = m_root + path.mid(kRemoteRoot.size());
    // The canonical path follows every link, so a link that leads out is caught here.
    const QString canonical = QFileInfo(local).canonicalFilePath();
    return isInside(canonical) ? canonical : QString();
}

QString InstrumentTree::localFolder(const QString &remote) const
{
    const QString local = localPath(remote);
    return !local.isEmpty() && QFileInfo(local).isDir() ? local : QString();
}

bool InstrumentTree::isSendableName(const QString &name)
{
    return !name.isEmpty() && !name.contains(QLatin1Char('>')) && !name.contains(QLatin1Char('\n'))
        && !name.contains(QLatin1Char('\r'));
}

QVector<InstrumentTree::Entry> InstrumentTree::list(const QString &remoteFolder) const
{
    QVector<Entry> entries;
    const QString folder = localFolder(remoteFolder);
    if (folder.isEmpty())
        return entries;
    const QFileInfoList infos = QDir(folder).entryInfoList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::NoSort);
    for (const QFileInfo &info : infos) {
        if (!isSendableName(info.fileName()))
            continue;
        QFileInfo target = info;
        if (info.isSymLink()) {
            const QString canonical = info.canonicalFilePath();
            if (!isInside(canonical))
                continue;
            target = QFileInfo(canonical);
        }
        if (target.isDir())
            entries.append({info.fileName(), true});
        else if (target.isFile())
            entries.append({info.fileName(), false});
    }
    const QString prefix = normalised(remoteFolder) + QLatin1Char('/');
    for (auto it = m_generated.cbegin(); it != m_generated.cend(); ++it) {
        const QString name = it.key().mid(prefix.size());
        if (it.key().startsWith(prefix) && !name.contains(QLatin1Char('/')) && isSendableName(name))
            entries.append({name, false});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        const int c = QString::compare(a.name, b.name, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a.name < b.name;
    });
    return entries;
}

QStringList InstrumentTree::expand(const QString &remote) const
{
    QStringList out;
    const QString path = normalised(remote);
    if (m_generated.contains(path))
        return QStringList{path};
    const QString local = localPath(path);
    if (local.isEmpty())
        return out;
    if (QFileInfo(local).isDir()) {
        QStringList ancestors;
        expandInto(path, &ancestors, &out);
    } else if (QFileInfo(local).isFile()) {
        out.append(path);
    }
    return out;
}

void InstrumentTree::expandInto(const QString &remoteFolder, QStringList *ancestors,
                                QStringList *out) const
{
    const QString local = localPath(remoteFolder);
    if (local.isEmpty())
        return;
    // A link to a folder already on the way down, or above one, would only repeat the tree.
    for (const QString &ancestor : qAsConst(*ancestors)) {
        if (ancestor == local || ancestor.startsWith(local + QLatin1Char('/')))
            return;
    }
    ancestors->append(local);
    for (const Entry &entry : list(remoteFolder)) {
        const QString child = remoteFolder + QLatin1Char('/') + entry.name;
        if (entry.folder)
            expandInto(child, ancestors, out);
        else
            out->append(child);
    }
    ancestors->removeLast();
}
