// The folder walk against the in-process stand-in instrument: order, loops, stop, caps.
#include "link/protocol.h"
#include "tools/instrument/instrumentserver.h"
#include "transfer/clientsession.h"
#include "transfer/folderwalk.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class TestFolderWalk : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void walk_data();
    void walk();
    void stopSendsNothingMore();
    void capEndsWithError();
    void lostLinkIsAnError();

private:
    void put(const QString &relative);
    FolderWalk::Result run(FolderWalk &walk, const QStringList &folders);

    QTemporaryDir m_tmp;
    QString m_root;
    std::unique_ptr<InstrumentServer> m_server;
    std::unique_ptr<ClientSession> m_session;
    QList<QByteArray> m_lines;
    int m_next = 0;
};

void TestFolderWalk::put(const QString &relative)
{
    const QString path = m_root + QLatin1Char('/') + relative;
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("x");
}

void TestFolderWalk::init()
{
    m_root = m_tmp.filePath(QStringLiteral("root%1").arg(m_next));
    QDir().mkpath(m_root);
    // Three levels, files and folders interleaved in name order, and a link back to the top.
    for (const char *f : {"Run/a.tif", "Run/B/b1.tif", "Run/B/C/c1.tif", "Run/B/C/c2.tif",
                          "Run/B/z.txt", "Run/m.txt", "Run/Q/q.tif", "top.txt"})
        put(QString::fromLatin1(f));
    QDir().mkpath(m_root + QStringLiteral("/Run/Empty"));
    QVERIFY(QFile::link(m_root, m_root + QStringLiteral("/Run/B/up")));
    QVERIFY(QFile::link(m_root + QStringLiteral("/Run"), m_root + QStringLiteral("/Run/Q/back")));

    InstrumentOptions options;
    options.root = m_root;
    options.quiet = true;
    m_server = std::make_unique<InstrumentServer>(options);
    const QString address = QStringLiteral("127.0.0.%1").arg(176 + (m_next++ % 4));
    QVERIFY(m_server->listen(QHostAddress(address), Protocol::kPort));
    m_lines.clear();
    connect(m_server.get(), &InstrumentServer::lineReceived, this,
            [this](int, const QByteArray &line) { m_lines.append(line); });
    m_session = std::make_unique<ClientSession>();
    QSignalSpy in(m_session.get(), &ClientSession::loggedIn);
    ClientSession::Login login;
    login.host = address;
    m_session->logIn(login);
    QVERIFY(in.wait(10000));
    QTRY_VERIFY(!m_session->currentFolder().isEmpty());
}

void TestFolderWalk::cleanup()
{
    m_session.reset();
    m_server.reset();
}

FolderWalk::Result TestFolderWalk::run(FolderWalk &walk, const QStringList &folders)
{
    QSignalSpy done(&walk, &FolderWalk::finished);
    walk.start(folders);
    if (!done.wait(20000))
        return FolderWalk::Result();
    return done.first().first().value<FolderWalk::Result>();
}

void TestFolderWalk::walk_data()
{
    QTest::addColumn<QStringList>("folders");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<int>("checked");
    const QStringList run = {"/TARVELO/Run/a.tif", "/TARVELO/Run/B/b1.tif",
                             "/TARVELO/Run/B/C/c1.tif", "/TARVELO/Run/B/C/c2.tif",
                             "/TARVELO/Run/B/z.txt", "/TARVELO/Run/m.txt",
                             "/TARVELO/Run/Q/q.tif"};
    // From Run, B/up leads to the top, which is not on the way down and so is walked once
    // (only its name is known); its Run repeats the Run above it and Q/back repeats Run.
    QStringList viaUp = run;
    viaUp.insert(4, "/TARVELO/Run/B/up/top.txt");
    QTest::newRow("three levels, links back up") << QStringList{"/TARVELO/Run"} << viaUp << 8;
    QStringList all = run;
    all.append("/TARVELO/top.txt");
    // From the top, B/up repeats the top on the way down and Q/back repeats Run.
    QTest::newRow("from the top") << QStringList{"/TARVELO/"} << all << 8;
    QTest::newRow("a folder named twice")
        << QStringList{"/TARVELO/Run/B/C", "/TARVELO/Run/B/C/", "/TARVELO/Run/Empty"}
        << QStringList{"/TARVELO/Run/B/C/c1.tif", "/TARVELO/Run/B/C/c2.tif"} << 2;
}

void TestFolderWalk::walk()
{
    QFETCH(QStringList, folders);
    QFETCH(QStringList, files);
    QFETCH(int, checked);
    const QString shown = m_session->currentFolder();
    FolderWalk walk(m_session.get());
    QSignalSpy progress(&walk, &FolderWalk::progress);
    const FolderWalk::Result result = run(walk, folders);
    QVERIFY2(result.ok, qPrintable(result.error));
    QVERIFY(!result.stopped);
    QCOMPARE(result.files, files);
    QCOMPARE(result.foldersChecked, checked);
    QCOMPARE(progress.size(), checked);
    // Only browse commands went out, and the user's folder was not touched.
    for (const QByteArray &line : qAsConst(m_lines))
        QVERIFY2(line.startsWith("$CD ") || line == "$PWD" || line == "$LIST"
                     || line.startsWith("$LOGIN"), line.constData());
    QCOMPARE(m_session->currentFolder(), shown);
}

void TestFolderWalk::stopSendsNothingMore()
{
    FolderWalk walk(m_session.get());
    QSignalSpy done(&walk, &FolderWalk::finished);
    connect(&walk, &FolderWalk::progress, &walk, [&walk](int n) {
        if (n == 2)
            walk.stop();
    });
    walk.start({QStringLiteral("/TARVELO")});
    QVERIFY(done.wait(10000));
    const auto result = done.first().first().value<FolderWalk::Result>();
    QVERIFY(result.stopped);
    QCOMPARE(result.foldersChecked, 2);
    const int cds = int(std::count_if(m_lines.begin(), m_lines.end(),
                                      [](const QByteArray &l) { return l.startsWith("$CD "); }));
    QTest::qWait(300); // a walk that went on would send its next "$CD" now
    QCOMPARE(int(std::count_if(m_lines.begin(), m_lines.end(),
                               [](const QByteArray &l) { return l.startsWith("$CD "); })),
             cds);
    QCOMPARE(done.size(), 1);
}

void TestFolderWalk::capEndsWithError()
{
    FolderWalk walk(m_session.get());
    walk.setLimits(2, 100);
    FolderWalk::Result result = run(walk, {QStringLiteral("/TARVELO/Run")});
    QVERIFY(!result.ok);
    QVERIFY2(result.error.contains(QLatin1String("more than 2 folders")), qPrintable(result.error));
    walk.setLimits(100, 3);
    result = run(walk, {QStringLiteral("/TARVELO/Run")});
    QVERIFY(!result.ok);
    QVERIFY2(result.error.contains(QLatin1String("more than 3 files")), qPrintable(result.error));
}

void TestFolderWalk::lostLinkIsAnError()
{
    FolderWalk walk(m_session.get());
    QSignalSpy done(&walk, &FolderWalk::finished);
    connect(&walk, &FolderWalk::progress, this, [this] { m_server.reset(); });
    walk.start({QStringLiteral("/TARVELO/Run")});
    QVERIFY(done.wait(20000));
    const auto result = done.first().first().value<FolderWalk::Result>();
    QVERIFY(!result.ok);
    QVERIFY(!result.stopped);
    QVERIFY(!result.error.isEmpty());
}

QTEST_GUILESS_MAIN(TestFolderWalk)
#include "tst_folderwalk.moc"
