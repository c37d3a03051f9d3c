#include "transfer/newfiles.h"

#include "link/remotepath.h"

#include <QFileInfo>

namespace NewFiles {

QStringList missing(const QStringList &remotePaths, const QString &downloadPath)
{
    QStringList out;
    for (const QString &remote : remotePaths) {
        bool ok = false;
        const QString local = RemotePath::toLocalPath(remote, downloadPath, &ok);
        // A link in the download folder is not our file: only a regular file counts.
        const QFileInfo info(local);
        if (!ok || local.isEmpty() || info.isSymLink() || !info.isFile())
            out.append(remote);
    }
    return out;
}

} // namespace NewFiles
