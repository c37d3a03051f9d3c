// A program without widgets logs in, browses and downloads through the link and the
// receiver alone, against the stand-in instrument.
#include "transfer/downloadreceiver.h"
#include "transfer/downloadrequest.h"
#include "download/streamfeeder.h"
#include "link/instrumentlink.h"
#include "link/loginexchange.h"
#include "link/protocol.h"
#include "tools/instrument/instrumentserver.h"
#include "tests/common/testaddress.h"

#include <QRandomGenerator>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {
const QString kAddress = QStringLiteral("127.0.0.11");
constexpr int kWaitMs = 20000;

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Logs `link` in to a fresh, quiet stand-in serving `root` in writes of `chunk` bytes (0:
// whole), with `receiver` on the link.
std::unique_ptr<InstrumentServer> logIn(const QString &root, InstrumentLink &link,
                                        DownloadReceiver &receiver, int chunk = 0)
{
    InstrumentOptions options;
    options.root = root;
    options.quiet = true;
    options.chunk = chunk;
    auto server = std::make_unique<InstrumentServer>(options);
    if (!server->listen(QHostAddress(kAddress), 0))
        return nullptr;
    LoginExchange login;
    login.setSocket(link.newSocket());
    QSignalSpy accepted(&login, &LoginExchange::accepted);
    login.start(kAddress, server->serverPort(), true, QString(), QString());
    if (!accepted.wait(kWaitMs))
        return nullptr;
    link.attach(link.socket());
    link.reader().setDownloadStream(&receiver);
    QObject::connect(&receiver, &DownloadReceiver::sendLine, &link, &InstrumentLink::sendLine);
    return server;
}

// A slow disk: the writer takes a piece only when the window's thread lets one through.
// Made after the receiver, so that it opens up before the receiver's writer is destroyed.
class GatedDisk
{
public:
    explicit GatedDisk(FileWriter &writer) { writer.setWriteHook([this] { m_permits.acquire(); }); }
    ~GatedDisk() { m_permits.release(1 << 20); }
    void letOneThrough() { m_permits.release(); }

private:
    QSemaphore m_permits;
};
} // namespace

class tst_InstrumentLink : public QObject
{
    Q_OBJECT
private slots:
    void browseAndDownload_data();
    void browseAndDownload();
    void slowDiskHoldsTheInstrumentBack();
    void smallFilesAcknowledgedOnceInPlace_data();
    void smallFilesAcknowledgedOnceInPlace();
    void longAnswerTakenInSlices_data();
    void longAnswerTakenInSlices();
};

void tst_InstrumentLink::browseAndDownload_data()
{
    QTest::addColumn<int>("chunk");
    QTest::addRow("whole writes") << 0;
    QTest::addRow("seven-byte pieces") << 7;
}

