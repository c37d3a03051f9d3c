// The stand-in instrument driven over loopback by a plain client, byte for byte.
#include "lineclient.h"
#include "tools/instrument/instrumentserver.h"
#include "tools/instrument/instrumentsession.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {

const QByteArray kAnonymous = "$LOGIN: <anonymous,>\n";
const QByteArray kListAck = "$DOWNLOAD REQUEST: LIST COMPLETED\n";
const QByteArray kCompleted = "$DOWNLOAD: COMPLETED\n";

QByteArray pattern(int size, int seed)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + seed + i / 251) & 0xff);
    return bytes;
}

// "<a>,<b>": paths as requests and announcements list them.
QByteArray bracketed(const QStringList &paths)
{
    QByteArray list;
    for (int i = 0; i < paths.size(); ++i)
        list += (i ? ",<" : "<") + paths.at(i).toUtf8() + '>';
    return list;
}

QByteArray requestLine(const QStringList &paths)
{
    return "$DOWNLOAD REQUEST " + bracketed(paths) + '\n';
}

QByteArray announcement(const QStringList &paths)
{
    return "$DOWNLOAD REQUEST: LIST<START>" + bracketed(paths) + "$DOWNLOAD REQUEST: LIST<END>\n";
}

QByteArray header(const QString &path, qint64 size)
{
    return "$DOWNLOAD:<" + path.toUtf8() + "><" + QByteArray::number(size) + ">\n";
}

QByteArray endLine(const QString &path)
{
    return "$DOWNLOAD:<" + path.toUtf8() + "><END>\n";
}

} // namespace

class TestInstrumentServer : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void login_data();
    void login();
    void browse_data();
    void browse();
    void clientsKeepTheirOwnFolder();
    void download_data();
    void download();
    void browseCommandsWaitForTheEndOfADownload();
    void cancel_data();
    void cancel();
    void slowClientKeepsBuffersBounded();
    void chunksArriveSpreadOut();
    void cutOff_data();
    void cutOff();
    void outsidePathsAreAnnouncedAndSent();
    void noSizeField();
    void noFinalNewline();
    void completedWithLastFile();

private:
    std::unique_ptr<InstrumentServer> start(InstrumentOptions options = InstrumentOptions());
    bool loggedInClient(InstrumentServer &server, LineClient &client);
    QByteArray content(const QString &remote) const;
    void writeFile(const QString &relative, const QByteArray &bytes);

    QTemporaryDir m_dir;
    QString m_root;
};

void TestInstrumentServer::writeFile(const QString &relative, const QByteArray &bytes)
{
    const QString path = m_root + QLatin1Char('/') + relative;
    QVERIFY(QDir().mkpath(QFileInfo(path).path()));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), qint64(bytes.size()));
}

QByteArray TestInstrumentServer::content(const QString &remote) const
{
    QFile file(m_root + remote.mid(int(strlen("/TARVELO"))));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(unreadable)");
}

void TestInstrumentServer::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_root = m_dir.path() + QStringLiteral("/root");
    const QString outside = m_dir.path() + QStringLiteral("/outside");
    writeFile(QStringLiteral("a.txt"), "alpha\n");
    writeFile(QStringLiteral("B.txt"), "bravo");
    writeFile(QStringLiteral("c.pdf"), "%PDF-1.4 not really\n");
    writeFile(QStringLiteral("big.bin"), pattern(16 * 1024 * 1024, 3));
    writeFile(QStringLiteral("Run 01/image_b.tif"), pattern(5000, 1));
    writeFile(QStringLiteral("Run 01/image_a.tif"), pattern(10240, 2));
    writeFile(QStringLiteral("Run 01/Sub/deep.dat"), pattern(300000, 4)); // more than one piece
    writeFile(QStringLiteral("Run 01/Sub/Inner/zero.dat"), QByteArray());
    writeFile(QStringLiteral("Ärger/Übersicht 1.txt"), "über\n");
    writeFile(QStringLiteral("Mixed/good.txt"), "good");
    writeFile(QStringLiteral("Mixed/bad>name.txt"), "cannot be named on the wire");
    QVERIFY(QDir().mkpath(m_root + QStringLiteral("/empty")));
    QVERIFY(QDir().mkpath(outside));
    QFile secret(outside + QStringLiteral("/secret.txt"));
    QVERIFY(secret.open(QIODevice::WriteOnly) && secret.write("secret") == 6);
    secret.close();
    QVERIFY(QFile::link(outside, m_root + QStringLiteral("/outlink")));
    QVERIFY(QFile::link(m_root + QStringLiteral("/Run 01"), m_root + QStringLiteral("/inlink")));
    QVERIFY(QFile::link(outside, m_root + QStringLiteral("/Mixed/out")));
    QVERIFY(QFile::link(outside + QStringLiteral("/secret.txt"),
                        m_root + QStringLiteral("/Mixed/outfile")));
    QVERIFY(QFile::link(m_root, m_root + QStringLiteral("/Mixed/up"))); // a loop
}

