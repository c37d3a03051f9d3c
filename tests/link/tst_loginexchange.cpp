#include "link/loginexchange.h"
#include "link/blackhole.h"
#include "link/scriptedpeer.h"

#include <QSignalSpy>
#include <QTcpSocket>
#include <QtTest>

using Failure = LoginExchange::Failure;
using State = LoginExchange::State;


namespace {
const QHostAddress kLoopback(QHostAddress::LocalHost);
const QString kHost = QStringLiteral("127.0.0.1");
constexpr int kShortLimitMs = 300;
constexpr int kWaitMs = 10000;

enum Outcome { Accepted, Refused, NoAnswer, LinkClosed, ConnectFailed };
} // namespace
Q_DECLARE_METATYPE(Outcome)

class tst_LoginExchange : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void loginLineOnTheWire_data();
    void loginLineOnTheWire();
    void answers_data();
    void answers();
    void waitAndAnotherLineInOneSegment();
    void refusalThenNewAttempt();
    void bytesAfterAcceptanceStayInSocket();
    void unreachable_data();
    void unreachable();
    void connectWaitKeepsEventLoopRunning();
    void cancelClosesConnection_data();
    void cancelClosesConnection();
};

// One exchange on one socket, with the spies every test reads.
struct Attempt
{
    QTcpSocket socket;
    LoginExchange exchange;
    QSignalSpy accepted{&exchange, &LoginExchange::accepted};
    QSignalSpy failed{&exchange, &LoginExchange::failed};

    Attempt()
    {
        exchange.setSocket(&socket);
        exchange.setAnswerTimeout(kShortLimitMs);
    }
    void start(quint16 port, bool anonymous = true, const QString &account = QString(),
               const QString &password = QString(), const QString &host = kHost)
    {
        exchange.start(host, port, anonymous, account, password);
    }
    bool finished() const { return accepted.count() + failed.count() > 0; }
    Outcome outcome() const
    {
        if (!accepted.isEmpty())
            return Accepted;
        switch (failed.first().first().value<Failure>()) {
        case Failure::Refused: return Refused;
        case Failure::NoAnswer: return NoAnswer;
        case Failure::LinkClosed: return LinkClosed;
        case Failure::ConnectFailed: break;
        }
        return ConnectFailed;
    }
};

void tst_LoginExchange::initTestCase()
{
    qRegisterMetaType<LoginExchange::Failure>();
}

void tst_LoginExchange::loginLineOnTheWire_data()
{
    QTest::addColumn<bool>("anonymous");
    QTest::addColumn<QString>("account");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("anonymous") << true << QString() << QString()
                               << QByteArray("$LOGIN: <anonymous,>\n");
    QTest::newRow("anonymous ignores typed account") << true << "alice" << "secret"
                                                     << QByteArray("$LOGIN: <anonymous,>\n");
    QTest::newRow("account") << false << "alice" << "secret"
                             << QByteArray("$LOGIN: <alice,secret>\n");
    QTest::newRow("comma in account unchanged") << false << "lab,alice" << "pw"
                                                << QByteArray("$LOGIN: <lab,alice,pw>\n");
    QTest::newRow("bracket in password unchanged") << false << "bob" << "a>b"
                                                   << QByteArray("$LOGIN: <bob,a>b>\n");
    QTest::newRow("blanks kept") << false << " bob " << " p w " << QByteArray("$LOGIN: < bob , p w >\n");
    QTest::newRow("empty password") << false << "bob" << QString() << QByteArray("$LOGIN: <bob,>\n");
    QTest::newRow("non-ascii as utf-8") << false << QString::fromUtf8("J\xc3\xbcrgen") << "x"
                                        << QByteArray("$LOGIN: <J\xc3\xbcrgen,x>\n");
}

void tst_LoginExchange::loginLineOnTheWire()
{
    QFETCH(bool, anonymous);
    QFETCH(QString, account);
    QFETCH(QString, password);
    QFETCH(QByteArray, line);
    ScriptedPeer peer;
    QVERIFY(peer.listen(kLoopback));
    Attempt attempt;
    attempt.start(peer.port(), anonymous, account, password);
    QTRY_VERIFY_WITH_TIMEOUT(attempt.finished(), kWaitMs);
    QCOMPARE(attempt.outcome(), Accepted);
    QCOMPARE(peer.last(), line); // exactly one line, no NUL, no carriage return
    QCOMPARE(attempt.exchange.state(), State::LoggedIn);
}

