// The browser in the real main window: tree and list built from answers, clicks, menus.
#include "app/mainwindow.h"
#include "browser/browserpanel.h"
#include "download/downloadcontroller.h"
#include "link/instrumentlink.h"
#include "link/protocol.h"
#include "app/fileopener.h"
#include "app/mainwindowui.h"
#include "common/browseview.h"
#include "browser/listnamedelegate.h"

#include <QAction>
#include <QMenu>
#include <QTcpServer>
#include <QTcpSocket>
#include <QToolTip>
#include <QtTest>

class tst_BrowserWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void icons_data();
    void icons();
    void pwdAnswers_data();
    void pwdAnswers();
    void listAnswers_data();
    void listAnswers();
    void findTreeItem_data();
    void findTreeItem();
    void clicks_data();
    void clicks();
    void longNamesShowWholeAsToolTip_data();
    void longNamesShowWholeAsToolTip();
    void namesWrapUnderTheIcon_data();
    void namesWrapUnderTheIcon();
    void contextMenus_data();
    void contextMenus();
    void ticksFollowTheDownloadFolder();
    void longListingShownWhole_data();
    void longListingShownWhole();
    void downloadEndWaitsForAcceptedListing_data();
    void downloadEndWaitsForAcceptedListing();
    void readsFromTheSocket();

private:
    QString dumpTree() const;
    QString dumpList() const;
    QString iconName(const QIcon &icon) const;
    void apply(const QStringList &script);
    QByteArray sentBy(const std::function<void()> &action);

    MainWindow *m_window = nullptr;
    Ui::MainWindow *m_ui = nullptr;
    QTemporaryDir *m_download = nullptr;
    QTcpServer *m_server = nullptr;
    QTcpSocket *m_peer = nullptr; // the instrument's end
};

void tst_BrowserWindow::init()
{
    m_download = new QTemporaryDir;
    QVERIFY(m_download->isValid());
    m_window = new MainWindow;
    m_ui = m_window->form();
    m_window->setDownloadPath(m_download->path());
    m_window->browser()->listMenu()->addAction(QStringLiteral("x"));
    m_window->browser()->treeMenu()->addAction(QStringLiteral("x"));

    m_server = new QTcpServer;
    QVERIFY(m_server->listen(QHostAddress(QStringLiteral("127.0.0.10")), 0));
    auto *client = new QTcpSocket(m_window);
    client->connectToHost(m_server->serverAddress(), m_server->serverPort());
    QVERIFY(client->waitForConnected(5000));
    QTRY_VERIFY_WITH_TIMEOUT(m_server->hasPendingConnections(), 5000);
    m_peer = m_server->nextPendingConnection();
    m_window->link()->attach(client);
}

void tst_BrowserWindow::cleanup()
{
    delete m_window;
    delete m_server;
    delete m_download;
    m_window = nullptr;
}

QString tst_BrowserWindow::iconName(const QIcon &icon) const
{
    return BrowseView::iconName(*m_window, icon);
}

QString tst_BrowserWindow::dumpTree() const
{
    return BrowseView::tree(*m_window);
}

QString tst_BrowserWindow::dumpList() const
{
    return BrowseView::list(*m_window);
}

void tst_BrowserWindow::apply(const QStringList &script)
{
    for (const QString &line : script) {
        if (line.startsWith(QLatin1String("$PWD:")))
            m_window->browser()->applyPwdAnswer(line);
        else
            m_window->browser()->applyListAnswer(line);
    }
}

// What the window writes to the instrument while `action` runs.
QByteArray tst_BrowserWindow::sentBy(const std::function<void()> &action)
{
    action();
    m_window->link()->sendLine("#end\n");
    m_window->socket()->flush();
    QByteArray got;
    QDeadlineTimer deadline(5000);
    while (!got.endsWith("#end\n") && !deadline.hasExpired()) {
        if (!m_peer->bytesAvailable())
            m_peer->waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
        got += m_peer->readAll();
    }
    if (!got.endsWith("#end\n"))
        return "(timed out) " + got;
    got.chop(5);
    return got;
}

void tst_BrowserWindow::icons_data()
{
    QTest::addColumn<QString>("which");
    for (const char *name : {"disk", "folder", "folder+", "parent", "file", "file+", "tiff",
                             "tiff+", "pdf", "pdf+"})
        QTest::newRow(name) << name;
}

