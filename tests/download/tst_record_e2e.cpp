// The transfer record end to end: the real window downloads from the stand-in instrument,
// the record and its checksum list are checked with independent tools, and the user's
// views of it (the confirmation, "Show record", verify and the instrument check) are
// driven with the mouse.
#include "common/noticedialog.h"
#include "download/downloadcontroller.h"
#include "download/downloadtoast.h"
#include "download/folderverify.h"
#include "download/recordresultwindow.h"
#include "downloade2e.h"
#include "common/clientlines.h"
#include "record/downloadrecorder.h"

#include "download/alreadydialog.h"
#include "download/alreadydialogtreewidget.h"

#include <QAction>
#include <QClipboard>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QTableWidget>

using namespace DownloadE2E;

namespace {

QList<QJsonObject> recordLines(const QString &download, const QString &event)
{
    QList<QJsonObject> lines;
    QFile f(download + "/.tarvelo/transfers.jsonl");
    if (!f.open(QIODevice::ReadOnly))
        return lines;
    for (const QByteArray &line : f.readAll().split('\n')) {
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        if (o.value("event").toString() == event)
            lines << o;
    }
    return lines;
}

QStringList manifestLines(const QString &download)
{
    QFile f(download + "/.tarvelo/manifest-sha256.txt");
    f.open(QIODevice::ReadOnly);
    QStringList lines = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
    lines.sort();
    return lines;
}

// The File menu's entry, chosen with the mouse as a user would.
void chooseFileMenu(MainWindow &window, QAction *action)
{
    QMenuBar *bar = window.findChild<QMenuBar *>();
    QAction *fileMenu = bar->actions().first();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(fileMenu).center());
    QMenu *menu = fileMenu->menu();
    QTRY_VERIFY(menu->isVisible());
    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
}

QStringList column(QTableWidget *table, int c)
{
    QStringList values;
    for (int r = 0; r < table->rowCount(); ++r)
        values << table->item(r, c)->text();
    return values;
}

bool start(Session &s, const InstrumentOptions &options)
{
    return s.start(options); // on an address checked free
}

// With TARVELO_SHOT_DIR set (run under an X server), the screen as the user sees it.
void screenshot(const QString &name)
{
    const QString dir = qEnvironmentVariable("TARVELO_SHOT_DIR");
    if (dir.isEmpty())
        return;
    QTest::qWait(400); // let the X server draw what was just shown
    QProcess::execute("import", {"-window", "root", dir + "/" + name + ".png"});
}

} // namespace

class TestRecordE2E : public QObject
{
    Q_OBJECT
private slots:
    void nestedFolderRecordAndConfirmation();
    void failedFileKeepsOldCopy_data();
    void failedFileKeepsOldCopy();
    void unannouncedFileIsDiscarded();
    void disconnectMidFileIsStopped();
    void verifyAndInstrumentCheck();

private:
};

