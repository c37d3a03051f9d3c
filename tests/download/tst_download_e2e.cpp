// The real main window against the stand-in instrument: downloads from the list and the
// tree, cancel, the replace question and the question when opening a file not yet local.
#include "download/alreadydialog.h"
#include "download/alreadydialogtreewidget.h"
#include "download/emptydownloadsizedialog.h"
#include "download/notdownloaddialog.h"
#include "downloade2e.h"

#include <algorithm>

using namespace DownloadE2E;

class TestDownloadE2E : public QObject
{
    Q_OBJECT
private slots:
    void oneFile_data();
    void oneFile();
    void multiSelection_data();
    void multiSelection();
    void nestedFolderFromTree_data();
    void nestedFolderFromTree();
    void cancelInTheMiddle();
    void replaceQuestion_data();
    void replaceQuestion();
    void downloadToOpen();
};

namespace {
void addPieceRows(const QList<QPair<const char *, int>> &contents)
{
    QTest::addColumn<int>("piece");
    QTest::addColumn<int>("content"); // 0 random binary, 1 marker texts
    for (const auto &c : contents)
        for (int piece : {1, 7, 0})
            QTest::newRow(qPrintable(QStringLiteral("%1, %2").arg(QLatin1String(c.first),
                                     piece ? QStringLiteral("%1-byte pieces").arg(piece) : QStringLiteral("whole writes"))))
                << piece << c.second;
}

QByteArray content(int kind, const QByteArray &remote, quint32 seed, int size)
{
    return kind == 0 ? randomBytes(size, seed) : markerBytes(remote, seed);
}

// Progress values the bar took (the resets to 0 left out).
QList<int> *recordProgress(Session &s)
{
    auto *values = new QList<int>;
    QObject::connect(s.progress()->form()->PROGRESS, &QProgressBar::valueChanged, s.window.get(),
                     [values](int v) { if (v) values->append(v); });
    QObject::connect(s.window.get(), &QObject::destroyed, [values] { delete values; });
    return values;
}
} // namespace

void TestDownloadE2E::oneFile_data()
{
    addPieceRows({{"random binary", 0}, {"marker texts", 1}});
}

void TestDownloadE2E::oneFile()
{
    QFETCH(int, piece);
    QFETCH(int, content);
    Session s;
    const QByteArray bytes = ::content(content, "/TARVELO/data.bin", 1, 3000);
    QVERIFY(writeFile(s.root + "/data.bin", bytes));
    InstrumentOptions options;
    options.chunk = piece;
    QVERIFY(s.start(options));
    QVERIFY(s.openWindow());
    QTRY_VERIFY(s.listShows("data.bin"));
    QList<int> *values = recordProgress(s);

    s.select({"data.bin"});
    QTest::mouseClick(s.window->form()->BUTTON_DOWNLOAD, Qt::LeftButton);
    QVERIFY(!s.unlocked());
    QVERIFY(s.window->isEnabled()); // only what would interfere is locked
    QTRY_VERIFY_WITH_TIMEOUT(s.ended(), 15000);

    QCOMPARE(s.downloadedFiles(), QStringList{"data.bin"});
    QCOMPARE(fileSha(s.download + "/data.bin"), sha(bytes));
    QCOMPARE(s.progress()->progress().fileSize(), qint64(bytes.size())); // from the header
    QCOMPARE(values->last(), 99); // one file: the bar moves within it, on to 99
    QVERIFY(std::is_sorted(values->begin(), values->end()));
    QCOMPARE(s.progress()->form()->label_2->text(), QCoreApplication::translate("DownloadingProgressDialog", "Check Condition.."));
    QVERIFY(!topLevel<NoticeDialog>()->isVisible());
}

void TestDownloadE2E::multiSelection_data()
{
    addPieceRows({{"random binary", 0}, {"marker texts", 1}});
}

