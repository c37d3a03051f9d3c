#include "link/remotepath.h"

#include <QStringList>

namespace RemotePath {

bool isSafe(const QString &remote)
{
    if (remote == kRoot)
        return true;
    if (!remote.startsWith(kRoot + QLatin1Char('/')))
        return false;
    const QStringList segments = remote.mid(kRoot.size() + 1).split(QLatin1Char('/'));
    for (const QString &s : segments) {
        if (s.isEmpty() || s == QLatin1String(".") || s == QLatin1String("..")
            || s.contains(QLatin1Char('\\')) || s.contains(QChar(0)))
            return false;
    }
    return true;
}

QString toLocalPath(const QString &remote, const QString &downloadPath, bool *ok)
{
    const bool safe = isSafe(remote);
    if (ok)
        *ok = safe;
    if (!safe)
        return QString();
    return downloadPath + remote.mid(kRoot.size());
}

QString join(const QString &parent, const QString &name)
{
    return parent + QLatin1Char('/') + name;
}

QString parent(const QString &remote)
{
    const int slash = remote.lastIndexOf(QLatin1Char('/'));
    if (remote == kRoot || slash <= 0)
        return kRoot;
    return remote.left(slash);
}

} // namespace RemotePath
