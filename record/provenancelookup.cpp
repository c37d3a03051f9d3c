#include "record/provenancelookup.h"

#include "record/recordindex.h"
#include "record/recordpaths.h"
#include "record/sha256.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <memory>
#include <mutex>

namespace ProvenanceLookup {

namespace {

// A record folder is found within this many levels above the file.
constexpr int kMaxLevels = 32;

struct Cached
{
    QString folder;
    QString stamp;
    std::shared_ptr<const RecordIndex> index;
};

std::mutex cacheMutex;
Cached cache;

QString stampOf(const QString &folder)
{
    QString stamp;
    const QFileInfoList files = QDir(RecordPaths::folder(folder))
        .entryInfoList({QStringLiteral("transfers*.jsonl")}, QDir::Files, QDir::Name);
    for (const QFileInfo &f : files)
        stamp += QStringLiteral("%1:%2:%3;").arg(f.fileName()).arg(f.size()).arg(f.lastModified().toMSecsSinceEpoch());
    return stamp;
}

std::shared_ptr<const RecordIndex> indexOf(const QString &folder)
{
    const QString stamp = stampOf(folder);
    {
        std::lock_guard<std::mutex> lock(cacheMutex);
        if (cache.folder == folder && cache.stamp == stamp)
            return cache.index;
    }
    auto index = std::make_shared<const RecordIndex>(RecordIndex::read(folder));
    std::lock_guard<std::mutex> lock(cacheMutex);
    cache = {folder, stamp, index};
    return index;
}

} // namespace

Provenance lookUp(const QString &file)
{
    Provenance p;
    const QString absolute = QFileInfo(file).absoluteFilePath();
    QDir dir = QFileInfo(absolute).dir();
    for (int level = 0; level < kMaxLevels; ++level) {
        if (QFileInfo(RecordPaths::seriesFile(dir.path(), 1)).isFile()) {
            const std::shared_ptr<const RecordIndex> index = indexOf(dir.path());
            const QString local = dir.relativeFilePath(absolute);
            const auto it = index->copies().constFind(local);
            if (it == index->copies().constEnd())
                return p;
            p.found = true;
            p.remote = RecordIndex::remoteOf(local, *it);
            p.sha256 = it->sha256();
            p.downloaded = Record::timeText(it->time);
            if (it->download >= 0 && it->download < index->downloads().size()) {
                const Record::Start &start = index->downloads().at(it->download).start;
                p.instrument = start.instrument;
                p.account = start.account;
            }
            return p;
        }
        if (!dir.cdUp())
            break;
    }
    return p;
}

ProvenanceSource source()
{
    ProvenanceSource s;
    s.lookUp = &lookUp;
    s.hash = [](const QString &file) { return Sha256::hashFile(file); };
    return s;
}

} // namespace ProvenanceLookup