std::unique_ptr<InstrumentServer> TestInstrumentServer::start(InstrumentOptions options)
{
    options.root = m_root;
    options.quiet = true;
    auto server = std::make_unique<InstrumentServer>(options);
    if (!server->listen(QHostAddress::LocalHost, 0))
        qWarning() << "listen failed:" << server->errorString();
    return server;
}

bool TestInstrumentServer::loggedInClient(InstrumentServer &server, LineClient &client)
{
    if (!client.open(server.serverPort()) || client.readLine() != "$WAIT LOGIN:\n")
        return false;
    client.send(kAnonymous);
    return client.readLine() == "$LOGIN: OK\n";
}

// --- login ---

void TestInstrumentServer::login_data()
{
    QTest::addColumn<QStringList>("accounts"); // "name:password"
    QTest::addColumn<bool>("anonymous");
    QTest::addColumn<QByteArray>("loginLine");
    QTest::addColumn<bool>("accepted");

    const QStringList none;
    const QStringList lab{QStringLiteral("lab:secret"), QStringLiteral("team:a,b>c")};
    QTest::newRow("anonymous, no accounts") << none << true << kAnonymous << true;
    QTest::newRow("anonymous beside accounts") << lab << true << kAnonymous << true;
    QTest::newRow("anonymous refused by no-anonymous") << lab << false << kAnonymous << false;
    QTest::newRow("anonymous with a password") << none << true
                                               << QByteArray("$LOGIN: <anonymous,x>\n") << false;
    QTest::newRow("account and password") << lab << false
                                          << QByteArray("$LOGIN: <lab,secret>\n") << true;
    QTest::newRow("password with comma and bracket")
        << lab << false << QByteArray("$LOGIN: <team,a,b>c>\n") << true;
    QTest::newRow("wrong password") << lab << true << QByteArray("$LOGIN: <lab,Secret>\n") << false;
    QTest::newRow("account unknown") << none << true << QByteArray("$LOGIN: <lab,secret>\n")
                                     << false;
    QTest::newRow("carriage return before line feed")
        << lab << true << QByteArray("$LOGIN: <lab,secret>\r\n") << true;
    QTest::newRow("no comma") << none << true << QByteArray("$LOGIN: <anonymous>\n") << false;
    QTest::newRow("no brackets") << none << true << QByteArray("$LOGIN: anonymous,\n") << false;
}

void TestInstrumentServer::login()
{
    QFETCH(QStringList, accounts);
    QFETCH(bool, anonymous);
    QFETCH(QByteArray, loginLine);
    QFETCH(bool, accepted);

    InstrumentOptions options;
    for (const QString &account : accounts)
        options.accounts.insert(account.section(QLatin1Char(':'), 0, 0),
                                account.section(QLatin1Char(':'), 1));
    options.anonymous = anonymous;
    auto server = start(options);
    LineClient client;
    QVERIFY(client.open(server->serverPort()));
    QCOMPARE(client.readLine(), QByteArray("$WAIT LOGIN:\n"));

    // Commands before a login are not answered.
    client.send("$PWD\n" + loginLine);
    QCOMPARE(client.readLine(), QByteArray(accepted ? "$LOGIN: OK\n" : "$LOGIN: NG\n"));
    client.send("$PWD\n$LOGIN: <nobody,nothing>\n");
    QCOMPARE(client.readLine(),
             QByteArray(accepted ? "$PWD: /TARVELO\n" : "$LOGIN: NG\n"));
}

// --- browsing ---

