#include "app/mainwindow.h"
#include "app/mainwindowui.h"
#include "browser/browserpanel.h"
#include "common/settings.h"
#include "common/gui.h"

#include <QAction>
#include <QDir>
#include <QMenu>
#include <QScreen>
#include <QSizeGrip>
#include <QSplitterHandle>
#include <QWindow>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace {
QString s_chosenFolder;
QString chooseForTest(QWidget *) { return s_chosenFolder; }

QAction *menuAction(MainWindow &window, const QString &text)
{
    return Gui::menuAction(window.form()->menuBar, text);
}
} // namespace

class tst_MainWindow : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void startState_data();
    void startState();
    void defaultFolder_data();
    void defaultFolder();
    void folderChoice_data();
    void folderChoice();
    void doubleClick_data();
    void doubleClick();
    void drag_data();
    void drag();
    void titleButtons_data();
    void titleButtons();
    void treeKeepsWidth_data();
    void treeKeepsWidth();
    void longPathAndSplitter_data();
    void longPathAndSplitter();
    void menusShowTheirHighlight_data();
    void menusShowTheirHighlight();
    void resizedAndRestored();
    void titleStaysOnScreen();

private:
    // A fresh home folder for every test function: HOME is read when a window is made.
    std::unique_ptr<QTemporaryDir> m_home;
};

void tst_MainWindow::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    qputenv("HOME", QFile::encodeName(m_home->path()));
}

void tst_MainWindow::startState_data()
{
    QTest::addColumn<QString>("object"); // object name, or "action:<text>" for a menu action
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("expected");
    QTest::newRow("Connect visible") << "action:Connect" << QByteArray("visible") << QVariant(true);
    QTest::newRow("Disconnect hidden") << "action:Disconnect" << QByteArray("visible") << QVariant(false);
    QTest::newRow("menu Start Download enabled") << "action:Start Download" << QByteArray("enabled")
                                                 << QVariant(true);
    QTest::newRow("download button disabled") << "BUTTON_DOWNLOAD" << QByteArray("enabled")
                                              << QVariant(false);
    QTest::newRow("title") << "MainWindow" << QByteArray("windowTitle")
                           << QVariant(QString::fromUtf8("TARVELO\u2122 Utility:: Downloader"));
}

void tst_MainWindow::startState()
{
    QFETCH(QString, object);
    QFETCH(QByteArray, property);
    QFETCH(QVariant, expected);
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QObject *target = nullptr;
    if (object.startsWith(QLatin1String("action:")))
        target = menuAction(window, object.mid(7));
    else if (object == QLatin1String("MainWindow"))
        target = &window;
    else
        target = window.findChild<QObject *>(object);
    QVERIFY2(target, qPrintable(object));
    QVariant actual = target->property(property);
    if (expected.type() == QVariant::Int)
        actual.convert(QVariant::Int);
    QCOMPARE(actual, expected);

    // True for every row: nothing connected yet, empty views, the platform draws no frame.
    QCOMPARE(window.connectionCount(), 0);
    QCOMPARE(window.socket(), nullptr);
    QCOMPARE(window.form()->FILE_TREEWIDGET->topLevelItemCount(), 0);
    QCOMPARE(window.form()->FILE_LISTWIDGET->count(), 0);
    QCOMPARE(window.windowFlags() & ~Qt::WindowType_Mask, Qt::CustomizeWindowHint);
}

void tst_MainWindow::defaultFolder_data()
{
    QTest::addColumn<bool>("downloadsFolder");
    QTest::addColumn<QString>("stored"); // relative to home; "" stores nothing
    QTest::addColumn<bool>("storedExists");
    QTest::addColumn<QString>("expected"); // relative to home
    QTest::newRow("no Downloads folder") << false << "" << false << "";
    QTest::newRow("Downloads folder") << true << "" << false << "/Downloads";
    QTest::newRow("stored folder wins") << true << "/my results" << true << "/my results";
    QTest::newRow("stored folder gone") << true << "/gone" << false << "/Downloads";
    QTest::newRow("stored percent twenty") << false << "/a%20b" << true << "/a%20b";
}

