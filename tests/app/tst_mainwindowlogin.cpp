#include "app/mainwindow.h"
#include "app/mainwindowui.h"
#include "common/settings.h"
#include "common/e2e.h"
#include "common/gui.h"
#include "common/testaddress.h"
#include "link/scriptedpeer.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QtTest>

namespace {
constexpr int kWaitMs = 10000;
const QByteArray kFirstLines = "$CD $HOME\n$PWD\n$LIST\n";

// How many connections a signal has; receivers() is protected, reached the standard way.
struct Receivers : QObject
{
    static int of(const QObject *sender, const char *signal)
    {
        return (sender->*(&Receivers::receivers))(signal);
    }
};

QWidget *visibleNotice()
{
    return Gui::visibleTopLevel(QStringLiteral("NoticeDialog"));
}

bool disconnectedState(MainWindow &window)
{
    QAction *connect = Gui::menuAction(window.form()->menuBar, QStringLiteral("Connect"));
    QAction *disconnect = Gui::menuAction(window.form()->menuBar, QStringLiteral("Disconnect"));
    return window.connectionCount() == 0 && connect && connect->isVisible() && disconnect
           && !disconnect->isVisible() && !window.form()->BUTTON_DOWNLOAD->isEnabled();
}

// Drives the login dialog: connect, wait for the given state text, then cancel.
struct CancelAfter : QObject
{
    QString address, stateText;
    bool pressed = false, sawText = false;
    QDeadlineTimer deadline{kWaitMs};
    QTimer timer;

    CancelAfter(const QString &a, const QString &text) : address(a), stateText(text)
    {
        connect(&timer, &QTimer::timeout, this, &CancelAfter::poll);
        timer.start(10);
    }
    void poll()
    {
        QWidget *dialog = QApplication::activeModalWidget();
        auto *state = dialog ? dialog->findChild<QLabel *>(QStringLiteral("LABEL_CURRENT_STATE"))
                             : nullptr;
        if (state && !pressed) {
            E2E::fillLoginDialog(dialog, address);
            pressed = true;
        } else if (state && state->text() == stateText
                   && dialog->findChild<QPushButton *>(QStringLiteral("BUTTON_CONNECT"))->isEnabled()) {
            sawText = true;
            timer.stop();
            dialog->findChild<QPushButton *>(QStringLiteral("BUTTON_CANCEL"))->click();
        } else if (deadline.hasExpired()) {
            timer.stop();
            if (auto *d = qobject_cast<QDialog *>(dialog))
                d->reject();
        }
    }
};
} // namespace

class tst_MainWindowLogin : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void firstLinesAfterLogin_data();
    void firstLinesAfterLogin();
    void failedAttemptLeavesNothing_data();
    void failedAttemptLeavesNothing();
    void linkLoss_data();
    void linkLoss();
    void ownDisconnectIsQuiet();
    void connectionsExistOnce_data();
    void connectionsExistOnce();
    void closingWhileConnected();

private:
    QTemporaryDir m_home;
    std::unique_ptr<ScriptedPeer> m_peer;
    QString m_peerAddress;
};

void tst_MainWindowLogin::initTestCase()
{
    QVERIFY(m_home.isValid());
    qputenv("HOME", QFile::encodeName(m_home.path()));
}

void tst_MainWindowLogin::init()
{
    QFile::remove(QString::fromStdString(Settings::settingsFilePath()));
    m_peer = std::make_unique<ScriptedPeer>();
    m_peerAddress = TestAddress::listen([this](const QString &address) {
        return m_peer->listen(QHostAddress(address), TestAddress::kPort);
    });
    QVERIFY2(!m_peerAddress.isEmpty(), qPrintable(m_peer->server.errorString()));
}

void tst_MainWindowLogin::cleanup()
{
    if (QWidget *notice = visibleNotice())
        notice->hide();
    m_peer.reset();
}

void tst_MainWindowLogin::firstLinesAfterLogin_data()
{
    QTest::addColumn<QString>("account");
    QTest::addColumn<QByteArray>("loginLine");
    QTest::newRow("anonymous") << QString() << QByteArray("$LOGIN: <anonymous,>\n");
    QTest::newRow("account with comma") << "lab,ann" << QByteArray("$LOGIN: <lab,ann,pw>\n");
}

void tst_MainWindowLogin::firstLinesAfterLogin()
{
    QFETCH(QString, account);
    QFETCH(QByteArray, loginLine);
    MainWindow window;
    window.show();
    QVERIFY(E2E::login(window, m_peerAddress, account, QStringLiteral("pw")));
    QTRY_COMPARE_WITH_TIMEOUT(m_peer->last(), loginLine + kFirstLines, kWaitMs);
    QCOMPARE(window.connectionCount(), 1);
    QVERIFY(!disconnectedState(window));
    std::string address;
    QVERIFY(Settings::readSetting("Last Connect", "IP Address", "", address,
                                  Settings::settingsFilePath()));
    QCOMPARE(QString::fromStdString(address), m_peerAddress);
}

void tst_MainWindowLogin::failedAttemptLeavesNothing_data()
{
    QTest::addColumn<QString>("at"); // "peer", or "closed": where nothing listens
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<QString>("stateText");
    QTest::newRow("closed port") << "closed" << QByteArray() << "Connecting failed!";
    QTest::newRow("refused") << "peer" << QByteArray("$LOGIN: NG\n")
                             << "Account or password incorrect.";
}