void TestInstrumentServer::browse_data()
{
    QTest::addColumn<QByteArray>("commands");
    QTest::addColumn<QByteArray>("answers");

    QTest::newRow("root folder")
        << QByteArray("$PWD\n$LIST\n")
        << QByteArray("$PWD: /TARVELO\n$LIST: <f,a.txt><f,B.txt><f,big.bin><f,c.pdf><d,empty>"
                      "<d,inlink><d,Mixed><d,Run 01><d,\xc3\x84rger>\n");
    QTest::newRow("folder with a blank")
        << QByteArray("$CD /TARVELO/Run 01\n$PWD\n$LIST\n")
        << QByteArray("$PWD: /TARVELO/Run 01\n$LIST: <f,image_a.tif><f,image_b.tif><d,Sub>\n");
    QTest::newRow("nested folder, trailing slash")
        << QByteArray("$CD /TARVELO/Run 01/Sub/\n$PWD\n$LIST\n")
        << QByteArray("$PWD: /TARVELO/Run 01/Sub\n$LIST: <f,deep.dat><d,Inner>\n");
    QTest::newRow("non-ASCII names in UTF-8")
        << QByteArray("$CD /TARVELO/\xc3\x84rger\n$PWD\n$LIST\n")
        << QByteArray("$PWD: /TARVELO/\xc3\x84rger\n$LIST: <f,\xc3\x9c" "bersicht 1.txt>\n");
    QTest::newRow("empty folder") << QByteArray("$CD /TARVELO/empty\n$LIST\n")
                                  << QByteArray("$LIST: \n");
    QTest::newRow("home again") << QByteArray("$CD /TARVELO/Run 01\n$CD $HOME\n$PWD\n")
                                << QByteArray("$PWD: /TARVELO\n");
    QTest::newRow("missing folder keeps the current one")
        << QByteArray("$CD /TARVELO/Run 01\n$CD /TARVELO/Run 02\n$PWD\n")
        << QByteArray("$PWD: /TARVELO/Run 01\n");
    QTest::newRow("a file is no folder")
        << QByteArray("$CD /TARVELO/Run 01\n$CD /TARVELO/a.txt\n$PWD\n")
        << QByteArray("$PWD: /TARVELO/Run 01\n");
    QTest::newRow("dot-dot refused")
        << QByteArray("$CD /TARVELO/Run 01\n$CD /TARVELO/Run 01/..\n$PWD\n"
                      "$CD /TARVELO/../outside\n$PWD\n")
        << QByteArray("$PWD: /TARVELO/Run 01\n$PWD: /TARVELO/Run 01\n");
    QTest::newRow("absolute paths elsewhere refused")
        << QByteArray("$CD /etc\n$PWD\n$CD /\n$PWD\n$CD /TARVELOX\n$PWD\n$CD TARVELO/empty\n$PWD\n")
        << QByteArray("$PWD: /TARVELO\n$PWD: /TARVELO\n$PWD: /TARVELO\n$PWD: /TARVELO\n");
    QTest::newRow("link leading out refused")
        << QByteArray("$CD /TARVELO/outlink\n$PWD\n$CD /TARVELO/Mixed/out\n$PWD\n")
        << QByteArray("$PWD: /TARVELO\n$PWD: /TARVELO\n");
    QTest::newRow("link inside the root followed")
        << QByteArray("$CD /TARVELO/inlink\n$PWD\n$LIST\n")
        << QByteArray("$PWD: /TARVELO/inlink\n$LIST: <f,image_a.tif><f,image_b.tif><d,Sub>\n");
    QTest::newRow("links out and unsendable names left out of listings")
        << QByteArray("$CD /TARVELO/Mixed\n$LIST\n") << QByteArray("$LIST: <f,good.txt><d,up>\n");
    QTest::newRow("carriage returns tolerated")
        << QByteArray("$CD /TARVELO/empty\r\n$PWD\r\n") << QByteArray("$PWD: /TARVELO/empty\n");
    QTest::newRow("unknown commands ignored")
        << QByteArray("$pwd\n$CDX\n\n$PWD\n") << QByteArray("$PWD: /TARVELO\n");
}

void TestInstrumentServer::browse()
{
    QFETCH(QByteArray, commands);
    QFETCH(QByteArray, answers);

    auto server = start();
    LineClient client;
    QVERIFY(loggedInClient(*server, client));
    client.send(commands);
    QCOMPARE(client.take(answers.size()), answers);
    // Nothing else was sent: the next bytes answer the next command.
    client.send("$CD $HOME\n$PWD\n");
    QCOMPARE(client.readLine(), QByteArray("$PWD: /TARVELO\n"));
}