void tst_InstrumentLink::browseAndDownload()
{
    QFETCH(int, chunk);
    QTemporaryDir served;
    QTemporaryDir download;
    QVERIFY(served.isValid() && download.isValid());
    // Framing texts inside the file must reach the disk as they are.
    const QByteArray content = Stream::randomBytes(3000, 7) + "\n$DOWNLOAD:<END>\n$LIST: <d,x>\n"
        + Stream::randomBytes(500, 8);
    QVERIFY(writeFile(served.path() + "/run1/a.bin", content));
    QVERIFY(writeFile(served.path() + "/readme.txt", "x"));

    InstrumentLink link;
    DownloadReceiver receiver;
    auto server = logIn(served.path(), link, receiver, chunk);
    QVERIFY(server);
    QStringList answers;
    connect(&link.reader(), &MessageReader::pwdAnswer, this, [&](const QString &line) {
        if (link.reader().lineComplete())
            answers.append(line);
    });
    connect(&link.reader(), &MessageReader::listAnswer, this, [&](const QString &line) {
        if (link.reader().lineComplete())
            answers.append(line);
    });
    QSignalSpy lost(&link, &InstrumentLink::linkLost);

    link.sendLine("$CD $HOME\n$PWD\n$LIST\n");
    QTRY_COMPARE_WITH_TIMEOUT(answers.size(), 2, kWaitMs);
    QCOMPARE(answers.at(0), QStringLiteral("$PWD: /TARVELO"));
    QVERIFY2(answers.at(1).contains("<d,run1>") && answers.at(1).contains("<f,readme.txt>"),
             qPrintable(answers.at(1)));

    link.sendLine("$CD /TARVELO/run1\n$LIST\n");
    QTRY_COMPARE_WITH_TIMEOUT(answers.size(), 3, kWaitMs);
    QVERIFY2(answers.at(2).contains("<f,a.bin>"), qPrintable(answers.at(2)));

    QSignalSpy endNotice(&receiver, &DownloadReceiver::endNoticeReceived);
    receiver.begin(download.path());
    link.sendLine(DownloadRequest::requestLine({QStringLiteral("/TARVELO/run1/a.bin")}));
    QVERIFY(endNotice.wait(kWaitMs));
    // The download ends with the first listing after the end notice.
    link.sendLine("$LIST\n");
    QTRY_COMPARE_WITH_TIMEOUT(answers.size(), 4, kWaitMs);
    QVERIFY(receiver.failures().isEmpty());
    receiver.finish();
    QCOMPARE(link.reader().framing(), MessageReader::Framing::Lines);

    QFile stored(download.path() + "/run1/a.bin");
    QVERIFY(stored.open(QIODevice::ReadOnly));
    QVERIFY(stored.readAll() == content);

    QCOMPARE(lost.count(), 0);
    server.reset(); // the instrument goes away
    QVERIFY(lost.wait(kWaitMs));
}

// The disk takes a piece only when the test lets it. Whatever the instrument sends, the
// program holds a bounded amount meanwhile, the window's thread keeps running, the file
// arrives whole and is acknowledged only once it is in place.
void tst_InstrumentLink::slowDiskHoldsTheInstrumentBack()
{
    QTemporaryDir served;
    QTemporaryDir download;
    QVERIFY(served.isValid() && download.isValid());
    QByteArray content(48 * 1024 * 1024 + 123, Qt::Uninitialized);
    QRandomGenerator(5).fillRange(reinterpret_cast<quint32 *>(content.data()), content.size() / 4);
    QVERIFY(writeFile(served.path() + "/big.bin", content));

    InstrumentLink link;
    DownloadReceiver receiver;
    auto server = logIn(served.path(), link, receiver);
    QVERIFY(server);
    link.socket()->setReadBufferSize(DownloadReceiver::kSocketReadBuffer);

    GatedDisk disk(receiver.writer());
    const QString stored = download.path() + "/big.bin";
    bool ackedInPlace = false;
    int acks = 0;
    connect(server.get(), &InstrumentServer::lineReceived, this, [&](int, const QByteArray &line) {
        if (!line.startsWith(Protocol::kFileAckPrefix))
            return;
        ++acks;
        ackedInPlace = QFileInfo(stored).size() == content.size();
    });
    qint64 mostHeld = 0;
    bool held = false;
    QTimer slowDisk; // one piece every few milliseconds, from the window's thread
    connect(&slowDisk, &QTimer::timeout, this, [&] {
        mostHeld = qMax(mostHeld, receiver.heldBytes() + link.reader().heldBytes()
                                      + link.socket()->bytesAvailable());
        held = held || link.reader().isHeld();
        disk.letOneThrough();
    });
    QSignalSpy endNotice(&receiver, &DownloadReceiver::endNoticeReceived);
    QSignalSpy diskWaits(&receiver, &DownloadReceiver::waitingForDisk); // what the dialog shows
    receiver.begin(download.path());
    link.sendLine(DownloadRequest::requestLine({QStringLiteral("/TARVELO/big.bin")}));
    QTRY_VERIFY_WITH_TIMEOUT(link.reader().isHeld(), kWaitMs); // the disk lags from the start
    QCOMPARE(diskWaits.count(), 1);
    QCOMPARE(diskWaits.first().first().toBool(), true);
    slowDisk.start(3);
    QVERIFY(endNotice.wait(kWaitMs));
    slowDisk.stop();

    QVERIFY(held);
    QVERIFY(diskWaits.count() >= 2);
    for (int i = 0; i < diskWaits.count(); ++i) // told only of changes, the wait over at the end
        QCOMPARE(diskWaits.at(i).first().toBool(), i % 2 == 0);
    QCOMPARE(diskWaits.count() % 2, 0);
    const qint64 bound = FileWriter::kMaxQueuedBytes + 3 * DownloadReceiver::kSocketReadBuffer;
    QVERIFY2(mostHeld <= bound, qPrintable(QStringLiteral("%1 bytes held").arg(mostHeld)));
    QCOMPARE(acks, 1);
    QVERIFY(ackedInPlace);
    QCOMPARE(receiver.storedFiles(), QStringList{QStringLiteral("/TARVELO/big.bin")});
    QFile file(stored);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.readAll() == content);
    receiver.finish();
}

