// The main window against the stand-in instrument, driven by real keys and clicks: select
// all and Download, the window during a download, opening a file that is downloaded first,
// and knowing where one is (the folder's path, the status line, Refresh, Up and Back).
#include "browser/browserpanel.h"
#include "download/downloade2e.h"
#include "download/emptydownloadsizedialog.h"
#include "download/notdownloaddialog.h"
#include "viewer/imageloaddialog.h"

#include <QAction>
#include <QImage>
#include <QLineEdit>

using namespace DownloadE2E;

class tst_EverydayNavigation : public QObject
{
    Q_OBJECT
private slots:
    void selectAllDownloadsTheEntries();
    void windowStaysUsableDuringADownload();
    void downloadedFileOpens();
    void whereYouAre_data();
    void whereYouAre();

private:
    bool start(Session &s);
    int m_next = 0;
};

namespace {

// Every line the window sends from now on.
QByteArrayList *recordLines(Session &s)
{
    auto *lines = new QByteArrayList;
    QObject::connect(s.server.get(), &InstrumentServer::lineReceived, s.window.get(),
                     [lines](int, const QByteArray &line) { lines->append(line); });
    QObject::connect(s.window.get(), &QObject::destroyed, [lines] { delete lines; });
    return lines;
}

QString listNames(Session &s)
{
    QStringList names;
    for (int i = 0; i < s.list()->count(); ++i)
        names.append(s.list()->item(i)->text());
    return names.join(',');
}

void clickItem(Session &s, const QString &name, Qt::KeyboardModifiers keys = {})
{
    QListWidgetItem *item = s.list()->findItems(name, Qt::MatchExactly).value(0);
    QVERIFY(item);
    QTest::mouseClick(s.list()->viewport(), Qt::LeftButton, keys, s.list()->visualItemRect(item).center());
}

void doubleClickItem(Session &s, const QString &name)
{
    QListWidgetItem *item = s.list()->findItems(name, Qt::MatchExactly).value(0);
    QVERIFY(item);
    const QPoint at = s.list()->visualItemRect(item).center();
    QTest::mouseClick(s.list()->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(s.list()->viewport(), Qt::LeftButton, {}, at);
}

} // namespace

// The instrument: /TARVELO/{a.bin, b.bin, pic.png, runs/r1.bin}; the window shown, active,
// logged in and listing the home folder.
bool tst_EverydayNavigation::start(Session &s)
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    if (!writeFile(s.root + "/a.bin", "aaaa") || !writeFile(s.root + "/b.bin", "bbbbbb")
        || !writeFile(s.root + "/runs/r1.bin", "r1") || !image.save(s.root + "/pic.png"))
        return false;
    if (!s.start(InstrumentOptions()) || !s.openWindow())
        return false;
    QApplication::setActiveWindow(s.window.get());
    return QTest::qWaitForWindowActive(s.window.get())
        && QTest::qWaitFor([&] { return s.listShows("pic.png"); }, 10000);
}