void tst_LoginExchange::answers_data()
{
    QTest::addColumn<QByteArray>("greeting");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<Outcome>("outcome");
    QTest::addColumn<int>("loginLines");
    const QByteArray wait("$WAIT LOGIN:\n");
    const QByteArray ok("$LOGIN: OK\n");
    QTest::newRow("plain") << wait << ok << Accepted << 1;
    QTest::newRow("wait with crlf") << QByteArray("$WAIT LOGIN:\r\n") << ok << Accepted << 1;
    QTest::newRow("wait with trailing blank") << QByteArray("$WAIT LOGIN: \n") << ok << Accepted << 1;
    QTest::newRow("wait with leading blank and tab") << QByteArray(" \t$WAIT LOGIN:\n") << ok
                                                     << Accepted << 1;
    QTest::newRow("noise before wait dropped") << QByteArray("HELLO\n\n$WAIT LOGIN:\n") << ok
                                               << Accepted << 1;
    QTest::newRow("ok with crlf") << wait << QByteArray("$LOGIN: OK\r\n") << Accepted << 1;
    QTest::newRow("noise before ok dropped") << wait << QByteArray("$PING\n$LOGIN: OK\n")
                                             << Accepted << 1;
    QTest::newRow("lower-case wait ignored") << QByteArray("$wait login:\n") << ok << NoAnswer << 0;
    QTest::newRow("wait with extra text ignored") << QByteArray("$WAIT LOGIN:now\n") << ok
                                                  << NoAnswer << 0;
    QTest::newRow("wait without line end waits") << QByteArray("$WAIT LOGIN:") << ok
                                                 << NoAnswer << 0;
    QTest::newRow("lower-case ok ignored") << wait << QByteArray("$login: ok\n") << NoAnswer << 1;
    QTest::newRow("ok without blank ignored") << wait << QByteArray("$LOGIN:OK\n") << NoAnswer << 1;
    QTest::newRow("refused") << wait << QByteArray("$LOGIN: NG\n") << Refused << 1;
    QTest::newRow("refused with trailing blanks") << wait << QByteArray("$LOGIN: NG  \r\n")
                                                  << Refused << 1;
    QTest::newRow("silent server") << QByteArray() << ok << NoAnswer << 0;
    QTest::newRow("silent after login line") << wait << QByteArray() << NoAnswer << 1;
}

void tst_LoginExchange::answers()
{
    QFETCH(QByteArray, greeting);
    QFETCH(QByteArray, answer);
    QFETCH(Outcome, outcome);
    QFETCH(int, loginLines);
    ScriptedPeer peer;
    peer.greeting = greeting;
    peer.loginAnswer = answer;
    QVERIFY(peer.listen(kLoopback));
    Attempt attempt;
    attempt.start(peer.port());
    QTRY_VERIFY_WITH_TIMEOUT(attempt.finished(), kWaitMs);
    QCOMPARE(attempt.outcome(), outcome);
    QCOMPARE(peer.last().count("$LOGIN: <anonymous,>\n"), loginLines);
    QCOMPARE(attempt.failed.count() + attempt.accepted.count(), 1);
    if (outcome != Accepted) {
        // Nothing half-open stays behind: the instrument sees the link closed.
        QCOMPARE(attempt.exchange.state(), State::Idle);
        QTRY_COMPARE_WITH_TIMEOUT(peer.closedByClient, 1, kWaitMs);
        QTRY_COMPARE_WITH_TIMEOUT(attempt.socket.state(), QAbstractSocket::UnconnectedState, kWaitMs);
    }
}

void tst_LoginExchange::waitAndAnotherLineInOneSegment()
{
    ScriptedPeer peer;
    peer.greeting = "$WAIT LOGIN:\n$LOGIN: OK\n";
    peer.loginAnswer.clear();
    QVERIFY(peer.listen(kLoopback));
    Attempt attempt;
    attempt.exchange.setAnswerTimeout(kWaitMs);
    attempt.start(peer.port());
    QTRY_COMPARE_WITH_TIMEOUT(peer.last(), QByteArray("$LOGIN: <anonymous,>\n"), kWaitMs);
    // The second line waits for the next arrival of data.
    QCoreApplication::processEvents();
    QCOMPARE(attempt.accepted.count(), 0);
    QCOMPARE(attempt.exchange.state(), State::LoginSent);
    peer.send("\n");
    QTRY_COMPARE_WITH_TIMEOUT(attempt.accepted.count(), 1, kWaitMs);
}

void tst_LoginExchange::refusalThenNewAttempt()
{
    ScriptedPeer peer;
    peer.loginAnswer = "$LOGIN: NG\n";
    QVERIFY(peer.listen(kLoopback));
    Attempt attempt;
    attempt.start(peer.port(), false, QStringLiteral("alice"), QStringLiteral("wrong"));
    QTRY_COMPARE_WITH_TIMEOUT(attempt.failed.count(), 1, kWaitMs);
    QCOMPARE(attempt.outcome(), Refused);
    QTRY_COMPARE_WITH_TIMEOUT(peer.closedByClient, 1, kWaitMs);

    peer.loginAnswer = "$LOGIN: OK\n";
    attempt.start(peer.port(), false, QStringLiteral("alice"), QStringLiteral("right"));
    QTRY_COMPARE_WITH_TIMEOUT(attempt.accepted.count(), 1, kWaitMs);
    QCOMPARE(peer.connections(), 2);
    QCOMPARE(peer.received.at(0), QByteArray("$LOGIN: <alice,wrong>\n"));
    QCOMPARE(peer.received.at(1), QByteArray("$LOGIN: <alice,right>\n"));
    QCOMPARE(attempt.failed.count(), 1);
}

