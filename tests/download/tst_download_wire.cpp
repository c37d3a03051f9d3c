// The real main window against an instrument that frames its stream badly: wrong or missing
// sizes, files nobody asked for, files left out, lines without end, names the link cannot
// carry. Every download ends at once with the window usable, old copies intact where a file
// is not stored whole, and a notice that names each file.
#include "downloade2e.h"

using namespace DownloadE2E;

class TestDownloadWire : public QObject
{
    Q_OBJECT
private slots:
    void sizeFraming_data();
    void sizeFraming();
    void unaskedAndMissing_data();
    void unaskedAndMissing();
    void endlessLine_data();
    void endlessLine();
    void slowHeaderIsActivity();
    void unframeableNames();
};

namespace {
// An instrument log that holds its own end line (and the other framing texts), as logs do.
QByteArray logWithOwnEndLine()
{
    return "09:00 start\n$DOWNLOAD:</TARVELO/log.txt><END>\n" + markerBytes("/TARVELO/log.txt", 90)
        + "\n09:01 $DOWNLOAD: COMPLETED seen\n" + QByteArray(5000, 'L') + "\n09:02 end\n";
}

QString noticeText()
{
    auto *notice = topLevel<NoticeDialog>();
    return notice && notice->isVisible() ? notice->text() : QString();
}
} // namespace

void TestDownloadWire::sizeFraming_data()
{
    QTest::addColumn<int>("sizeField"); // 1: right, 0: absent, else added to the size
    QTest::addColumn<bool>("stored");   // both files stored whole
    QTest::addColumn<QString>("told");
    QTest::newRow("size right") << 1 << true << QString();
    QTest::newRow("size absent") << 0 << true << QStringLiteral("cut short");
    QTest::newRow("size too small") << -40 << false << QStringLiteral("where the instrument announced");
    QTest::newRow("size too large") << 70 << false << QStringLiteral("where the instrument announced");
}

void TestDownloadWire::sizeFraming()
{
    QFETCH(int, sizeField);
    QFETCH(bool, stored);
    QFETCH(QString, told);
    Session s;
    const QByteArray log = logWithOwnEndLine();
    const QByteArray other = randomBytes(3000, 91);
    QVERIFY(writeFile(s.root + "/log.txt", log));
    QVERIFY(writeFile(s.root + "/z.bin", other));
    QVERIFY(writeFile(s.download + "/log.txt", "old log"));
    QVERIFY(writeFile(s.download + "/z.bin", "old z"));
    InstrumentOptions options;
    options.noSize = sizeField == 0;
    options.sizeError = sizeField == 1 ? 0 : sizeField;
    QVERIFY(s.start(options));
    QVERIFY(s.openWindow());
    s.receiver()->setSizeQuietLimit(200);
    QTRY_VERIFY(s.listShows("z.bin"));

    s.select({"log.txt", "z.bin"});
    s.window->DownloadStart(); // as "Yes" to the replace question
    QTRY_VERIFY_WITH_TIMEOUT(s.ended(), 10000);
    QVERIFY(s.window->socket() && s.window->socket()->state() == QAbstractSocket::ConnectedState);
    const QString text = noticeText();
    if (told.isEmpty()) {
        QVERIFY2(text.isEmpty(), qPrintable(text));
    } else {
        QVERIFY2(text.contains(told) && text.contains(QLatin1String("log.txt")), qPrintable(text));
    }
    if (sizeField == 1)
        QCOMPARE(fileSha(s.download + "/log.txt"), sha(log));
    else if (sizeField == 0) // cut where its own end line stood: nothing to know better without a size
        QCOMPARE(fileSha(s.download + "/log.txt"), sha(log.left(log.indexOf("$DOWNLOAD:</TARVELO/log.txt><END>"))));
    else
        QCOMPARE(fileSha(s.download + "/log.txt"), sha("old log"));
    // Without a size the marker texts inside the log (an end notice among them) cannot be told
    // from the instrument's own: the next file may arrive, or be thrown away and named.
    if (sizeField == 0 && fileSha(s.download + "/z.bin") != sha(other))
        QVERIFY2(fileSha(s.download + "/z.bin") == sha("old z") && text.contains(QLatin1String("z.bin")), qPrintable(text));
    else
        QCOMPARE(fileSha(s.download + "/z.bin"), sha(stored ? other : QByteArray("old z")));
    QCOMPARE(s.downloadedFiles(), (QStringList{"log.txt", "z.bin"}));
}

void TestDownloadWire::unaskedAndMissing_data()
{
    QTest::addColumn<int>("fault");
    QTest::addColumn<QString>("told");
    QTest::newRow("unannounced extra file") << 0 << QStringLiteral("without being asked for, and thrown away: secret.txt");
    QTest::newRow("extra file after the end notice") << 1 << QStringLiteral("without being asked for, and thrown away: secret.txt");
    QTest::newRow("announced file left out") << 2 << QStringLiteral("never sent: b.bin");
}

