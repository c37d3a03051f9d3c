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
    void longRequestGoesInParts_data();
    void longRequestGoesInParts();
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

// The program's own words, in whatever language it speaks.
QString said(const char *context, const char *text)
{
    return QCoreApplication::translate(context, text);
}

QPushButton *reconnectButton()
{
    const QString text = said("DownloadController", "Reconnect and get the rest");
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

// Answers the login dialog of a login again by typing the password alone, and notes what it
// showed: the address and the account (a "!" after any that could be changed).
void typePasswordWhenAsked(QString *shown, int tries = 500)
{
    QTimer::singleShot(10, [=] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog || !dialog->findChild<QPushButton *>("BUTTON_CONNECT")) {
            if (tries > 0)
                typePasswordWhenAsked(shown, tries - 1);
            return;
        }
        QStringList parts;
        for (int i = 1; i <= 4; ++i) {
            auto *edit = dialog->findChild<QLineEdit *>(QStringLiteral("EDIT_ADDRESS_%1").arg(i));
            parts << edit->text() + (edit->isReadOnly() ? "" : "!");
        }
        auto *account = dialog->findChild<QLineEdit *>("EDIT_ACCOUNT");
        auto *anonymous = dialog->findChild<QCheckBox *>("CHECKBOX_ANONYMOUS");
        *shown = parts.join('.') + ' ' + account->text() + (account->isReadOnly() ? "" : "!")
            + (anonymous->isChecked() || anonymous->isEnabled() ? " anonymous?" : "");
        dialog->findChild<QLineEdit *>("EDIT_PASSWORD")->setText(kPassword);
        dialog->findChild<QPushButton *>("BUTTON_CONNECT")->click();
    });
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
    QTRY_VERIFY_WITH_TIMEOUT(reconnectButton(), 10000);
    QVERIFY(s.unlocked());
    QVERIFY(!connected(s));
    QCOMPARE(fileSha(s.download + "/Run/b.bin"), sha("old copy of b"));

    QString asked;
    if (withAccount)
        typePasswordWhenAsked(&asked);
    QTest::mouseClick(reconnectButton(), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(connected(s) && s.ended() && !requestLines(*lines, "2").isEmpty(), 10000);
    QTRY_VERIFY_WITH_TIMEOUT(s.ended() && s.window->currentRemotePath() == "/TARVELO/Run", 10000);
    QCOMPARE(asked, withAccount ? s.address + ' ' + kAccount : QString()); // same instrument and account

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

    QString asked;
    if (withAccount)
        typePasswordWhenAsked(&asked);
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
    QCOMPARE(asked, withAccount ? s.address + ' ' + kAccount : QString());
    QCOMPARE(fileSha(s.download + "/Run/sub/big.bin"), sha("old copy of big"));
    QCOMPARE(s.downloadedFiles(), QStringList{"Run/sub/big.bin"});
    auto *notice = topLevel<NoticeDialog>();
    QVERIFY(notice->isVisible());
    QVERIFY2(notice->text().contains(said("ClientSession", "The download was stopped at once."))
                 && notice->text().contains(said("DownloadNotice", "No file arrived."))
                 && notice->text().contains(said("DownloadNotice", "Cut off and discarded (a local copy from "
                                                                   "before is unchanged): %1.").arg("Run/sub/big.bin")),
             qPrintable(notice->text()));

    // The record says the file was stopped and the download too, not that the link was lost.
    QTRY_COMPARE(record(s, "download-end").size(), 1);
    const QJsonObject end = record(s, "download-end").last();
    QCOMPARE(end.value("stopped").toBool(), true);
    QCOMPARE(end.value("link-lost").toBool(), false);
    const QJsonObject file = record(s, "file").last();
    QCOMPARE(file.value("remote").toString(), QStringLiteral("/TARVELO/Run/sub/big.bin"));
    QCOMPARE(file.value("outcome").toString(), QStringLiteral("failed"));
    QCOMPARE(file.value("reason").toString(), said("ClientSession", "stopped while it arrived"));

    // And the next download goes as any other.
    notice->reject();
    s.select({"small.bin"});
    QTest::mouseClick(s.window->form()->BUTTON_DOWNLOAD, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(s.ended() && QFile::exists(s.download + "/Run/sub/small.bin"), 10000);
    QCOMPARE(fileSha(s.download + "/Run/sub/small.bin"), sha(small));
    QCOMPARE(fileSha(s.download + "/Run/sub/big.bin"), sha("old copy of big"));
}

void TestDownloadResume::longRequestGoesInParts_data()
{
    QTest::addColumn<bool>("linkLost");
    QTest::newRow("every file arrives") << false;
    // The link drops inside the first line's 41st file: the rest is that file, what the first
    // line left and every later line, and all of it arrives after logging in again.
    QTest::newRow("link lost in the first line") << true;
}

void TestDownloadResume::longRequestGoesInParts()
{
    QFETCH(bool, linkLost);
    Session s;
    QStringList paths;
    qint64 first40 = 0;
    for (int i = 0; i < 600; ++i) {
        paths.append(QStringLiteral("/TARVELO/many/file_%1_of_a_long_run.bin").arg(i, 4, 10, QLatin1Char('0')));
        QVERIFY(writeFile(s.root + paths.last().mid(8), randomBytes(100 + i, quint32(i))));
        first40 += i < 40 ? 100 + i : 0;
    }
    InstrumentOptions options;
    options.closeAfterFileBytes = linkLost ? first40 + 50 : -1;
    options.faultyConnections = 1;
    QVERIFY(s.start(options));
    QVERIFY(s.openWindow());
    QList<QByteArray> *lines = recordLines(s);
    QVERIFY(showFolder(s, "/TARVELO/many"));
    QTRY_COMPARE(s.list()->count(), 1 + paths.size()); // a long listing may come in pieces
    QTest::keyClick(s.list(), Qt::Key_A, Qt::ControlModifier); // every entry but ".."
    QTest::mouseClick(s.window->form()->BUTTON_DOWNLOAD, Qt::LeftButton);
    if (linkLost) {
        QTRY_VERIFY_WITH_TIMEOUT(reconnectButton(), 20000);
        QCOMPARE(requestLines(*lines, "1").size(), 1); // the later lines never went out
        const QString told = topLevel<NoticeDialog>()->text();
        QVERIFY2(told.contains(said("DownloadNotice", " and %1 more").arg(600 - 40 - 1 - 8)), qPrintable(told));
        QCOMPARE(s.downloadedFiles().size(), 40);
        QTest::mouseClick(reconnectButton(), Qt::LeftButton);
    }
    QTRY_VERIFY_WITH_TIMEOUT(connected(s) && s.ended() && s.downloadedFiles().size() == paths.size(), 60000);

    const QList<QByteArray> requests = requestLines(*lines, linkLost ? "2" : "1");
    QVERIFY2(requests.size() >= 3, qPrintable(QString::number(requests.size())));
    QStringList sent;
    for (const QByteArray &r : requests) {
        QVERIFY(r.size() + 1 <= DownloadRequest::kMaxRequestLineBytes);
        sent += QString::fromUtf8(r.mid(19, r.size() - 20)).split(">,<");
    }
    QCOMPARE(sent, paths.mid(linkLost ? 40 : 0));
    // Each request went out once the one before had ended: every file of it acknowledged.
    int acknowledged = 0;
    int asked = 0;
    for (const QByteArray &l : *lines) {
        if (!l.startsWith(linkLost ? "2 " : "1 "))
            continue;
        const QByteArray line = l.mid(2);
        acknowledged += line.startsWith("$DOWNLOAD COMPLETED ") ? 1 : 0;
        if (line.startsWith("$DOWNLOAD REQUEST <")) {
            QCOMPARE(acknowledged, asked);
            asked += int(line.count(">,<")) + 1;
        }
    }
    QCOMPARE(acknowledged, int(sent.size()));
    for (int i = 0; i < paths.size(); ++i)
        QCOMPARE(fileSha(s.download + paths[i].mid(8)), sha(randomBytes(100 + i, quint32(i))));
}

QTEST_MAIN(TestDownloadResume)
#include "tst_download_resume.moc"
