// A program killed with SIGKILL in the middle of a download of many small files: every file
// whose acknowledgement reached the instrument has its record line, and the next download
// brings the checksum list up to date.
#include "link/protocol.h"
#include "common/testaddress.h"
#include "record/recordindex.h"
#include "tools/instrument/instrumentserver.h"

#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

class TestRecordKill : public QObject
{
    Q_OBJECT
private slots:
    void killedMidDownload();
};

namespace {

bool runDriver(QProcess &driver, const QString &address, const QString &folder, const QStringList &remote)
{
    driver.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    driver.start(QStringLiteral(TARVELO_RECORD_DRIVER), QStringList{address, folder} + remote);
    return driver.waitForStarted(10000);
}

// The stand-in lives in this process: its event loop must run while the driver does.
bool waitFor(QProcess &driver, int ms)
{
    if (driver.state() == QProcess::NotRunning)
        return true;
    QSignalSpy ended(&driver, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));
    return ended.wait(ms);
}

} // namespace

void TestRecordKill::killedMidDownload()
{
    QTemporaryDir tmp;
    const QString root = tmp.filePath("root");
    const QString download = tmp.filePath("download");
    const int files = 3000;
    for (int i = 0; i < files; ++i) {
        const QString path = QStringLiteral("%1/run/f%2/%3.bin").arg(root).arg(i / 100).arg(i);
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(QByteArray(200, char('a' + i % 26)) + QByteArray::number(i));
    }
    QFile late(root + "/late.bin");
    QVERIFY(late.open(QIODevice::WriteOnly));
    late.write("the next download");
    late.close();

    InstrumentOptions options;
    options.root = root;
    options.quiet = true;
    options.chunk = 64; // slow enough to be killed in the middle
    options.chunkDelayMs = 1;
    InstrumentServer server(options);
    const QString address = TestAddress::listen(
        [&server](const QString &a) { return server.listen(QHostAddress(a), TestAddress::kPort); });
    QVERIFY(!address.isEmpty());

    QSet<QString> acknowledged;
    QProcess driver;
    connect(&server, &InstrumentServer::lineReceived, this, [&](int, const QByteArray &line) {
        if (!line.startsWith(Protocol::kFileAckPrefix))
            return;
        acknowledged.insert(QString::fromUtf8(line.mid(int(qstrlen(Protocol::kFileAckPrefix)))));
        if (acknowledged.size() == 300)
            driver.kill(); // SIGKILL
    });
    QVERIFY(runDriver(driver, address, download, {"/TARVELO/run"}));
    QVERIFY(waitFor(driver, 60000));
    QCOMPARE(driver.exitStatus(), QProcess::CrashExit);
    QVERIFY(acknowledged.size() >= 300);
    QVERIFY(acknowledged.size() < files);

    // Every acknowledged file has its line, and its copy holds what the line says.
    const RecordIndex index = RecordIndex::read(download);
    for (const QString &remote : qAsConst(acknowledged)) {
        const QString local = remote.mid(int(qstrlen("/TARVELO/")));
        QVERIFY2(index.copies().contains(local), qPrintable(remote));
    }
    QVERIFY(index.report().message().isEmpty() || index.report().tornLines <= 1);

    const int beforeNext = acknowledged.size();
    // The next download makes the checksum list whole again.
    QProcess next;
    QVERIFY(runDriver(next, address, download, {"/TARVELO/late.bin"}));
    QVERIFY(waitFor(next, 60000));
    QCOMPARE(next.exitCode(), 0);
    QFile manifest(download + "/.tarvelo/manifest-sha256.txt");
    QVERIFY(manifest.open(QIODevice::ReadOnly));
    const int manifestLines = manifest.readAll().count('\n');
    QCOMPARE(manifestLines, RecordIndex::read(download).copies().size());
    QVERIFY(manifestLines >= beforeNext + 1);
    if (!QStandardPaths::findExecutable("sha256sum").isEmpty()) {
        QProcess check;
        check.setWorkingDirectory(download);
        check.start("sha256sum", {"--quiet", "-c", ".tarvelo/manifest-sha256.txt"});
        QVERIFY(check.waitForFinished(30000));
        QCOMPARE(check.exitCode(), 0);
    }
}

QTEST_GUILESS_MAIN(TestRecordKill)
#include "tst_record_kill.moc"