// Every icon the browser shows is drawn from the program's resources.
void tst_BrowserWindow::icons()
{
    QFETCH(QString, which);
    const BrowseIcons &icons = m_window->browser()->icons();
    const QIcon *icon = which == "disk" ? &icons.disk : which == "folder" ? &icons.folder
        : which == "folder+" ? &icons.folderChecked : which == "parent" ? &icons.parent
        : which == "file" ? &icons.file : which == "file+" ? &icons.fileChecked
        : which == "tiff" ? &icons.tiff : which == "tiff+" ? &icons.tiffChecked
        : which == "pdf" ? &icons.pdf : &icons.pdfChecked;
    QVERIFY(!icon->isNull());
    QVERIFY(!icon->pixmap(QSize(100, 100)).isNull());
    QCOMPARE(iconName(*icon), which);
}

void tst_BrowserWindow::pwdAnswers_data()
{
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QString>("tree");
    QTest::addColumn<QString>("current");
    QTest::newRow("the first answer makes the root")
        << QStringList{"$PWD:/TARVELO"} << "/TARVELO" << "/TARVELO";
    QTest::newRow("a second identical answer changes nothing")
        << QStringList{"$PWD:/TARVELO", "$PWD:/TARVELO"} << "/TARVELO" << "/TARVELO";
    QTest::newRow("a later answer keeps the first root")
        << QStringList{"$PWD:/TARVELO", "$PWD:/TARVELO/a"} << "/TARVELO" << "/TARVELO/a";
    QTest::newRow("the value is trimmed")
        << QStringList{"$PWD:  /TARVELO \r"} << "/TARVELO" << "/TARVELO";
}

void tst_BrowserWindow::pwdAnswers()
{
    QFETCH(QStringList, script);
    QFETCH(QString, tree);
    QFETCH(QString, current);
    apply(script);
    QCOMPARE(dumpTree(), tree);
    QCOMPARE(m_ui->FILE_TREEWIDGET->topLevelItemCount(), 1);
    QCOMPARE(iconName(m_ui->FILE_TREEWIDGET->topLevelItem(0)->icon(0)), QStringLiteral("disk"));
    QCOMPARE(m_window->currentRemotePath(), current);
}

void tst_BrowserWindow::listAnswers_data()
{
    QTest::addColumn<QStringList>("local"); // below the download folder; "x/" is a folder
    QTest::addColumn<QStringList>("script");
    QTest::addColumn<QString>("tree");
    QTest::addColumn<QString>("list");
    QTest::addColumn<QStringList>("kinds");

    const QStringList root{"$PWD:/TARVELO", "$LIST: <d,a><d,b><f,r.txt>"};
    QTest::newRow("a listing before any folder answer is declined")
        << QStringList{} << QStringList{"$LIST: <d,a>"} << "" << "" << QStringList{};
    QTest::newRow("root: folders then files, no parent row")
        << QStringList{} << root << "/TARVELO(a,b)" << "folder a|folder b|file r.txt"
        << QStringList{"a=Dir", "b=Dir", "r.txt=File"};
    QTest::newRow("sub-folder: parent row first, of kind Dir")
        << QStringList{} << root + QStringList{"$PWD:/TARVELO/a", "$LIST: <f,y><d,x>"}
        << "/TARVELO(a(x),b)" << "parent ..|folder x|file y"
        << QStringList{"..=Dir", "x=Dir", "y=File"};
    QTest::newRow("refreshing twice leaves one child per folder")
        << QStringList{} << root + QStringList{"$LIST: <d,a><d,b><f,r.txt>"} << "/TARVELO(a,b)"
        << "folder a|folder b|file r.txt" << QStringList{"a=Dir", "b=Dir", "r.txt=File"};
    QTest::newRow("refreshing a folder drops the branches below it")
        << QStringList{}
        << root + QStringList{"$PWD:/TARVELO/a", "$LIST: <d,x>", "$PWD:/TARVELO", "$LIST: <d,a>"}
        << "/TARVELO(a)" << "folder a" << QStringList{"a=Dir"};
    QTest::newRow("an empty answer empties the folder's branch")
        << QStringList{} << root + QStringList{"$PWD:/TARVELO/a", "$LIST: <d,x>", "$LIST: "}
        << "/TARVELO(a,b)" << "parent .." << QStringList{"..=Dir"};
    QTest::newRow("a folder missing from the tree leaves the tree alone")
        << QStringList{} << root + QStringList{"$PWD:/TARVELO/zz/a", "$LIST: <d,q>"}
        << "/TARVELO(a,b)" << "parent ..|folder q" << QStringList{"..=Dir", "q=Dir"};
    QTest::newRow("local copies ticked, by kind")
        << QStringList{"a/x/", "a/y", "a/z/", "a/w"}
        << root + QStringList{"$PWD:/TARVELO/a", "$LIST: <d,x><d,w><f,y><f,z>"}
        << "/TARVELO(a(x,w),b)" << "parent ..|folder+ x|folder w|file+ y|file z"
        << QStringList{"..=Dir", "w=Dir", "x=Dir", "y=File", "z=File"};
    QTest::newRow("images and reports by their own icons, ticked alike")
        << QStringList{"a/i.tif", "a/R.PDF", "a/l.log", "a/d.tiff/"}
        << root + QStringList{"$PWD:/TARVELO/a",
                              "$LIST: <d,d.tiff><f,i.tif><f,j.TIFF><f,R.PDF><f,s.pdf><f,l.log>"
                              "<f,tif><f,x.pdf.txt>"}
        << "/TARVELO(a(d.tiff),b)"
        << "parent ..|folder+ d.tiff|tiff+ i.tif|tiff j.TIFF|pdf+ R.PDF|pdf s.pdf|file+ l.log|"
           "file tif|file x.pdf.txt"
        << QStringList{"..=Dir", "R.PDF=File", "d.tiff=Dir", "i.tif=File", "j.TIFF=File",
                       "l.log=File", "s.pdf=File", "tif=File", "x.pdf.txt=File"};
}

