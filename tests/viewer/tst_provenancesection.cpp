// The attribute sheet's provenance lines, fed from a real transfer record: found or not,
// still matching or changed since the download, and an answer for a file the browser has
// moved on from never overwrites the one shown.
#include "record/provenancelookup.h"
#include "record/recordformat.h"
#include "record/transferrecord.h"
#include "viewer/imageattributedialog.h"
#include "viewer/provenancesection.h"
#include "../record/recordfixture.h"
#include "tifffiles.h"
#include "viewer/imageloaddialog.h"
#include "viewer/imageloaddialogui.h"

#include <QProcess>
#include <QPushButton>

#include <QTemporaryDir>
#include <QtTest>

class TestProvenanceSection : public QObject
{
    Q_OBJECT
private slots:
    void sheetLines_data();
    void sheetLines();
    void latestFileWins();
    void inTheImageBrowser();
};

namespace {

bool recordDownload(const QString &folder, const QString &local, const QByteArray &bytes)
{
    TransferRecord record(folder);
    QString error;
    return record.beginDownload(Record::startNow(QStringLiteral("127.0.0.9"), QStringLiteral("lab1"),
                                                 {QStringLiteral("/TARVELO/run")}), &error)
        && RecordFixture::store(record, folder, local, bytes) && record.endDownload(false, false, &error);
}

} // namespace

void TestProvenanceSection::sheetLines_data()
{
    QTest::addColumn<QString>("shown");     // the file the browser shows
    QTest::addColumn<QByteArray>("nowHolds");
    QTest::addColumn<QStringList>("expected");
    const QByteArray bytes("II*\0 an image", 13);
    const QString hash = RecordFixture::qtHash(bytes);
    QTest::newRow("still matches") << "run/a.tif" << bytes
                                   << QStringList{"from 127.0.0.9 as lab1", "Instrument path: /TARVELO/run/a.tif",
                                                  "SHA-256: " + hash, "The file still matches its record."};
    QTest::newRow("changed") << "run/a.tif" << QByteArray("edited")
                             << QStringList{"SHA-256: " + hash, "has CHANGED since it was downloaded (SHA-256 now "
                                                                    + RecordFixture::qtHash("edited")};
    QTest::newRow("not in the record") << "run/b.tif" << QByteArray("other")
                                       << QStringList{"Not in the transfer record of a download folder."};
}

void TestProvenanceSection::sheetLines()
{
    QFETCH(QString, shown);
    QFETCH(QByteArray, nowHolds);
    QFETCH(QStringList, expected);
    QTemporaryDir tmp;
    QVERIFY(recordDownload(tmp.path(), "run/a.tif", QByteArray("II*\0 an image", 13)));
    QVERIFY(RecordFixture::writeFile(tmp.filePath(shown), nowHolds));

    ImageAttributeDialog sheet;
    sheet.setProvenanceSource(ProvenanceLookup::source());
    QSignalSpy filled(sheet.provenance(), &ProvenanceSection::filled);
    const QFileInfo file(tmp.filePath(shown));
    sheet.showAttributes(file.path(), file.fileName());
    QVERIFY(filled.wait(10000));
    for (const QString &part : expected)
        QVERIFY2(sheet.provenance()->text().contains(part), qPrintable(sheet.provenance()->text()));
}

void TestProvenanceSection::latestFileWins()
{
    QTemporaryDir tmp;
    QVERIFY(recordDownload(tmp.path(), "run/a.tif", QByteArray(4 << 20, 'x')));
    QVERIFY(RecordFixture::writeFile(tmp.filePath("run/b.tif"), "other"));
    ImageAttributeDialog sheet;
    sheet.setProvenanceSource(ProvenanceLookup::source());
    QSignalSpy filled(sheet.provenance(), &ProvenanceSection::filled);
    sheet.showAttributes(tmp.filePath("run"), "a.tif");
    sheet.showAttributes(tmp.filePath("run"), "b.tif");
    QVERIFY(filled.wait(10000));
    QVERIFY(!filled.wait(300)); // the first file's answer, if late, is dropped
    QCOMPARE(filled.size(), 1);
    QCOMPARE(sheet.provenance()->text(), QStringLiteral("Not in the transfer record of a download folder."));
}

void TestProvenanceSection::inTheImageBrowser()
{
    QTemporaryDir tmp;
    const QString image = tmp.filePath("Run_2024-03-11_001/overview.tif");
    QDir().mkpath(QFileInfo(image).path());
    QVERIFY(TestTiff::write(image, TestTiff::grey(320, 240, 8, "Software Version: 1.2.0, Min. F: 10, Max. F: 20")));
    QFile f(image);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QByteArray bytes = f.readAll();
    QVERIFY(recordDownload(tmp.path(), "Run_2024-03-11_001/overview.tif", bytes));

    ImageLoadDialog browser;
    browser.attributeDialog()->setProvenanceSource(ProvenanceLookup::source());
    QSignalSpy filled(browser.attributeDialog()->provenance(), &ProvenanceSection::filled);
    browser.openImage(QFileInfo(image).path(), image, "overview.tif");
    browser.show();
    QTest::mouseClick(browser.findChild<QPushButton *>("pushButton_3"), Qt::LeftButton);
    QVERIFY(browser.attributeDialog()->isVisible());
    QVERIFY(filled.wait(10000));
    QVERIFY(browser.attributeDialog()->provenance()->isVisible());
    QVERIFY(browser.attributeDialog()->provenance()->text().endsWith("The file still matches its record."));
    // With TARVELO_SHOT_DIR set (run under an X server), the sheet as the user sees it.
    const QString dir = qEnvironmentVariable("TARVELO_SHOT_DIR");
    if (!dir.isEmpty()) {
        QTest::qWait(400);
        QProcess::execute("import", {"-window", "root", dir + "/image-provenance.png"});
    }
}

QTEST_MAIN(TestProvenanceSection)
#include "tst_provenancesection.moc"
