// tarvelo-fetch as scripts run it: listing, downloading, only new files, verify, bad usage.
#include "fetchprocess.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <sys/stat.h>

using namespace Fetch;

class TestFetchE2E : public QObject
{
    Q_OBJECT

    // Addresses of this test alone; each test function has its own instrument.

private slots:
    void ls();
    void getFileAndFolder();
    void newOnly();
    void verify();
    void badUsage_data();
    void badUsage();
    void help();
};

void TestFetchE2E::ls()
{
    Bench b;
    b.makeTree();
    QVERIFY(b.start());
    QVERIFY(writeFile(b.local(QStringLiteral("d1/a.tif")), "an older copy"));

    const Outcome plain = run(b.args({QStringLiteral("ls")}));
    QCOMPARE(plain.code, 0);
    QCOMPARE(plain.outLines(), (QStringList{"/TARVELO/d1/", "/TARVELO/d2/", "/TARVELO/top.bin"}));
    QVERIFY(plain.err.isEmpty());

    const Outcome json = run(b.args({"ls", "-R", "--json", "--to", b.to, "d1"}));
    QCOMPARE(json.code, 0);
    QMap<QString, QPair<QString, bool>> entries;
    for (const QString &line : json.outLines()) {
        const QJsonObject o = QJsonDocument::fromJson(line.toUtf8()).object();
        QVERIFY2(o.contains("local"), qPrintable(line));
        entries.insert(o.value("path").toString(), {o.value("kind").toString(), o.value("local").toBool()});
    }
    const QMap<QString, QPair<QString, bool>> expected{
        {"/TARVELO/d1/a.tif", {"file", true}},
        {"/TARVELO/d1/sub", {"folder", false}},
        {"/TARVELO/d1/sub/b.tif", {"file", false}},
        {"/TARVELO/d1/sub/deep", {"folder", false}},
        {"/TARVELO/d1/sub/deep/c.pdf", {"file", false}},
    };
    QCOMPARE(entries, expected);

    const Outcome filtered = run(b.args({"ls", "-R", "--include", "**/*.tif", "--exclude", "sub/*.tif", "d1"}));
    QCOMPARE(filtered.code, 0);
    QCOMPARE(filtered.outLines(), (QStringList{"/TARVELO/d1/a.tif", "/TARVELO/d1/sub/", "/TARVELO/d1/sub/deep/"}));

    const Outcome missing = run(b.args({"ls", "/TARVELO/nothing"}));
    QCOMPARE(missing.code, 1);
    QCOMPARE(missing.errLines().size(), 1);
}

void TestFetchE2E::getFileAndFolder()
{
    Bench b;
    const QStringList names = b.makeTree();
    QVERIFY(b.start());
    const Outcome o = run(b.args({"get", "/TARVELO/top.bin", "d1", "--to", b.to}));
    QCOMPARE(o.code, 0);
    QVERIFY2(o.out.isEmpty() && o.err.isEmpty(), o.err.constData()); // quiet by default
    QCOMPARE(filesBelow(b.to), (QStringList{"d1/a.tif", "d1/sub/b.tif", "d1/sub/deep/c.pdf", "top.bin"}));
    for (const QString &n : filesBelow(b.to))
        QCOMPARE(fileSha(b.local(n)), fileSha(b.root + '/' + n));
    // The window's record: one start, a line per file, one end.
    QFile record(b.to + "/.tarvelo/transfers.jsonl");
    QVERIFY(record.open(QIODevice::ReadOnly));
    QCOMPARE(record.readAll().count('\n'), 6);

    const Outcome json = run(b.args({"get", "--json", "d2", "--to", b.to}));
    QCOMPARE(json.code, 0);
    const QJsonObject summary = QJsonDocument::fromJson(json.out).object();
    QCOMPARE(summary.value("stored").toInt(), 1);
    QCOMPARE(summary.value("bytes").toInt(), int(QFileInfo(b.root + "/d2/x.txt").size()));
    QVERIFY(summary.value("failed").toArray().isEmpty());
    QVERIFY(summary.contains("seconds"));

    // A path the instrument does not have is no success; an empty folder is.
    QVERIFY(QDir().mkpath(b.root + "/empty"));
    const Outcome partly = run(b.args({"get", "--json", "nothing.tif", "empty", "--to", b.to}));
    QCOMPARE(partly.code, 1);
    const QJsonArray failed = QJsonDocument::fromJson(partly.out).object().value("failed").toArray();
    QCOMPARE(failed.size(), 1);
    QCOMPARE(failed.at(0).toObject().value("path").toString(), QString("/TARVELO/nothing.tif"));
    QCOMPARE(partly.errLines().size(), 1);
}