void tst_InstrumentLink::smallFilesAcknowledgedOnceInPlace_data()
{
    QTest::addColumn<bool>("diskLags");
    QTest::newRow("the disk keeps up: each commit waited for at once") << false;
    QTest::newRow("the disk lags: each commit's result comes later") << true;
}

// Each small file is in place, whole, by the time the instrument hears that it arrived,
// whether its commit is waited for on the spot or comes back through the event loop.
void tst_InstrumentLink::smallFilesAcknowledgedOnceInPlace()
{
    QFETCH(bool, diskLags);
    QTemporaryDir served;
    QTemporaryDir download;
    QVERIFY(served.isValid() && download.isValid());
    constexpr int kFiles = 40;
    QMap<QByteArray, QByteArray> contents; // remote path -> bytes
    for (int i = 0; i < kFiles; ++i) {
        QByteArray bytes(4096 + i, char('a' + i % 26));
        bytes.append("$DOWNLOAD:<x><END>\n"); // a file may hold what looks like an end line
        const QString name = QStringLiteral("f%1.bin").arg(i);
        QVERIFY(writeFile(served.path() + "/many/" + name, bytes));
        contents.insert("/TARVELO/many/" + name.toUtf8(), bytes);
    }

    InstrumentLink link;
    DownloadReceiver receiver;
    auto server = logIn(served.path(), link, receiver);
    QVERIFY(server);
    std::unique_ptr<GatedDisk> disk;
    QTimer slowDisk; // one piece every few milliseconds, from the window's thread
    if (diskLags) {
        disk = std::make_unique<GatedDisk>(receiver.writer());
        connect(&slowDisk, &QTimer::timeout, this, [&disk] { disk->letOneThrough(); });
        slowDisk.start(3);
    }
    QStringList misplaced;
    int acks = 0;
    connect(server.get(), &InstrumentServer::lineReceived, this, [&](int, const QByteArray &line) {
        if (!line.startsWith(Protocol::kFileAckPrefix))
            return;
        ++acks;
        const QByteArray remote = line.mid(int(qstrlen(Protocol::kFileAckPrefix))).trimmed();
        QFile file(download.path() + QString::fromUtf8(remote.mid(int(qstrlen("/TARVELO")))));
        if (!file.open(QIODevice::ReadOnly) || file.readAll() != contents.value(remote))
            misplaced.append(QString::fromUtf8(remote));
    });
    QSignalSpy endNotice(&receiver, &DownloadReceiver::endNoticeReceived);
    receiver.begin(download.path());
    link.sendLine(DownloadRequest::requestLine({QStringLiteral("/TARVELO/many")}));
    QVERIFY(endNotice.wait(kWaitMs));
    QCOMPARE(acks, kFiles);
    QCOMPARE(misplaced, QStringList());
    QCOMPARE(receiver.storedFiles().size(), kFiles);
    QVERIFY(receiver.failures().isEmpty());
    receiver.finish();
}