void tst_BrowserWindow::listAnswers()
{
    QFETCH(QStringList, local);
    QFETCH(QStringList, script);
    QFETCH(QString, tree);
    QFETCH(QString, list);
    QFETCH(QStringList, kinds);
    const QString base = m_download->path();
    for (const QString &path : local) {
        if (path.endsWith('/')) {
            QVERIFY(QDir().mkpath(base + '/' + path));
        } else {
            QVERIFY(QDir().mkpath(QFileInfo(base + '/' + path).path()));
            QFile file(base + '/' + path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        }
    }
    apply(script);
    QCOMPARE(dumpTree(), tree);
    QCOMPARE(dumpList(), list);
    QStringList kindList;
    for (auto it = m_window->browser()->itemKinds().begin(); it != m_window->browser()->itemKinds().end(); ++it)
        kindList.append(it.key() + '=' + it.value());
    QCOMPARE(kindList, kinds);
    if (QTreeWidgetItem *rootItem = m_ui->FILE_TREEWIDGET->topLevelItem(0)) {
        QVERIFY(!rootItem->isExpanded());
        for (int i = 0; i < rootItem->childCount(); ++i) {
            QCOMPARE(iconName(rootItem->child(i)->icon(0)), QStringLiteral("folder"));
            QCOMPARE(rootItem->child(i)->toolTip(0), rootItem->child(i)->text(0));
        }
    }
}

void tst_BrowserWindow::findTreeItem_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("found"); // the item's own path; empty: none
    QTest::newRow("root") << "/TARVELO" << "/TARVELO";
    QTest::newRow("root with a trailing slash") << "/TARVELO/" << "/TARVELO";
    QTest::newRow("folder") << "/TARVELO/a" << "/TARVELO/a";
    QTest::newRow("folder with a trailing slash") << "/TARVELO/a/" << "/TARVELO/a";
    QTest::newRow("nested folder") << "/TARVELO/a/x" << "/TARVELO/a/x";
    QTest::newRow("a name that exists elsewhere only") << "/TARVELO/x" << "";
    QTest::newRow("a missing folder on the way") << "/TARVELO/zz/x" << "";
    QTest::newRow("another root sharing the prefix") << "/TARVELOX/a" << "";
    QTest::newRow("outside the root") << "/etc/a" << "";
    QTest::newRow("empty segment") << "/TARVELO//a" << "";
    QTest::newRow("case differs") << "/TARVELO/A" << "";
    QTest::newRow("empty") << "" << "";
}

void tst_BrowserWindow::findTreeItem()
{
    QFETCH(QString, path);
    QFETCH(QString, found);
    QCOMPARE(m_window->browser()->findTreeItem(path), nullptr);
    apply({"$PWD:/TARVELO", "$LIST: <d,a><d,b>", "$PWD:/TARVELO/a", "$LIST: <d,x>"});
    QTreeWidgetItem *item = m_window->browser()->findTreeItem(path);
    QCOMPARE(item ? m_window->browser()->treeItemPath(item) : QString(), found);
}