void TestInstrumentServer::clientsKeepTheirOwnFolder()
{
    auto server = start();
    LineClient first, second;
    QVERIFY(loggedInClient(*server, first));
    QVERIFY(loggedInClient(*server, second));
    first.send("$CD /TARVELO/Run 01\n");
    second.send("$CD /TARVELO/empty\n");
    first.send("$PWD\n");
    second.send("$PWD\n");
    QCOMPARE(first.readLine(), QByteArray("$PWD: /TARVELO/Run 01\n"));
    QCOMPARE(second.readLine(), QByteArray("$PWD: /TARVELO/empty\n"));
    QCOMPARE(server->sessionCount(), 2);
    first.socket().disconnectFromHost();
    QTRY_COMPARE_WITH_TIMEOUT(server->sessionCount(), 1, 5000);
    second.send("$PWD\n");
    QCOMPARE(second.readLine(), QByteArray("$PWD: /TARVELO/empty\n"));
}

// --- downloads ---

void TestInstrumentServer::download_data()
{
    QTest::addColumn<QStringList>("request");
    QTest::addColumn<QStringList>("files");

    QTest::newRow("one file") << QStringList{"/TARVELO/a.txt"} << QStringList{"/TARVELO/a.txt"};
    QTest::newRow("nested folder, depth first in name order")
        << QStringList{"/TARVELO/Run 01"}
        << QStringList{"/TARVELO/Run 01/image_a.tif", "/TARVELO/Run 01/image_b.tif",
                       "/TARVELO/Run 01/Sub/deep.dat", "/TARVELO/Run 01/Sub/Inner/zero.dat"};
    QTest::newRow("several paths, each file once")
        << QStringList{"/TARVELO/c.pdf", "/TARVELO/Run 01/Sub", "/TARVELO/Run 01/Sub/deep.dat"}
        << QStringList{"/TARVELO/c.pdf", "/TARVELO/Run 01/Sub/deep.dat",
                       "/TARVELO/Run 01/Sub/Inner/zero.dat"};
    QTest::newRow("non-ASCII folder")
        << QStringList{QStringLiteral("/TARVELO/Ärger")}
        << QStringList{QStringLiteral("/TARVELO/Ärger/Übersicht 1.txt")};
    QTest::newRow("paths outside the root left out")
        << QStringList{"/TARVELO/../outside/secret.txt", "/etc/passwd", "/TARVELO/outlink/secret.txt",
                       "/TARVELO/Mixed/outfile", "/TARVELO/a.txt"}
        << QStringList{"/TARVELO/a.txt"};
    QTest::newRow("folder with links out and a loop")
        << QStringList{"/TARVELO/Mixed"} << QStringList{"/TARVELO/Mixed/good.txt"};
    QTest::newRow("nothing to send") << QStringList{"/TARVELO/missing", "/TARVELO/empty"}
                                     << QStringList();
}

void TestInstrumentServer::download()
{
    QFETCH(QStringList, request);
    QFETCH(QStringList, files);

    auto server = start();
    QSignalSpy finished(server.get(), &InstrumentServer::downloadFinished);
    LineClient client;
    QVERIFY(loggedInClient(*server, client));
    client.send(requestLine(request));
    QCOMPARE(client.readLine(), announcement(files));
    // Files wait for the acknowledgement of the announcement.
    QVERIFY(!client.anythingWithin(100));
    client.send(kListAck);

    for (const QString &file : files) {
        const QByteArray expected = content(file);
        QCOMPARE(client.readLine(), header(file, expected.size()));
        QVERIFY2(client.take(expected.size()) == expected, qPrintable(file));
        QCOMPARE(client.readLine(), endLine(file));
        // The next file waits for this one's acknowledgement.
        QVERIFY(!client.anythingWithin(100));
        client.send("$DOWNLOAD COMPLETED " + file.toUtf8() + '\n');
    }
    QCOMPARE(client.readLine(), kCompleted);
    QVERIFY(finished.count() == 1 || finished.wait(5000));
    QCOMPARE(finished.first().at(1).toInt(), files.size());
    QCOMPARE(finished.first().at(2).toBool(), false);
}