void tst_MainWindow::defaultFolder()
{
    QFETCH(bool, downloadsFolder);
    QFETCH(QString, stored);
    QFETCH(bool, storedExists);
    QFETCH(QString, expected);
    const QString home = QDir::homePath();
    if (downloadsFolder)
        QVERIFY(QDir(home).mkdir(QStringLiteral("Downloads")));
    if (!stored.isEmpty()) {
        if (storedExists)
            QVERIFY(QDir(home).mkpath(home + stored));
        Settings::writeSetting("Download", "Path", (home + stored).toStdString(),
                               Settings::settingsFilePath());
    }
    MainWindow window;
    QCOMPARE(window.downloadPath(), home + expected);
    QCOMPARE(window.form()->LABEL_DOWNLOAD_PATH->text(), QStringLiteral("  ") + home + expected);
}

void tst_MainWindow::folderChoice_data()
{
    QTest::addColumn<QString>("chosen"); // relative to home; "<cancel>" for an empty answer
    QTest::addColumn<bool>("create");
    QTest::addColumn<bool>("taken");
    QTest::newRow("cancelled") << "<cancel>" << false << false;
    QTest::newRow("not a folder") << "/missing" << false << false;
    QTest::newRow("plain folder") << "/data" << true << true;
    QTest::newRow("folder with blanks") << "/lab data/run 1" << true << true;
    QTest::newRow("percent twenty in name") << "/a%20b" << true << true;
    QTest::newRow("non-ascii name") << QString::fromUtf8("/Messdaten J\xc3\xbcrgen") << true << true;
}

void tst_MainWindow::folderChoice()
{
    QFETCH(QString, chosen);
    QFETCH(bool, create);
    QFETCH(bool, taken);
    const QString home = QDir::homePath();
    const QString path = chosen == QLatin1String("<cancel>") ? QString() : home + chosen;
    if (create)
        QVERIFY(QDir().mkpath(path));
    const QString settingsFile = QString::fromStdString(Settings::settingsFilePath());

    QString before;
    {
        MainWindow window;
        before = window.downloadPath();
        s_chosenFolder = path;
        window.setFolderChooser(chooseForTest);
        menuAction(window, QStringLiteral("Set Download folder"))->trigger();
        const QString now = taken ? path : before;
        QCOMPARE(window.downloadPath(), now);
        QCOMPARE(window.form()->LABEL_DOWNLOAD_PATH->text(), QStringLiteral("  ") + now);
        QCOMPARE(QFile::exists(settingsFile), taken);
    }
    MainWindow next; // the choice outlives the run
    QCOMPARE(next.downloadPath(), taken ? path : before);
}

void tst_MainWindow::doubleClick_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<bool>("maximisedBefore");
    QTest::addColumn<bool>("maximisedAfter");
    QTest::newRow("left maximises") << int(Qt::LeftButton) << false << true;
    QTest::newRow("left restores") << int(Qt::LeftButton) << true << false;
    QTest::newRow("right does nothing") << int(Qt::RightButton) << false << false;
    QTest::newRow("right keeps maximised") << int(Qt::RightButton) << true << true;
    QTest::newRow("middle does nothing") << int(Qt::MiddleButton) << false << false;
}

void tst_MainWindow::doubleClick()
{
    QFETCH(int, button);
    QFETCH(bool, maximisedBefore);
    QFETCH(bool, maximisedAfter);
    MainWindow window;
    maximisedBefore ? window.showMaximized() : window.showNormal();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTRY_COMPARE(window.isMaximized(), maximisedBefore);
    const auto b = Qt::MouseButton(button);
    Gui::sendMouse(&window, QEvent::MouseButtonDblClick, QPoint(200, 12), b, b);
    QTRY_COMPARE(window.isMaximized(), maximisedAfter);
}

void tst_MainWindow::drag_data()
{
    QTest::addColumn<int>("buttons");
    QTest::addColumn<QPoint>("press");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<QPoint>("moved");
    QTest::newRow("left drags") << int(Qt::LeftButton) << QPoint(300, 12) << QPoint(340, 42)
                                << QPoint(40, 30);
    QTest::newRow("left drags back") << int(Qt::LeftButton) << QPoint(300, 12) << QPoint(280, 2)
                                     << QPoint(-20, -10);
    QTest::newRow("left with right held drags") << int(Qt::LeftButton | Qt::RightButton)
                                                << QPoint(100, 5) << QPoint(110, 5) << QPoint(10, 0);
    QTest::newRow("right does not drag") << int(Qt::RightButton) << QPoint(300, 12)
                                         << QPoint(340, 42) << QPoint(0, 0);
    QTest::newRow("no button does not drag") << 0 << QPoint(300, 12) << QPoint(340, 42)
                                             << QPoint(0, 0);
}