void tst_BrowserWindow::clicks_data()
{
    QTest::addColumn<QString>("action"); // tree, list, double, or a key pressed in the list
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("enabledBefore");
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<bool>("button");
    QTest::addColumn<bool>("menuAction");
    QTest::addColumn<QString>("selected"); // the tree's selection afterwards
    QTest::addColumn<bool>("expanded");
    QTest::addColumn<bool>("opens");

    const QByteArray toRoot = "$CD /TARVELO\n$PWD\n$LIST\n";
    QTest::newRow("click on the tree's root")
        << "tree" << "/TARVELO" << true << toRoot << false << false << "/TARVELO" << false << false;
    // Download follows the list's selection, whatever the tree or a double click does.
    QTest::newRow("click on a tree folder")
        << "tree" << "/TARVELO/b" << true << QByteArray("$CD /TARVELO/b\n$PWD\n$LIST\n") << false
        << false << "/TARVELO/b" << false << false;
    QTest::newRow("click on the parent row")
        << "list" << ".." << true << QByteArray() << false << false << "/TARVELO/a" << false << false;
    QTest::newRow("click on a file") << "list" << "f.tif" << false << QByteArray() << true << true
                                     << "/TARVELO/a" << false << false;
    QTest::newRow("click on a folder") << "list" << "x" << false << QByteArray() << true << true
                                       << "/TARVELO/a" << false << false;
    QTest::newRow("double click on a folder")
        << "double" << "x" << false << QByteArray("$CD /TARVELO/a/x\n$PWD\n$LIST\n") << true
        << true << "/TARVELO/a/x" << true << false;
    QTest::newRow("double click on the parent row")
        << "double" << ".." << true << toRoot << false << false << "/TARVELO" << false << false;
    QTest::newRow("double click on a folder not yet in the tree")
        << "double" << "new" << false << QByteArray("$CD /TARVELO/a/new\n$PWD\n$LIST\n") << true
        << true << "" << true << false;
    QTest::newRow("double click on a file opens it, asks the instrument nothing")
        << "double" << "f.tif" << false << QByteArray() << true << true << "/TARVELO/a" << false
        << true;
    // The keyboard does what the mouse does.
    QTest::newRow("Enter on a folder enters it")
        << "Return" << "x" << false << QByteArray("$CD /TARVELO/a/x\n$PWD\n$LIST\n") << true
        << true << "/TARVELO/a/x" << true << false;
    QTest::newRow("Enter on the parent row goes up")
        << "Enter" << ".." << true << toRoot << false << false << "/TARVELO" << false << false;
    QTest::newRow("Enter on a file opens it")
        << "Return" << "f.tif" << false << QByteArray() << true << true << "/TARVELO/a" << false
        << true;
    QTest::newRow("arrow onto a folder enables Download")
        << "Right" << ".." << false << QByteArray() << true << true << "/TARVELO/a" << false
        << false;
    QTest::newRow("arrow onto the parent row disables Download")
        << "Left" << "x" << true << QByteArray() << false << false << "/TARVELO/a" << false
        << false;
    QTest::newRow("Shift+End selects up to the last file")
        << "Shift+End" << ".." << false << QByteArray() << true << true << "/TARVELO/a" << false
        << false;
}

