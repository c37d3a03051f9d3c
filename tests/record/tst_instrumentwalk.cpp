// The walk over the instrument's folders through a logged-in session: every file once, depth
// first, and a folder that links back up is named and left out rather than walked round.
#include "link/protocol.h"
#include "common/testaddress.h"
#include "record/instrumentwalk.h"
#include "tools/instrument/instrumentserver.h"
#include "transfer/clientsession.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestInstrumentWalk : public QObject
{
    Q_OBJECT
private slots:
    void walk_data();
    void walk();
};

void TestInstrumentWalk::walk_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QString>("linkBackUp");   // a link inside run to run itself, or none
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QStringList>("links");
    const QStringList nested{"run/b.bin", "run/a/x.bin", "run/a/deep/y.bin", "run/c/z.bin", "other/o.bin"};
    QTest::newRow("nested") << nested << QString()
                            << QStringList{"/TARVELO/run/b.bin", "/TARVELO/run/a/x.bin",
                                           "/TARVELO/run/a/deep/y.bin", "/TARVELO/run/c/z.bin"}
                            << QStringList();
    QTest::newRow("empty folder") << QStringList{"other/o.bin"} << QString() << QStringList() << QStringList();
    QTest::newRow("link back up") << nested << QString("loop")
                                  << QStringList{"/TARVELO/run/b.bin", "/TARVELO/run/a/x.bin",
                                                 "/TARVELO/run/a/deep/y.bin", "/TARVELO/run/c/z.bin"}
                                  << QStringList{"/TARVELO/run/loop"};
}

void TestInstrumentWalk::walk()
{
    QFETCH(QStringList, files);
    QFETCH(QString, linkBackUp);
    QFETCH(QStringList, expected);
    QFETCH(QStringList, links);
    QTemporaryDir tmp;
    QDir().mkpath(tmp.filePath("run"));
    for (const QString &f : files) {
        QDir().mkpath(QFileInfo(tmp.filePath(f)).path());
        QFile file(tmp.filePath(f));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("x");
    }
    if (!linkBackUp.isEmpty())
        QVERIFY(QFile::link(tmp.filePath("run"), tmp.filePath("run/" + linkBackUp)));
    InstrumentOptions options;
    options.root = tmp.path();
    options.quiet = true;
    InstrumentServer server(options);
    const QString address = TestAddress::listen(
        [&server](const QString &a) { return server.listen(QHostAddress(a), TestAddress::kPort); });
    QVERIFY(!address.isEmpty());

    ClientSession session;
    QSignalSpy loggedIn(&session, &ClientSession::loggedIn);
    ClientSession::Login login;
    login.host = address;
    session.logIn(login);
    QVERIFY(loggedIn.wait(10000));

    InstrumentWalk walk(&session);
    QSignalSpy finished(&walk, &InstrumentWalk::finished);
    walk.start({"/TARVELO/run"});
    QVERIFY(finished.wait(60000));
    const QString why = finished.first().at(1).toString();
    QVERIFY2(why.isEmpty(), qPrintable(why));
    QCOMPARE(finished.first().at(0).toStringList(), expected);
    QCOMPARE(walk.linksBackUp(), links);
}

QTEST_GUILESS_MAIN(TestInstrumentWalk)
#include "tst_instrumentwalk.moc"
