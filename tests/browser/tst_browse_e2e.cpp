// The real main window against the stand-in instrument: log in, click a tree folder,
// double-click a folder and "..", with the client's lines and the tree and list checked
// after each answer.
#include "app/mainwindow.h"
#include "app/mainwindowui.h"
#include "browser/browsestate.h"
#include "common/e2e.h"
#include "tools/instrument/instrumentserver.h"

#include <QAction>
#include <QtTest>

namespace {

const QString kAddress = QStringLiteral("127.0.0.10");
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

private:
    QString dumpTree(MainWindow &window) const;
    QString dumpList(MainWindow &window) const;
};

QString tst_BrowseEndToEnd::dumpTree(MainWindow &window) const
{
    QTreeWidget *tree = window.form()->FILE_TREEWIDGET;
    std::function<QString(QTreeWidgetItem *)> dump = [&](QTreeWidgetItem *item) {
        QStringList children;
        for (int i = 0; i < item->childCount(); ++i)
            children.append(dump(item->child(i)));
        return item->text(0) + (children.isEmpty() ? QString() : '(' + children.join(',') + ')');
    };
    return tree->topLevelItemCount() ? dump(tree->topLevelItem(0)) : QString();
}

QString tst_BrowseEndToEnd::dumpList(MainWindow &window) const
{
    const BrowseIcons &icons = window.m_browse->icons;
    QStringList rows;
    QListWidget *list = window.form()->FILE_LISTWIDGET;
    for (int i = 0; i < list->count(); ++i) {
        const qint64 key = list->item(i)->icon().cacheKey();
        const char *icon = key == icons.parent.cacheKey() ? "parent"
            : key == icons.folder.cacheKey()              ? "folder"
            : key == icons.folderChecked.cacheKey()       ? "folder+"
            : key == icons.file.cacheKey()                ? "file"
            : key == icons.fileChecked.cacheKey()         ? "file+"
                                                          : "?";
        rows.append(QLatin1String(icon) + ' ' + list->item(i)->text());
    }
    return rows.join('|');
}

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
    QVERIFY2(server.listen(QHostAddress(kAddress), 30000), qPrintable(server.errorString()));
    QByteArrayList lines;
    connect(&server, &InstrumentServer::lineReceived, this,
            [&](int, const QByteArray &line) { lines.append(line); });

    MainWindow window;
    window.setUpBrowse();
    window.m_downloadPath = download.path();
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(E2E::login(window, kAddress));
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
    QTRY_COMPARE_WITH_TIMEOUT(dumpList(window), rootList, kWaitMs);
    QCOMPARE(dumpTree(window), QString::fromUtf8("/TARVELO(empty,runs,\xC3\x84rger)"));
    QTRY_COMPARE_WITH_TIMEOUT(lines.mid(lines.size() - 3), (QByteArrayList{"$CD $HOME", "$PWD", "$LIST"}), kWaitMs);
    newLines();

    // A click on a tree folder goes there (the user opens the root with its arrow first).
    tree->expandItem(tree->topLevelItem(0));
    QTreeWidgetItem *runs = window.findTreeItem("/TARVELO/runs");
    QVERIFY(runs);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(runs).center());
    QTRY_COMPARE_WITH_TIMEOUT(dumpList(window),
                              QStringLiteral("parent ..|folder+ r1|folder+ r2|file notes.txt"), kWaitMs);
    QCOMPARE(dumpTree(window), QString::fromUtf8("/TARVELO(empty,runs(r1,r2),\xC3\x84rger)"));
    QCOMPARE(window.currentRemotePath(), QStringLiteral("/TARVELO/runs"));
    QCOMPARE(newLines(), (QByteArrayList{"$CD /TARVELO/runs", "$PWD", "$LIST"}));
    QVERIFY(button->isEnabled());

    // A double click on a list folder goes down and opens the tree.
    QListWidgetItem *r1 = list->item(1);
    QCOMPARE(r1->text(), QStringLiteral("r1"));
    doubleClick(list, list->visualItemRect(r1).center());
    QTRY_COMPARE_WITH_TIMEOUT(dumpList(window), QStringLiteral("parent ..|file a.tif|file+ b.tif"), kWaitMs);
    QCOMPARE(dumpTree(window), QString::fromUtf8("/TARVELO(empty,runs(r1,r2),\xC3\x84rger)"));
    QCOMPARE(window.currentRemotePath(), QStringLiteral("/TARVELO/runs/r1"));
    QCOMPARE(newLines(), (QByteArrayList{"$CD /TARVELO/runs/r1", "$PWD", "$LIST"}));
    QVERIFY(tree->topLevelItem(0)->isExpanded());
    QCOMPARE(tree->selectedItems().size(), 1);
    QCOMPARE(window.treeItemPath(tree->selectedItems().first()), QStringLiteral("/TARVELO/runs/r1"));

    // A double click on ".." goes back up.
    QListWidgetItem *up = list->item(0);
    QCOMPARE(up->text(), QStringLiteral(".."));
    doubleClick(list, list->visualItemRect(up).center());
    QTRY_COMPARE_WITH_TIMEOUT(dumpList(window),
                              QStringLiteral("parent ..|folder+ r1|folder+ r2|file notes.txt"), kWaitMs);
    QCOMPARE(window.currentRemotePath(), QStringLiteral("/TARVELO/runs"));
    QCOMPARE(newLines(), (QByteArrayList{"$CD /TARVELO/runs", "$PWD", "$LIST"}));
    QCOMPARE(window.treeItemPath(tree->selectedItems().first()), QStringLiteral("/TARVELO/runs"));
    QVERIFY(button->isEnabled()); // the double click enabled it

    // A click on the tree's root goes to the top and disables the download.
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                      tree->visualItemRect(tree->topLevelItem(0)).center());
    QTRY_COMPARE_WITH_TIMEOUT(dumpList(window), rootList, kWaitMs);
    QCOMPARE(newLines(), (QByteArrayList{"$CD /TARVELO", "$PWD", "$LIST"}));
    QVERIFY(!button->isEnabled());
    QCOMPARE(window.readerMode(), Browsing);
}

QTEST_MAIN(tst_BrowseEndToEnd)
#include "tst_browse_e2e.moc"