void tst_EverydayNavigation::selectAllDownloadsTheEntries()
{
    Session s;
    QVERIFY(start(s));
    QPushButton *button = s.window->form()->BUTTON_DOWNLOAD;
    doubleClickItem(s, "runs");
    QTRY_COMPARE(listNames(s), QStringLiteral("..,r1.bin"));
    QVERIFY(!button->isEnabled());
    QVERIFY(!button->toolTip().isEmpty()); // says what to do first

    s.list()->setFocus();
    QTest::keyClick(s.list(), Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(s.list()->selectedItems().size(), 1);
    QCOMPARE(s.list()->selectedItems().first()->text(), QStringLiteral("r1.bin"));
    QVERIFY(button->isEnabled());
    QVERIFY(s.window->menuDownloadAction()->isEnabled());

    // ".." taken in by a Ctrl+click is left out of the download; taking the last entry out
    // disables Download even though ".." stays selected.
    clickItem(s, "..", Qt::ControlModifier);
    QCOMPARE(s.list()->selectedItems().size(), 2);
    QVERIFY(button->isEnabled());
    clickItem(s, "r1.bin", Qt::ControlModifier);
    QVERIFY(!button->isEnabled());
    QVERIFY(!s.window->menuDownloadAction()->isEnabled());
    clickItem(s, "r1.bin", Qt::ControlModifier);

    QByteArrayList *lines = recordLines(s);
    QTest::mouseClick(button, Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(s.ended(), 15000);
    QCOMPARE(lines->value(0), QByteArray("$DOWNLOAD REQUEST </TARVELO/runs/r1.bin>"));
    QCOMPARE(s.downloadedFiles(), QStringList{"runs/r1.bin"});
}

void tst_EverydayNavigation::windowStaysUsableDuringADownload()
{
    Session s;
    QVERIFY(start(s));
    clickItem(s, "a.bin");
    QByteArrayList *lines = recordLines(s);
    QTest::mouseClick(s.window->form()->BUTTON_DOWNLOAD, Qt::LeftButton);
    QVERIFY(s.window->downloads()->isBusy());

    // Usable: the window, its title buttons, the list's selection, Help.
    QVERIFY(s.window->isEnabled());
    QVERIFY(s.window->form()->pushButton_3->isEnabled());
    QVERIFY(s.list()->isEnabled());
    s.list()->setFocus();
    QTest::keyClick(s.list(), Qt::Key_Right);
    QCOMPARE(s.list()->selectedItems().value(0)->text(), QStringLiteral("b.bin"));
    // Locked, and saying why: what would start a download or move the instrument's folder.
    const QString why = MainWindow::downloadLockText();
    QVERIFY(!s.tree()->isEnabled());
    QCOMPARE(s.tree()->toolTip(), why);
    QVERIFY(!s.window->form()->BUTTON_DOWNLOAD->isEnabled());
    QCOMPARE(s.window->form()->BUTTON_DOWNLOAD->toolTip(), why);
    QVERIFY(!s.window->menuDownloadAction()->isEnabled());
    QVERIFY(!s.window->refreshAction()->isEnabled());
    QVERIFY(s.window->form()->LABEL_STATUS->text().contains("Downloading"));
    QTest::keyClick(s.window.get(), Qt::Key_F5);
    doubleClickItem(s, "runs");
    QVERIFY(s.window->form()->LABEL_STATUS->text().endsWith(why)); // the refusal says why

    QTRY_VERIFY_WITH_TIMEOUT(s.ended(), 15000);
    // No folder change went out meanwhile: the one "$CD" is the refresh after the download.
    QCOMPARE(lines->count("$CD /TARVELO"), 1);
    QCOMPARE(std::count_if(lines->begin(), lines->end(), [](const QByteArray &l) { return l.startsWith("$CD"); }), 1);
    QVERIFY(lines->indexOf("$CD /TARVELO") > lines->indexOf("$DOWNLOAD COMPLETED /TARVELO/a.bin"));
    QVERIFY(s.window->refreshAction()->isEnabled());
    QTRY_VERIFY(s.listShows("b.bin")); // listed afresh, so nothing is selected
    clickItem(s, "b.bin");
    QVERIFY(s.window->form()->BUTTON_DOWNLOAD->isEnabled());
    QVERIFY(s.tree()->toolTip().isEmpty());
    QCOMPARE(s.downloadedFiles(), QStringList{"a.bin"});
}

void tst_EverydayNavigation::downloadedFileOpens()
{
    Session s;
    QVERIFY(start(s));
    doubleClickItem(s, "pic.png");
    auto *ask = topLevel<NotDownloadDialog>();
    QTRY_VERIFY(ask->isVisible());
    QTest::mouseClick(ask->findChild<QPushButton *>("pushButton"), Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(s.ended(), 15000);
    QCOMPARE(s.downloadedFiles(), QStringList{"pic.png"});
    auto *viewer = topLevel<ImageLoadDialog>();
    QTRY_VERIFY(viewer && viewer->isVisible());
    QVERIFY(!ask->isVisible());
}

void tst_EverydayNavigation::whereYouAre_data()
{
    QTest::addColumn<QString>("keys"); // pressed in the runs folder, after the home folder
    QTest::addColumn<QByteArray>("sent");
    QTest::addColumn<QString>("shown");
    const QByteArray home = "$CD /TARVELO|$PWD|$LIST";
    QTest::newRow("F5 lists the folder again") << "F5" << QByteArray("$CD /TARVELO/runs|$PWD|$LIST")
                                               << "/TARVELO/runs";
    QTest::newRow("Backspace goes up") << "Backspace" << home << "/TARVELO";
    QTest::newRow("Alt+Up goes up") << "Alt+Up" << home << "/TARVELO";
    QTest::newRow("Alt+Left goes back") << "Alt+Left" << home << "/TARVELO";
    QTest::newRow("up, then back to runs") << "Backspace,Alt+Left"
                                           << home + "|$CD /TARVELO/runs|$PWD|$LIST" << "/TARVELO/runs";
    QTest::newRow("nothing above the top") << "Backspace,Backspace" << home << "/TARVELO";
}

void tst_EverydayNavigation::whereYouAre()
{
    QFETCH(QString, keys);
    QFETCH(QByteArray, sent);
    QFETCH(QString, shown);
    Session s;
    QVERIFY(start(s));
    QLineEdit *path = s.window->form()->EDIT_REMOTE_PATH;
    QLabel *status = s.window->form()->LABEL_STATUS;
    QCOMPARE(path->text(), QStringLiteral("/TARVELO"));
    QVERIFY(path->isReadOnly());
    QCOMPARE(status->text(), QStringLiteral("Connected to %1 as anonymous").arg(s.address));

    doubleClickItem(s, "runs");
    QTRY_COMPARE(path->text(), QStringLiteral("/TARVELO/runs"));
    QTRY_COMPARE(listNames(s), QStringLiteral("..,r1.bin"));
    QByteArrayList *lines = recordLines(s);
    s.list()->setFocus();
    for (const QString &key : keys.split(',')) {
        const int sequence = QKeySequence(key)[0];
        const int before = lines->size();
        QSignalSpy listed(s.window->browser(), &BrowserPanel::listingApplied);
        QTest::keyClick(s.list(), Qt::Key(sequence & ~Qt::KeyboardModifierMask),
                        Qt::KeyboardModifiers(sequence & Qt::KeyboardModifierMask));
        if (status->text().contains("is the top folder"))
            continue; // refused at once, and said so
        QTRY_COMPARE(lines->size(), before + 3);
        QTRY_VERIFY(listed.count() > 0);
    }
    QTRY_COMPARE(path->text(), shown);
    QCOMPARE(lines->join('|'), sent);

    s.window->Disconnect();
    QCOMPARE(status->text(), QStringLiteral("Not connected"));
    QVERIFY(path->text().isEmpty());
}

QTEST_MAIN(tst_EverydayNavigation)
#include "tst_everydaynavigation.moc"
