// The real main window against the stand-in instrument: log in, click a tree folder,
// double-click a folder and "..", with the client's lines and the tree and list checked
// after each answer.
#include "app/mainwindow.h"
#include "app/mainwindowui.h"
#include "common/browseview.h"
#include "common/clientlines.h"
#include "common/e2e.h"
#include "common/testaddress.h"
#include "tools/instrument/instrumentserver.h"

#include <QAction>
#include <QtTest>

namespace {

constexpr int kWaitMs = 20000;

void makeFile(const QString &path)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("x");
}

// As a user's double click arrives: a click, then the double click and its release.
void doubleClick(QAbstractItemView *view, const QPoint &at)
{
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

class tst_BrowseEndToEnd : public QObject
{
    Q_OBJECT
private slots:
    void browse_data();
    void browse();

};

void tst_BrowseEndToEnd::browse_data()
{
    QTest::addColumn<int>("chunk");
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<bool>("noFinalNewline");
    QTest::newRow("one-byte pieces") << 1 << 0 << false;
    QTest::newRow("one-byte pieces, each in a read of its own") << 1 << 1 << false;
    QTest::newRow("one-byte pieces, answers without their line feed") << 1 << 1 << true;
    QTest::newRow("whole writes") << 0 << 0 << false;
    QTest::newRow("whole writes, answers without their line feed") << 0 << 0 << true;
}

void tst_BrowseEndToEnd::browse()
{
    QFETCH(int, chunk);
    QFETCH(int, delayMs);
    QFETCH(bool, noFinalNewline);

    QTemporaryDir served;
    QTemporaryDir download;
    QVERIFY(served.isValid() && download.isValid());
    const QString root = served.path();
    makeFile(root + "/readme.txt");
    makeFile(root + "/runs/notes.txt");
    makeFile(root + "/runs/r1/a.tif");
    makeFile(root + "/runs/r1/b.tif");
    QVERIFY(QDir().mkpath(root + "/runs/r2"));
    QVERIFY(QDir().mkpath(root + "/empty"));
    QVERIFY(QDir().mkpath(root + QString::fromUtf8("/\xC3\x84rger")));
    makeFile(download.path() + "/readme.txt");
    makeFile(download.path() + "/runs/r1/b.tif");
    QVERIFY(QDir().mkpath(download.path() + "/runs/r2"));

    InstrumentOptions options;
    options.root = root;
    options.quiet = true;
    options.chunk = chunk;
    options.chunkDelayMs = delayMs;
    options.noFinalNewline = noFinalNewline;
    InstrumentServer server(options);
    ClientLines::record(&server);
    const QString address = TestAddress::listen(
        [&](const QString &candidate) { return server.listen(QHostAddress(candidate), TestAddress::kPort); });
    QVERIFY2(!address.isEmpty(), qPrintable(server.errorString()));
    QByteArrayList lines;
    connect(&server, &InstrumentServer::lineReceived, this,
            [&](int, const QByteArray &line) { lines.append(line); });

    MainWindow window;
    window.setDownloadPath(download.path());
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(E2E::login(window, address));
    QTreeWidget *tree = window.form()->FILE_TREEWIDGET;
    QListWidget *list = window.form()->FILE_LISTWIDGET;
    QPushButton *button = window.form()->BUTTON_DOWNLOAD;

    // What the client wrote since the last step.
    int seen = 0;
    auto newLines = [&] {
        const QByteArrayList fresh = lines.mid(seen);
        seen = lines.size();
        return fresh;
    };
    const QString rootList = QString::fromUtf8("folder empty|folder+ runs|folder \xC3\x84rger|file+ readme.txt");
    QTRY_COMPARE_WITH_TIMEOUT(BrowseView::list(window), rootList, kWaitMs);
    QCOMPARE(BrowseView::tree(window), QString::fromUtf8("/TARVELO(empty,runs,\xC3\x84rger)"));
    QTRY_COMPARE_WITH_TIMEOUT(lines.mid(lines.size() - 3), (QByteArrayList{"$CD $HOME", "$PWD", "$LIST"}), kWaitMs);
    newLines();

    // A click on a tree folder goes there (the user opens the root with its arrow first).
    tree->expandItem(tree->topLevelItem(0));
    QTreeWidgetItem *runs = window.browser()->findTreeItem("/TARVELO/runs");
    QVERIFY(runs);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(runs).center());
    QTRY_COMPARE_WITH_TIMEOUT(BrowseView::list(window),
                              QStringLiteral("parent ..|folder+ r1|folder+ r2|file notes.txt"), kWaitMs);
    QCOMPARE(BrowseView::tree(window), QString::fromUtf8("/TARVELO(empty,runs(r1,r2),\xC3\x84rger)"));
    QCOMPARE(window.currentRemotePath(), QStringLiteral("/TARVELO/runs"));
    QCOMPARE(newLines(), (QByteArrayList{"$CD /TARVELO/runs", "$PWD", "$LIST"}));
    QVERIFY(!button->isEnabled()); // nothing is selected in the new list

    // A double click on a list folder goes down and opens the tree.
    QListWidgetItem *r1 = list->item(1);
    QCOMPARE(r1->text(), QStringLiteral("r1"));
    doubleClick(list, list->visualItemRect(r1).center());
    QTRY_COMPARE_WITH_TIMEOUT(BrowseView::list(window), QStringLiteral("parent ..|tiff a.tif|tiff+ b.tif"), kWaitMs);
    QCOMPARE(BrowseView::tree(window), QString::fromUtf8("/TARVELO(empty,runs(r1,r2),\xC3\x84rger)"));
    QCOMPARE(window.currentRemotePath(), QStringLiteral("/TARVELO/runs/r1"));
    QCOMPARE(newLines(), (QByteArrayList{"$CD /TARVELO/runs/r1", "$PWD", "$LIST"}));
    QVERIFY(tree->topLevelItem(0)->isExpanded());
    QCOMPARE(tree->selectedItems().size(), 1);
    QCOMPARE(window.browser()->treeItemPath(tree->selectedItems().first()), QStringLiteral("/TARVELO/runs/r1"));

    // A double click on ".." goes back up.
    QListWidgetItem *up = list->item(0);
    QCOMPARE(up->text(), QStringLiteral(".."));
    doubleClick(list, list->visualItemRect(up).center());
    QTRY_COMPARE_WITH_TIMEOUT(BrowseView::list(window),
                              QStringLiteral("parent ..|folder+ r1|folder+ r2|file notes.txt"), kWaitMs);
    QCOMPARE(window.currentRemotePath(), QStringLiteral("/TARVELO/runs"));
    QCOMPARE(newLines(), (QByteArrayList{"$CD /TARVELO/runs", "$PWD", "$LIST"}));
    QCOMPARE(window.browser()->treeItemPath(tree->selectedItems().first()), QStringLiteral("/TARVELO/runs"));
    QVERIFY(!button->isEnabled()); // the list shown afresh has no selection

    // A click on the tree's root goes to the top and disables the download.
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                      tree->visualItemRect(tree->topLevelItem(0)).center());
    QTRY_COMPARE_WITH_TIMEOUT(BrowseView::list(window), rootList, kWaitMs);
    QCOMPARE(newLines(), (QByteArrayList{"$CD /TARVELO", "$PWD", "$LIST"}));
    QVERIFY(!button->isEnabled());
    QCOMPARE(window.readerMode(), Browsing);
}

QTEST_MAIN(tst_BrowseEndToEnd)
#include "tst_browse_e2e.moc"
