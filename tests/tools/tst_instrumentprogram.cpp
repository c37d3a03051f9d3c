// The tarvelo-instrument program: each command-line option reaches the server, and bad
// input is refused with a message.
#include "lineclient.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QByteArray kPrompt = "$WAIT LOGIN:\n";
const QByteArray kLogin = "$LOGIN: <anonymous,>\n";
const QByteArray kOk = "$LOGIN: OK\n";
const QByteArray kRequest = "$DOWNLOAD REQUEST </TARVELO/a.txt>\n$DOWNLOAD REQUEST: LIST COMPLETED\n";
const QByteArray kAnnounced = "$DOWNLOAD REQUEST: LIST<START></TARVELO/a.txt>$DOWNLOAD REQUEST: LIST<END>\n";
const QByteArray kEnd = "$DOWNLOAD:</TARVELO/a.txt><END>\n";

} // namespace

class TestInstrumentProgram : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QVERIFY(m_dir.isValid()); writeA(); }
    void options_data();
    void options();
    void badCommandLines_data();
    void badCommandLines();

private:
    void writeA()
    {
        QFile file(m_dir.filePath(QStringLiteral("a.txt")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("alpha\n") == 6);
    }

    QTemporaryDir m_dir;
};

void TestInstrumentProgram::options_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("send");
    QTest::addColumn<QByteArray>("expected"); // everything the client receives
    QTest::addColumn<bool>("closes");

    QTest::newRow("anonymous by default") << QStringList() << kLogin + "$PWD\n"
                                          << kPrompt + kOk + "$PWD: /TARVELO\n" << false;
    QTest::newRow("--no-anonymous") << QStringList{"--no-anonymous"} << kLogin
                                    << kPrompt + "$LOGIN: NG\n" << false;
    QTest::newRow("--account, colon in the password")
        << QStringList{"--no-anonymous", "--account", "x:y", "--account", "lab:p:w"}
        << QByteArray("$LOGIN: <lab,p:w>\n") << kPrompt + kOk << false;
    QTest::newRow("--no-final-newline") << QStringList{"--no-final-newline"} << kLogin + "$PWD\n"
                                        << kPrompt + kOk + "$PWD: /TARVELO" << false;
    QTest::newRow("--no-size") << QStringList{"--no-size"} << kLogin + kRequest
                               << kPrompt + kOk + kAnnounced + "$DOWNLOAD:</TARVELO/a.txt>\nalpha\n" + kEnd << false;
    QTest::newRow("--close-after") << QStringList{"--close-after", "2"} << kLogin + kRequest
                                   << kPrompt + kOk + kAnnounced + "$DOWNLOAD:</TARVELO/a.txt><6>\nal" << true;
    QTest::newRow("--completed-with-last-file")
        << QStringList{"--completed-with-last-file"} << kLogin + kRequest
        << kPrompt + kOk + kAnnounced + "$DOWNLOAD:</TARVELO/a.txt><6>\nalpha\n" + kEnd + "$DOWNLOAD: COMPLETED\n"
        << false;
    QTest::newRow("--outside-path")
        << QStringList{"--outside-path", "/etc/x"} << kLogin + "$DOWNLOAD REQUEST </TARVELO/a.txt>\n"
        << kPrompt + kOk + "$DOWNLOAD REQUEST: LIST<START></TARVELO/a.txt>,</etc/x>$DOWNLOAD REQUEST: LIST<END>\n"
        << false;
    QTest::newRow("--chunk and --chunk-delay") << QStringList{"--chunk", "3", "--chunk-delay", "1"}
                                               << kLogin << kPrompt + kOk << false;
}

void TestInstrumentProgram::options()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, send);
    QFETCH(QByteArray, expected);
    QFETCH(bool, closes);

    QProcess program;
    program.start(QStringLiteral(TARVELO_INSTRUMENT_PROGRAM),
                  QStringList{"--root", m_dir.path(), "--port", "0", "--trace"} + args);
    QVERIFY(program.waitForStarted(10000));
    QTRY_VERIFY_WITH_TIMEOUT(program.canReadLine(), 10000);
    const QByteArray first = program.readLine();
    QVERIFY2(first.startsWith("Listening on 127.0.0.1:"), first.constData());
    const quint16 port = quint16(first.mid(int(strlen("Listening on 127.0.0.1:"))).split(',').first().toUInt());

    LineClient client;
    QVERIFY(client.open(port));
    client.send(send);
    QCOMPARE(client.take(expected.size()), expected);
    if (closes)
        QVERIFY(client.waitUntil([&] { return !client.isOpen(); }));
    // --trace shows the conversation, lines received as well as sent.
    QByteArray output;
    QTRY_VERIFY_WITH_TIMEOUT((output += program.readAllStandardOutput()).contains("<< $LOGIN: <"), 5000);
    program.kill();
    QVERIFY(program.waitForFinished(5000));
}

void TestInstrumentProgram::badCommandLines_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QString>("message");

    QTest::newRow("port too large") << QStringList{"--port", "70000"} << "--port";
    QTest::newRow("port not a number") << QStringList{"--port", "x"} << "--port";
    QTest::newRow("chunk of 0 bytes") << QStringList{"--chunk", "0"} << "--chunk";
    QTest::newRow("delay without chunk") << QStringList{"--chunk-delay", "5"} << "--chunk-delay needs --chunk";
    QTest::newRow("not an address") << QStringList{"--listen", "localhost:1"} << "--listen";
    QTest::newRow("account without a name") << QStringList{"--account", ":pw"} << "--account";
    QTest::newRow("account without a colon") << QStringList{"--account", "lab"} << "--account";
    QTest::newRow("stray argument") << QStringList{"extra"} << "unexpected argument";
    QTest::newRow("root missing") << QStringList{"--root", "/nonexistent/tarvelo"} << "does not exist";
}

void TestInstrumentProgram::badCommandLines()
{
    QFETCH(QStringList, args);
    QFETCH(QString, message);

    QProcess program;
    QStringList all{"--port", "0"};
    if (!args.contains(QStringLiteral("--root")))
        all << "--root" << m_dir.path();
    program.start(QStringLiteral(TARVELO_INSTRUMENT_PROGRAM), all + args);
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitCode(), 2);
    const QString error = QString::fromLocal8Bit(program.readAllStandardError());
    QVERIFY2(error.contains(message), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestInstrumentProgram)
#include "tst_instrumentprogram.moc"