void TestDownloadWire::unaskedAndMissing()
{
    QFETCH(int, fault);
    QFETCH(QString, told);
    Session s;
    const QByteArray a = randomBytes(2000, 92);
    QVERIFY(writeFile(s.root + "/a.bin", a));
    QVERIFY(writeFile(s.root + "/b.bin", randomBytes(2000, 93)));
    QVERIFY(writeFile(s.root + "/secret.txt", "the instrument's own file"));
    QVERIFY(writeFile(s.download + "/secret.txt", "the user's own file"));
    InstrumentOptions options;
    if (fault == 2)
        options.leaveOut = QStringList{"/TARVELO/b.bin"};
    else
        options.extraFile = QStringLiteral("/TARVELO/secret.txt");
    options.extraAfterCompleted = fault == 1;
    QVERIFY(s.start(options));
    QVERIFY(s.openWindow());
    QTRY_VERIFY(s.listShows("b.bin"));

    s.select({"a.bin", "b.bin"});
    QTest::mouseClick(s.window->form()->BUTTON_DOWNLOAD, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(s.ended(), 10000);
    QTRY_VERIFY2(noticeText().contains(told), qPrintable(noticeText()));
    QCOMPARE(fileSha(s.download + "/a.bin"), sha(a));
    QCOMPARE(fileSha(s.download + "/secret.txt"), sha("the user's own file"));
    QCOMPARE(QFileInfo::exists(s.download + "/b.bin"), fault != 2);
    // The instrument was answered and is ready for more.
    QVERIFY2(s.window->socket() && s.window->socket()->state() == QAbstractSocket::ConnectedState,
             qPrintable(noticeText()));
}

void TestDownloadWire::endlessLine_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<QString>("told");
    QTest::newRow("listing") << QByteArray("$LIST: ") << QStringLiteral("folder listing longer than 16 MiB");
    QTest::newRow("file header") << QByteArray("$DOWNLOAD:<") << QStringLiteral("file header longer than 8 KiB");
    QTest::newRow("announcement") << QByteArray("$DOWNLOAD REQUEST: LIST<START><")
                                  << QStringLiteral("list of files to send went on past 32 MiB");
}

void TestDownloadWire::endlessLine()
{
    QFETCH(QByteArray, line);
    QFETCH(QString, told);
    Session s;
    QVERIFY(writeFile(s.root + "/a.bin", "a"));
    QVERIFY(writeFile(s.download + "/a.bin", "old a"));
    InstrumentOptions options;
    options.endlessLine = line;
    QVERIFY(s.start(options));
    QVERIFY(s.openWindow());
    if (line.startsWith("$DOWNLOAD")) {
        QTRY_VERIFY(s.listShows("a.bin"));
        s.select({"a.bin"});
        s.window->DownloadStart();
    }
    QTRY_VERIFY_WITH_TIMEOUT(!noticeText().isEmpty(), 20000);
    const QString text = noticeText();
    QVERIFY2(text.contains(told) && text.contains(QLatin1String("connection was closed")), qPrintable(text));
    QTRY_VERIFY(!s.window->socket() || s.window->socket()->state() != QAbstractSocket::ConnectedState);
    QTRY_VERIFY(s.unlocked());
    QVERIFY(!s.progress()->isVisible());
    QCOMPARE(fileSha(s.download + "/a.bin"), sha("old a"));
}

void TestDownloadWire::slowHeaderIsActivity()
{
    // Three bytes every 40 ms: the header alone takes longer than the stall limit, but bytes
    // keep coming, so nothing stalls.
    Session s;
    const QString name = QStringLiteral("a rather long file name for a slow link.bin");
    QVERIFY(writeFile(s.root + "/" + name, "slow"));
    InstrumentOptions options;
    options.chunk = 3;
    options.chunkDelayMs = 40;
    QVERIFY(s.start(options));
    QVERIFY(s.openWindow());
    s.receiver()->setStallLimit(400);
    QTRY_VERIFY_WITH_TIMEOUT(s.listShows(name), 10000);
    s.select({name});
    QTest::mouseClick(s.window->form()->BUTTON_DOWNLOAD, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(s.ended(), 20000);
    QVERIFY2(noticeText().isEmpty(), qPrintable(noticeText()));
    QCOMPARE(fileSha(s.download + "/" + name), sha("slow"));
}

void TestDownloadWire::unframeableNames()
{
    // The stand-in serves no names with ">" or a line break from its tree; the receiver's
    // test feeds those.
    Session s;
    const QStringList odd{"a<b.txt", "<lead.txt"};
    for (const QString &name : odd)
        QVERIFY(writeFile(s.root + "/run/" + name, "odd"));
    QVERIFY(writeFile(s.root + "/run/ok.bin", "fine"));
    QVERIFY(s.start(InstrumentOptions()));
    QVERIFY(s.openWindow());
    s.receiver()->setStallLimit(60000); // a hang would show as the time-out below
    QTRY_VERIFY(s.selectTreeFolder("run"));

    s.window->TreeDownload();
    QTRY_VERIFY_WITH_TIMEOUT(s.ended(), 5000);
    const QString text = noticeText();
    for (const QString &name : odd)
        QVERIFY2(text.contains("run/" + name), qPrintable(text));
    QCOMPARE(s.downloadedFiles(), QStringList{"run/ok.bin"});
    QVERIFY(s.window->socket() && s.window->socket()->state() == QAbstractSocket::ConnectedState);
}

QTEST_MAIN(TestDownloadWire)
#include "tst_download_wire.moc"