void tst_InstrumentLink::longAnswerTakenInSlices_data()
{
    QTest::addColumn<QByteArray>("end");
    QTest::newRow("ended by a line feed") << QByteArray("\r\n");
    QTest::newRow("without a line feed") << QByteArray();
}

// A listing of 20,000 entries that waits whole in the socket is taken a slice at a time,
// with the event loop running between turns of slices, and handed over as it grows until
// it has come whole; the line after it is read as well.
void tst_InstrumentLink::longAnswerTakenInSlices()
{
    QFETCH(QByteArray, end);
    QTcpServer server;
    const QString address = TestAddress::listen(
        [&](const QString &a) { return server.listen(QHostAddress(a), TestAddress::kPort); });
    QVERIFY(!address.isEmpty());
    InstrumentLink link;
    QTcpSocket *socket = link.newSocket();
    socket->connectToHost(address, TestAddress::kPort);
    QVERIFY(socket->waitForConnected(kWaitMs) && server.waitForNewConnection(kWaitMs));
    QTcpSocket *peer = server.nextPendingConnection();
    QByteArray listing = "$LIST: ";
    // Long enough that its slices, each handled for 3 ms, outlast several of the link's turns.
    for (int i = 0; i < 60000; ++i)
        listing += "<f,image_" + QByteArray::number(i) + ".tif>";
    const QByteArray all = listing + end + "$PWD:/TARVELO/after\n";
    peer->write(all);
    for (int i = 0; i < 200 && peer->bytesToWrite() > 0; ++i)
        peer->waitForBytesWritten(100);
    for (int i = 0; i < 200 && socket->bytesAvailable() < all.size(); ++i)
        socket->waitForReadyRead(100);
    QCOMPARE(socket->bytesAvailable(), qint64(all.size()));

    struct Delivery { int size; bool complete; bool turned; };
    QVector<Delivery> deliveries;
    bool turned = false; // the event loop ran since the first hand-over
    QStringList pwd;
    connect(&link.reader(), &MessageReader::listAnswer, this, [&](const QString &line) {
        if (deliveries.isEmpty())
            QTimer::singleShot(0, this, [&turned] { turned = true; });
        QElapsedTimer handling; // a handler as slow as the window's list with its rows
        handling.start();
        while (handling.elapsed() < 3) {
        }
        deliveries.append({int(line.size()), link.reader().lineComplete(), turned});
        QVERIFY(QLatin1String(listing).startsWith(line));
    });
    connect(&link.reader(), &MessageReader::pwdAnswer, this, [&](const QString &l) { pwd << l; });
    link.attach(socket);
    link.readAvailable(socket); // as the window does on readyRead
    QVERIFY(!deliveries.isEmpty());
    QVERIFY(!deliveries.last().complete);
    QTRY_COMPARE_WITH_TIMEOUT(pwd, QStringList("$PWD:/TARVELO/after"), kWaitMs);
    QVERIFY(deliveries.size() >= 4);
    QVERIFY(deliveries.last().complete);
    QCOMPARE(deliveries.last().size, listing.size());
    QVERIFY(deliveries.last().turned);
    for (int i = 1; i < deliveries.size(); ++i)
        QVERIFY2(deliveries.at(i).size - deliveries.at(i - 1).size <= 128 * 1024,
                 qPrintable(QStringLiteral("hand-over %1 grew by %2").arg(i)
                                .arg(deliveries.at(i).size - deliveries.at(i - 1).size)));
}

QTEST_GUILESS_MAIN(tst_InstrumentLink)
#include "tst_instrumentlink.moc"