void tst_LoginExchange::bytesAfterAcceptanceStayInSocket()
{
    ScriptedPeer peer;
    peer.loginAnswer = "$LOGIN: OK\n$PWD: /TARVELO\n";
    QVERIFY(peer.listen(kLoopback));
    Attempt attempt;
    attempt.start(peer.port());
    QTRY_COMPARE_WITH_TIMEOUT(attempt.accepted.count(), 1, kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(attempt.socket.bytesAvailable(), qint64(15), kWaitMs);
    QCOMPARE(attempt.socket.readAll(), QByteArray("$PWD: /TARVELO\n"));

    // The exchange has let go: a late refusal or silence changes nothing.
    peer.send("$LOGIN: NG\n");
    QTRY_COMPARE_WITH_TIMEOUT(attempt.socket.bytesAvailable(), qint64(11), kWaitMs);
    QVERIFY(!attempt.failed.wait(2 * kShortLimitMs)); // past the answer limit
    QCOMPARE(attempt.socket.state(), QAbstractSocket::ConnectedState);
    QCOMPARE(attempt.exchange.state(), State::LoggedIn);
}

void tst_LoginExchange::unreachable_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<bool>("closedPort");
    QTest::newRow("closed port") << kHost << true;
    QTest::newRow("empty address field") << "127..0.1" << false;
    QTest::newRow("all fields empty") << "..." << false;
    QTest::newRow("not an address") << "instrument" << false;
}

void tst_LoginExchange::unreachable()
{
    QFETCH(QString, host);
    QFETCH(bool, closedPort);
    quint16 port = 1;
    if (closedPort) {
        QTcpServer probe;
        QVERIFY(probe.listen(kLoopback));
        port = probe.serverPort();
    } // closed again here
    Attempt attempt;
    attempt.start(port, true, QString(), QString(), host);
    QCOMPARE(attempt.exchange.state(), State::Connecting);
    QTRY_VERIFY_WITH_TIMEOUT(attempt.finished(), kWaitMs);
    QCOMPARE(attempt.outcome(), ConnectFailed);
    QCOMPARE(attempt.exchange.state(), State::Idle);
    QCOMPARE(attempt.socket.state(), QAbstractSocket::UnconnectedState);
}

void tst_LoginExchange::connectWaitKeepsEventLoopRunning()
{
    Blackhole hole;
    QVERIFY(hole.open("127.0.0.1", 0));
    Attempt attempt;
    attempt.exchange.setConnectTimeout(800);
    attempt.start(hole.port());
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start(20);
    QTRY_VERIFY_WITH_TIMEOUT(ticks >= 5, kWaitMs);
    QCOMPARE(attempt.exchange.state(), State::Connecting); // still waiting, loop alive
    QTRY_VERIFY_WITH_TIMEOUT(attempt.finished(), kWaitMs);
    QCOMPARE(attempt.outcome(), ConnectFailed);
    QCOMPARE(attempt.socket.state(), QAbstractSocket::UnconnectedState);
}

void tst_LoginExchange::cancelClosesConnection_data()
{
    QTest::addColumn<QByteArray>("greeting");
    QTest::addColumn<State>("stateBefore");
    QTest::newRow("waiting for the question") << QByteArray() << State::WaitingForLogin;
    QTest::newRow("login line sent") << QByteArray("$WAIT LOGIN:\n") << State::LoginSent;
}

void tst_LoginExchange::cancelClosesConnection()
{
    QFETCH(QByteArray, greeting);
    QFETCH(State, stateBefore);
    ScriptedPeer peer;
    peer.greeting = greeting;
    peer.loginAnswer.clear();
    QVERIFY(peer.listen(kLoopback));
    Attempt attempt;
    attempt.exchange.setAnswerTimeout(kWaitMs);
    attempt.start(peer.port());
    QTRY_COMPARE_WITH_TIMEOUT(attempt.exchange.state(), stateBefore, kWaitMs);
    attempt.exchange.cancel();
    QCOMPARE(attempt.exchange.state(), State::Idle);
    QCOMPARE(attempt.socket.state(), QAbstractSocket::UnconnectedState);
    QTRY_COMPARE_WITH_TIMEOUT(peer.closedByClient, 1, kWaitMs);
    QVERIFY(!attempt.finished());
}

QTEST_GUILESS_MAIN(tst_LoginExchange)
#include "tst_loginexchange.moc"
