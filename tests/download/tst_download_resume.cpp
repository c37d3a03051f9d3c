// Picking a download up again in the real window against the stand-in instrument: the rest
// after a lost link or a stall, "Stop now" during a large file, and a request too long for
// one line.
#include "common/noticedialog.h"
#include "downloade2e.h"
#include "download/downloadcontroller.h"
#include "transfer/clientsession.h"
#include "transfer/downloadrequest.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>

using namespace DownloadE2E;

class TestDownloadResume : public QObject
{
    Q_OBJECT
private slots:
    void reconnectGetsTheRest_data();
    void reconnectGetsTheRest();
    void stopNow_data();
    void stopNow();
    void longRequestGoesInParts();
    void linkLostAmongParts();
};

namespace {
const QString kAccount = QStringLiteral("lab");
const QString kPassword = QStringLiteral("s3cret");

QList<QByteArray> *recordLines(Session &s)
{
    auto *lines = new QList<QByteArray>;
    QObject::connect(s.server.get(), &InstrumentServer::lineReceived, s.window.get(),
                     [lines](int session, const QByteArray &l) {
                         lines->append(QByteArray::number(session) + ' ' + l);
                     });
    QObject::connect(s.window.get(), &QObject::destroyed, [lines] { delete lines; });
    return lines;
}

QList<QByteArray> requestLines(const QList<QByteArray> &lines, const QByteArray &session = "")
{
    QList<QByteArray> out;
    for (const QByteArray &l : lines) {
        const QByteArray line = l.mid(l.indexOf(' ') + 1);
        if (line.startsWith("$DOWNLOAD REQUEST <") && (session.isEmpty() || l.startsWith(session + ' ')))
            out.append(line);
    }
    return out;
}

// Shows the folder as a click in the tree would, one level at a time from the top.
bool showFolder(Session &s, const QString &remote)
{
    QString path = QStringLiteral("/TARVELO");
    for (const QString &name : remote.mid(9).split('/')) {
        path += '/' + name;
        s.window->browser()->changeRemoteFolder(path);
        if (!QTest::qWaitFor([&] { return s.window->currentRemotePath() == path && s.list()->count() > 0; }, 5000))
            return false;
    }
    return true;
}

QPushButton *noticeButton(const QString &text)
{
    auto *notice = topLevel<NoticeDialog>();
    for (int i = 0; notice && notice->actionButton(i); ++i)
        if (notice->actionButton(i)->isVisible() && notice->actionButton(i)->text() == text)
            return notice->actionButton(i);
    return nullptr;
}

QList<QJsonObject> record(const Session &s, const QString &event)
{
    QList<QJsonObject> lines;
    QFile f(s.download + "/.tarvelo/transfers.jsonl");
    if (f.open(QIODevice::ReadOnly))
        for (const QByteArray &line : f.readAll().split('\n')) {
            const QJsonObject o = QJsonDocument::fromJson(line).object();
            if (o.value("event").toString() == event)
                lines << o;
        }
    return lines;
}

bool connected(const Session &s)
{
    return s.window->socket() && s.window->socket()->state() == QAbstractSocket::ConnectedState;
}
} // namespace

void TestDownloadResume::reconnectGetsTheRest_data()
{
    QTest::addColumn<QString>("fault");
    QTest::addColumn<bool>("withAccount");
    QTest::newRow("link lost, anonymous") << "close" << false;
    QTest::newRow("link lost, with an account") << "close" << true;
    QTest::newRow("stalled") << "stall" << false;
}

