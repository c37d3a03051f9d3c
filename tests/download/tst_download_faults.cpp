// The real main window against a misbehaving link or instrument: every download ends with
// the window usable, a message to the user, no partial file, and old local copies intact.
#include "downloade2e.h"
#include "transfer/clientsession.h"
#include "transfer/downloadreceiver.h"

#include <algorithm>

using namespace DownloadE2E;

class TestDownloadFaults : public QObject
{
    Q_OBJECT
private slots:
    void linkLost_data();
    void linkLost();
    void stall();
    void pathsOutsideTheRoot();
    void unwritableDownloadFolder();
};

namespace {
const QStringList kNames{"a.bin", "b.bin", "c"};

// Three files of one size on the instrument, an old local copy of each.
QList<QByteArray> prepare(Session &s)
{
    QList<QByteArray> bytes;
    for (int i = 0; i < kNames.size(); ++i) {
        bytes.append(i == 1 ? markerBytes("/TARVELO/b.bin", 60).leftJustified(3000, '$') : randomBytes(3000, quint32(61 + i)));
        writeFile(s.root + "/" + kNames.at(i), bytes.last());
        writeFile(s.download + "/" + kNames.at(i), "old copy of " + kNames.at(i).toUtf8());
    }
    return bytes;
}

// Each file holds either the whole new content or its old copy; no other file is there.
void checkFiles(const Session &s, const QList<QByteArray> &bytes, int arrived)
{
    QCOMPARE(s.downloadedFiles(), (QStringList{"a.bin", "b.bin", "c"}));
    int fresh = 0;
    for (int i = 0; i < kNames.size(); ++i) {
        const QByteArray got = fileSha(s.download + "/" + kNames.at(i));
        if (got == sha(bytes.at(i)))
            ++fresh;
        else
            QCOMPARE(got, sha("old copy of " + kNames.at(i).toUtf8()));
    }
    QCOMPARE(fresh, arrived);
}
} // namespace

void TestDownloadFaults::linkLost_data()
{
    QTest::addColumn<QByteArray>("marker");  // empty: the instrument closes after fileBytes
    QTest::addColumn<int>("offset");
    QTest::addColumn<int>("fileBytes");
    QTest::addColumn<int>("arrived");
    QTest::addColumn<QString>("told");
    QTest::newRow("during the announcement") << QByteArray(Protocol::kListStart) << 40 << -1 << 0 << "No file arrived";
    QTest::newRow("in the middle of a file") << QByteArray() << 0 << 4500 << 1 << "Cut off and discarded";
    // The framing texts also stand inside b.bin and in the announcement: the cuts are placed
    // by the end lines of the first and the last file, which are unique.
    const QByteArray firstEnd = "$DOWNLOAD:</TARVELO/a.bin><END>\n";
    const QByteArray lastEnd = "$DOWNLOAD:</TARVELO/c><END>\n";
    QTest::newRow("between files") << firstEnd << int(firstEnd.size()) << -1 << 1 << "Not received";
    QTest::newRow("before the end notice") << lastEnd << int(lastEnd.size()) << -1 << 3 << "Arrived";
}

void TestDownloadFaults::linkLost()
{
    QFETCH(QByteArray, marker);
    QFETCH(int, offset);
    QFETCH(int, fileBytes);
    QFETCH(int, arrived);
    QFETCH(QString, told);
    Session s;
    const QList<QByteArray> bytes = prepare(s);
    InstrumentOptions options;
    options.closeAfterFileBytes = fileBytes;
    QVERIFY(s.start(options, !marker.isEmpty()));
    if (s.proxy)
        s.proxy->cutAt(marker, 1, offset);
    QVERIFY(s.openWindow());
    QTRY_VERIFY(s.listShows("c"));

    s.select(kNames);
    s.window->DownloadStart(); // as "Yes" to the replace question
    QTRY_VERIFY_WITH_TIMEOUT(s.unlocked(), 10000);
    QVERIFY(!s.progress()->isVisible());
    auto *notice = topLevel<NoticeDialog>();
    QVERIFY(notice->isVisible());
    QVERIFY2(!ClientLines::english() || notice->text().contains(QLatin1String("lost")), qPrintable(notice->text()));
    QVERIFY2(!ClientLines::english() || notice->text().contains(told), qPrintable(notice->text()));
    QCOMPARE(s.window->readerMode(), Browsing);
    QVERIFY(!s.receiver()->isActive());
    checkFiles(s, bytes, arrived);
}

