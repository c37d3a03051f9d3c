// The main window in use against the stand-in instrument: the tree's menu, downloads asked
// for without a link, and questions left open when the link goes.
#include "download/alreadydialog.h"
#include "download/alreadydialogtreewidget.h"
#include "download/downloade2e.h"
#include "download/emptydownloadsizedialog.h"
#include "download/notdownloaddialog.h"

#include <QMenu>

using namespace DownloadE2E;

class tst_MainWindowE2E : public QObject
{
    Q_OBJECT
private slots:
    void treeMenuDownloadsTheFolderUnderThePointer();
    void notConnected_data();
    void notConnected();
    void linkLossClosesQuestions_data();
    void linkLossClosesQuestions();
    void emptySelectionNoticeGoesWithTheSelection();
};

namespace {

QTreeWidgetItem *treeFolder(Session &s, const QString &name)
{
    QTreeWidgetItem *root = s.tree()->topLevelItem(0);
    for (int i = 0; root && i < root->childCount(); ++i)
        if (root->child(i)->text(0) == name)
            return root->child(i);
    return nullptr;
}

// A right click as the user makes it, through the window; returns the menu it opened.
QMenu *rightClick(Session &s, QTreeWidgetItem *item)
{
    QTreeWidget *tree = s.tree();
    const QPoint at = tree->viewport()->mapTo(s.window.get(), tree->visualItemRect(item).center());
    QTest::mouseClick(s.window->windowHandle(), Qt::RightButton, Qt::NoModifier, at);
    QMenu *menu = s.window->browser()->treeMenu();
    return menu->isVisible() ? menu : nullptr;
}

QString selectedTreePaths(Session &s)
{
    QStringList paths;
    for (QTreeWidgetItem *item : s.tree()->selectedItems())
        paths.append(s.window->browser()->treeItemPath(item));
    return paths.join(',');
}

NoticeDialog *notice() { return topLevel<NoticeDialog>(); }

} // namespace

void tst_MainWindowE2E::treeMenuDownloadsTheFolderUnderThePointer()
{
    Session s;
    QVERIFY(writeFile(s.root + "/Calibration/ref.bin", randomBytes(3000, 1)));
    QVERIFY(writeFile(s.root + "/Runs/run.bin", randomBytes(2000, 2)));
    QVERIFY(s.start(InstrumentOptions()));
    QList<QByteArray> lines;
    QObject::connect(s.server.get(), &InstrumentServer::lineReceived,
                     [&](int, const QByteArray &line) { lines.append(line); });
    QVERIFY(s.openWindow());
    QTRY_VERIFY(treeFolder(s, "Runs"));
    s.tree()->expandAll();
    QTest::mouseClick(s.tree()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      s.tree()->visualItemRect(treeFolder(s, "Runs")).center());
    QTRY_VERIFY(s.listShows("run.bin"));

    for (int round = 0; round < 2; ++round) {
        QMenu *menu = rightClick(s, treeFolder(s, "Calibration"));
        QVERIFY(menu);
        QCOMPARE(menu->actions().first()->text(), QString::fromUtf8("Download \u201CCalibration\u201D"));
        QCOMPARE(selectedTreePaths(s), QStringLiteral("/TARVELO/Runs"));
        QVERIFY(s.listShows("run.bin"));
        lines.clear();
        QTest::keyClick(menu, Qt::Key_Down);
        QTest::keyClick(menu, Qt::Key_Return);
        if (round == 1) { // the folder is here now: asked first, for that folder
            auto *question = topLevel<AlreadyDialogTreeWidget>();
            QTRY_VERIFY(question->isVisible());
            QTest::mouseClick(question->findChild<QPushButton *>("pushButton"), Qt::LeftButton);
        }
        QTRY_VERIFY_WITH_TIMEOUT(s.ended(), 15000);
        QCOMPARE(s.downloadedFiles(), QStringList{"Calibration/ref.bin"});
        QVERIFY2(lines.value(0).contains("/TARVELO/Calibration") && !lines.value(0).contains("Runs"),
                 lines.value(0).constData());
        QCOMPARE(s.window->currentRemotePath(), QStringLiteral("/TARVELO/Runs"));
        QCOMPARE(selectedTreePaths(s), QStringLiteral("/TARVELO/Runs"));
    }
}

void tst_MainWindowE2E::notConnected_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("File > Start Download, never connected") << "menu";
    QTest::newRow("tree menu, never connected") << "tree";
    QTest::newRow("File > Start Download after Disconnect") << "menu after disconnect";
}

