// tarvelo-fetch when the login or the link goes wrong: the exit code a script acts on, and
// nothing lost in the download folder.
#include "fetchprocess.h"

#include <csignal>

using namespace Fetch;

class TestFetchFaults : public QObject
{
    Q_OBJECT


private slots:
    void login_data();
    void login();
    void linkLost_data();
    void linkLost();
    void terminated();
};

void TestFetchFaults::login_data()
{
    QTest::addColumn<bool>("listening");
    QTest::addColumn<QString>("how");     // "anonymous", "file", "env"
    QTest::addColumn<QString>("password");
    QTest::addColumn<int>("code");
    QTest::newRow("nobody listening") << false << "anonymous" << "" << 3;
    QTest::newRow("anonymous refused") << true << "anonymous" << "" << 3;
    QTest::newRow("password file") << true << "file" << "s3cret" << 0;
    QTest::newRow("environment") << true << "env" << "s3cret" << 0;
    QTest::newRow("wrong password") << true << "env" << "guess" << 3;
}

void TestFetchFaults::login()
{
    QFETCH(bool, listening);
    QFETCH(QString, how);
    QFETCH(QString, password);
    QFETCH(int, code);
    Bench b;
    b.makeTree();
    InstrumentOptions options;
    options.anonymous = false;
    options.accounts.insert(QStringLiteral("lab"), QStringLiteral("s3cret"));
    QVERIFY(b.start(options)); // takes an address that is free
    if (!listening)
        b.server.reset();
    QStringList args = b.args({"ls"});
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("TARVELO_PASSWORD"));
    const QString file = b.tmp.filePath(QStringLiteral("password"));
    if (how == QLatin1String("file")) {
        QVERIFY(writeFile(file, password.toUtf8() + '\n')); // as an editor leaves it
        args << "--account" << "lab" << "--password-file" << file;
    } else if (how == QLatin1String("env")) {
        env.insert(QStringLiteral("TARVELO_PASSWORD"), password);
        args << "--account" << "lab";
    }
    const Outcome o = run(args, env);
    QCOMPARE(o.code, code);
    if (code == 0) {
        QCOMPARE(o.outLines().size(), 3);
    } else {
        QVERIFY(o.out.isEmpty());
        QCOMPARE(o.errLines().size(), 1);
        QVERIFY2(o.err.contains(b.address.toUtf8()), o.err.constData());
    }
}

void TestFetchFaults::linkLost_data()
{
    QTest::addColumn<bool>("stall");
    QTest::newRow("closed mid-file") << false;
    QTest::newRow("silent mid-file") << true;
}

void TestFetchFaults::linkLost()
{
    QFETCH(bool, stall);
    Bench b;
    const QByteArray big = bytes(400000, 7);
    QVERIFY(writeFile(b.root + "/run/first.bin", bytes(5000, 8)));
    QVERIFY(writeFile(b.root + "/run/second.bin", big));
    const QByteArray old = "the copy from last night";
    QVERIFY(writeFile(b.local("run/second.bin"), old));
    InstrumentOptions options;
    (stall ? options.stallAfterFileBytes : options.closeAfterFileBytes) = 5000 + 150000;
    QVERIFY(b.start(options));

    const Outcome o = run(b.args({"get", "run", "--to", b.to, "--stall", "1", "--json"}));
    QCOMPARE(o.code, 4);
    QVERIFY(!o.errLines().isEmpty());
    // The file before the cut is whole, the one cut off left its old copy alone, and no
    // piece of it lies anywhere in the folder.
    QCOMPARE(filesBelow(b.to), (QStringList{"run/first.bin", "run/second.bin"}));
    QCOMPARE(fileSha(b.local("run/first.bin")), fileSha(b.root + "/run/first.bin"));
    QFile kept(b.local("run/second.bin"));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), old);
    QVERIFY2(o.out.contains("\"exit\":4"), o.out.constData());
}

// systemctl stop, or Ctrl+C, in the middle of a file: the file under way is dropped, the
// files before it stay, and the record is closed before the program ends.
void TestFetchFaults::terminated()
{
    Bench b;
    QVERIFY(writeFile(b.root + "/run/first.bin", bytes(5000, 8)));
    QVERIFY(writeFile(b.root + "/run/second.bin", bytes(400000, 9)));
    const QByteArray old = "the copy from last night";
    QVERIFY(writeFile(b.local("run/second.bin"), old));
    InstrumentOptions options;
    options.stallAfterFileBytes = 5000 + 150000;
    QVERIFY(b.start(options));
    QSignalSpy lines(b.server.get(), &InstrumentServer::lineReceived);

    qRegisterMetaType<QProcess::ExitStatus>();
    QProcess p;
    QSignalSpy done(&p, QOverload<int, QProcess::ExitStatus>::of(&QProcess::finished));
    p.start(QStringLiteral(TARVELO_FETCH_BIN), b.args({"get", "run", "--to", b.to, "--json"}));
    QTRY_VERIFY_WITH_TIMEOUT(std::any_of(lines.cbegin(), lines.cend(), [](const QList<QVariant> &l) {
                                 return l.at(1).toByteArray() == "$DOWNLOAD COMPLETED /TARVELO/run/first.bin";
                             }), 20000);
    p.terminate();
    QVERIFY(done.wait(20000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 128 + SIGTERM);
    QVERIFY(p.readAllStandardOutput().contains("\"exit\":143"));
    QCOMPARE(filesBelow(b.to), (QStringList{"run/first.bin", "run/second.bin"}));
    QFile kept(b.local("run/second.bin"));
    QVERIFY(kept.open(QIODevice::ReadOnly));
    QCOMPARE(kept.readAll(), old);
    QFile record(b.to + "/.tarvelo/transfers.jsonl");
    QVERIFY(record.open(QIODevice::ReadOnly));
    // Start, the stored file, the dropped one, and the end.
    const QList<QByteArray> recorded = record.readAll().trimmed().split('\n');
    QCOMPARE(recorded.size(), 4);
    QVERIFY(recorded.at(2).contains("\"outcome\":\"failed\""));
    QVERIFY(recorded.at(3).startsWith("{\"event\":\"download-end\""));
}

QTEST_GUILESS_MAIN(TestFetchFaults)
#include "tst_fetch_faults.moc"