void TestRecordE2E::nestedFolderRecordAndConfirmation()
{
    Session s;
    const QStringList files{"run1/x.bin", "run1/sub/y", "run1/sub/deep/z z.txt"};
    for (int i = 0; i < files.size(); ++i)
        QVERIFY(writeFile(s.root + "/" + files.at(i), markerBytes("/TARVELO/" + files.at(i).toUtf8(), quint32(i))));
    QVERIFY(start(s, InstrumentOptions()));
    QVERIFY(s.openWindow());
    QTRY_VERIFY(s.selectTreeFolder("run1"));
    s.window->TreeDownload();
    QTRY_VERIFY_WITH_TIMEOUT(s.ended(), 15000);

    // A folder from the tree is confirmed too, once its record is written.
    DownloadToast *toast = s.window->downloads()->toast();
    QTRY_VERIFY(toast->isVisible());
    screenshot("download-confirmation");
    QCOMPARE(toast->text(), QStringLiteral("3 files stored in %1; record updated")
                                .arg(QDir::toNativeSeparators(s.download + "/run1")));

    // A long folder keeps its end, which tells runs apart.
    QCOMPARE(DownloadController::storedText(12, "/home/lab/Shared drive/Instrument copies/2024/Run_2024-03-11_001"),
             QString::fromUtf8("12 files stored in \u2026/2024/Run_2024-03-11_001"));
    const QList<QJsonObject> lines = recordLines(s.download, "file");
    QCOMPARE(lines.size(), 3);
    for (const QJsonObject &line : lines) {
        QCOMPARE(line.value("outcome").toString(), QStringLiteral("stored"));
        const QString local = line.value("local").toString();
        QCOMPARE(line.value("remote").toString(), "/TARVELO/" + local);
        QCOMPARE(line.value("sha256").toString().toLatin1(), fileSha(s.download + "/" + local));
    }
    if (!QStandardPaths::findExecutable("sha256sum").isEmpty()) {
        QProcess check;
        check.setWorkingDirectory(s.download);
        check.start("sha256sum", {"-c", ".tarvelo/manifest-sha256.txt"});
        QVERIFY(check.waitForFinished(10000));
        QCOMPARE(check.exitCode(), 0);
        QCOMPARE(check.readAllStandardOutput().count(": OK\n"), 3);
    }

    // "Show record" opens this download's lines.
    QTest::mouseClick(toast->recordButton(), Qt::LeftButton);
    QVERIFY(!toast->isVisible());
    RecordResultWindow *result = s.window->folderVerify()->resultWindow();
    QTRY_VERIFY(result->isVisible());
    QVERIFY2(result->answer().contains(QStringLiteral("as anonymous: 3 stored.")), qPrintable(result->answer()));
    QStringList locals = column(result->table(), 1);
    locals.sort();
    QCOMPARE(locals, (QStringList{"run1/sub/deep/z z.txt", "run1/sub/y", "run1/x.bin"}));

    // Ctrl+C copies the answer and the rows as text.
    result->table()->setFocus();
    QTest::keyClick(result->table(), Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(result->table(), Qt::Key_C, Qt::ControlModifier);
    const QStringList copied = QApplication::clipboard()->text().split('\n', Qt::SkipEmptyParts);
    QCOMPARE(copied.size(), 4);
    QCOMPARE(copied.first(), result->answer());

    // The next confirmation goes away without a click.
    result->close();
    toast->setShownMs(300);
    QTRY_VERIFY(s.selectTreeFolder("run1"));
    s.window->TreeDownload();
    QTest::mouseClick(topLevel<AlreadyDialogTreeWidget>()->findChild<QPushButton *>("pushButton"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(s.ended(), 15000);
    QTRY_VERIFY(toast->isVisible());
    QTRY_VERIFY(!toast->isVisible());
}

void TestRecordE2E::failedFileKeepsOldCopy_data()
{
    QTest::addColumn<bool>("linkLost");
    QTest::newRow("size mismatch") << false;
    QTest::newRow("link lost") << true;
}

void TestRecordE2E::failedFileKeepsOldCopy()
{
    QFETCH(bool, linkLost);
    Session s;
    const QByteArray oldBytes = randomBytes(5000, 1);
    QVERIFY(writeFile(s.root + "/a.bin", oldBytes));
    QVERIFY(start(s, InstrumentOptions()));
    QVERIFY(s.openWindow());
    QTRY_VERIFY(s.listShows("a.bin"));
    s.select({"a.bin"});
    QTest::mouseClick(s.window->form()->BUTTON_DOWNLOAD, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(s.ended(), 15000);
    QTRY_VERIFY(s.window->downloads()->toast()->isVisible());
    const QStringList manifestBefore = manifestLines(s.download);
    QCOMPARE(manifestBefore.size(), 1);

    // A new version on the instrument that fails to arrive.
    s.window.reset();
    s.server.reset();
    QVERIFY(writeFile(s.root + "/a.bin", randomBytes(5000, 2)));
    InstrumentOptions faulty;
    if (linkLost)
        faulty.closeAfterFileBytes = 2000;
    else
        faulty.sizeError = 7;
    QVERIFY(start(s, faulty));
    QVERIFY(s.openWindow());
    QTRY_VERIFY(s.listShows("a.bin"));
    s.select({"a.bin"});
    QTest::mouseClick(s.window->form()->BUTTON_DOWNLOAD, Qt::LeftButton);
    // The replace question: "Yes".
    auto *question = topLevel<AlreadyDialog>();
    QTRY_VERIFY(question->isVisible());
    QTest::mouseClick(question->findChild<QPushButton *>("pushButton"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(s.ended(), 15000);

    QCOMPARE(fileSha(s.download + "/a.bin"), sha(oldBytes));
    NoticeDialog &notice = s.window->noticeDialog();
    QTRY_VERIFY(notice.isVisible());
    QVERIFY(notice.actionButton()->isVisible());
    QCOMPARE(notice.actionButton()->text(), QStringLiteral("Show record"));
    QTRY_COMPARE(recordLines(s.download, "download-end").size(), 2);
    QCOMPARE(manifestLines(s.download), manifestBefore);
    const QList<QJsonObject> lines = recordLines(s.download, "file");
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.last().value("outcome").toString(), QStringLiteral("failed"));
    QVERIFY(!lines.last().value("reason").toString().isEmpty());
    QVERIFY(!s.window->downloads()->toast()->isVisible());

    QTest::mouseClick(notice.actionButton(), Qt::LeftButton);
    RecordResultWindow *result = s.window->folderVerify()->resultWindow();
    QTRY_VERIFY(result->isVisible());
    QCOMPARE(column(result->table(), 0), QStringList{"failed"});
}

void TestRecordE2E::unannouncedFileIsDiscarded()
{
    Session s;
    QVERIFY(writeFile(s.root + "/a.bin", "asked for"));
    QVERIFY(writeFile(s.root + "/b.bin", "never asked for"));
    InstrumentOptions options;
    options.extraFile = "/TARVELO/b.bin";
    QVERIFY(start(s, options));
    QVERIFY(s.openWindow());
    QTRY_VERIFY(s.listShows("a.bin"));
    s.select({"a.bin"});
    QTest::mouseClick(s.window->form()->BUTTON_DOWNLOAD, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(s.ended(), 15000);
    QTRY_COMPARE(recordLines(s.download, "download-end").size(), 1);
    QStringList outcomes;
    for (const QJsonObject &line : recordLines(s.download, "file"))
        outcomes << line.value("remote").toString() + " " + line.value("outcome").toString();
    QCOMPARE(outcomes, (QStringList{"/TARVELO/a.bin stored", "/TARVELO/b.bin discarded"}));
    QCOMPARE(s.downloadedFiles(), QStringList{"a.bin"});

    // Not connected: verify checks the folder and says the instrument was not compared.
    s.window->Disconnect();
    QSignalSpy done(s.window->folderVerify(), &FolderVerify::done);
    chooseFileMenu(*s.window, s.window->verifyAction());
    QVERIFY(done.wait(20000));
    const QStringList answer = s.window->folderVerify()->resultWindow()->answer().split('\n');
    QCOMPARE(answer.value(0), QStringLiteral("The one recorded file has a verified copy."));
    QVERIFY(answer.value(1).startsWith("Not connected: the copies were not compared with the instrument."));
}

void TestRecordE2E::disconnectMidFileIsStopped()
{
    // The user's Disconnect ends the download on purpose: stopped, not a lost link.
    Session s;
    QVERIFY(writeFile(s.root + "/a.bin", randomBytes(5000, 3)));
    InstrumentOptions options;
    options.stallAfterFileBytes = 2000;
    QVERIFY(start(s, options));
    QVERIFY(s.openWindow());
    QTRY_VERIFY(s.listShows("a.bin"));
    s.select({"a.bin"});
    QTest::mouseClick(s.window->form()->BUTTON_DOWNLOAD, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(s.receiver()->isMidStream(), 10000);
    s.window->Disconnect();
    QTRY_COMPARE_WITH_TIMEOUT(recordLines(s.download, "download-end").size(), 1, 10000);
    const QJsonObject end = recordLines(s.download, "download-end").last();
    QCOMPARE(end.value("stopped").toBool(), true);
    QCOMPARE(end.value("link-lost").toBool(), false);
    QCOMPARE(recordLines(s.download, "file").last().value("outcome").toString(), QStringLiteral("failed"));
    QVERIFY(s.downloadedFiles().isEmpty());
}

void TestRecordE2E::verifyAndInstrumentCheck()
{
    Session s;
    const QStringList files{"run1/a.bin", "run1/b.bin", "run1/c.bin", "run1/sub/d.bin"};
    for (int i = 0; i < files.size(); ++i)
        QVERIFY(writeFile(s.root + "/" + files.at(i), randomBytes(3000 + i, quint32(40 + i))));
    QVERIFY(start(s, InstrumentOptions()));
    QVERIFY(s.openWindow());
    QTRY_VERIFY(s.selectTreeFolder("run1"));
    s.window->TreeDownload();
    QTRY_VERIFY_WITH_TIMEOUT(s.ended(), 15000);
    QTRY_COMPARE(recordLines(s.download, "download-end").size(), 1);

    // After the download: one copy changed, one deleted, one file put beside them; and
    // one file new on the instrument.
    QVERIFY(writeFile(s.download + "/run1/a.bin", "edited"));
    QVERIFY(QFile::remove(s.download + "/run1/sub/d.bin"));
    QVERIFY(writeFile(s.download + "/run1/notes.txt", "mine"));
    QVERIFY(writeFile(s.root + "/run1/sub/e.bin", "new"));

    FolderVerify *verify = s.window->folderVerify();
    QStringList asked;
    verify->setFolderAsker([&asked](QWidget *, const QString &shown) {
        asked << shown;
        return QStringList{"/TARVELO/run1"};
    });
    QSignalSpy done(verify, &FolderVerify::done);
    chooseFileMenu(*s.window, s.window->verifyAction());
    QVERIFY(done.wait(20000));
    QCOMPARE(asked, QStringList{s.window->currentRemotePath()});

    RecordResultWindow *result = verify->resultWindow();
    QVERIFY(result->isVisible());
    screenshot(ClientLines::english() ? "verify-result" : "verify-result-de");
    if (!ClientLines::english())
        return; // what follows compares the English texts
    const QStringList answer = result->answer().split('\n');
    QCOMPARE(answer.value(0), QStringLiteral("3 of 5 files of /TARVELO/run1 have no verified copy:"));
    QCOMPARE(answer.value(1), QStringLiteral("2 of 4 recorded files have no verified copy: 1 changed since download, "
                                             "1 missing. 1 local file is not in the record."));
    QStringList rows;
    for (int r = 0; r < result->table()->rowCount(); ++r)
        rows << result->table()->item(r, 0)->text() + " " + result->table()->item(r, 1)->text() + " "
                    + result->table()->item(r, 2)->text();
    QCOMPARE(rows, (QStringList{"no verified copy  /TARVELO/run1/a.bin",
                                "no verified copy  /TARVELO/run1/sub/d.bin",
                                "no verified copy  /TARVELO/run1/sub/e.bin",
                                "changed since download run1/a.bin /TARVELO/run1/a.bin",
                                "not in the record run1/notes.txt ",
                                "missing run1/sub/d.bin /TARVELO/run1/sub/d.bin",
                                "verified run1/b.bin /TARVELO/run1/b.bin",
                                "verified run1/c.bin /TARVELO/run1/c.bin"}));
    // The user's tree and list were left where they were.
    QCOMPARE(s.window->currentRemotePath(), QStringLiteral("/TARVELO"));

    // Export as CSV writes the table as shown.
    const QString csvPath = s.tmp.filePath("out.csv");
    result->setSaveChooser([csvPath](QWidget *, const QString &) { return csvPath; });
    QTest::mouseClick(result->findChild<QPushButton *>("exportButton"), Qt::LeftButton);
    QFile csv(csvPath);
    QVERIFY(csv.open(QIODevice::ReadOnly));
    const QList<QByteArray> csvLines = csv.readAll().split('\n');
    QCOMPARE(csvLines.first(), QByteArray("Status,Local file,Instrument path,SHA-256 in the record,SHA-256 now,Detail\r"));
    QCOMPARE(csvLines.size(), 10); // header, eight rows, the empty end
}

QTEST_MAIN(TestRecordE2E)
#include "tst_record_e2e.moc"
