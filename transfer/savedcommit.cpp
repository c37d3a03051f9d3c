#include "transfer/savedcommit.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#include <cerrno>
#ifdef Q_OS_LINUX
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace SavedCommit {

Result finish(QSaveFile &file, int *error)
{
#ifdef Q_OS_LINUX
    // Only a file that has no name yet (QSaveFile's O_TMPFILE) can be linked in; a named
    // temporary file is left to commit(), which knows its name.
    const int fd = file.handle();
    struct stat st;
    if (fd < 0 || ::fstat(fd, &st) != 0 || st.st_nlink != 0 || !file.flush())
        return Result::NotHandled;
    // The target is where QSaveFile itself would put the file: through symbolic links.
    QFileInfo info(file.fileName());
    int depth = 128;
    while (--depth > 0 && info.isSymLink())
        info.setFile(info.symLinkTarget());
    if (depth == 0)
        return Result::NotHandled;
    const QByteArray source = "/proc/self/fd/" + QByteArray::number(fd);
    const QByteArray target = QFile::encodeName(info.filePath());
    if (::linkat(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), AT_SYMLINK_FOLLOW) == 0) {
        file.cancelWriting(); // the handle closes with the save file; the name stays
        return Result::Done;
    }
    if (errno != EEXIST)
        return Result::NotHandled; // no /proc, or a file system without links: commit() copes
    // An old copy: the new one is linked beside it and renamed over it, so that the old
    // copy is whole until the moment it is replaced.
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QByteArray beside = target + ".tarvelo-"
            + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        if (::linkat(AT_FDCWD, source.constData(), AT_FDCWD, beside.constData(), AT_SYMLINK_FOLLOW) != 0) {
            if (errno == EEXIST)
                continue;
            *error = errno;
            return Result::Failed;
        }
        if (::rename(beside.constData(), target.constData()) != 0) {
            *error = errno;
            ::unlink(beside.constData());
            return Result::Failed;
        }
        file.cancelWriting();
        return Result::Done;
    }
    *error = EEXIST;
    return Result::Failed;
#else
    Q_UNUSED(file)
    Q_UNUSED(error)
    return Result::NotHandled;
#endif
}

} // namespace SavedCommit
