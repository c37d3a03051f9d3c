// The record's lines as users script against them, the checksum list as sha256sum reads it,
// and two programs writing one record at once.
#include "record/recordfixture.h"
#include "record/recordpaths.h"
#include "record/sha256.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <thread>
#include <unistd.h>

using namespace RecordFixture;

class TestTransferRecord : public QObject
{
    Q_OBJECT
private slots:
    void sha256_data();
    void sha256();
    void linesFormat();
    void manifestChecks_data();
    void manifestChecks();
    void failedKeepsOldCopy();
    void twoWritersWholeLines();
    void tornLineEndedBeforeOurs_data();
    void tornLineEndedBeforeOurs();
    void readOnlyFolderRefused();
    void recordPath_data();
    void recordPath();
};

void TestTransferRecord::sha256_data()
{
    QTest::addColumn<int>("size");
    QTest::addColumn<int>("piece");
    // Around the 64-byte block and its padding, and a file larger than one read block.
    for (int size : {0, 1, 55, 56, 63, 64, 65, 1000, (1 << 20) + 3, (3 << 20) + 17})
        QTest::addRow("%d bytes", size) << size << 37;
}

void TestTransferRecord::sha256()
{
    QFETCH(int, size);
    QFETCH(int, piece);
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 131 + i / 251) & 0xff);
    Sha256 h;
    for (int at = 0; at < size; at += piece)
        h.addData(bytes.constData() + at, qMin(piece, size - at));
    QCOMPARE(h.result(), qtHash(bytes));
    h.addData(bytes); // starts over after result()
    QCOMPARE(h.result(), qtHash(bytes));

    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath("f"), bytes));
    QString error;
    QCOMPARE(Sha256::hashFile(dir.filePath("f"), &error), qtHash(bytes));
    QVERIFY(error.isEmpty());
    QVERIFY(Sha256::hashFile(dir.filePath("absent"), &error).isEmpty());
    QVERIFY(!error.isEmpty());
}

void TestTransferRecord::linesFormat()
{
    QTemporaryDir dir;
    const QString folder = dir.path();
    QString error;
    {
        TransferRecord record(folder);
        QVERIFY(record.beginDownload(start({"/TARVELO/run 1", "/TARVELO/a\"b"}), &error));
        QVERIFY(store(record, folder, QStringLiteral("run 1/a.tif"), "alpha"));
        Record::File refused = fileLine(QStringLiteral(".tarvelo/x"), "", Record::Outcome::Refused,
                                        QStringLiteral("inside the record's folder"));
        refused.announced.reset();
        QVERIFY(record.appendFile(refused, &error));
        QVERIFY(record.appendFile(fileLine(QStringLiteral("run 1/b.tif"), "", Record::Outcome::NeverSent), &error));
        QVERIFY(record.endDownload(true, false, &error));
    }
    const QList<QByteArray> lines = readFile(RecordPaths::seriesFile(folder, 1)).split('\n');
    QCOMPARE(lines.size(), 6); // five lines and what follows the last line feed
    QVERIFY(lines.last().isEmpty());
    QVector<QJsonObject> o;
    for (int i = 0; i < 5; ++i) {
        QJsonParseError e;
        o << QJsonDocument::fromJson(lines[i], &e).object();
        QCOMPARE(e.error, QJsonParseError::NoError);
        QVERIFY(QRegularExpression("^\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\dZ$").match(o[i]["time"].toString()).hasMatch());
        QCOMPARE(o[i]["download"].toString(), o[0]["download"].toString());
    }
    const QStringList startKeys{"account", "download", "event", "format", "host", "instrument", "program", "request", "time", "user"};
    QCOMPARE(o[0].keys(), startKeys);
    QCOMPARE(o[0]["event"].toString(), "download-start");
    QCOMPARE(o[0]["format"].toInt(), 1);
    QCOMPARE(o[0]["account"].toString(), "anonymous");
    QCOMPARE(o[0]["request"].toArray(), QJsonArray({"/TARVELO/run 1", "/TARVELO/a\"b"}));
    QVERIFY(!o[0]["user"].toString().isEmpty() && !o[0]["host"].toString().isEmpty());
    QCOMPARE(o[0]["program"].toString(), QStringLiteral("TARVELO Utility " TARVELO_EXPECTED_VERSION));

    const QStringList fileKeys{"announced", "download", "event", "local", "outcome", "reason", "remote", "sha256", "stored", "time"};
    QCOMPARE(o[1].keys(), fileKeys);
    QCOMPARE(o[1]["event"].toString(), "file");
    QCOMPARE(o[1]["remote"].toString(), "/TARVELO/run 1/a.tif");
    QCOMPARE(o[1]["local"].toString(), "run 1/a.tif");
    QCOMPARE(o[1]["announced"].toInt(), 5);
    QCOMPARE(o[1]["stored"].toInt(), 5);
    QCOMPARE(o[1]["sha256"].toString(), qtHash("alpha"));
    QCOMPARE(o[1]["outcome"].toString(), "stored");
    QVERIFY(o[1]["reason"].isNull());
    QCOMPARE(o[2]["outcome"].toString(), "refused");
    QCOMPARE(o[2]["reason"].toString(), "inside the record's folder");
    QVERIFY(o[2]["announced"].isNull() && o[2]["stored"].isNull() && o[2]["sha256"].isNull());
    QCOMPARE(o[3]["outcome"].toString(), "never-sent");

    QCOMPARE(o[4]["event"].toString(), "download-end");
    const QJsonObject counts{{"stored", 1}, {"replaced", 0}, {"failed", 0}, {"refused", 1}, {"never-sent", 1}, {"discarded", 0}};
    QCOMPARE(o[4]["counts"].toObject(), counts);
    QCOMPARE(o[4]["stopped"], QJsonValue(true));
    QCOMPARE(o[4]["link-lost"], QJsonValue(false));
}

