// Bringing the checksum list up to date from the lines added since it was last written: it
// must always come out exactly as a rebuild from the whole record would, and anything that
// makes the remembered place untrustworthy must lead to such a rebuild.
#include "record/manifest.h"
#include "record/manifestupdate.h"
#include "record/recordindex.h"
#include "record/recordpaths.h"
#include "recordfixture.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace RecordFixture;
using Path = ManifestUpdate::Path;

Q_DECLARE_METATYPE(ManifestUpdate::Path)

class tst_ManifestUpdate : public QObject
{
    Q_OBJECT

private slots:
    void matchesFullRebuild_data();
    void matchesFullRebuild();
};

namespace {

enum class Change { NewAndReplaced, OnlyFailures, TornThenWhole, ManifestEdited, RecordRewritten, RecordReplaced };

bool update(const QString &folder, Path *path)
{
    RecordLock lock(folder, true);
    QString error;
    return ManifestUpdate::run(folder, &error, path);
}

bool append(const QString &path, const QByteArray &bytes)
{
    return writeFile(path, readFile(path) + bytes);
}

} // namespace

void tst_ManifestUpdate::matchesFullRebuild_data()
{
    QTest::addColumn<int>("change");
    QTest::addColumn<Path>("expected");
    QTest::newRow("new and replaced copies, odd names") << int(Change::NewAndReplaced) << Path::Merged;
    QTest::newRow("only failed retries") << int(Change::OnlyFailures) << Path::UpToDate;
    QTest::newRow("a torn line, then lines after it") << int(Change::TornThenWhole) << Path::Merged;
    QTest::newRow("manifest edited by hand") << int(Change::ManifestEdited) << Path::Rebuilt;
    QTest::newRow("record rewritten in place") << int(Change::RecordRewritten) << Path::Rebuilt;
    QTest::newRow("record replaced by another file") << int(Change::RecordReplaced) << Path::Rebuilt;
}

void tst_ManifestUpdate::matchesFullRebuild()
{
    QFETCH(int, change);
    QFETCH(Path, expected);
    QTemporaryDir dir;
    const QString folder = dir.path();
    const QString recordFile = RecordPaths::seriesFile(folder, 1);
    TransferRecord record(folder);
    QString error;
    const auto storeMore = [&](const QStringList &locals, const QByteArray &content) {
        for (const QString &local : locals)
            QVERIFY(store(record, folder, local, content + local.toUtf8()));
    };
    // A first download writes the manifest and the place it reaches.
    QVERIFY(record.beginDownload(start(), &error));
    storeMore({"run/b.tif", "run/d.tif", "run/f.tif", "z/last.txt"}, "");
    QVERIFY(record.endDownload(false, false, &error));
    Path path = Path::Rebuilt;
    switch (Change(change)) {
    case Change::NewAndReplaced:
        // Before the first line, between lines, replacing lines, after the last line, and
        // names the manifest has to escape.
        storeMore({"a.tif", "run/c.tif", "run/d.tif", "run/e.tif", "run/f.tif", "zz/end", "back\\slash",
                   "new\nline", "run/\xc3\xa9t\xc3\xa9.tif"}, "second ");
        storeMore({"run/c.tif"}, "third ");
        break;
    case Change::OnlyFailures:
        QVERIFY(record.appendFile(fileLine("run/b.tif", "x", Record::Outcome::Failed, "size mismatch"), &error));
        break;
    case Change::TornThenWhole:
        QVERIFY(append(recordFile, Record::line(fileLine("run/torn.tif", "t")).left(40)));
        QVERIFY(update(folder, &path));
        QCOMPARE(path, Path::UpToDate);
        storeMore({"run/after.tif"}, "after ");
        break;
    case Change::ManifestEdited:
        QVERIFY(append(RecordPaths::manifest(folder), QByteArray(64, 'a') + "  by-hand.txt\n"));
        storeMore({"run/g.tif"}, "");
        break;
    case Change::RecordRewritten: {
        // Same file, same length, other lines: only its bytes tell.
        QByteArray bytes = readFile(recordFile);
        QVERIFY(writeFile(recordFile, bytes.replace("run/b.tif", "run/B.tif")));
        QVERIFY(writeFile(folder + "/run/B.tif", "run/b.tif"));
        break;
    }
    case Change::RecordReplaced: {
        const QByteArray bytes = readFile(recordFile);
        QVERIFY(QFile::rename(recordFile, folder + "/kept.jsonl")); // its number is not handed on
        QVERIFY(writeFile(recordFile, bytes + Record::line(fileLine("run/x.tif", "x"))));
        QVERIFY(writeFile(folder + "/run/x.tif", "x"));
        break;
    }
    }
    QVERIFY(record.sync(&error));
    QVERIFY(update(folder, &path));
    QCOMPARE(path, expected);
    QCOMPARE(QString::fromUtf8(readFile(RecordPaths::manifest(folder))),
             QString::fromUtf8(Manifest::text(RecordIndex::read(folder))));
    QCOMPARE(sha256sumCheck(folder), 0);
    // And the next update has nothing left to do.
    QVERIFY(update(folder, &path));
    QCOMPARE(path, Path::UpToDate);
}

QTEST_GUILESS_MAIN(tst_ManifestUpdate)
#include "tst_manifestupdate.moc"