void tst_BrowserWindow::clicks()
{
    QFETCH(QString, action);
    QFETCH(QString, target);
    QFETCH(bool, enabledBefore);
    QFETCH(QByteArray, sent);
    QFETCH(bool, button);
    QFETCH(bool, menuAction);
    QFETCH(QString, selected);
    QFETCH(bool, expanded);
    QFETCH(bool, opens);
    apply({"$PWD:/TARVELO", "$LIST: <d,a><d,b>", "$PWD:/TARVELO/a", "$LIST: <d,x><d,new><f,f.tif>"});
    // The tree does not know "new" yet: take it out again, as if listed before a refresh.
    delete m_window->browser()->findTreeItem("/TARVELO/a/new");
    QTreeWidget *tree = m_ui->FILE_TREEWIDGET;
    tree->setCurrentItem(m_window->browser()->findTreeItem("/TARVELO/a"));
    m_ui->BUTTON_DOWNLOAD->setEnabled(enabledBefore);
    m_window->menuDownloadAction()->setEnabled(enabledBefore);

    QListWidgetItem *item = nullptr;
    const auto rows = m_ui->FILE_LISTWIDGET->findItems(target, Qt::MatchExactly);
    if (!rows.isEmpty())
        item = rows.first();
    QListWidget *list = m_ui->FILE_LISTWIDGET;
    const bool byKey = !QStringList{"tree", "list", "double"}.contains(action);
    if (byKey) { // the list lays its items out only when shown
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
        tree->collapseAll(); // a shown tree opens the way to its current item
        list->setCurrentItem(item);
        list->setFocus();
    }
    QSignalSpy opened(m_window->browser(), &BrowserPanel::openRequested);
    const QByteArray got = sentBy([&] {
        if (action == QLatin1String("tree")) {
            QTreeWidgetItem *treeItem = m_window->browser()->findTreeItem(target);
            tree->setCurrentItem(treeItem); // a real click selects before it reports
            m_window->on_FILE_TREEWIDGET_itemClicked(treeItem, 0);
        } else if (action == QLatin1String("list")) {
            list->setCurrentItem(item); // a real click selects before it reports
            m_window->on_FILE_LISTWIDGET_itemClicked(item);
        } else if (action == QLatin1String("double")) {
            list->setCurrentItem(item);
            m_window->on_FILE_LISTWIDGET_itemDoubleClicked(item);
        } else {
            const QKeySequence keys(action);
            QTest::keyClick(list, Qt::Key(keys[0] & ~Qt::KeyboardModifierMask),
                            Qt::KeyboardModifiers(keys[0] & Qt::KeyboardModifierMask));
        }
    });
    QCOMPARE(got, sent);
    QCOMPARE(m_ui->BUTTON_DOWNLOAD->isEnabled(), button);
    QCOMPARE(m_window->menuDownloadAction()->isEnabled(), menuAction);
    QStringList selection;
    for (QTreeWidgetItem *s : tree->selectedItems())
        selection.append(m_window->browser()->treeItemPath(s));
    QCOMPARE(selection.join(','), selected);
    QCOMPARE(tree->topLevelItem(0)->isExpanded(), expanded);
    QCOMPARE(opened.count(), opens ? 1 : 0);
    if (opens)
        QCOMPARE(opened.at(0).at(0).toString(), target);
}

void tst_BrowserWindow::longNamesShowWholeAsToolTip_data()
{
    QTest::addColumn<QString>("hovered");
    QTest::addColumn<bool>("tip");
    QTest::newRow("short name") << "a.tif" << false;
    QTest::newRow("parent row") << ".." << false;
    for (const char *run : {"0041", "0042", "0043"})
        QTest::addRow("long name %s", run)
            << QStringLiteral("2024-03-11_Run%1_overview_channel2.tif").arg(run) << true;
}

void tst_BrowserWindow::namesWrapUnderTheIcon_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("whole"); // shown in full, else cut in the middle
    QTest::newRow("short") << "a.tif" << true;
    QTest::newRow("run-prefixed") << "2024-03-11_Run0043_overview_channel2_rgb8.tif" << true;
    QTest::newRow("one long word") << QString(200, QLatin1Char('x')) + "_end7.tif" << false;
    QTest::newRow("long run name") << "2024-03-11_Run0043_overview_of_the_whole_plate_at_"
                                      "high_resolution_channel2_rgb8.tif" << false;
}

// Names run onto up to three lines under the icon; longer ones lose their middle, so their
// distinguishing end stays in view.
void tst_BrowserWindow::namesWrapUnderTheIcon()
{
    QFETCH(QString, name);
    QFETCH(bool, whole);
    QListWidget *list = m_ui->FILE_LISTWIDGET;
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    const int width = list->gridSize().width() - 4;
    const QStringList lines = ListNameDelegate::nameLines(name, list->font(), width);
    QVERIFY(!lines.isEmpty() && lines.size() <= ListNameDelegate::kLines);
    const QFontMetrics metrics(list->font());
    for (const QString &line : lines)
        QVERIFY2(metrics.horizontalAdvance(line) <= width, qPrintable(line));
    if (whole) {
        QVERIFY2(lines.join(QString()) == name, qPrintable(lines.join(QLatin1Char('|')) + QLatin1Char(' ') + list->font().toString()));
    } else {
        QCOMPARE(lines.size(), ListNameDelegate::kLines);
        QVERIFY(lines.last().contains(QChar(0x2026)));
        QVERIFY2(name.endsWith(lines.last().section(QChar(0x2026), -1)), qPrintable(lines.last()));
        QVERIFY(name.startsWith(lines.first()));
    }
    // The grid holds the icon and three lines of name.
    QVERIFY(list->gridSize().width() >= ListNameDelegate::kCellWidth);
    QCOMPARE(list->iconSize(), QSize(100, 100));
    QVERIFY(list->gridSize().height() >= 100 + 3 * metrics.lineSpacing());
}