void TestTransferRecord::manifestChecks_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("plain") << "run/a.tif";
    QTest::newRow("spaces") << "Run 2024 03/image a.tif";
    QTest::newRow("leading dash") << "-c";
    QTest::newRow("hash sign and star") << "#1 *x.tif";
    QTest::newRow("backslash") << "a\\b.tif";
    QTest::newRow("line feed") << "two\nlines.tif";
    QTest::newRow("carriage return") << "cr\r.tif";
    QTest::newRow("non-ASCII") << QStringLiteral("Ma\u00dfe/\u00e9t\u00e9 \u65e5.tif");
    QTest::newRow("hidden") << ".hidden/.f";
}

void TestTransferRecord::manifestChecks()
{
    QFETCH(QString, name);
    QTemporaryDir dir;
    const QString folder = dir.path();
    QString error;
    {
        TransferRecord record(folder);
        QVERIFY(record.beginDownload(start(), &error));
        QVERIFY(store(record, folder, name, "content of " + name.toUtf8()));
        QVERIFY(store(record, folder, QStringLiteral("other.dat"), "other"));
        QVERIFY2(record.endDownload(false, false, &error), qPrintable(error));
    }
    QByteArray output;
    QCOMPARE(sha256sumCheck(folder, &output), 0);
    QCOMPARE(output.count(": OK\n"), 2);
    // And it does check: a changed byte fails.
    QVERIFY(writeFile(folder + '/' + name, "changed"));
    QCOMPARE(sha256sumCheck(folder, &output), 1);
}

void TestTransferRecord::failedKeepsOldCopy()
{
    QTemporaryDir dir;
    const QString folder = dir.path();
    QString error;
    TransferRecord record(folder);
    QVERIFY(record.beginDownload(start(), &error));
    QVERIFY(store(record, folder, "a.tif", "first"));
    QVERIFY(store(record, folder, "b.tif", "bee"));
    QVERIFY(record.endDownload(false, false, &error));
    const QByteArray before = readFile(RecordPaths::manifest(folder));

    QVERIFY(record.beginDownload(start(), &error));
    QVERIFY(record.appendFile(fileLine("a.tif", "", Record::Outcome::Failed, "size mismatch"), &error));
    Record::File replaced = fileLine("b.tif", "new bee", Record::Outcome::Replaced);
    QVERIFY(writeFile(folder + "/b.tif", "new bee") && record.appendFile(replaced, &error));
    QVERIFY(record.endDownload(false, true, &error));
    const QByteArray after = readFile(RecordPaths::manifest(folder));
    QCOMPARE(after, QByteArray(qtHash("first").toLatin1() + "  a.tif\n" + qtHash("new bee").toLatin1() + "  b.tif\n"));
    QVERIFY(before.contains(qtHash("first").toLatin1() + "  a.tif\n"));
    QCOMPARE(sha256sumCheck(folder), 0);
}

void TestTransferRecord::twoWritersWholeLines()
{
    // Two records on one folder, as the window and a command-line run would have: long
    // lines from both at once must each land whole.
    QTemporaryDir dir;
    const QString folder = dir.path();
    constexpr int kLines = 400;
    auto writer = [&](char tag, bool *ok) {
        TransferRecord record(folder);
        QString error;
        *ok = record.beginDownload(start(), &error);
        const QString reason = QString(20000, QLatin1Char(tag));
        for (int i = 0; i < kLines && *ok; ++i)
            *ok = record.appendFile(fileLine(QStringLiteral("%1/%2").arg(tag).arg(i), "", Record::Outcome::Failed, reason), &error);
        *ok = *ok && record.endDownload(false, false, &error);
    };
    bool ok1 = false, ok2 = false;
    std::thread t1(writer, 'a', &ok1), t2(writer, 'b', &ok2);
    t1.join();
    t2.join();
    QVERIFY(ok1 && ok2);
    const QList<QByteArray> lines = readFile(RecordPaths::seriesFile(folder, 1)).split('\n');
    QCOMPARE(lines.size(), 2 * (kLines + 2) + 1);
    for (int i = 0; i + 1 < lines.size(); ++i) {
        const Record::Parsed p = Record::parse(lines[i]);
        QVERIFY2(p.kind != Record::Parsed::Garbage, qPrintable(QString("line %1 is not whole").arg(i + 1)));
        if (p.kind == Record::Parsed::FileLine)
            QCOMPARE(p.file.reason.count(p.file.local.at(0)), 20000);
    }
}