void TestDownloadE2E::multiSelection()
{
    QFETCH(int, piece);
    QFETCH(int, content);
    Session s;
    const QStringList names{"a.bin", "b", "c d.txt"};
    QList<QByteArray> bytes;
    for (int i = 0; i < names.size(); ++i) {
        bytes.append(::content(content, "/TARVELO/" + names.at(i).toUtf8(), quint32(10 + i), 1500 + i * 700));
        QVERIFY(writeFile(s.root + "/" + names.at(i), bytes.last()));
    }
    QVERIFY(writeFile(s.root + "/not selected.bin", "x"));
    InstrumentOptions options;
    options.chunk = piece;
    QVERIFY(s.start(options));
    QVERIFY(s.openWindow());
    QTRY_VERIFY(s.listShows("c d.txt"));
    QList<int> *values = recordProgress(s);

    s.select(names);
    QTest::mouseClick(s.window->form()->BUTTON_DOWNLOAD, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(s.ended(), 15000);

    QCOMPARE(s.downloadedFiles(), (QStringList{"a.bin", "b", "c d.txt"}));
    for (int i = 0; i < names.size(); ++i)
        QCOMPARE(fileSha(s.download + "/" + names.at(i)), sha(bytes.at(i)));
    // Whole files are counted as always; within a file the bar moves on between them.
    QVERIFY(std::is_sorted(values->begin(), values->end()));
    for (int v : {33, 66, 99})
        QVERIFY(values->contains(v));
    QCOMPARE(s.progress()->form()->label_2->text(), QCoreApplication::translate("DownloadingProgressDialog", "Check Condition.."));
    QVERIFY(!s.progress()->form()->BUTTON_STOP->isEnabled());
    // The refreshed listing ticks what arrived.
    QTRY_VERIFY(s.listShows("a.bin"));
}

void TestDownloadE2E::nestedFolderFromTree_data()
{
    addPieceRows({{"random binary", 0}, {"marker texts", 1}});
}

void TestDownloadE2E::nestedFolderFromTree()
{
    QFETCH(int, piece);
    QFETCH(int, content);
    Session s;
    const QStringList files{"run1/x.bin", "run1/sub/y", "run1/sub/deep/z.txt"};
    QList<QByteArray> bytes;
    for (int i = 0; i < files.size(); ++i) {
        bytes.append(::content(content, "/TARVELO/" + files.at(i).toUtf8(), quint32(20 + i), 1200));
        QVERIFY(writeFile(s.root + "/" + files.at(i), bytes.last()));
    }
    QVERIFY(writeFile(s.root + "/other.bin", "not asked for"));
    InstrumentOptions options;
    options.chunk = piece;
    QVERIFY(s.start(options));
    QVERIFY(s.openWindow());
    QTRY_VERIFY(s.selectTreeFolder("run1"));
    const QString shownBefore = s.window->currentRemotePath();

    s.window->TreeDownload();
    QTRY_VERIFY_WITH_TIMEOUT(s.ended(), 15000);

    QCOMPARE(s.downloadedFiles(), (QStringList{"run1/sub/deep/z.txt", "run1/sub/y", "run1/x.bin"}));
    for (int i = 0; i < files.size(); ++i)
        QCOMPARE(fileSha(s.download + "/" + files.at(i)), sha(bytes.at(i)));
    QCOMPARE(s.window->currentRemotePath(), shownBefore);

    // Again: the folder exists now, so the question comes first; "Yes" downloads it again.
    auto *question = topLevel<AlreadyDialogTreeWidget>();
    // The refreshed listing made the tree's items anew; in 1-byte pieces its last bytes may
    // still be on their way when the download is over.
    QTRY_VERIFY(s.selectTreeFolder("run1"));
    s.window->TreeDownload();
    QVERIFY(question->isVisible());
    QVERIFY(!ClientLines::english()
            || question->findChild<QLabel *>("label")->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts).join(QLatin1Char(' '))
                   .contains(QString::fromUtf8("folder with the same name in this location. \u201crun1\u201d")));
    QVERIFY(s.unlocked());
    QTest::mouseClick(question->findChild<QPushButton *>("pushButton"), Qt::LeftButton);
    QVERIFY(!question->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(s.ended(), 15000);
    QCOMPARE(fileSha(s.download + "/run1/sub/deep/z.txt"), sha(bytes.at(2)));
}

void TestDownloadE2E::cancelInTheMiddle()
{
    Session s;
    const QStringList names{"f1.bin", "f2.bin", "f3.bin"};
    QList<QByteArray> bytes;
    for (int i = 0; i < names.size(); ++i) {
        bytes.append(randomBytes(48 * 1024, quint32(30 + i)));
        QVERIFY(writeFile(s.root + "/" + names.at(i), bytes.last()));
    }
    InstrumentOptions options;
    options.chunk = 1024; // slow enough to press "Stop" while the first file is on its way
    options.chunkDelayMs = 2;
    QVERIFY(s.start(options));
    QVERIFY(s.openWindow());
    QTRY_VERIFY(s.listShows("f3.bin"));
    QList<int> *values = recordProgress(s);

    QList<QByteArray> sent;
    QObject::connect(s.receiver(), &DownloadReceiver::sendLine, [&](const QByteArray &l) { sent.append(l); });
    bool pressed = false;
    QObject::connect(s.receiver(), &DownloadReceiver::currentFileChanged, s.window.get(), [&] {
        if (pressed)
            return;
        pressed = true;
        QTest::mouseClick(s.progress()->form()->BUTTON_STOP, Qt::LeftButton);
        QTest::mouseClick(s.progress()->cancelDialog()->findChild<QPushButton *>("pushButton"), Qt::LeftButton);
    });
    s.select(names);
    QTest::mouseClick(s.window->form()->BUTTON_DOWNLOAD, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(s.ended(), 15000);

    QVERIFY(pressed);
    QCOMPARE(sent.size(), 2);
    QCOMPARE(sent.at(1), QByteArray("$DOWNLOAD CANCEL\n"));
    // The file on its way is finished and kept whole; nothing after it comes.
    const QStringList got = s.downloadedFiles();
    QCOMPARE(got.size(), 1);
    QCOMPARE(fileSha(s.download + "/" + got.first()), sha(bytes.at(names.indexOf(got.first()))));
    // The bar goes no further than the bytes of the file that was on its way.
    QVERIFY(std::all_of(values->begin(), values->end(), [](int v) { return v <= 33; }));
    if (ClientLines::english())
        QCOMPARE(s.progress()->form()->LABEL_STATUS->text().left(24), QStringLiteral("Stopping after this file"));
}

void TestDownloadE2E::replaceQuestion_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("Yes replaces") << "Yes";
    QTest::newRow("No leaves everything") << "No";
    QTest::newRow("Yes after the selection was cleared") << "Yes, nothing selected";
}

void TestDownloadE2E::replaceQuestion()
{
    QFETCH(QString, answer);
    Session s;
    const QByteArray fresh = markerBytes("/TARVELO/README", 40);
    const QByteArray other = randomBytes(2500, 41);
    QVERIFY(writeFile(s.root + "/README", fresh));
    QVERIFY(writeFile(s.root + "/new.bin", other));
    QVERIFY(writeFile(s.download + "/README", "old local copy")); // no "." in its name
    InstrumentOptions options;
    options.chunk = 7;
    QVERIFY(s.start(options));
    QVERIFY(s.openWindow());
    QTRY_VERIFY(s.listShows("new.bin"));
    QList<QByteArray> sent;
    QObject::connect(s.receiver(), &DownloadReceiver::sendLine, [&](const QByteArray &l) { sent.append(l); });

    s.select({"README", "new.bin"});
    QTest::mouseClick(s.window->form()->BUTTON_DOWNLOAD, Qt::LeftButton);
    auto *question = topLevel<AlreadyDialog>();
    QVERIFY(question->isVisible());
    QVERIFY(s.unlocked());
    QVERIFY(!s.progress()->isVisible());
    if (ClientLines::english())
        QCOMPARE(question->findChild<QLabel *>("label")->text().split(QLatin1Char('\n'), Qt::SkipEmptyParts).join(QLatin1Char(' ')),
                 QString::fromUtf8("There is already a file with the same name in this location. "
                                   "\u201cREADME\u201d Do you want to replace the existing file?"));

    if (answer == "No") {
        QTest::mouseClick(question->findChild<QPushButton *>("pushButton_2"), Qt::LeftButton);
        QVERIFY(s.unlocked());
        QVERIFY(!s.progress()->isVisible());
        QCOMPARE(s.downloadedFiles(), QStringList{"README"});
        QCOMPARE(fileSha(s.download + "/README"), sha("old local copy"));
        QVERIFY(sent.isEmpty());
        return;
    }
    if (answer.contains("nothing")) {
        s.list()->clearSelection();
        QTest::mouseClick(question->findChild<QPushButton *>("pushButton"), Qt::LeftButton);
        QVERIFY(s.unlocked());
        QVERIFY(!s.progress()->isVisible());
        QVERIFY(topLevel<EmptyDownloadSizeDialog>()->isVisible());
        QCOMPARE(s.window->readerMode(), Browsing);
        QCOMPARE(fileSha(s.download + "/README"), sha("old local copy"));
        return;
    }
    QTest::mouseClick(question->findChild<QPushButton *>("pushButton"), Qt::LeftButton);
    QVERIFY(!question->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(s.ended(), 15000);
    QCOMPARE(s.downloadedFiles(), (QStringList{"README", "new.bin"}));
    QCOMPARE(fileSha(s.download + "/README"), sha(fresh));
    QCOMPARE(fileSha(s.download + "/new.bin"), sha(other));
}

void TestDownloadE2E::downloadToOpen()
{
    Session s;
    const QByteArray bytes = randomBytes(4000, 50);
    QVERIFY(writeFile(s.root + "/notes.log", bytes));
    QVERIFY(s.start(InstrumentOptions()));
    QVERIFY(s.openWindow());
    QTRY_VERIFY(s.listShows("notes.log"));

    // Opening a file that is not local asks to download it.
    s.window->on_FILE_LISTWIDGET_itemDoubleClicked(s.list()->findItems("notes.log", Qt::MatchExactly).first());
    auto *question = topLevel<NotDownloadDialog>();
    QTRY_VERIFY(question->isVisible());
    QTest::mouseClick(question->findChild<QPushButton *>("pushButton"), Qt::LeftButton);
    QVERIFY(!question->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(s.ended(), 15000);
    QCOMPARE(s.downloadedFiles(), QStringList{"notes.log"});
    QCOMPARE(fileSha(s.download + "/notes.log"), sha(bytes));
}

QTEST_MAIN(TestDownloadE2E)
#include "tst_download_e2e.moc"