// Three long names that share their beginning read alike in the grid; the tool tip tells
// them apart.
void tst_BrowserWindow::longNamesShowWholeAsToolTip()
{
    QFETCH(QString, hovered);
    QFETCH(bool, tip);
    QToolTip::hideText();
    QTRY_VERIFY(!QToolTip::isVisible());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    apply({"$PWD:/TARVELO", "$LIST: <d,a>", "$PWD:/TARVELO/a",
           "$LIST: <f,a.tif><f,2024-03-11_Run0041_overview_channel2.tif>"
           "<f,2024-03-11_Run0042_overview_channel2.tif><f,2024-03-11_Run0043_overview_channel2.tif>"});
    QListWidget *list = m_ui->FILE_LISTWIDGET;
    const QList<QListWidgetItem *> items = list->findItems(hovered, Qt::MatchExactly);
    QCOMPARE(items.size(), 1);
    // Every cell is the grid's, whatever name comes first: names are cut at one width.
    for (int i = 0; i < list->count(); ++i)
        QCOMPARE(list->visualItemRect(list->item(i)).size(), list->gridSize());
    const QPoint at = list->visualItemRect(items.first()).center();
    QHelpEvent help(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
    QApplication::sendEvent(list->viewport(), &help);
    if (tip) {
        QTRY_VERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), hovered);
    } else {
        QVERIFY(!QToolTip::isVisible());
    }
}

void tst_BrowserWindow::contextMenus_data()
{
    QTest::addColumn<QString>("widget");
    QTest::addColumn<QString>("selected"); // the tree's selection, or the list's row
    QTest::addColumn<QString>("at");       // the item right-clicked; empty: below the items
    QTest::addColumn<QString>("menu");     // the tree action's text; empty: no menu
    QTest::addColumn<QString>("target");   // the folder the tree's menu downloads
    QTest::newRow("tree: a folder other than the one shown")
        << "tree" << "/TARVELO/a" << "/TARVELO/b" << "Download \u201Cb\u201D" << "/TARVELO/b";
    QTest::newRow("tree: the folder shown") << "tree" << "/TARVELO/a" << "/TARVELO/a"
                                            << "Download \u201Ca\u201D" << "/TARVELO/a";
    QTest::newRow("tree: the root, no menu") << "tree" << "/TARVELO/a" << "/TARVELO" << "" << "";
    QTest::newRow("tree: below the folders, the selected one")
        << "tree" << "/TARVELO/b" << "" << "Download \u201Cb\u201D" << "/TARVELO/b";
    QTest::newRow("tree: below the folders, root selected: no menu")
        << "tree" << "/TARVELO" << "" << "" << "";
    QTest::newRow("list: on an item") << "list" << "a" << "a" << "Start Download" << "";
    QTest::newRow("list: nothing selected, menu all the same") << "list" << "" << "" << "Start Download" << "";
}

// The tree's menu acts on the folder under the pointer and names it; the tree's selection
// stays with the folder the list shows.
void tst_BrowserWindow::contextMenus()
{
    QFETCH(QString, widget);
    QFETCH(QString, selected);
    QFETCH(QString, at);
    QFETCH(QString, menu);
    QFETCH(QString, target);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    apply({"$PWD:/TARVELO", "$LIST: <d,a><d,b>"});
    QTreeWidget *tree = m_ui->FILE_TREEWIDGET;
    tree->expandAll();
    const bool inTree = widget == QLatin1String("tree");
    if (inTree && !selected.isEmpty())
        tree->setCurrentItem(m_window->browser()->findTreeItem(selected));
    if (!inTree && !selected.isEmpty())
        m_ui->FILE_LISTWIDGET->setCurrentRow(0);
    QMenu *popup = inTree ? m_window->browser()->treeMenu() : m_window->browser()->listMenu();
    QAbstractItemView *view = inTree ? static_cast<QAbstractItemView *>(tree) : m_ui->FILE_LISTWIDGET;
    // Below the tree's folders; right of the list's items.
    QPoint pos = inTree ? QPoint(12, tree->visualItemRect(m_window->browser()->findTreeItem("/TARVELO/b")).bottom() + 20)
                        : QPoint(300, 10);
    if (inTree && !at.isEmpty())
        pos = tree->visualItemRect(m_window->browser()->findTreeItem(at)).center();
    else if (!at.isEmpty())
        pos = m_ui->FILE_LISTWIDGET->visualItemRect(m_ui->FILE_LISTWIDGET->item(0)).center();

    // A real right click: the press must not move the tree's selection.
    connect(tree, SIGNAL(customContextMenuRequested(QPoint)), m_window, SLOT(treecontextMenuRequest(QPoint)));
    connect(m_ui->FILE_LISTWIDGET, SIGNAL(customContextMenuRequested(QPoint)), m_window,
            SLOT(contextMenuRequest(QPoint)));
    QTest::mouseClick(m_window->windowHandle(), Qt::RightButton, Qt::NoModifier,
                      view->viewport()->mapTo(m_window, pos));
    QCOMPARE(popup->isVisible(), !menu.isEmpty());
    if (inTree) {
        QStringList selection;
        for (QTreeWidgetItem *item : tree->selectedItems())
            selection.append(m_window->browser()->treeItemPath(item));
        QCOMPARE(selection.join(','), selected);
    }
    if (menu.isEmpty())
        return;
    // At the pointer (the list's may be pushed left to stay on the small test screen).
    QCOMPARE(popup->y(), view->viewport()->mapToGlobal(pos).y());
    if (inTree)
        QCOMPARE(popup->pos(), view->viewport()->mapToGlobal(pos));
    QCOMPARE(popup->actions().first()->text(), menu);
    if (inTree && !at.isEmpty()) // marked while the menu is open
        QVERIFY(m_window->browser()->findTreeItem(at)->background(0).style() != Qt::NoBrush);
    popup->close();
    if (inTree) {
        QCOMPARE(m_window->browser()->findTreeItem(target)->background(0).style(), Qt::NoBrush);
        QCOMPARE(m_window->browser()->takeTreeMenuTarget(), target);
    }
}