void tst_MainWindow::drag()
{
    QFETCH(int, buttons);
    QFETCH(QPoint, press);
    QFETCH(QPoint, to);
    QFETCH(QPoint, moved);
    MainWindow window;
    window.move(100, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QPoint start = window.pos();
    const Qt::MouseButtons held(buttons);
    const Qt::MouseButton pressed = held == Qt::RightButton ? Qt::RightButton : Qt::LeftButton;
    Gui::sendMouse(&window, QEvent::MouseButtonPress, press, pressed, pressed);
    // Positions are window coordinates of the event, as the window had not moved yet.
    Gui::sendMouse(&window, QEvent::MouseMove, to, Qt::NoButton, held);
    QTRY_COMPARE(window.pos(), start + moved);
}

void tst_MainWindow::titleButtons_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<QString>("expected");
    QTest::newRow("minimise") << "pushButton_3" << 1 << "minimised";
    QTest::newRow("maximise") << "pushButton_2" << 1 << "maximised";
    QTest::newRow("maximise twice restores") << "pushButton_2" << 2 << "normal";
    QTest::newRow("close") << "pushButton" << 1 << "closed";
}

void tst_MainWindow::titleButtons()
{
    QFETCH(QString, button);
    QFETCH(int, clicks);
    QFETCH(QString, expected);
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto *b = window.findChild<QPushButton *>(button);
    QVERIFY(b);
    QCOMPARE(b->text(), QString());
    QVERIFY(b->maximumSize().width() <= 30 && b->maximumSize().height() <= 25);
    for (int i = 0; i < clicks; ++i) {
        b->click();
        QCoreApplication::processEvents();
    }
    if (expected == QLatin1String("minimised"))
        QTRY_VERIFY(window.isMinimized());
    else if (expected == QLatin1String("maximised"))
        QTRY_VERIFY(window.isMaximized());
    else if (expected == QLatin1String("normal"))
        QTRY_VERIFY(!window.isMaximized() && !window.isMinimized() && window.isVisible());
    else
        QTRY_VERIFY(!window.isVisible());
}

void tst_MainWindow::treeKeepsWidth_data()
{
    QTest::addColumn<int>("handleMove"); // drag the splitter first by this much (0: not at all)
    QTest::addColumn<QString>("change");
    QTest::newRow("grow") << 0 << "grow";
    QTest::newRow("shrink") << 0 << "shrink";
    QTest::newRow("maximise and restore") << 0 << "maximise";
    QTest::newRow("moved splitter, then grow") << 120 << "grow";
    QTest::newRow("moved splitter, then maximise") << -60 << "maximise";
}

void tst_MainWindow::treeKeepsWidth()
{
    QFETCH(int, handleMove);
    QFETCH(QString, change);
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSplitter *splitter = window.form()->splitter;
    const QList<int> initial = splitter->sizes();
    // The first resize leaves the share of the layout alone: tree and right pane as 80 to 130.
    const double share = double(initial.at(0)) / initial.at(1);
    QVERIFY2(share > 0.5 && share < 0.75, qPrintable(QString::number(share)));

    if (handleMove) {
        QSplitterHandle *handle = splitter->handle(1);
        const QPoint grip = handle->rect().center();
        Gui::drag(handle, {grip, grip + QPoint(handleMove, 0)});
        QTRY_COMPARE(splitter->sizes().at(0), initial.at(0) + handleMove);
    }
    const int treeWidth = splitter->sizes().at(0);

    if (change == QLatin1String("grow")) {
        window.resize(1300, 900);
    } else if (change == QLatin1String("shrink")) {
        window.resize(900, 700);
    } else {
        window.showMaximized();
        QTRY_VERIFY(window.isMaximized());
        QCOMPARE(splitter->sizes().at(0), treeWidth);
        window.showNormal();
        QTRY_VERIFY(!window.isMaximized());
    }
    QTRY_VERIFY(window.size() != QSize(1024, 768) || change == QLatin1String("maximise"));
    QCoreApplication::processEvents();
    QCOMPARE(splitter->sizes().at(0), treeWidth);
    QCOMPARE(splitter->sizes().at(0) + splitter->sizes().at(1) + splitter->handleWidth(),
             splitter->width());
}

void tst_MainWindow::longPathAndSplitter_data()
{
    QTest::addColumn<int>("drag"); // the splitter handle by this much, then 250 back
    QTest::newRow("as it opens") << 0;
    QTest::newRow("tree dragged to nothing and back") << -2000;
    QTest::newRow("list dragged to nothing and back") << 2000;
}