void TestDownloadFaults::stall()
{
    Session s;
    const QList<QByteArray> bytes = prepare(s);
    InstrumentOptions options;
    options.stallAfterFileBytes = 4500; // halfway through the second file
    QVERIFY(s.start(options));
    QVERIFY(s.openWindow());
    s.receiver()->setStallLimit(300);
    QTRY_VERIFY(s.listShows("c"));

    s.select(kNames);
    s.window->DownloadStart();
    QTRY_VERIFY_WITH_TIMEOUT(s.unlocked(), 10000);
    QVERIFY(!s.progress()->isVisible());
    auto *notice = topLevel<NoticeDialog>();
    QVERIFY(notice->isVisible());
    QVERIFY2(!ClientLines::english() || notice->text().contains(QLatin1String("sent nothing")), qPrintable(notice->text()));
    QVERIFY2(!ClientLines::english() || notice->text().contains(QLatin1String("Cut off")), qPrintable(notice->text()));
    // Cut off inside a file, the link cannot be followed any more and is closed.
    QTRY_VERIFY(!s.window->socket() || s.window->socket()->state() != QAbstractSocket::ConnectedState);
    checkFiles(s, bytes, 1);
}

void TestDownloadFaults::pathsOutsideTheRoot()
{
    Session s;
    const QByteArray bytes = randomBytes(2000, 70);
    QVERIFY(writeFile(s.root + "/a.bin", bytes));
    const QString escape = QDir::cleanPath(s.tmp.path() + "/../outside-" + QFileInfo(s.tmp.path()).fileName());
    const bool etcBefore = QFileInfo::exists("/etc/x");
    InstrumentOptions options;
    options.outsidePaths = QStringList{"/TARVELO/../../outside-" + QFileInfo(s.tmp.path()).fileName(), "/etc/x",
                                       "/TARVELO/a/../../../x", "/TARVELO/./y"};
    QVERIFY(s.start(options));
    QVERIFY(s.openWindow());
    QTRY_VERIFY(s.listShows("a.bin"));
    const QStringList before = s.allFiles();

    s.select({"a.bin"});
    QTest::mouseClick(s.window->form()->BUTTON_DOWNLOAD, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(s.ended(), 10000);

    // Nothing written outside the download folder, the rest of the download went on.
    QStringList expected = before;
    expected.append("download/a.bin");
    expected.sort();
    QStringList after = s.allFiles();
    after.erase(std::remove_if(after.begin(), after.end(),
                               [](const QString &f) { return f.startsWith("download/.tarvelo/"); }),
                after.end());
    QCOMPARE(after, expected);
    QVERIFY(!QFileInfo::exists(escape));
    QCOMPARE(QFileInfo::exists("/etc/x"), etcBefore);
    QCOMPARE(fileSha(s.download + "/a.bin"), sha(bytes));
    auto *notice = topLevel<NoticeDialog>();
    QVERIFY(notice->isVisible());
    for (const char *p : {"/etc/x", "/TARVELO/a/../../../x", "/TARVELO/./y"})
        QVERIFY2(notice->text().contains(QLatin1String(p)), qPrintable(notice->text()));
    QVERIFY(notice->text().contains(QLatin1String("outside")));
}

void TestDownloadFaults::unwritableDownloadFolder()
{
    Session s;
    QVERIFY(writeFile(s.root + "/a.bin", randomBytes(2000, 80)));
    QVERIFY(writeFile(s.root + "/sub/b.bin", randomBytes(2000, 81)));
    QVERIFY(s.start(InstrumentOptions()));
    QVERIFY(s.openWindow());
    QTRY_VERIFY(s.listShows("a.bin"));
    // Tests run as root, where permissions stop nothing: the download folder turns into a
    // plain file, so nothing can be made below it.
    QVERIFY(QDir(s.download).removeRecursively());
    QVERIFY(writeFile(s.download, "a plain file"));

    // Refused before anything is asked of the instrument, so it sends nothing to lose.
    s.select({"a.bin", "sub"});
    QTest::mouseClick(s.window->form()->BUTTON_DOWNLOAD, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(s.ended(), 10000);
    auto *notice = topLevel<NoticeDialog>();
    QVERIFY(notice->isVisible());
    QVERIFY2(!ClientLines::english() || notice->text().contains(QLatin1String("nothing was requested")), qPrintable(notice->text()));
    QVERIFY(s.window->session()->receiver()->announced().isEmpty());
    QCOMPARE(fileSha(s.download), sha("a plain file"));
    for (const QString &f : s.allFiles())
        QVERIFY2(f.startsWith(QLatin1String("root/")) || f == QLatin1String("download"), qPrintable(f));
}

QTEST_MAIN(TestDownloadFaults)
#include "tst_download_faults.moc"
