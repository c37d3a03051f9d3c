#include "transfer/downloadrequest.h"

#include "link/remotepath.h"
#include "link/protocol.h"

#include <QDir>
#include <QSet>

namespace DownloadRequest {

namespace {
const QString kParent = QStringLiteral("..");

QSet<QString> entryNames(const QString &folder, QDir::Filters kind)
{
    // Listed once and compared exactly, so "*", "?" or "[" in a name match nothing else.
    if (folder.isEmpty())
        return {};
    const QStringList names =
        QDir(folder).entryList(kind | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                               QDir::Unsorted);
    return QSet<QString>(names.begin(), names.end());
}
} // namespace

QByteArray requestLine(const QStringList &remotePaths)
{
    if (remotePaths.isEmpty())
        return QByteArray();
    QString line = QLatin1String(Protocol::kRequestPrefix);
    for (int i = 0; i < remotePaths.size(); ++i) {
        if (i > 0)
            line += QLatin1Char(',');
        line += QLatin1Char('<') + remotePaths.at(i) + QLatin1Char('>');
    }
    line += QLatin1Char('\n');
    return line.toUtf8();
}

QList<QStringList> requestGroups(const QStringList &remotePaths, int maxBytes)
{
    QList<QStringList> groups;
    const int fixed = int(qstrlen(Protocol::kRequestPrefix)) + 1; // the prefix and "\n"
    int used = 0;
    for (const QString &path : remotePaths) {
        // "<" path ">", and the "," before every path but a line's first.
        const int size = path.toUtf8().size() + 2;
        if (groups.isEmpty() || used + 1 + size > maxBytes) {
            groups.append(QStringList{path});
            used = fixed + size;
        } else {
            groups.last().append(path);
            used += 1 + size;
        }
    }
    return groups;
}

ListCheck checkListSelection(const QStringList &names, const QString &localFolder)
{
    if (names.isEmpty())
        return ListCheck::Empty;
    // Anything that is not a folder (files, links, sockets) would be replaced.
    const QSet<QString> files = entryNames(localFolder, QDir::Files);
    for (const QString &name : names) {
        if (name != kParent && files.contains(name))
            return ListCheck::Exists;
    }
    const QSet<QString> folders = entryNames(localFolder, QDir::Dirs);
    for (const QString &name : names) {
        if (name == kParent)
            return ListCheck::ParentEntry;
        if (folders.contains(name))
            return ListCheck::Exists;
    }
    return ListCheck::Send;
}

bool localFolderExists(const QString &localParent, const QString &name)
{
    return !name.isEmpty() && name != kParent && entryNames(localParent, QDir::Dirs).contains(name);
}

QStringList requestPaths(const QString &remoteFolder, const QStringList &names)
{
    QStringList paths;
    paths.reserve(names.size());
    for (const QString &name : names)
        paths.append(RemotePath::join(remoteFolder, name));
    return paths;
}

} // namespace DownloadRequest