// A download folder of 185 characters is shown shortened in the middle, never widens the
// window or squeezes the tree, and no drag of the splitter leaves a pane without room or
// the window without its picture.
void tst_MainWindow::longPathAndSplitter()
{
    QFETCH(int, drag);
    QString path = m_home->path();
    for (int i = 1; path.size() < 185; ++i)
        path += QStringLiteral("/Structural Biology Core %1").arg(i);
    path.truncate(185);
    if (path.endsWith(QLatin1Char(' ')) || path.endsWith(QLatin1Char('/')))
        path.replace(184, 1, QLatin1Char('x'));
    QVERIFY(QDir().mkpath(path));
    MainWindow window;
    window.setDownloadPath(path);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    Ui::MainWindow *ui = window.form();
    PathLabel *label = ui->LABEL_DOWNLOAD_PATH;
    QSplitter *splitter = ui->splitter;

    QCOMPARE(window.size(), QSize(1024, 768));
    QCOMPARE(label->text(), QStringLiteral("  ") + path);
    QCOMPARE(label->toolTip(), QDir::toNativeSeparators(path));
    const QString shown = label->shownText();
    QVERIFY2(shown.contains(QChar(0x2026)) && shown.startsWith(QStringLiteral("  ") + path.left(6))
                 && shown.endsWith(path.right(3)),
             qPrintable(shown));
    QVERIFY(label->fontMetrics().horizontalAdvance(shown) <= label->contentsRect().width());
    QVERIFY2(splitter->sizes().at(0) > 300, qPrintable(QString::number(splitter->sizes().at(0))));

    if (drag) {
        for (int move : {drag, drag < 0 ? 250 : -250}) {
            QSplitterHandle *handle = splitter->handle(1);
            const QPoint grip = handle->rect().center();
            Gui::drag(handle, {grip, grip + QPoint(move, 0)});
            QCoreApplication::processEvents();
            const QList<int> sizes = splitter->sizes();
            QVERIFY2(sizes.at(0) >= ui->FILE_TREEWIDGET->minimumWidth() && sizes.at(0) >= 150
                         && sizes.at(1) >= ui->layoutWidget->minimumWidth() && sizes.at(1) >= 270,
                     qPrintable(QStringLiteral("%1, %2").arg(sizes.at(0)).arg(sizes.at(1))));
            QCOMPARE(window.size(), QSize(1024, 768));
        }
        // Dragged back, the panes share the room again.
        QVERIFY(splitter->sizes().at(0) > 350 || splitter->sizes().at(1) > 500);
    }

    // Still painted: white tree and list, the label's own background behind its text.
    const QImage picture = window.grab().toImage();
    auto colourAt = [&](QWidget *w, QPoint at) {
        return QColor(picture.pixel(w->mapTo(&window, at))).rgb();
    };
    QCOMPARE(colourAt(ui->FILE_TREEWIDGET, ui->FILE_TREEWIDGET->rect().center()), QColor(Qt::white).rgb());
    QCOMPARE(colourAt(ui->FILE_LISTWIDGET, ui->FILE_LISTWIDGET->rect().center()), QColor(Qt::white).rgb());
    QCOMPARE(colourAt(label, QPoint(label->width() - 2, 2)), QColor(67, 78, 93).rgb());
}

void tst_MainWindow::menusShowTheirHighlight_data()
{
    QTest::addColumn<QString>("menu"); // a menu bar title, or "list" / "tree" for the context menus
    QTest::addColumn<bool>("keyboard"); // else the mouse
    QTest::newRow("File, mouse") << "&File" << false;
    QTest::newRow("File, keyboard") << "&File" << true;
    QTest::newRow("Help, keyboard") << "&Help" << true;
    QTest::newRow("list menu, mouse") << "list" << false;
    QTest::newRow("tree menu, keyboard") << "tree" << true;
}