void tst_BrowserWindow::ticksFollowTheDownloadFolder()
{
    QTemporaryDir other;
    QVERIFY(QDir(other.path()).mkpath(QStringLiteral("a/x")));
    QFile local(other.filePath(QStringLiteral("a/y")));
    QVERIFY(local.open(QIODevice::WriteOnly));
    local.close();
    apply({"$PWD:/TARVELO", "$LIST: <d,a>", "$PWD:/TARVELO/a", "$LIST: <d,x><d,w><f,y><f,z>"});
    QCOMPARE(dumpList(), QStringLiteral("parent ..|folder x|folder w|file y|file z"));
    m_ui->FILE_LISTWIDGET->item(3)->setSelected(true);

    // Chosen through the menu: ticked at once, nothing asked of the instrument, the
    // selection kept.
    static QString chosen;
    chosen = other.path();
    m_window->setFolderChooser([](QWidget *) { return chosen; });
    QAction *choose = nullptr;
    for (QAction *a : m_window->findChildren<QAction *>())
        if (a->text() == QLatin1String("Set Download folder"))
            choose = a;
    QVERIFY(choose);
    QCOMPARE(sentBy([&] { choose->trigger(); }), QByteArray());
    QCOMPARE(dumpList(), QStringLiteral("parent ..|folder+ x|folder w|file+ y|file z"));
    QVERIFY(m_ui->FILE_LISTWIDGET->item(3)->isSelected());
    m_window->setDownloadPath(m_download->path());
    QCOMPARE(dumpList(), QStringLiteral("parent ..|folder x|folder w|file y|file z"));
}

void tst_BrowserWindow::longListingShownWhole_data()
{
    QTest::addColumn<int>("piece"); // bytes the reader is handed at a time; 0: the answer whole
    QTest::addColumn<QByteArray>("end");
    QTest::newRow("whole") << 0 << QByteArray();
    QTest::newRow("in pieces, ended by a line feed") << 16384 << QByteArray("\n");
    QTest::newRow("in pieces, the last without a line feed") << 16384 << QByteArray();
}