void TestInstrumentServer::browseCommandsWaitForTheEndOfADownload()
{
    auto server = start();
    LineClient client;
    QVERIFY(loggedInClient(*server, client));
    client.send(requestLine({"/TARVELO/a.txt"}));
    QCOMPARE(client.readLine(), announcement({"/TARVELO/a.txt"}));
    client.send("$PWD\n" + kListAck + "$LIST\n");
    const QByteArray file = header("/TARVELO/a.txt", 6) + "alpha\n" + endLine("/TARVELO/a.txt");
    QCOMPARE(client.take(file.size()), file);
    client.send("$CD /TARVELO/empty\n$DOWNLOAD COMPLETED /TARVELO/a.txt\n");
    // The held commands are answered after the end notice, in the order they came.
    const QByteArray rest = kCompleted + "$PWD: /TARVELO\n$LIST: " + "<f,a.txt><f,B.txt><f,big.bin>"
                            "<f,c.pdf><d,empty><d,inlink><d,Mixed><d,Run 01><d,\xc3\x84rger>\n";
    QCOMPARE(client.take(rest.size()), rest);
    client.send("$PWD\n");
    QCOMPARE(client.readLine(), QByteArray("$PWD: /TARVELO/empty\n"));
}

void TestInstrumentServer::cancel_data()
{
    QTest::addColumn<int>("when"); // -1: for the announcement, 0: during file 1, 1: after file 1
    QTest::addColumn<int>("filesSent");

    QTest::newRow("instead of the announcement's acknowledgement") << -1 << 0;
    QTest::newRow("while a file is on its way") << 0 << 1;
    QTest::newRow("instead of a file's acknowledgement") << 1 << 1;
}

void TestInstrumentServer::cancel()
{
    QFETCH(int, when);
    QFETCH(int, filesSent);

    auto server = start();
    QSignalSpy finished(server.get(), &InstrumentServer::downloadFinished);
    LineClient client(64 * 1024);
    QVERIFY(loggedInClient(*server, client));
    const QStringList files{"/TARVELO/big.bin", "/TARVELO/a.txt", "/TARVELO/B.txt"};
    client.send(requestLine(files));
    QCOMPARE(client.readLine(), announcement(files));
    if (when < 0) {
        client.send("$DOWNLOAD CANCEL\n");
    } else {
        client.send(kListAck);
        const QByteArray expected = content(files.first());
        QCOMPARE(client.readLine(), header(files.first(), expected.size()));
        if (when == 0) {
            // Not reading keeps most of the 16 MiB at the server while the cancel arrives.
            client.setPaused(true);
            QSignalSpy lines(server.get(), &InstrumentServer::lineReceived);
            client.send("$DOWNLOAD CANCEL\n");
            QVERIFY(lines.wait(5000));
            QVERIFY(finished.isEmpty()); // the file on its way is finished first
            client.setPaused(false);
        }
        QVERIFY(client.take(expected.size(), 30000) == expected);
        QCOMPARE(client.readLine(), endLine(files.first()));
        client.send("$DOWNLOAD CANCEL\n");
    }
    QCOMPARE(client.readLine(), kCompleted);
    QVERIFY(finished.count() == 1 || finished.wait(5000));
    QCOMPARE(finished.first().at(1).toInt(), filesSent);
    QCOMPARE(finished.first().at(2).toBool(), true);
    // Nothing more of the download follows, and browsing goes on.
    client.send("$PWD\n");
    QCOMPARE(client.readLine(), QByteArray("$PWD: /TARVELO\n"));
}

void TestInstrumentServer::slowClientKeepsBuffersBounded()
{
    auto server = start();
    LineClient client(64 * 1024);
    QVERIFY(loggedInClient(*server, client));
    client.send(requestLine({"/TARVELO/big.bin"}));
    QCOMPARE(client.readLine(), announcement({"/TARVELO/big.bin"}));
    client.setPaused(true);
    client.send(kListAck);
    // With the client not reading, the server must stop at its bound, not read on.
    // Once TCP pushes back the server fills its own buffer up to the bound and stops there.
    QTRY_VERIFY_WITH_TIMEOUT(server->peakQueuedBytes() >= InstrumentSession::kHighWater, 20000);
    const qint64 bound = InstrumentSession::kHighWater + InstrumentSession::kFilePiece;
    QVERIFY2(server->peakQueuedBytes() <= bound, QByteArray::number(server->peakQueuedBytes()));
    client.setPaused(false);
    const qint64 total = header("/TARVELO/big.bin", 16 << 20).size() + (16 << 20)
        + endLine("/TARVELO/big.bin").size();
    QVERIFY(client.waitUntil([&] { return client.received().size() >= total; }, 60000));
    QVERIFY(client.received().endsWith(endLine("/TARVELO/big.bin")));
    QVERIFY2(server->peakQueuedBytes() <= bound, QByteArray::number(server->peakQueuedBytes()));
}

