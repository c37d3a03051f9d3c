// Verifying a download folder against its record, and the answer to "may the instrument
// be wiped?".
#include "record/recordfixture.h"
#include "record/recordpaths.h"
#include "record/verifier.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace RecordFixture;

class TestVerifier : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void classifies();
    void stops();
    void instrumentCheck_data();
    void instrumentCheck();

private:
    QTemporaryDir m_dir;
    QString m_folder;
};

void TestVerifier::initTestCase()
{
    m_folder = m_dir.path();
    TransferRecord record(m_folder);
    QString error;
    QVERIFY(record.beginDownload(start(), &error));
    for (const char *name : {"run/a.tif", "run/b.tif", "run/sub dir/c.tif", "run/d.pdf", "run/e.tif"})
        QVERIFY(store(record, m_folder, name, QByteArray("bytes of ") + name));
    QVERIFY(record.appendFile(fileLine("run/f.tif", "", Record::Outcome::NeverSent), &error));
    QVERIFY(record.endDownload(false, false, &error));
    QVERIFY(writeFile(m_folder + "/run/b.tif", "changed after the download"));
    QVERIFY(QFile::remove(m_folder + "/run/d.pdf"));
    QVERIFY(writeFile(m_folder + "/run/extra.txt", "not downloaded"));
    QVERIFY(writeFile(m_folder + "/run/e.tif", "")); // emptied: changed, not missing
}

void TestVerifier::classifies()
{
    Verifier verifier;
    QSignalSpy finished(&verifier, &Verifier::finished);
    QSignalSpy progress(&verifier, &Verifier::progress);
    verifier.start(m_folder);
    QVERIFY(finished.wait(30000));
    const VerifyResult r = finished.first().first().value<VerifyResult>();
    QVERIFY(!r.stopped);
    QStringList seen;
    for (const VerifyResult::Item &i : r.items)
        seen << i.local + ": " + VerifyResult::statusText(i.status);
    QCOMPARE(seen, QStringList({"run/a.tif: verified", "run/b.tif: changed since download", "run/d.pdf: missing",
                                "run/e.tif: changed since download", "run/extra.txt: not in the record",
                                "run/sub dir/c.tif: verified"}));
    QCOMPARE(r.items[1].actual, qtHash("changed after the download"));
    QCOMPARE(r.items[1].recorded, qtHash("bytes of run/b.tif"));
    QCOMPARE(r.summary(), "3 of 5 recorded files have no verified copy: 2 changed since download, 1 missing. "
                          "1 local file is not in the record.");
    QVERIFY(!progress.isEmpty());
    QCOMPARE(progress.last().at(0), progress.last().at(1)); // ends full
    QVERIFY(r.recordMessage.isEmpty() && r.manifestError.isEmpty());
}

void TestVerifier::stops()
{
    std::atomic_bool stop{true};
    const VerifyResult r = Verifier::run(m_folder, stop);
    QVERIFY(r.stopped);
    QVERIFY(r.items.isEmpty());
    QVERIFY(r.summary().startsWith("Stopped before the end."));
}

void TestVerifier::instrumentCheck_data()
{
    QTest::addColumn<QStringList>("remote");
    QTest::addColumn<QStringList>("without");
    QTest::addColumn<QString>("answer");
    QTest::newRow("all verified") << QStringList{"/TARVELO/run/a.tif", "/TARVELO/run/sub dir/c.tif"} << QStringList{}
                                  << "All 2 files of /TARVELO/run have verified copies in the download folder.";
    QTest::newRow("one of one") << QStringList{"/TARVELO/run/a.tif"} << QStringList{}
                                << "The one file of /TARVELO/run has a verified copy in the download folder.";
    QTest::newRow("changed, missing, never sent, unknown")
        << QStringList{"/TARVELO/run/a.tif", "/TARVELO/run/b.tif", "/TARVELO/run/d.pdf", "/TARVELO/run/f.tif",
                       "/TARVELO/run/new.tif", "/TARVELO/run/extra.txt", "/TARVELO/run/sub dir/c.tif"}
        << QStringList{"/TARVELO/run/b.tif", "/TARVELO/run/d.pdf", "/TARVELO/run/f.tif", "/TARVELO/run/new.tif",
                       "/TARVELO/run/extra.txt"}
        << "5 of 7 files of /TARVELO/run have no verified copy:";
    QTest::newRow("one missing") << QStringList{"/TARVELO/run/a.tif", "/TARVELO/run/../run/a.tif"}
                                 << QStringList{"/TARVELO/run/../run/a.tif"}
                                 << "1 of 2 files of /TARVELO/run has no verified copy:";
    QTest::newRow("empty") << QStringList{} << QStringList{} << "/TARVELO/run holds no files.";
}

void TestVerifier::instrumentCheck()
{
    QFETCH(QStringList, remote);
    QFETCH(QStringList, without);
    QFETCH(QString, answer);
    static const VerifyResult verified = Verifier::run(m_folder, std::atomic_bool{false});
    const InstrumentCheck check = compareWithInstrument("/TARVELO/run", remote, verified);
    QCOMPARE(check.withoutCopy, without);
    QCOMPARE(check.total, remote.size());
    QCOMPARE(check.answer, answer);
}

QTEST_GUILESS_MAIN(TestVerifier)
#include "tst_verifier.moc"
