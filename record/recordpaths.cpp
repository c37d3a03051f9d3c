#include "record/recordpaths.h"

#include "link/remotepath.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace RecordPaths {

QString folder(const QString &downloadFolder)
{
    return downloadFolder + QLatin1Char('/') + kFolder;
}

QString manifest(const QString &downloadFolder)
{
    return folder(downloadFolder) + QStringLiteral("/manifest-sha256.txt");
}

QString seriesName(int n)
{
    return n <= 1 ? QStringLiteral("transfers.jsonl") : QStringLiteral("transfers-%1.jsonl").arg(n);
}

QString seriesFile(const QString &downloadFolder, int n)
{
    return folder(downloadFolder) + QLatin1Char('/') + seriesName(n);
}

bool isRecordPath(const QString &localRelative)
{
    for (const QString &segment : localRelative.split(QLatin1Char('/'))) {
        if (segment.isEmpty() || segment == QLatin1String("."))
            continue;
        return segment.compare(kFolder, Qt::CaseInsensitive) == 0;
    }
    return false;
}

QString localRelative(const QString &remote)
{
    bool ok = false;
    const QString local = RemotePath::toLocalPath(remote, QString(), &ok);
    return ok ? local.mid(1) : QString();
}

} // namespace RecordPaths

RecordLock::RecordLock(const QString &downloadFolder, bool exclusive)
{
    const QString folder = RecordPaths::folder(downloadFolder);
    if (exclusive && !QDir().mkpath(folder)) {
        m_error = QCoreApplication::translate("RecordLock", "cannot make the folder %1").arg(QDir::toNativeSeparators(folder));
        return;
    }
    const QByteArray path = QFile::encodeName(folder + QStringLiteral("/lock"));
    m_fd = ::open(path.constData(), exclusive ? (O_RDWR | O_CREAT | O_CLOEXEC) : (O_RDONLY | O_CLOEXEC), 0644);
    // Nobody writes a record whose lock file is missing or out of reach: reading goes on.
    if (m_fd < 0 && !exclusive)
        return;
    if (m_fd < 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        return;
    }
    int r;
    do
        r = ::flock(m_fd, exclusive ? LOCK_EX : LOCK_SH);
    while (r < 0 && errno == EINTR);
    if (r < 0) {
        m_error = QString::fromLocal8Bit(std::strerror(errno));
        ::close(m_fd);
        m_fd = -1;
    }
}

RecordLock::~RecordLock()
{
    if (m_fd >= 0)
        ::close(m_fd); // releases the lock
}
