#include "record/manifestupdate.h"

#include "record/manifest.h"
#include "record/recordindex.h"
#include "record/recordpaths.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSaveFile>
#include <QScopeGuard>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace ManifestUpdate {

namespace {

// The record's first bytes and those just before the offset stand for the part already
// merged: an append-only record never changes them, a rewritten one almost surely does.
constexpr qint64 kProbeBytes = 4096;
constexpr int kStateFormat = 1;
// More added than this goes the full rebuild's way, which maps the record rather than
// reading it into memory.
constexpr qint64 kMaxMergeBytes = 512 * 1024 * 1024;

struct State
{
    int series = 0;              // which file of the series the offset is in (the last)
    qint64 device = 0;
    qint64 inode = 0;
    qint64 offset = 0;           // just behind the last line the manifest covers
    QByteArray head;             // digests, hex
    QByteArray tail;
    qint64 manifestSize = -1;
    qint64 manifestTimeNs = -1;
};

QString statePath(const QString &folder)
{
    return RecordPaths::folder(folder) + QStringLiteral("/manifest-state.json");
}

int lastSeries(const QString &folder)
{
    int n = 0;
    while (QFileInfo::exists(RecordPaths::seriesFile(folder, n + 1)))
        ++n;
    return n;
}

QByteArray readAt(int fd, qint64 from, qint64 size)
{
    QByteArray bytes(int(size), Qt::Uninitialized);
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::pread(fd, bytes.data() + done, size_t(size - done), off_t(from + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return QByteArray();
        done += n;
    }
    return bytes;
}

QByteArray digestAt(int fd, qint64 from, qint64 size)
{
    const QByteArray bytes = readAt(fd, from, size);
    if (bytes.size() != size)
        return QByteArray();
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

// Fills in what the record file and the manifest look like with the offset at `offset`.
bool describe(const QString &folder, int fd, qint64 offset, State *s)
{
    struct stat st, manifest;
    if (::fstat(fd, &st) != 0 || ::stat(QFile::encodeName(RecordPaths::manifest(folder)).constData(), &manifest) != 0)
        return false;
    s->device = qint64(st.st_dev);
    s->inode = qint64(st.st_ino);
    s->offset = offset;
    s->head = digestAt(fd, 0, std::min(kProbeBytes, offset));
    const qint64 tailFrom = std::max<qint64>(0, offset - kProbeBytes);
    s->tail = digestAt(fd, tailFrom, offset - tailFrom);
    s->manifestSize = qint64(manifest.st_size);
    s->manifestTimeNs = qint64(manifest.st_mtim.tv_sec) * 1000000000 + manifest.st_mtim.tv_nsec;
    return !s->head.isNull() && !s->tail.isNull();
}

// As text: a time in nanoseconds has more digits than a JSON number keeps.
qint64 number(const QJsonObject &o, const char *key)
{
    bool ok = false;
    const qint64 n = o.value(QLatin1String(key)).toString().toLongLong(&ok);
    return ok ? n : -1;
}

bool readState(const QString &folder, State *s)
{
    QFile file(statePath(folder));
    if (!file.open(QIODevice::ReadOnly) || file.size() > 4096)
        return false;
    const QJsonObject o = QJsonDocument::fromJson(file.readAll()).object();
    if (o.value(QStringLiteral("format")).toInt() != kStateFormat)
        return false;
    s->series = o.value(QStringLiteral("series")).toInt();
    s->device = number(o, "device");
    s->inode = number(o, "inode");
    s->offset = number(o, "offset");
    s->head = o.value(QStringLiteral("head")).toString().toLatin1();
    s->tail = o.value(QStringLiteral("tail")).toString().toLatin1();
    s->manifestSize = number(o, "manifest-size");
    s->manifestTimeNs = number(o, "manifest-time-ns");
    return s->series > 0 && s->offset >= 0 && !s->head.isEmpty() && !s->tail.isEmpty() && s->manifestSize >= 0;
}

void writeState(const QString &folder, const State &s)
{
    const QJsonObject o{{QStringLiteral("format"), kStateFormat},
                        {QStringLiteral("series"), s.series},
                        {QStringLiteral("device"), QString::number(s.device)},
                        {QStringLiteral("inode"), QString::number(s.inode)},
                        {QStringLiteral("offset"), QString::number(s.offset)},
                        {QStringLiteral("head"), QString::fromLatin1(s.head)},
                        {QStringLiteral("tail"), QString::fromLatin1(s.tail)},
                        {QStringLiteral("manifest-size"), QString::number(s.manifestSize)},
                        {QStringLiteral("manifest-time-ns"), QString::number(s.manifestTimeNs)}};
    // Not worth a failure of its own: without it the next update rebuilds in full.
    QSaveFile file(statePath(folder));
    if (!file.open(QIODevice::WriteOnly) || file.write(QJsonDocument(o).toJson(QJsonDocument::Compact)) < 0
        || !file.commit())
        QFile::remove(statePath(folder));
}

// Just behind the last line feed of the file: a line cut short at its end is left for the
// next update, which then reads it whole or as the damaged line a full read also skips.
qint64 lastLineEnd(int fd, qint64 size)
{
    for (qint64 end = size; end > 0;) {
        const qint64 from = std::max<qint64>(0, end - 65536);
        const QByteArray bytes = readAt(fd, from, end - from);
        const int nl = bytes.lastIndexOf('\n');
        if (nl >= 0)
            return from + nl + 1;
        if (bytes.isEmpty())
            break;
        end = from;
    }
    return 0;
}

bool fits(const QString &folder, int fd, const State &saved)
{
    struct stat st;
    if (::fstat(fd, &st) != 0 || qint64(st.st_dev) != saved.device || qint64(st.st_ino) != saved.inode
        || qint64(st.st_size) < saved.offset)
        return false;
    State now;
    return describe(folder, fd, saved.offset, &now) && now.head == saved.head && now.tail == saved.tail
        && now.manifestSize == saved.manifestSize && now.manifestTimeNs == saved.manifestTimeNs;
}

bool rebuild(const QString &folder, int fd, int series, QString *error)
{
    QFile::remove(statePath(folder)); // whatever happens next, the old one no longer holds
    const RecordIndex index = RecordIndex::read(folder, QString(), true);
    if (!Manifest::write(folder, Manifest::text(index), error))
        return false;
    struct stat st;
    if (fd < 0 || ::fstat(fd, &st) != 0)
        return true;
    // A file the full read left aside (damaged, or a later version's) is never merged.
    const QByteArray head = readAt(fd, 0, std::min<qint64>(st.st_size, 65536));
    if (RecordIndex::classify(head) != RecordIndex::FileState::Readable)
        return true;
    State s;
    s.series = series;
    if (describe(folder, fd, lastLineEnd(fd, st.st_size), &s))
        writeState(folder, s);
    return true;
}

} // namespace

bool run(const QString &downloadFolder, QString *error, Path *path)
{
    Path dummy;
    Path &how = path ? *path : dummy;
    const int series = lastSeries(downloadFolder);
    const QString recordFile = RecordPaths::seriesFile(downloadFolder, std::max(series, 1));
    const int fd = series > 0 ? ::open(QFile::encodeName(recordFile).constData(), O_RDONLY | O_CLOEXEC) : -1;
    const auto closeRecord = qScopeGuard([fd] {
        if (fd >= 0)
            ::close(fd);
    });
    State saved;
    if (fd < 0 || !readState(downloadFolder, &saved) || saved.series != series || !fits(downloadFolder, fd, saved)) {
        how = Path::Rebuilt;
        return rebuild(downloadFolder, fd, series, error);
    }
    struct stat st;
    if (::fstat(fd, &st) != 0 || qint64(st.st_size) - saved.offset > kMaxMergeBytes) {
        how = Path::Rebuilt;
        return rebuild(downloadFolder, fd, series, error);
    }
    const QByteArray added = readAt(fd, saved.offset, qint64(st.st_size) - saved.offset);
    const int end = added.lastIndexOf('\n') + 1;
    if (end <= 0) {
        how = Path::UpToDate;
        return true;
    }
    RecordIndex changes;
    changes.addFileContent(QByteArray::fromRawData(added.constData(), end), RecordPaths::seriesName(series));
    how = changes.copies().isEmpty() ? Path::UpToDate : Path::Merged;
    if (how == Path::Merged) {
        QFile current(RecordPaths::manifest(downloadFolder));
        if (!current.open(QIODevice::ReadOnly)) {
            how = Path::Rebuilt;
            return rebuild(downloadFolder, fd, series, error);
        }
        const qint64 size = current.size();
        uchar *mapped = size > 0 ? current.map(0, size) : nullptr;
        const QByteArray manifest = mapped ? QByteArray::fromRawData(reinterpret_cast<const char *>(mapped), int(size))
                                           : current.readAll();
        if (!Manifest::write(downloadFolder, Manifest::merged(manifest, changes), error))
            return false;
    }
    State s = saved;
    if (describe(downloadFolder, fd, saved.offset + end, &s))
        writeState(downloadFolder, s);
    else
        QFile::remove(statePath(downloadFolder));
    return true;
}

} // namespace ManifestUpdate
