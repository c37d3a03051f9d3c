#include "app/mainwindow.h"
#include "app/mainwindowui.h"
#include "common/gui.h"
#include "fakeviewerlog.h"

#include <QtTest>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QMenu>
#include <QTemporaryDir>

#include <memory>

class tst_HelpWindow : public QObject
{
    Q_OBJECT
private slots:
    void helpContentsThenClose_data();
    void helpContentsThenClose();
};

void tst_HelpWindow::helpContentsThenClose_data()
{
    QTest::addColumn<bool>("byKey");
    QTest::newRow("Help menu") << false;
    QTest::newRow("F1 key") << true;
}

void tst_HelpWindow::helpContentsThenClose()
{
    QFETCH(bool, byKey);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString log = dir.filePath(QStringLiteral("viewer.log"));
    qputenv("TARVELO_FAKE_HELP_LOG", QFile::encodeName(log));
    const QString savedCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path())); // started from elsewhere

    auto window = std::make_unique<MainWindow>();
    window->show();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    QAction *action = Gui::menuAction(window->form()->menuBar, QStringLiteral("Help Contents"));
    QVERIFY(action);
    for (int request = 0; request < 2; ++request) {
        if (byKey)
            QTest::keyClick(window.get(), Qt::Key_F1);
        else
            action->trigger();
    }
    const QString command = QStringLiteral("setSource qthelp://com.tarvelo.utility/doc/index.html");
    QTRY_COMPARE_WITH_TIMEOUT(allLines(log), (QStringList{command, command}), 10000);
    const QList<ViewerRun> runs = readLog(log);
    QCOMPARE(runs.size(), 1);
    QCOMPARE(runs.first().arguments.value(1),
             QCoreApplication::applicationDirPath() + "/documentation/tarvelo_utility.qhc");

    window->close();
    QVERIFY(processGone(runs.first().pid));
    window.reset();
    QDir::setCurrent(savedCurrent);
}

QTEST_MAIN(tst_HelpWindow)
#include "tst_helpwindow.moc"
