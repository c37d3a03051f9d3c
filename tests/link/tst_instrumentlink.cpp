// A program without widgets logs in, browses and downloads through the link and the
// receiver alone, against the stand-in instrument.
#include "download/downloadreceiver.h"
#include "download/downloadrequest.h"
#include "download/streamfeeder.h"
#include "link/instrumentlink.h"
#include "link/loginexchange.h"
#include "tools/instrument/instrumentserver.h"

#include <QSignalSpy>
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
} // namespace

class tst_InstrumentLink : public QObject
{
    Q_OBJECT
private slots:
    void browseAndDownload_data();
    void browseAndDownload();
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

    InstrumentOptions options;
    options.root = served.path();
    options.quiet = true;
    options.chunk = chunk;
    auto server = std::make_unique<InstrumentServer>(options);
    QVERIFY2(server->listen(QHostAddress(kAddress), 0), qPrintable(server->errorString()));

    InstrumentLink link;
    LoginExchange login;
    login.setSocket(link.newSocket());
    QSignalSpy accepted(&login, &LoginExchange::accepted);
    login.start(kAddress, server->serverPort(), true, QString(), QString());
    QVERIFY(accepted.wait(kWaitMs));
    link.attach(link.socket());

    DownloadReceiver receiver;
    link.reader().setDownloadStream(&receiver);
    connect(&receiver, &DownloadReceiver::sendLine, &link, &InstrumentLink::sendLine);
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

QTEST_GUILESS_MAIN(tst_InstrumentLink)
#include "tst_instrumentlink.moc"