// --- faults ---

void TestInstrumentServer::chunksArriveSpreadOut()
{
    InstrumentOptions options;
    options.chunk = 4;
    options.chunkDelayMs = 40;
    auto server = start(options);
    LineClient client;
    QElapsedTimer timer;
    timer.start();
    QVERIFY(client.open(server->serverPort()));
    QCOMPARE(client.readLine(), QByteArray("$WAIT LOGIN:\n")); // 13 bytes: 4 pieces
    QVERIFY2(timer.elapsed() >= 3 * 40 * 9 / 10, QByteArray::number(timer.elapsed()));
    QVERIFY(client.readSizes().size() >= 2);

    // Without a delay, file bytes still arrive whole and in order.
    options.chunkDelayMs = 0;
    options.chunk = 5;
    server = start(options);
    LineClient fast;
    QVERIFY(loggedInClient(*server, fast));
    fast.send(requestLine({"/TARVELO/Run 01/image_a.tif"}) + kListAck);
    const QByteArray expected = announcement({"/TARVELO/Run 01/image_a.tif"})
        + header("/TARVELO/Run 01/image_a.tif", 10240) + content("/TARVELO/Run 01/image_a.tif")
        + endLine("/TARVELO/Run 01/image_a.tif");
    QVERIFY(fast.take(expected.size()) == expected);
}

void TestInstrumentServer::cutOff_data()
{
    QTest::addColumn<bool>("close"); // else stall
    QTest::addColumn<qint64>("after");
    QTest::addColumn<QByteArray>("beforeAck"); // what arrives before the first file's acknowledgement
    QTest::addColumn<QByteArray>("afterAck");

    const QString pathA = QStringLiteral("/TARVELO/Run 01/image_a.tif");
    const QString pathB = QStringLiteral("/TARVELO/Run 01/image_b.tif");
    const QByteArray a = content(pathA);
    const QByteArray b = content(pathB);
    const QByteArray first = header(pathA, a.size());
    const QByteArray whole = first + a + endLine(pathA);
    const QByteArray second = header(pathB, b.size());
    for (const bool close : {true, false}) {
        const char *what = close ? "close" : "stall";
        QTest::addRow("%s in the first file", what)
            << close << qint64(1000) << first + a.left(1000) << QByteArray();
        QTest::addRow("%s before any file byte", what) << close << qint64(0) << first << QByteArray();
        QTest::addRow("%s at the end of a file's bytes", what)
            << close << qint64(a.size()) << first + a << QByteArray();
        QTest::addRow("%s in the second file", what)
            << close << qint64(a.size() + 10) << whole << second + b.left(10);
    }
}

void TestInstrumentServer::cutOff()
{
    QFETCH(bool, close);
    QFETCH(qint64, after);
    QFETCH(QByteArray, beforeAck);
    QFETCH(QByteArray, afterAck);

    InstrumentOptions options;
    (close ? options.closeAfterFileBytes : options.stallAfterFileBytes) = after;
    auto server = start(options);
    LineClient client;
    QVERIFY(loggedInClient(*server, client));
    const QStringList files{"/TARVELO/Run 01/image_a.tif", "/TARVELO/Run 01/image_b.tif"};
    client.send(requestLine(files));
    QCOMPARE(client.readLine(), announcement(files));
    client.send(kListAck);
    QVERIFY(client.take(beforeAck.size()) == beforeAck);
    if (!afterAck.isEmpty()) {
        client.send("$DOWNLOAD COMPLETED " + files.first().toUtf8() + '\n');
        QVERIFY(client.take(afterAck.size()) == afterAck);
    }
    if (close) {
        QVERIFY(client.waitUntil([&] { return !client.isOpen(); }));
        QVERIFY(client.received().isEmpty());
    } else {
        QSignalSpy lines(server.get(), &InstrumentServer::lineReceived);
        client.send("$DOWNLOAD CANCEL\n");
        QVERIFY(lines.wait(5000));            // still reading, and connected ...
        QVERIFY(!client.anythingWithin(200)); // ... but sending nothing more
        QVERIFY(client.isOpen());
    }
}