void tst_MainWindowLogin::failedAttemptLeavesNothing()
{
    QFETCH(QString, at);
    QFETCH(QByteArray, answer);
    QFETCH(QString, stateText);
    const TestAddress::Refusing closed;
    const QString address = at == QLatin1String("peer") ? m_peerAddress : closed.address();
    QVERIFY(!address.isEmpty());
    m_peer->loginAnswer = answer;
    MainWindow window;
    window.show();
    for (int attempt = 1; attempt <= 2; ++attempt) {
        CancelAfter driver(address, stateText);
        window.Connect();
        QVERIFY(driver.sawText);
        QCOMPARE(window.socket(), nullptr);
        QCOMPARE(window.findChildren<QTcpSocket *>().size(), 0); // closed and freed
        QVERIFY(disconnectedState(window));
    }
    if (address == m_peerAddress)
        QTRY_COMPARE_WITH_TIMEOUT(m_peer->closedByClient, 2, kWaitMs);
    QVERIFY(!QFile::exists(QString::fromStdString(Settings::settingsFilePath())));
}

void tst_MainWindowLogin::linkLoss_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("instrument closes") << "close";
    QTest::newRow("instrument aborts") << "abort";
    QTest::newRow("instrument closes right after accepting") << "at once";
}

void tst_MainWindowLogin::linkLoss()
{
    QFETCH(QString, how);
    m_peer->closeAfterAnswer = how == QLatin1String("at once");
    MainWindow window;
    window.show();
    const bool loggedIn = E2E::login(window, m_peerAddress);
    if (how == QLatin1String("close")) {
        QVERIFY(loggedIn);
        m_peer->client->disconnectFromHost();
    } else if (how == QLatin1String("abort")) {
        QVERIFY(loggedIn);
        m_peer->client->abort();
    }
    QTRY_VERIFY_WITH_TIMEOUT(disconnectedState(window), kWaitMs);
    QTRY_VERIFY_WITH_TIMEOUT(visibleNotice(), kWaitMs);
    QVERIFY(visibleNotice()->findChild<QLabel *>()->text().contains(QLatin1String("lost")));
    QVERIFY(window.isEnabled());
}

void tst_MainWindowLogin::ownDisconnectIsQuiet()
{
    MainWindow window;
    window.show();
    QVERIFY(E2E::login(window, m_peerAddress));
    QTRY_COMPARE_WITH_TIMEOUT(m_peer->last().count('\n'), 4, kWaitMs);
    Gui::menuAction(window.form()->menuBar, QStringLiteral("Disconnect"))->trigger();
    QVERIFY(disconnectedState(window));
    QTRY_COMPARE_WITH_TIMEOUT(m_peer->closedByClient, 1, kWaitMs);
    QCoreApplication::processEvents();
    QCOMPARE(visibleNotice(), nullptr);
}

void tst_MainWindowLogin::connectionsExistOnce_data()
{
    QTest::addColumn<QString>("sender");
    QTest::addColumn<QByteArray>("signal");
    QTest::newRow("list right-click") << "FILE_LISTWIDGET"
                                      << QByteArray(SIGNAL(customContextMenuRequested(QPoint)));
    QTest::newRow("tree right-click") << "FILE_TREEWIDGET"
                                      << QByteArray(SIGNAL(customContextMenuRequested(QPoint)));
    QTest::newRow("list Start Download") << "listMenu" << QByteArray(SIGNAL(triggered()));
    QTest::newRow("tree Start Download") << "treeMenu" << QByteArray(SIGNAL(triggered()));
    QTest::newRow("socket reader") << "socket" << QByteArray(SIGNAL(readyRead()));
}

void tst_MainWindowLogin::connectionsExistOnce()
{
    QFETCH(QString, sender);
    QFETCH(QByteArray, signal);
    MainWindow window;
    window.show();
    auto find = [&]() -> QObject * {
        if (sender == QLatin1String("socket"))
            return window.socket();
        if (auto *menu = window.findChild<QMenu *>(sender))
            return menu->actions().value(0);
        return window.findChild<QWidget *>(sender);
    };
    const int before = find() ? Receivers::of(find(), signal) : 0;
    QVERIFY(E2E::login(window, m_peerAddress));
    window.Disconnect();
    QVERIFY(E2E::login(window, m_peerAddress));
    QCOMPARE(Receivers::of(find(), signal), before + 1);
    QCOMPARE(window.findChildren<QTcpSocket *>().size(), 1); // the earlier link was freed

    // One right-click: one request, one menu at most (the menu itself is the browser's).
    if (signal.contains("customContextMenuRequested")) {
        auto *view = qobject_cast<QAbstractScrollArea *>(find());
        QSignalSpy requests(view, &QWidget::customContextMenuRequested);
        int shown = 0;
        struct MenuWatch : QObject
        {
            int *shown;
            bool eventFilter(QObject *o, QEvent *e) override
            {
                if (e->type() == QEvent::Show) {
                    ++*shown;
                    QTimer::singleShot(0, static_cast<QMenu *>(o), &QMenu::close);
                }
                return false;
            }
        } watch;
        watch.shown = &shown;
        for (QMenu *menu : window.findChildren<QMenu *>())
            menu->installEventFilter(&watch);
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(20, 20),
                                view->viewport()->mapToGlobal(QPoint(20, 20)));
        QApplication::sendEvent(view->viewport(), &event);
        QCoreApplication::processEvents();
        QCOMPARE(requests.count(), 1);
        QVERIFY(shown <= 1);
    }
}

void tst_MainWindowLogin::closingWhileConnected()
{
    {
        MainWindow window;
        window.show();
        QVERIFY(E2E::login(window, m_peerAddress));
        window.close();
    }
    QTRY_COMPARE_WITH_TIMEOUT(m_peer->closedByClient, 1, kWaitMs);
    QCOMPARE(visibleNotice(), nullptr);
}

QTEST_MAIN(tst_MainWindowLogin)
#include "tst_mainwindowlogin.moc"