void TestFetchE2E::newOnly()
{
    Bench b;
    const QStringList names = b.makeTree();
    QVERIFY(b.start());
    QCOMPARE(run(b.args({"get", "/", "--to", b.to})).code, 0);
    const QStringList gone{"d1/sub/b.tif", "top.bin"};
    for (const QString &n : gone)
        QVERIFY(QFile::remove(b.local(n)));
    QMap<QString, QPair<ino_t, qint64>> before;
    for (const QString &n : filesBelow(b.to)) {
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(b.local(n)).constData(), &st), 0);
        before.insert(n, {st.st_ino, qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec});
    }

    const Outcome dry = run(b.args({"get", "--new-only", "--dry-run", "/", "--to", b.to}));
    QCOMPARE(dry.code, 0);
    QCOMPARE(dry.outLines(), (QStringList{"/TARVELO/d1/sub/b.tif", "/TARVELO/top.bin"}));
    QCOMPARE(filesBelow(b.to).size(), names.size() - gone.size());

    const Outcome o = run(b.args({"get", "--new-only", "--json", "/", "--to", b.to}));
    QCOMPARE(o.code, 0);
    const QJsonObject summary = QJsonDocument::fromJson(o.out).object();
    QCOMPARE(summary.value("stored").toInt(), 2);
    QCOMPARE(summary.value("skipped").toInt(), 3);
    for (const QString &n : names)
        QCOMPARE(fileSha(b.local(n)), fileSha(b.root + '/' + n));
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        struct stat st {};
        QCOMPARE(::stat(QFile::encodeName(b.local(it.key())).constData(), &st), 0);
        QCOMPARE(st.st_ino, it.value().first);
        QCOMPARE(qint64(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec, it.value().second);
    }
    // Nothing missing: nothing is requested at all.
    QCOMPARE(run(b.args({"get", "--new-only", "--dry-run", "/", "--to", b.to})).out, QByteArray());
}

void TestFetchE2E::verify()
{
    Bench b;
    b.makeTree();
    QVERIFY(b.start());
    QCOMPARE(run(b.args({"get", "d1", "--to", b.to})).code, 0);
    QCOMPARE(run({"verify", "--to", b.to}).code, 0);
    QCOMPARE(run(b.args({"verify", "d1", "--to", b.to})).code, 0);

    // The instrument holds files without a copy here, and one copy changed since.
    QVERIFY(writeFile(b.local("d1/sub/b.tif"), "changed"));
    const Outcome o = run(b.args({"verify", "--json", "/", "--to", b.to}));
    QCOMPARE(o.code, 5);
    QMap<QString, QString> states;
    for (const QString &line : o.outLines()) {
        const QJsonObject j = QJsonDocument::fromJson(line.toUtf8()).object();
        states.insert(j.value("path").toString(), j.value("state").toString());
    }
    QCOMPARE(states.value("/TARVELO/d1/a.tif"), QString("verified"));
    QCOMPARE(states.value("/TARVELO/d1/sub/b.tif"), QString("changed since download"));
    QCOMPARE(states.value("/TARVELO/top.bin"), QString("no copy"));
    QCOMPARE(states.size(), 5);
    QCOMPARE(run({"verify", "--to", b.to}).code, 5);
    // Filters narrow what must be verified.
    QCOMPARE(run(b.args({"verify", "d1", "--exclude", "sub/**", "--to", b.to})).code, 0);
}

void TestFetchE2E::badUsage_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::newRow("nothing") << QStringList();
    QTest::newRow("not an address") << QStringList{"instrument", "ls"};
    QTest::newRow("short address") << QStringList{"127.1", "ls"};
    QTest::newRow("no command") << QStringList{"@"};
    QTest::newRow("unknown command") << QStringList{"@", "fetch"};
    QTest::newRow("get without a path") << QStringList{"@", "get", "--to", "x"};
    QTest::newRow("get without --to") << QStringList{"@", "get", "/TARVELO/a"};
    QTest::newRow("path outside the root") << QStringList{"@", "get", "/etc/passwd", "--to", "x"};
    QTest::newRow("climbing out") << QStringList{"@", "ls", "a/../../x"};
    QTest::newRow("unknown option") << QStringList{"@", "ls", "--frobnicate"};
    QTest::newRow("--new-only on ls") << QStringList{"@", "ls", "--new-only"};
    QTest::newRow("-R on get") << QStringList{"@", "get", "-R", "a", "--to", "x"};
    QTest::newRow("account without password") << QStringList{"@", "ls", "--account", "bob"};
    QTest::newRow("unreadable password file") << QStringList{"@", "ls", "--account", "bob", "--password-file", "/nonexistent/p"};
    QTest::newRow("bad time limit") << QStringList{"@", "ls", "--stall", "soon"};
    QTest::newRow("verify without --to") << QStringList{"verify"};
}

void TestFetchE2E::badUsage()
{
    QFETCH(QStringList, args);
    Bench b;
    QVERIFY(b.start());
    QSignalSpy connected(b.server.get(), &InstrumentServer::clientConnected);
    args.replaceInStrings(QStringLiteral("@"), b.address);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("TARVELO_PASSWORD"));
    const Outcome o = run(args, env);
    QCOMPARE(o.code, 2);
    QVERIFY(o.out.isEmpty());
    QCOMPARE(o.errLines().size(), 1);
    QVERIFY2(o.err.startsWith("tarvelo-fetch: "), o.err.constData());
    QCoreApplication::processEvents();
    QCOMPARE(connected.count(), 0);
}

void TestFetchE2E::help()
{
    const Outcome o = run({"--help"});
    QCOMPARE(o.code, 0);
    for (const char *code : {"0  everything", "1  some files failed", "2  bad usage", "3  cannot connect",
                             "4  the link was lost", "5  verify found"})
        QVERIFY2(o.out.contains(code), code);
}

QTEST_GUILESS_MAIN(TestFetchE2E)
#include "tst_fetch_e2e.moc"
