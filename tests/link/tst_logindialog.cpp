#include "common/settings.h"
#include "link/blackhole.h"
#include "link/logindialog.h"
#include "link/scriptedpeer.h"

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

// The dialog always dials port 30000; these loopback addresses are this file's own.
namespace {
const char kPeerAddress[] = "127.0.0.2";
const char kClosedAddress[] = "127.0.0.3"; // nothing listens here
const char kBlackholeAddress[] = "127.0.0.6";
constexpr int kWaitMs = 10000;

QString settingsFile()
{
    return QString::fromStdString(Settings::settingsFilePath());
}

std::string stored(const char *key)
{
    std::string value;
    Settings::readSetting("Last Connect", key, "<none>", value, Settings::settingsFilePath());
    return value;
}
} // namespace

class tst_LoginDialog : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void look();
    void anonymousChoice();
    void restoresLastAddress_data();
    void restoresLastAddress();
    void attempt_data();
    void attempt();
    void nothingStoredBeforeAcceptance();
    void endingAfterRefusal_data();
    void endingAfterRefusal();
    void connectWaitKeepsPainting();

private:
    QTemporaryDir m_home;
};

// A shown dialog on its own socket, and the widgets the tests touch.
struct Shown
{
    QTcpSocket socket;
    LoginDialog dialog;
    QLabel *state;
    QPushButton *connectButton;
    QCheckBox *anonymous;

    Shown()
    {
        dialog.setSocket(&socket);
        dialog.setAnswerTimeout(400);
        state = dialog.findChild<QLabel *>(QStringLiteral("LABEL_CURRENT_STATE"));
        connectButton = dialog.findChild<QPushButton *>(QStringLiteral("BUTTON_CONNECT"));
        anonymous = dialog.findChild<QCheckBox *>(QStringLiteral("CHECKBOX_ANONYMOUS"));
        dialog.show();
    }
    QLineEdit *edit(const QString &name) { return dialog.findChild<QLineEdit *>(name); }
    void fill(const QString &address, const QString &account = QString(),
              const QString &password = QString())
    {
        const QStringList parts = address.split(QLatin1Char('.'));
        for (int i = 0; i < 4; ++i)
            edit(QStringLiteral("EDIT_ADDRESS_%1").arg(i + 1))->setText(parts.value(i));
        if (!account.isEmpty()) {
            if (anonymous->isChecked())
                anonymous->click();
            edit(QStringLiteral("EDIT_ACCOUNT"))->setText(account);
            edit(QStringLiteral("EDIT_PASSWORD"))->setText(password);
        }
    }
};

void tst_LoginDialog::initTestCase()
{
    // Never the real settings file, however the test is started.
    QVERIFY(m_home.isValid());
    qputenv("HOME", QFile::encodeName(m_home.path()));
}

void tst_LoginDialog::init()
{
    QFile::remove(settingsFile());
}

