#pragma once
#include <QString>
#include <QStringList>

// Which instrument files still have to be fetched. The instrument's listing carries names
// and kinds only, so a file counts as present when a regular file of its name is at its
// place in the download folder; a folder of that name is in the way and does not count.
// Files are committed whole, so a present file is never a partial one.
namespace NewFiles {

// The remote paths of `remotePaths` with no local regular file, in their order; names
// that map to no local path are kept (the download reports them).
QStringList missing(const QStringList &remotePaths, const QString &downloadPath);

} // namespace NewFiles