void TestTransferRecord::tornLineEndedBeforeOurs_data()
{
    QTest::addColumn<bool>("beforeOpen");
    QTest::newRow("torn before the record was opened") << true;
    QTest::newRow("torn by another program between our lines") << false;
}

void TestTransferRecord::tornLineEndedBeforeOurs()
{
    // Whoever crashed mid-line, our next line must not be glued onto what it left.
    QFETCH(bool, beforeOpen);
    QTemporaryDir dir;
    const QString folder = dir.path();
    auto tear = [&] {
        QDir().mkpath(RecordPaths::folder(folder));
        QFile file(RecordPaths::seriesFile(folder, 1));
        QVERIFY(file.open(QIODevice::Append) && file.write("{\"event\":\"file\",\"ti") > 0);
    };
    if (beforeOpen) {
        TransferRecord first(folder);
        QString error;
        QVERIFY(first.beginDownload(start(), &error));
    }
    TransferRecord record(folder);
    QString error;
    if (beforeOpen)
        tear();
    QVERIFY(record.beginDownload(start(), &error));
    QVERIFY(record.appendFile(fileLine("a.tif", "", Record::Outcome::NeverSent), &error));
    if (!beforeOpen)
        tear();
    QVERIFY(record.appendFile(fileLine("b.tif", "", Record::Outcome::NeverSent), &error));
    QList<QByteArray> lines = readFile(RecordPaths::seriesFile(folder, 1)).split('\n');
    QCOMPARE(lines.takeLast(), QByteArray());
    int garbage = 0, files = 0;
    for (const QByteArray &line : qAsConst(lines)) {
        const Record::Parsed p = Record::parse(line);
        garbage += p.kind == Record::Parsed::Garbage;
        files += p.kind == Record::Parsed::FileLine;
    }
    QCOMPARE(garbage, 1);
    QCOMPARE(files, 2);
}

void TestTransferRecord::readOnlyFolderRefused()
{
    QTemporaryDir dir;
    // A file where the record's folder belongs stops the record even for the superuser.
    const QString blocked = dir.filePath("blocked");
    QVERIFY(writeFile(blocked + "/.tarvelo", "not a folder"));
    QVERIFY(TransferRecord(blocked).checkWritable().contains("cannot be written to"));
    TransferRecord missing(dir.filePath("absent"));
    QVERIFY(missing.checkWritable().contains("does not exist"));
    if (geteuid() == 0)
        QSKIP("the superuser writes into read-only folders");
    const QString folder = dir.filePath("downloads");
    QVERIFY(QDir().mkpath(folder));
    {
        TransferRecord record(folder);
        QCOMPARE(record.checkWritable(), QString());
    }
    QVERIFY(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner));
    TransferRecord record(folder);
    const QString message = record.checkWritable();
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QVERIFY2(message.contains("cannot be written to") && message.contains(folder), qPrintable(message));
}

void TestTransferRecord::recordPath_data()
{
    QTest::addColumn<QString>("local");
    QTest::addColumn<bool>("own");
    QTest::newRow("record folder") << ".tarvelo" << true;
    QTest::newRow("inside") << ".tarvelo/transfers.jsonl" << true;
    QTest::newRow("other case") << ".TarVelo/manifest-sha256.txt" << true;
    QTest::newRow("dot segment first") << "./.tarvelo/x" << true;
    QTest::newRow("deeper down") << "run/.tarvelo/x" << false;
    QTest::newRow("similar name") << ".tarvelo2/x" << false;
    QTest::newRow("plain") << "run/a.tif" << false;
}

void TestTransferRecord::recordPath()
{
    QFETCH(QString, local);
    QFETCH(bool, own);
    QCOMPARE(RecordPaths::isRecordPath(local), own);
    QCOMPARE(RecordPaths::isRecordPath(RecordPaths::localRelative("/TARVELO/" + local)), own && !local.startsWith("./"));
}

QTEST_GUILESS_MAIN(TestTransferRecord)
#include "tst_transferrecord.moc"
