// Reading the record back: the current copy of every path, lines cut short or damaged,
// record files that cannot be read, and a checksum list left behind by a crash.
#include "record/manifest.h"
#include "record/recordfixture.h"
#include "record/recordindex.h"
#include "record/recordpaths.h"

#include <QTemporaryDir>
#include <QTest>

using namespace RecordFixture;

class TestRecordIndex : public QObject
{
    Q_OBJECT
private slots:
    void latestCopyWins();
    void damagedLines_data();
    void damagedLines();
    void unreadableRecordKept_data();
    void unreadableRecordKept();
    void manifestCatchesUp();
    void entriesOfOneDownload();
};

void TestRecordIndex::latestCopyWins()
{
    QTemporaryDir dir;
    QString error;
    TransferRecord record(dir.path());
    QVERIFY(record.beginDownload(start(), &error));
    QVERIFY(store(record, dir.path(), "a", "one"));
    QVERIFY(record.appendFile(fileLine("a", "two", Record::Outcome::Replaced), &error));
    QVERIFY(record.appendFile(fileLine("a", "", Record::Outcome::Failed, "link lost"), &error));
    QVERIFY(record.appendFile(fileLine("b", "", Record::Outcome::Discarded, "not announced"), &error));
    QVERIFY(record.endDownload(false, true, &error));

    const RecordIndex index = RecordIndex::read(dir.path());
    QCOMPARE(index.copies().size(), 1); // b was never stored
    const RecordIndex::Copy a = index.copies().value("a");
    QCOMPARE(a.sha256(), qtHash("two"));
    QCOMPARE(a.outcome, Record::Outcome::Replaced);
    QCOMPARE(a.laterOutcome, std::optional<Record::Outcome>(Record::Outcome::Failed));
    QCOMPARE(a.laterReason, "link lost");
    QCOMPARE(RecordIndex::remoteOf("a", a), "/TARVELO/a");
    QCOMPARE(index.downloads().size(), 1);
    QVERIFY(index.downloads()[0].end && index.downloads()[0].end->linkLost);
    QCOMPARE(index.downloads()[0].counts[size_t(Record::Outcome::Discarded)], 1);
    QCOMPARE(index.report().message(), QString());
}

void TestRecordIndex::damagedLines_data()
{
    QTest::addColumn<QByteArray>("damage");
    QTest::addColumn<int>("torn");
    QTest::addColumn<int>("garbage");
    QTest::addColumn<QString>("says");
    QTest::newRow("torn last line") << QByteArray("{\"event\":\"file\",\"time\":\"2024-03-") << 1 << 0 << "cut short";
    QTest::newRow("zeros of a power loss") << QByteArray(300, '\0') << 1 << 0 << "cut short";
    QTest::newRow("garbage lines") << QByteArray("hello\n{\"event\":\"file\"}\n[1,2]\n") << 0 << 3 << "3 damaged lines";
    QTest::newRow("copy without a hash") << QByteArray("{\"event\":\"file\",\"time\":\"2024-03-11T10:00:00Z\",\"local\":\"x\","
                                                       "\"outcome\":\"stored\",\"sha256\":null}\n") << 0 << 1 << "1 damaged line";
}

void TestRecordIndex::damagedLines()
{
    QFETCH(QByteArray, damage);
    QFETCH(int, torn);
    QFETCH(int, garbage);
    QFETCH(QString, says);
    QTemporaryDir dir;
    QString error;
    {
        TransferRecord record(dir.path());
        QVERIFY(record.beginDownload(start(), &error));
        QVERIFY(store(record, dir.path(), "a", "alpha"));
        QVERIFY(record.endDownload(false, false, &error));
    }
    QFile f(RecordPaths::seriesFile(dir.path(), 1));
    QVERIFY(f.open(QIODevice::Append) && f.write(damage) == damage.size());
    f.close();

    RecordIndex index = RecordIndex::read(dir.path());
    QCOMPARE(index.report().tornLines, torn);
    QCOMPARE(index.report().garbageLines, garbage);
    QVERIFY2(index.report().message().contains(says), qPrintable(index.report().message()));
    QCOMPARE(index.copies().value("a").sha256(), qtHash("alpha")); // the lines before are whole

    // The next program to write ends the cut line first: only that one line stays lost.
    {
        TransferRecord record(dir.path());
        QVERIFY(record.beginDownload(start(), &error));
        QVERIFY(store(record, dir.path(), "b", "bravo"));
        QVERIFY(record.endDownload(false, false, &error));
        QCOMPARE(record.takeNotice(), QString());
    }
    index = RecordIndex::read(dir.path());
    QCOMPARE(index.copies().value("b").sha256(), qtHash("bravo"));
    QCOMPARE(index.report().tornLines, 0);
    QCOMPARE(index.report().garbageLines, garbage + torn);
    QCOMPARE(index.downloads().size(), 2);
    QCOMPARE(sha256sumCheck(dir.path()), 0);
}