void tst_MainWindowE2E::notConnected()
{
    QFETCH(QString, how);
    Session s;
    if (how.contains("disconnect")) {
        QVERIFY(s.start(InstrumentOptions()));
        QVERIFY(s.openWindow());
        s.window->Disconnect();
    } else {
        s.window = std::make_unique<MainWindow>();
        s.window->show();
    }
    if (how == "tree") {
        s.window->TreeDownload();
    } else if (how.contains("disconnect")) {
        // The list goes with the link, so nothing is selected: the entry is greyed, not answered.
        QVERIFY(!s.window->menuDownloadAction()->isEnabled());
        QVERIFY(!s.window->findChild<QPushButton *>("BUTTON_DOWNLOAD")->isEnabled());
        QVERIFY(!topLevel<NoticeDialog>() || !notice()->isVisible());
        QVERIFY(s.unlocked());
        return;
    } else {
        s.window->menuDownloadAction()->trigger();
    }
    QVERIFY(notice()->isVisible());
    QVERIFY2(notice()->text().startsWith("Not connected to an instrument."), qPrintable(notice()->text()));
    QVERIFY(!topLevel<EmptyDownloadSizeDialog>()->isVisible());
    QVERIFY(s.unlocked());
    QVERIFY(!s.progress()->isVisible());
}

void tst_MainWindowE2E::linkLossClosesQuestions_data()
{
    QTest::addColumn<bool>("byUser"); // Disconnect chosen, else the instrument goes away
    QTest::newRow("the instrument goes away") << false;
    QTest::newRow("Disconnect") << true;
}

// Every question about a download that can no longer start is closed, so that no later
// answer starts one or talks of a selection.
void tst_MainWindowE2E::linkLossClosesQuestions()
{
    QFETCH(bool, byUser);
    Session s;
    QVERIFY(writeFile(s.root + "/Calibration/ref.bin", "new"));
    QVERIFY(writeFile(s.root + "/a.bin", "new"));
    QVERIFY(writeFile(s.root + "/b.log", "new"));
    QVERIFY(writeFile(s.download + "/Calibration/ref.bin", "old"));
    QVERIFY(writeFile(s.download + "/a.bin", "old"));
    QVERIFY(s.start(InstrumentOptions()));
    QVERIFY(s.openWindow());
    QTRY_VERIFY(s.listShows("b.log"));

    s.select({"a.bin"});
    QTest::mouseClick(s.window->form()->BUTTON_DOWNLOAD, Qt::LeftButton);
    QVERIFY(s.selectTreeFolder("Calibration"));
    s.window->TreeDownload();
    s.window->on_FILE_LISTWIDGET_itemDoubleClicked(s.list()->findItems("b.log", Qt::MatchExactly).first());
    const QList<QDialog *> questions{topLevel<AlreadyDialog>(), topLevel<AlreadyDialogTreeWidget>(),
                                     topLevel<NotDownloadDialog>()};
    for (QDialog *q : questions)
        QVERIFY2(q->isVisible(), q->metaObject()->className());

    if (byUser)
        s.window->Disconnect();
    else
        s.server.reset();
    for (QDialog *q : questions)
        QTRY_VERIFY2(!q->isVisible(), q->metaObject()->className());
    QCOMPARE(s.window->connectionCount(), 0);
    QCOMPARE(notice()->isVisible(), !byUser); // the lost link is told; a chosen one is not
    QVERIFY(!topLevel<EmptyDownloadSizeDialog>()->isVisible());
    QCOMPARE(QFile(s.download + "/a.bin").size(), qint64(3));
}

// "Select files to download" speaks of the selection it saw: clicking an entry answers it.
void tst_MainWindowE2E::emptySelectionNoticeGoesWithTheSelection()
{
    Session s;
    QVERIFY(writeFile(s.root + "/a.bin", "a"));
    QVERIFY(s.start(InstrumentOptions()));
    QVERIFY(s.openWindow());
    QTRY_VERIFY(s.listShows("a.bin"));
    s.list()->clearSelection();
    s.window->menuDownloadAction()->trigger();
    auto *empty = topLevel<EmptyDownloadSizeDialog>();
    QTRY_VERIFY(empty->isVisible());
    QListWidgetItem *item = s.list()->findItems("a.bin", Qt::MatchExactly).value(0);
    QVERIFY(item);
    QTest::mouseClick(s.list()->viewport(), Qt::LeftButton, Qt::NoModifier,
                      s.list()->visualItemRect(item).center());
    QVERIFY(item->isSelected());
    QVERIFY(!empty->isVisible());
}

QTEST_MAIN(tst_MainWindowE2E)
#include "tst_mainwindow_e2e.moc"