void TestInstrumentServer::outsidePathsAreAnnouncedAndSent()
{
    InstrumentOptions options;
    options.outsidePaths = QStringList{"/TARVELO/../../outside", "/etc/x"};
    auto server = start(options);
    LineClient client;
    QVERIFY(loggedInClient(*server, client));
    client.send(requestLine({"/TARVELO/a.txt"}));
    const QStringList all{"/TARVELO/a.txt", "/TARVELO/../../outside", "/etc/x"};
    QCOMPARE(client.readLine(), announcement(all));
    client.send(kListAck);
    for (const QString &path : all) {
        const QByteArray head = client.readLine();
        QVERIFY2(head.startsWith("$DOWNLOAD:<" + path.toUtf8() + "><"), head.constData());
        const qint64 size = head.mid(head.lastIndexOf('<') + 1).chopped(2).toLongLong();
        QVERIFY(size > 0);
        QCOMPARE(client.take(size).size(), int(size));
        QCOMPARE(client.readLine(), endLine(path));
        client.send("$DOWNLOAD COMPLETED " + path.toUtf8() + '\n');
    }
    QCOMPARE(client.readLine(), kCompleted);
}

void TestInstrumentServer::noSizeField()
{
    InstrumentOptions options;
    options.noSize = true;
    auto server = start(options);
    LineClient client;
    QVERIFY(loggedInClient(*server, client));
    client.send(requestLine({"/TARVELO/Run 01/Sub"}) + kListAck);
    QCOMPARE(client.readLine(), announcement({"/TARVELO/Run 01/Sub/deep.dat",
                                              "/TARVELO/Run 01/Sub/Inner/zero.dat"}));
    const QByteArray deep = "$DOWNLOAD:</TARVELO/Run 01/Sub/deep.dat>\n"
        + content("/TARVELO/Run 01/Sub/deep.dat") + endLine("/TARVELO/Run 01/Sub/deep.dat");
    QVERIFY(client.take(deep.size()) == deep);
    client.send("$DOWNLOAD COMPLETED /TARVELO/Run 01/Sub/deep.dat\n");
    const QByteArray zero = "$DOWNLOAD:</TARVELO/Run 01/Sub/Inner/zero.dat>\n"
        + endLine("/TARVELO/Run 01/Sub/Inner/zero.dat");
    QCOMPARE(client.take(zero.size()), zero);
}

void TestInstrumentServer::noFinalNewline()
{
    InstrumentOptions options;
    options.noFinalNewline = true;
    auto server = start(options);
    LineClient client;
    QVERIFY(loggedInClient(*server, client)); // login answers keep their line feed
    client.send("$CD /TARVELO/Run 01/Sub\n$PWD\n$LIST\n");
    const QByteArray answers = "$PWD: /TARVELO/Run 01/Sub$LIST: <f,deep.dat><d,Inner>";
    QCOMPARE(client.take(answers.size()), answers);
    QVERIFY(!client.anythingWithin(100));
}

void TestInstrumentServer::completedWithLastFile()
{
    InstrumentOptions options;
    options.completedWithLastFile = true;
    auto server = start(options);
    LineClient client;
    QVERIFY(loggedInClient(*server, client));
    const QStringList files{"/TARVELO/B.txt", "/TARVELO/a.txt"};
    client.send(requestLine(files) + kListAck);
    QCOMPARE(client.readLine(), announcement(files));
    const QByteArray first = header(files.at(0), 5) + "bravo" + endLine(files.at(0));
    QCOMPARE(client.take(first.size()), first);
    QVERIFY(!client.anythingWithin(100)); // earlier files keep the normal order
    client.send("$DOWNLOAD COMPLETED /TARVELO/B.txt\n");
    // The notice comes right behind the last file, without waiting for its acknowledgement.
    const QByteArray last = header(files.at(1), 6) + "alpha\n" + endLine(files.at(1)) + kCompleted;
    QCOMPARE(client.take(last.size()), last);
    client.send("$DOWNLOAD COMPLETED /TARVELO/a.txt\n$PWD\n");
    QCOMPARE(client.readLine(), QByteArray("$PWD: /TARVELO\n")); // and it is not sent twice
}

QTEST_GUILESS_MAIN(TestInstrumentServer)
#include "tst_instrumentserver.moc"