void TestRecordIndex::unreadableRecordKept_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("why");
    QTest::newRow("later version") << QByteArray("{\"event\":\"download-start\",\"time\":\"2031-01-01T00:00:00Z\",\"format\":2}\n"
                                                 "{\"event\":\"file\",\"time\":\"2031-01-01T00:00:00Z\",\"v2\":true}\n")
                                   << "later version";
    QTest::newRow("not a record") << QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\n", 17) << "damaged";
}

void TestRecordIndex::unreadableRecordKept()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, why);
    QTemporaryDir dir;
    QVERIFY(writeFile(RecordPaths::seriesFile(dir.path(), 1), content));
    QString error;
    {
        TransferRecord record(dir.path());
        QVERIFY(record.beginDownload(start(), &error));
        QVERIFY(store(record, dir.path(), "a", "alpha"));
        QVERIFY(record.endDownload(false, false, &error));
        const QString notice = record.takeNotice();
        QVERIFY2(notice.contains("transfers.jsonl") && notice.contains(why) && notice.contains("transfers-2.jsonl"),
                 qPrintable(notice));
        QCOMPARE(record.takeNotice(), QString()); // told once
    }
    QCOMPARE(readFile(RecordPaths::seriesFile(dir.path(), 1)), content);
    {
        // The next run writes on in the new file and has nothing to tell.
        TransferRecord record(dir.path());
        QVERIFY(record.beginDownload(start(), &error));
        QVERIFY(store(record, dir.path(), "b", "bravo"));
        QVERIFY(record.endDownload(false, false, &error));
        QCOMPARE(record.takeNotice(), QString());
    }
    QVERIFY(!QFile::exists(RecordPaths::seriesFile(dir.path(), 3)));
    QCOMPARE(readFile(RecordPaths::seriesFile(dir.path(), 1)), content);
    const RecordIndex index = RecordIndex::read(dir.path());
    QCOMPARE(index.copies().size(), 2);
    QCOMPARE(index.report().unreadableFiles.size(), 1);
    QVERIFY(index.report().message().contains(why));
    QCOMPARE(sha256sumCheck(dir.path()), 0);
}

void TestRecordIndex::manifestCatchesUp()
{
    // A crash after files were recorded and before the download's end: the checksum list
    // is behind the record until the next start brings it up to date.
    QTemporaryDir dir;
    QString error;
    {
        TransferRecord record(dir.path());
        QVERIFY(record.beginDownload(start(), &error));
        QVERIFY(store(record, dir.path(), "a", "alpha"));
        QVERIFY(record.endDownload(false, false, &error));
        QVERIFY(record.beginDownload(start(), &error));
        QVERIFY(store(record, dir.path(), "b", "bravo"));
        QVERIFY(writeFile(dir.path() + "/a", "alpha 2"));
        QVERIFY(record.appendFile(fileLine("a", "alpha 2", Record::Outcome::Replaced), &error));
    }
    QCOMPARE(sha256sumCheck(dir.path()), 1);
    const QString manifest = RecordPaths::manifest(dir.path());
    TransferRecord record(dir.path());
    QVERIFY(record.updateManifest(&error));
    QCOMPARE(sha256sumCheck(dir.path()), 0);
    QCOMPARE(readFile(manifest).count('\n'), 2);
    // Up to date, it is left as it is.
    const QDateTime written = QDateTime::currentDateTimeUtc().addDays(-3);
    QFile file(manifest);
    QVERIFY(file.open(QIODevice::ReadWrite) && file.setFileTime(written, QFileDevice::FileModificationTime));
    file.close();
    QVERIFY(record.updateManifest(&error));
    QCOMPARE(QFileInfo(manifest).lastModified().toUTC(), written);
}

void TestRecordIndex::entriesOfOneDownload()
{
    QTemporaryDir dir;
    QString error;
    TransferRecord first(dir.path()), second(dir.path());
    QVERIFY(first.beginDownload(start(), &error));
    QVERIFY(second.beginDownload(start(), &error));
    // Interleaved, as two programs at once would write them.
    for (int i = 0; i < 6; ++i)
        QVERIFY(store(i % 2 ? second : first, dir.path(), QString("f%1").arg(i), QByteArray::number(i)));
    QVERIFY(first.endDownload(false, false, &error));
    const QString id = second.currentDownload();
    QVERIFY(second.endDownload(false, false, &error));
    const RecordIndex index = RecordIndex::read(dir.path(), id);
    QStringList locals;
    for (const Record::File &f : index.entries())
        locals << f.local;
    QCOMPARE(locals, QStringList({"f1", "f3", "f5"}));
    QCOMPARE(index.copies().size(), 6);
    QCOMPARE(index.downloads()[1].counts[0], 3);
}

QTEST_GUILESS_MAIN(TestRecordIndex)
#include "tst_recordindex.moc"
