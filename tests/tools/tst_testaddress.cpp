// The test address allocator steps round addresses that are taken, and an address it holds
// to refuse refuses connections and keeps servers out.
#include "common/testaddress.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

namespace {
// Where this process's walk starts: something listens there before the first address is
// handed out (this test's blocker, or the same test in another run).
const char kFirst[] = "127.77.0.1";
} // namespace

class tst_TestAddress : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { qputenv("TARVELO_TEST_ADDRESS_FROM", kFirst); }
    void skipsAnAddressInUse();
    void refusingAddressStaysRefusing();
};

void tst_TestAddress::skipsAnAddressInUse()
{
    QTcpServer blocker;
    if (!blocker.listen(QHostAddress(QLatin1String(kFirst)), TestAddress::kPort))
        QVERIFY(!TestAddress::isFree(QLatin1String(kFirst))); // taken by someone else: as good
    QTcpServer server;
    const QString address = TestAddress::listen(
        [&](const QString &candidate) { return server.listen(QHostAddress(candidate), TestAddress::kPort); });
    QVERIFY(!address.isEmpty());
    QVERIFY(address != QLatin1String(kFirst));
    QCOMPARE(server.serverAddress(), QHostAddress(address));
    QVERIFY(!TestAddress::isFree(address));
}

void tst_TestAddress::refusingAddressStaysRefusing()
{
    const TestAddress::Refusing closed;
    QVERIFY(!closed.address().isEmpty());
    QTcpServer intruder;
    QVERIFY(!intruder.listen(QHostAddress(closed.address()), TestAddress::kPort));
    QTcpSocket socket;
    QSignalSpy failed(&socket, &QAbstractSocket::errorOccurred);
    socket.connectToHost(closed.address(), TestAddress::kPort);
    QVERIFY(failed.count() > 0 || failed.wait(5000));
    QCOMPARE(socket.error(), QAbstractSocket::ConnectionRefusedError);
}

QTEST_GUILESS_MAIN(tst_TestAddress)
#include "tst_testaddress.moc"