void TestDownloadResume::reconnectGetsTheRest()
{
    QFETCH(QString, fault);
    QFETCH(bool, withAccount);
    Session s;
    const QStringList files{"Run/a.bin", "Run/b.bin", "Run/sub/c.bin", "Run/sub/d.bin"};
    QMap<QString, QByteArray> bytes;
    for (int i = 0; i < files.size(); ++i) {
        bytes[files[i]] = randomBytes(3000, quint32(80 + i));
        QVERIFY(writeFile(s.root + '/' + files[i], bytes[files[i]]));
    }
    QVERIFY(writeFile(s.download + "/Run/b.bin", "old copy of b"));
    InstrumentOptions options;
    (fault == "close" ? options.closeAfterFileBytes : options.stallAfterFileBytes) = 4500; // in b.bin
    options.faultyConnections = 1;
    if (withAccount) {
        options.anonymous = false;
        options.accounts.insert(kAccount, kPassword);
    }
    QVERIFY(s.start(options));
    QVERIFY(s.openWindow(withAccount ? kAccount : QString(), kPassword));
    s.receiver()->setStallLimit(300);
    QList<QByteArray> *lines = recordLines(s);
    QVERIFY(showFolder(s, "/TARVELO/Run"));

    s.select({"a.bin", "b.bin", "sub"});
    s.window->DownloadStart(); // "Yes" to the replace question
    QTRY_VERIFY_WITH_TIMEOUT(noticeButton("Reconnect and get the rest"), 10000);
    QVERIFY(s.unlocked());
    QVERIFY(!connected(s));
    QCOMPARE(fileSha(s.download + "/Run/b.bin"), sha("old copy of b"));

    if (withAccount)
        E2E::answerLoginDialog(s.address, kAccount, kPassword);
    QTest::mouseClick(noticeButton("Reconnect and get the rest"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(connected(s) && s.ended() && !requestLines(*lines, "2").isEmpty(), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(s.ended() && s.window->currentRemotePath() == "/TARVELO/Run", 10000);

    // Exactly what did not arrive: the file cut off and the two never sent.
    QCOMPARE(requestLines(*lines, "2"),
             QList<QByteArray>{"$DOWNLOAD REQUEST </TARVELO/Run/b.bin>,</TARVELO/Run/sub/c.bin>,"
                               "</TARVELO/Run/sub/d.bin>"});
    QCOMPARE(s.downloadedFiles(), files);
    for (const QString &f : files)
        QCOMPARE(fileSha(s.download + '/' + f), sha(bytes[f]));
    QVERIFY(s.listShows("sub"));
    QVERIFY(s.window->browser()->findTreeItem("/TARVELO/Run/sub"));
}

void TestDownloadResume::stopNow_data()
{
    QTest::addColumn<bool>("withAccount");
    QTest::newRow("anonymous") << false;
    QTest::newRow("with an account") << true;
}

void TestDownloadResume::stopNow()
{
    QFETCH(bool, withAccount);
    Session s;
    const QByteArray small = randomBytes(2000, 90);
    QVERIFY(writeFile(s.root + "/Run/sub/small.bin", small));
    QVERIFY(writeFile(s.download + "/Run/sub/big.bin", "old copy of big"));
    InstrumentOptions options;
    options.generated.insert("/TARVELO/Run/sub/big.bin", qint64(1) << 30); // made as it is sent
    if (withAccount) {
        options.anonymous = false;
        options.accounts.insert(kAccount, kPassword);
    }
    QVERIFY(s.start(options));
    QVERIFY(s.openWindow(withAccount ? kAccount : QString(), kPassword));
    QVERIFY(showFolder(s, "/TARVELO/Run/sub"));
    QVERIFY(s.listShows("big.bin"));

    qint64 received = 0;
    connect(s.receiver(), &DownloadReceiver::bytesReceived, this, [&](qint64 b) { received = b; });
    QElapsedTimer clock;
    qint64 endedAfter = -1;
    connect(s.window->session(), &ClientSession::downloadEnded, this, [&] { endedAfter = clock.elapsed(); });
    s.select({"big.bin"});
    s.window->DownloadStart();
    QTRY_VERIFY_WITH_TIMEOUT(received > 4 * 1024 * 1024, 20000);

    if (withAccount)
        E2E::answerLoginDialog(s.address, kAccount, kPassword);
    clock.start();
    QTest::mouseClick(s.progress()->form()->BUTTON_STOP_NOW, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(endedAfter >= 0, 5000);
    QVERIFY2(endedAfter < 1000, qPrintable(QString::number(endedAfter)));
    qInfo("ended %lld ms after \"Stop now\", %lld bytes of the file had arrived", endedAfter, received);
    QVERIFY(received < (qint64(1) << 30));

    // Logged in again at once, back in the folder shown, the old copy kept, nothing partial.
    QTRY_VERIFY_WITH_TIMEOUT(connected(s) && s.window->currentRemotePath() == "/TARVELO/Run/sub"
                                 && s.listShows("small.bin") && s.unlocked(),
                             10000);
    QVERIFY(s.window->browser()->findTreeItem("/TARVELO/Run/sub"));
    QCOMPARE(fileSha(s.download + "/Run/sub/big.bin"), sha("old copy of big"));
    QCOMPARE(s.downloadedFiles(), QStringList{"Run/sub/big.bin"});
    auto *notice = topLevel<NoticeDialog>();
    QVERIFY(notice->isVisible());
    QVERIFY2(notice->text().contains("stopped at once") && notice->text().contains("No file arrived")
                 && notice->text().contains("Cut off and discarded"),
             qPrintable(notice->text()));

    // The record says the file was stopped and the download too, not that the link was lost.
    QTRY_COMPARE(record(s, "download-end").size(), 1);
    const QJsonObject end = record(s, "download-end").last();
    QCOMPARE(end.value("stopped").toBool(), true);
    QCOMPARE(end.value("link-lost").toBool(), false);
    const QJsonObject file = record(s, "file").last();
    QCOMPARE(file.value("remote").toString(), QStringLiteral("/TARVELO/Run/sub/big.bin"));
    QCOMPARE(file.value("outcome").toString(), QStringLiteral("failed"));
    QVERIFY(file.value("reason").toString().contains("stopped"));

    // And the next download goes as any other.
    notice->reject();
    s.select({"small.bin"});
    QTest::mouseClick(s.window->form()->BUTTON_DOWNLOAD, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(s.ended() && QFile::exists(s.download + "/Run/sub/small.bin"), 10000);
    QCOMPARE(fileSha(s.download + "/Run/sub/small.bin"), sha(small));
    QCOMPARE(fileSha(s.download + "/Run/sub/big.bin"), sha("old copy of big"));
}

void TestDownloadResume::longRequestGoesInParts()
{
    Session s;
    QStringList names;
    QStringList paths;
    for (int i = 0; i < 600; ++i) {
        names.append(QStringLiteral("file_%1_of_a_long_run.bin").arg(i, 4, 10, QLatin1Char('0')));
        paths.append("/TARVELO/many/" + names.last());
        QVERIFY(writeFile(s.root + "/many/" + names.last(), randomBytes(100 + i, quint32(i))));
    }
    QVERIFY(s.start(InstrumentOptions()));
    QVERIFY(s.openWindow());
    QList<QByteArray> *lines = recordLines(s);
    QVERIFY(showFolder(s, "/TARVELO/many"));
    s.list()->selectAll();
    QTest::mouseClick(s.window->form()->BUTTON_DOWNLOAD, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(s.ended(), 60000);

    const QList<QByteArray> requests = requestLines(*lines);
    QVERIFY2(requests.size() >= 3, qPrintable(QString::number(requests.size())));
    QStringList sent;
    for (const QByteArray &r : requests) {
        QVERIFY(r.size() + 1 <= DownloadRequest::kMaxRequestLineBytes);
        const QString body = QString::fromUtf8(r.mid(qstrlen("$DOWNLOAD REQUEST <"), r.size() - qstrlen("$DOWNLOAD REQUEST <") - 1));
        sent += body.split(">,<");
    }
    QCOMPARE(sent, paths);
    // Each request went out once the one before had ended: every file of it acknowledged.
    int acknowledged = 0;
    int asked = 0;
    for (const QByteArray &l : *lines) {
        const QByteArray line = l.mid(l.indexOf(' ') + 1);
        if (line.startsWith("$DOWNLOAD COMPLETED "))
            ++acknowledged;
        if (line.startsWith("$DOWNLOAD REQUEST <")) {
            QCOMPARE(acknowledged, asked);
            asked += int(line.count(">,<")) + 1;
        }
    }
    QCOMPARE(acknowledged, paths.size());
    QCOMPARE(s.downloadedFiles().size(), paths.size());
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(fileSha(s.download + "/many/" + names[i]), sha(randomBytes(100 + i, quint32(i))));
    QVERIFY(!topLevel<NoticeDialog>() || !topLevel<NoticeDialog>()->isVisible());
}

// The link drops inside the first of several request lines: the rest is what the first left
// and every later line, and all of it arrives after logging in again.
void TestDownloadResume::linkLostAmongParts()
{
    Session s;
    QStringList paths;
    qint64 bytes = 0;
    for (int i = 0; i < 600; ++i) {
        paths.append(QStringLiteral("/TARVELO/many/file_%1_of_a_long_run.bin").arg(i, 4, 10, QLatin1Char('0')));
        QVERIFY(writeFile(s.root + paths.last().mid(8), randomBytes(100 + i, quint32(i))));
        if (i < 40)
            bytes += 100 + i;
    }
    InstrumentOptions options;
    options.closeAfterFileBytes = bytes + 50; // inside the 41st file
    options.faultyConnections = 1;
    QVERIFY(s.start(options));
    QVERIFY(s.openWindow());
    QList<QByteArray> *lines = recordLines(s);
    QVERIFY(showFolder(s, "/TARVELO/many"));
    s.list()->selectAll();
    QTest::mouseClick(s.window->form()->BUTTON_DOWNLOAD, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(noticeButton("Reconnect and get the rest"), 20000);
    QCOMPARE(requestLines(*lines, "1").size(), 1); // the later lines never went out
    QVERIFY2(topLevel<NoticeDialog>()->text().contains("and 551 more"), qPrintable(topLevel<NoticeDialog>()->text()));
    QCOMPARE(s.downloadedFiles().size(), 40);

    QTest::mouseClick(noticeButton("Reconnect and get the rest"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(connected(s) && s.ended() && s.downloadedFiles().size() == paths.size(), 60000);
    QStringList again;
    for (const QByteArray &r : requestLines(*lines, "2"))
        again += QString::fromUtf8(r.mid(19, r.size() - 20)).split(">,<");
    QCOMPARE(again, paths.mid(40));
    for (int i = 0; i < paths.size(); ++i)
        QCOMPARE(fileSha(s.download + paths[i].mid(8)), sha(randomBytes(100 + i, quint32(i))));
}

QTEST_MAIN(TestDownloadResume)
#include "tst_download_resume.moc"