// A listing long enough for its local folder to be read aside while the rows are made:
// every row still gets its own tick, and the list shows all of it, as the user finds by
// clicking in it and going to its end with the keyboard. Rows shown from a part of the
// answer before the folder has been read get their ticks once it has.
void tst_BrowserWindow::longListingShownWhole()
{
    QFETCH(int, piece);
    QFETCH(QByteArray, end);
    const QDir big(m_download->filePath(QStringLiteral("big")));
    QVERIFY(big.mkpath(QStringLiteral(".")));
    // Files the instrument does not list make the folder slow enough to read that the
    // first parts of the answer are shown before it has been read.
    for (int i = 0; piece && i < 20000; ++i)
        QVERIFY(QFile(big.filePath(QStringLiteral("unlisted%1").arg(i))).open(QIODevice::WriteOnly));
    QString line = QStringLiteral("$LIST: ");
    QStringList folders{QStringLiteral("parent ..")}, files;
    for (int i = 0; i < 3000; ++i) {
        const bool folder = i % 10 == 0, local = i % 4 < 2;
        const QString name = folder ? QStringLiteral("d%1").arg(i) : QStringLiteral("f%1.tif").arg(i);
        line += QStringLiteral("<%1,%2>").arg(folder ? 'd' : 'f').arg(name);
        if (local && folder)
            QVERIFY(big.mkdir(name));
        QFile file(big.filePath(name));
        QVERIFY(!local || folder || file.open(QIODevice::WriteOnly));
        (folder ? folders : files).append((folder ? "folder" : "tiff") + QString(local ? "+ " : " ") + name);
    }
    apply({"$PWD:/TARVELO", "$LIST: <d,big>", "$PWD:/TARVELO/big"});
    if (!piece) {
        apply({line});
        QCOMPARE(dumpList(), (folders + files).join('|'));
    } else {
        MessageReader &reader = m_window->link()->reader();
        const QByteArray bytes = line.toUtf8();
        for (int at = 0; at < bytes.size(); at += piece) {
            reader.feed(bytes.mid(at, piece));
            reader.handOverPart();
        }
        reader.feed(end);
        reader.flushUnterminated(); // as the link does once nothing more waits
        QTRY_COMPARE_WITH_TIMEOUT(dumpList(), (folders + files).join('|'), 5000);
    }

    QListWidget *list = m_ui->FILE_LISTWIDGET;
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualItemRect(list->item(1)).center());
    QCOMPARE(list->currentRow(), 1);
    QTest::keyClick(list, Qt::Key_End);
    QCOMPARE(list->currentRow(), list->count() - 1);
    QVERIFY(list->viewport()->rect().intersects(list->visualItemRect(list->currentItem())));
}

void tst_BrowserWindow::downloadEndWaitsForAcceptedListing_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("mode");
    QTest::addColumn<int>("finished");
    QTest::newRow("a listing before the tree exists keeps the download open")
        << QByteArray("$LIST: <f,a>\n") << int(Refreshing) << 0;
    QTest::newRow("the first accepted listing ends it")
        << QByteArray("$PWD:/TARVELO\n$LIST: <f,a>\n$LIST: <f,a>\n") << int(Browsing) << 1;
}

void tst_BrowserWindow::downloadEndWaitsForAcceptedListing()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, mode);
    QFETCH(int, finished);
    // The end notice without a download under way: the window is locked as by a request.
    m_window->link()->reader().feed(QByteArray(Protocol::kDownloadCompleted) + '\n');
    QCOMPARE(int(m_window->readerMode()), int(Refreshing));
    m_window->downloads()->setBusy(true);
    QVERIFY(!m_ui->FILE_TREEWIDGET->isEnabled());
    m_window->link()->reader().feed(bytes);
    QCOMPARE(int(m_window->readerMode()), mode);
    QCOMPARE(!m_window->downloads()->isBusy(), bool(finished));
    QCOMPARE(m_ui->FILE_TREEWIDGET->isEnabled(), bool(finished));
    QVERIFY(m_window->isEnabled());
    m_window->downloads()->setBusy(false);
}

// The answers come through the socket; a last line without its line feed still counts,
// and a socket of an earlier link is not listened to.
void tst_BrowserWindow::readsFromTheSocket()
{
    QTcpSocket stale;
    stale.connectToHost(m_server->serverAddress(), m_server->serverPort());
    QVERIFY(stale.waitForConnected(5000));
    QTRY_VERIFY_WITH_TIMEOUT(m_server->hasPendingConnections(), 5000);
    QTcpSocket *stalePeer = m_server->nextPendingConnection();
    connect(&stale, SIGNAL(readyRead()), m_window, SLOT(slotReadyRead()));
    connect(m_window->socket(), SIGNAL(readyRead()), m_window, SLOT(slotReadyRead()));

    stalePeer->write("$PWD:/OTHER\n$LIST: <d,wrong>\n");
    QTRY_COMPARE_WITH_TIMEOUT(stale.bytesAvailable(), qint64(0), 5000);
    m_peer->write("$PWD:/TARVELO\r\n$LIST: <d,a><f,b>");
    QTRY_COMPARE_WITH_TIMEOUT(dumpList(), QStringLiteral("folder a|file b"), 5000);
    QCOMPARE(dumpTree(), QStringLiteral("/TARVELO(a)"));
    m_peer->write("$PWD:/TARVELO/a\r\n$LIST: <f,c>\r\n");
    QTRY_COMPARE_WITH_TIMEOUT(dumpList(), QStringLiteral("parent ..|file c"), 5000);
    QCOMPARE(m_window->currentRemotePath(), QStringLiteral("/TARVELO/a"));
}

QTEST_MAIN(tst_BrowserWindow)
#include "tst_browserwindow.moc"