// Every menu is dark and marks the item under the mouse or the keyboard: the central area's
// dark background must not reach into the menus and hide the highlight, and the context
// menus are not left in the platform's light look.
void tst_MainWindow::menusShowTheirHighlight()
{
    QFETCH(QString, menu);
    QFETCH(bool, keyboard);
    MainWindow window;
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QMenu *popup = nullptr;
    if (menu == QLatin1String("list") || menu == QLatin1String("tree")) {
        popup = menu == QLatin1String("list") ? window.browser()->listMenu()
                                              : window.browser()->treeMenu();
        popup->popup(window.mapToGlobal(QPoint(300, 300)));
    } else {
        QMenuBar *bar = window.form()->menuBar;
        for (QAction *a : bar->actions())
            if (a->text() == menu)
                popup = a->menu();
        QVERIFY(popup);
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier,
                          bar->actionGeometry(popup->menuAction()).center());
    }
    QTRY_VERIFY(popup->isVisible());
    QAction *first = popup->actions().first();
    if (keyboard)
        QTest::keyClick(popup, Qt::Key_Down);
    else
        Gui::sendMouse(popup, QEvent::MouseMove, popup->actionGeometry(first).center(), Qt::NoButton,
                       Qt::NoButton);
    QTRY_COMPARE(popup->activeAction(), first);

    const QImage picture = popup->grab().toImage();
    const QRect item = popup->actionGeometry(first);
    auto colour = [&](int x, int y) { return QColor(picture.pixel(x, y)); };
    QCOMPARE(colour(popup->width() / 2, 2), QColor(67, 78, 93));                // the menu
    QCOMPARE(colour(item.right() - 3, item.center().y()), QColor(43, 49, 58));  // highlight
    QCOMPARE(colour(item.left() + 1, item.center().y()), QColor(69, 181, 221)); // its bar
    int brightest = 0;
    for (int x = item.left() + 6; x < item.right(); ++x)
        brightest = qMax(brightest, colour(x, item.center().y()).lightness());
    QVERIFY2(brightest > 200, "the highlighted text is light on the dark highlight");
    if (popup->actions().size() > 1) {
        const QRect other = popup->actionGeometry(popup->actions().at(1));
        QCOMPARE(colour(other.right() - 3, other.center().y()), QColor(67, 78, 93));
    }
    popup->close();
}

namespace {
// A press, one move and a release at window positions, through the window system's path.
void dragInWindow(QWidget *window, QPoint from, QPoint to)
{
    QWindow *w = window->windowHandle();
    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, from);
    QTest::mouseMove(w, to);
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, to);
}
} // namespace

// The grip and the margin's edges resize the frameless window; closed and opened again,
// it comes back at the same size and place with the same splitter.
void tst_MainWindow::resizedAndRestored()
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    QSize size;
    QPoint place;
    QList<int> splitter;
    {
        MainWindow window;
        window.setGeometry(screen.left(), screen.top(), 800, 540);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *grip = window.findChild<QSizeGrip *>(QStringLiteral("sizeGrip"));
        QVERIFY(grip && grip->isVisible());
        QCOMPARE(grip->mapTo(&window, QPoint(grip->width(), grip->height())),
                 QPoint(window.width(), window.height()));
        QVERIFY(!grip->toolTip().isEmpty());

        const QPoint corner = grip->mapTo(&window, grip->rect().center());
        dragInWindow(&window, corner, corner - QPoint(0, 30));
        QTRY_COMPARE(window.size(), QSize(800, 510));
        // The bottom edge of the margin, away from the grip.
        dragInWindow(&window, QPoint(400, window.height() - 2), QPoint(400, window.height() + 48));
        QTRY_COMPARE(window.size(), QSize(800, 560));

        window.form()->splitter->setSizes({300, 470});
        window.move(screen.left() + 10, screen.top() + 20);
        size = window.size();
        place = window.pos();
        splitter = window.form()->splitter->sizes();
        window.close();
    }
    MainWindow next;
    next.show();
    QVERIFY(QTest::qWaitForWindowExposed(&next));
    QCOMPARE(next.size(), size);
    QCOMPARE(next.pos(), place);
    QCOMPARE(next.form()->splitter->sizes().first(), splitter.first());

    // A place no screen shows any more: centred on the screen there is.
    Settings::writeSetting("Window", "Geometry", "9000 9000 800 520", Settings::settingsFilePath());
    MainWindow moved;
    QVERIFY(screen.contains(QRect(moved.pos(), QSize(moved.width(), 40))));
    QCOMPARE(moved.size(), QSize(800, 520));
}

// Dragged up by its title strip, the window stops with the strip at the top of the screen.
void tst_MainWindow::titleStaysOnScreen()
{
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    MainWindow window;
    window.setGeometry(screen.left() + 50, screen.top() + 40, 800, 520);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    dragInWindow(&window, QPoint(300, 9), QPoint(300, 9 - 300));
    QTRY_COMPARE(window.pos().y(), screen.top());
    dragInWindow(&window, QPoint(300, 9), QPoint(300 - 2000, 9));
    QVERIFY(window.pos().x() + window.width() >= screen.left() + 100);
}

QTEST_MAIN(tst_MainWindow)
#include "tst_mainwindow.moc"