void tst_LoginDialog::look()
{
    Shown shown;
    QCOMPARE(shown.dialog.minimumSize(), QSize(400, 300));
    QCOMPARE(shown.dialog.maximumSize(), QSize(400, 300));
    QVERIFY(shown.dialog.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(!(shown.dialog.windowFlags() & Qt::WindowContextHelpButtonHint));
    QCOMPARE(shown.dialog.windowTitle(), QString::fromUtf8("TARVELO\u2122 Utility:: Connector"));
    // Every text fits where it is placed, each state text included.
    for (const char *text : {"Connecting...", "Connecting failed!", "account or password incorrect.",
                             "No answer from the instrument.", "The instrument closed the link."}) {
        shown.state->setText(QLatin1String(text));
        for (auto *label : shown.dialog.findChildren<QLabel *>())
            QVERIFY2(label->width() >= label->sizeHint().width(), text);
    }
    for (auto *button : shown.dialog.findChildren<QPushButton *>())
        QVERIFY(button->width() >= button->fontMetrics().horizontalAdvance(button->text()) + 8);
    QVERIFY(shown.anonymous->width() >= shown.anonymous->sizeHint().width());
}

void tst_LoginDialog::anonymousChoice()
{
    Shown shown;
    QLineEdit *account = shown.edit(QStringLiteral("EDIT_ACCOUNT"));
    QLineEdit *password = shown.edit(QStringLiteral("EDIT_PASSWORD"));
    QVERIFY(shown.anonymous->isChecked());
    QVERIFY(!account->isEnabled() && !password->isEnabled());
    QCOMPARE(password->echoMode(), QLineEdit::Password);

    shown.anonymous->click();
    QVERIFY(account->isEnabled() && password->isEnabled());
    account->setText(QStringLiteral("alice"));
    password->setText(QStringLiteral("pw"));
    shown.anonymous->click();
    QVERIFY(!account->isEnabled() && !password->isEnabled());
    QCOMPARE(account->text(), QStringLiteral("alice"));
    QCOMPARE(password->text(), QStringLiteral("pw"));
}

void tst_LoginDialog::restoresLastAddress_data()
{
    QTest::addColumn<QString>("address"); // "<none>": no settings file
    QTest::addColumn<QString>("user");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<bool>("focusOnFirst");
    const QStringList empty = {"", "", "", ""};
    QTest::newRow("no file") << "<none>" << "" << empty << true;
    QTest::newRow("four parts") << "192.168.0.10" << "anonymous"
                                << QStringList{"192", "168", "0", "10"} << false;
    QTest::newRow("four parts after account login") << "10.1.2.3" << ""
                                                    << QStringList{"10", "1", "2", "3"} << false;
    QTest::newRow("empty part kept") << "10..2.3" << "" << QStringList{"10", "", "2", "3"} << false;
    QTest::newRow("three parts") << "10.0.0" << "" << empty << true;
    QTest::newRow("five parts") << "1.2.3.4.5" << "" << empty << true;
    QTest::newRow("empty value") << "" << "anonymous" << empty << true;
}

void tst_LoginDialog::restoresLastAddress()
{
    QFETCH(QString, address);
    QFETCH(QString, user);
    QFETCH(QStringList, fields);
    QFETCH(bool, focusOnFirst);
    if (address != QLatin1String("<none>")) {
        Settings::writeSetting("Last Connect", "IP Address", address.toStdString(),
                               Settings::settingsFilePath());
        Settings::writeSetting("Last Connect", "User", user.toStdString(),
                               Settings::settingsFilePath());
    }
    const QByteArray before = [] {
        QFile f(settingsFile());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    Shown shown;
    for (int i = 0; i < 4; ++i)
        QCOMPARE(shown.edit(QStringLiteral("EDIT_ADDRESS_%1").arg(i + 1))->text(), fields.at(i));
    QWidget *first = shown.edit(QStringLiteral("EDIT_ADDRESS_1"));
    QCOMPARE(shown.dialog.focusWidget() == first, focusOnFirst);
    QVERIFY(shown.anonymous->isChecked()); // whatever the last login used
    QVERIFY(!shown.edit(QStringLiteral("EDIT_ACCOUNT"))->isEnabled());
    QFile after(settingsFile()); // opening writes nothing
    QCOMPARE(after.open(QIODevice::ReadOnly) ? after.readAll() : QByteArray(), before);
}

void tst_LoginDialog::attempt_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("account");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("stateText");
    QTest::addColumn<QString>("storedUser"); // "<none>": nothing stored
    const QByteArray ok("$LOGIN: OK\n");
    QTest::newRow("anonymous accepted") << kPeerAddress << QString() << ok << true << "Connecting..."
                                        << "anonymous";
    QTest::newRow("account accepted") << kPeerAddress << "lab,alice" << ok << true << "Connecting..."
                                      << "<none>"; // stored empty, which reads as not found
    QTest::newRow("refused") << kPeerAddress << "alice" << QByteArray("$LOGIN: NG\n") << false
                             << "account or password incorrect." << "<none>";
    QTest::newRow("no answer") << kPeerAddress << QString() << QByteArray() << false
                               << "No answer from the instrument." << "<none>";
    QTest::newRow("closed port") << kClosedAddress << QString() << ok << false
                                 << "Connecting failed!" << "<none>";
}

void tst_LoginDialog::attempt()
{
    QFETCH(QString, address);
    QFETCH(QString, account);
    QFETCH(QByteArray, answer);
    QFETCH(bool, accepted);
    QFETCH(QString, stateText);
    QFETCH(QString, storedUser);
    ScriptedPeer peer;
    peer.loginAnswer = answer;
    QVERIFY2(peer.listen(QHostAddress(QLatin1String(kPeerAddress)), 30000),
             qPrintable(peer.server.errorString()));
    Shown shown;
    shown.fill(address, account, QStringLiteral("pw"));
    shown.connectButton->click();
    QCOMPARE(shown.state->text(), QStringLiteral("Connecting..."));
    QVERIFY(!shown.dialog.isEnabled());

    if (accepted) {
        QTRY_COMPARE_WITH_TIMEOUT(shown.dialog.result(), int(QDialog::Accepted), kWaitMs);
        QVERIFY(!shown.dialog.isVisible());
        QCOMPARE(shown.socket.state(), QAbstractSocket::ConnectedState);
        QCOMPARE(stored("IP Address"), address.toStdString());
        QVERIFY(QFile(settingsFile()).open(QIODevice::ReadOnly));
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(shown.dialog.isEnabled(), kWaitMs);
        QCOMPARE(shown.dialog.result(), int(QDialog::Rejected));
        QVERIFY(shown.dialog.isVisible());
        QTRY_COMPARE_WITH_TIMEOUT(shown.socket.state(), QAbstractSocket::UnconnectedState, kWaitMs);
        QVERIFY(!QFile::exists(settingsFile()));
    }
    QCOMPARE(shown.state->text(), stateText);
    QCOMPARE(stored("User"), storedUser.toStdString());
    QCOMPARE(shown.edit(QStringLiteral("EDIT_ACCOUNT"))->text(), account); // fields keep texts
}

void tst_LoginDialog::nothingStoredBeforeAcceptance()
{
    ScriptedPeer peer;
    peer.loginAnswer.clear();
    QVERIFY(peer.listen(QHostAddress(QLatin1String(kPeerAddress)), 30000));
    Shown shown;
    shown.dialog.setAnswerTimeout(kWaitMs);
    shown.fill(kPeerAddress);
    shown.connectButton->click();
    QTRY_COMPARE_WITH_TIMEOUT(peer.last(), QByteArray("$LOGIN: <anonymous,>\n"), kWaitMs);
    QCoreApplication::processEvents();
    QVERIFY(!QFile::exists(settingsFile()));
    peer.send("$LOGIN: OK\n");
    QTRY_COMPARE_WITH_TIMEOUT(shown.dialog.result(), int(QDialog::Accepted), kWaitMs);
    QCOMPARE(stored("IP Address"), std::string(kPeerAddress));
    QCOMPARE(stored("User"), std::string("anonymous"));
}

void tst_LoginDialog::endingAfterRefusal_data()
{
    QTest::addColumn<bool>("escape");
    QTest::newRow("cancel button") << false;
    QTest::newRow("escape key") << true;
}

void tst_LoginDialog::endingAfterRefusal()
{
    QFETCH(bool, escape);
    ScriptedPeer peer;
    peer.loginAnswer = "$LOGIN: NG\n";
    QVERIFY(peer.listen(QHostAddress(QLatin1String(kPeerAddress)), 30000));
    Shown shown;
    shown.fill(kPeerAddress);
    shown.connectButton->click();
    QTRY_VERIFY_WITH_TIMEOUT(shown.dialog.isEnabled(), kWaitMs);
    QCOMPARE(shown.state->text(), QStringLiteral("account or password incorrect."));
    if (escape)
        QTest::keyClick(&shown.dialog, Qt::Key_Escape);
    else
        shown.dialog.findChild<QPushButton *>(QStringLiteral("BUTTON_CANCEL"))->click();
    QVERIFY(!shown.dialog.isVisible());
    QCOMPARE(shown.dialog.result(), int(QDialog::Rejected));
    QCOMPARE(shown.socket.state(), QAbstractSocket::UnconnectedState);
    QVERIFY(!QFile::exists(settingsFile()));
}

void tst_LoginDialog::connectWaitKeepsPainting()
{
    Blackhole hole;
    QVERIFY(hole.open(kBlackholeAddress, 30000));
    Shown shown;
    shown.dialog.setConnectTimeout(1500);
    shown.fill(kBlackholeAddress);
    QVERIFY(QTest::qWaitForWindowExposed(&shown.dialog));
    shown.connectButton->click();

    struct PaintCounter : QObject
    {
        int paints = 0;
        bool eventFilter(QObject *, QEvent *event) override
        {
            if (event->type() == QEvent::Paint)
                ++paints;
            return false;
        }
    } counter;
    shown.state->installEventFilter(&counter);
    shown.state->update();
    QTRY_VERIFY_WITH_TIMEOUT(counter.paints > 0, kWaitMs);
    QCOMPARE(shown.state->text(), QStringLiteral("Connecting..."));
    QVERIFY(!shown.dialog.isEnabled());

    QTRY_VERIFY_WITH_TIMEOUT(shown.dialog.isEnabled(), kWaitMs);
    QCOMPARE(shown.state->text(), QStringLiteral("Connecting failed!"));
    QCOMPARE(shown.socket.state(), QAbstractSocket::UnconnectedState);
}

QTEST_MAIN(tst_LoginDialog)
#include "tst_logindialog.moc"
