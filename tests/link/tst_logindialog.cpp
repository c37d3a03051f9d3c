#include "common/settings.h"
#include "link/blackhole.h"
#include "link/logindialog.h"
#include "link/scriptedpeer.h"
#include "common/testaddress.h"
#include "common/textfit.h"

#include <QCheckBox>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QGuiApplication>
#include <QStyle>
#include <QStyleOptionButton>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <functional>

namespace {
constexpr int kWaitMs = 10000;

// The dialog always dials port 30000: each peer gets a loopback address of its own.
QString listenFree(ScriptedPeer &peer)
{
    return TestAddress::listen([&](const QString &address) {
        return peer.listen(QHostAddress(address), TestAddress::kPort);
    });
}

QString openFree(Blackhole &hole)
{
    return TestAddress::listen([&](const QString &address) {
        return hole.open(qPrintable(address), TestAddress::kPort);
    });
}

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
    void look_data();
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
    void enterMeansConnect_data();
    void enterMeansConnect();
    void dottedAddress_data();
    void dottedAddress();
    void incompleteAddress();
    void cancelWhileConnecting_data();
    void cancelWhileConnecting();
    void failureSaysWhy_data();
    void failureSaysWhy();
    void staleMessageGoes();

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
    QLineEdit *box(int i) { return edit(QStringLiteral("EDIT_ADDRESS_%1").arg(i + 1)); }
    QLabel *detail() { return dialog.findChild<QLabel *>(QStringLiteral("LABEL_STATE_DETAIL")); }
    QPushButton *cancelButton() { return dialog.findChild<QPushButton *>(QStringLiteral("BUTTON_CANCEL")); }
    QStringList boxes()
    {
        QStringList parts;
        for (int i = 0; i < 4; ++i)
            parts << box(i)->text();
        return parts;
    }
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

namespace {
double luminance(QRgb rgb)
{
    auto channel = [](int c) {
        const double v = c / 255.0;
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) + 0.0722 * channel(qBlue(rgb));
}

// Contrast between the darkest and the lightest pixel of an area, as for text on a ground.
double contrast(const QImage &image, const QRect &area)
{
    double low = 1, high = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const double l = luminance(image.pixel(x, y));
            low = qMin(low, l);
            high = qMax(high, l);
        }
    return (high + 0.05) / (low + 0.05);
}
} // namespace

void tst_LoginDialog::look_data()
{
    QTest::addColumn<QString>("language");
    for (const QString &language : TextFit::languages())
        QTest::newRow(qPrintable(language)) << language;
}

void tst_LoginDialog::look()
{
    QFETCH(QString, language);
    const TextFit::Speaking speaking(language);
    const auto tr = [](const char *text) { return QCoreApplication::translate("LoginDialog", text); };
    Shown shown;
    QCOMPARE(shown.dialog.minimumSize(), QSize(400, 300));
    QCOMPARE(shown.dialog.maximumSize(), QSize(400, 300));
    QVERIFY(shown.dialog.windowFlags() & Qt::FramelessWindowHint);
    QVERIFY(!(shown.dialog.windowFlags() & Qt::WindowContextHelpButtonHint));
    QCOMPARE(shown.dialog.windowTitle(), tr("TARVELO\u2122 Utility:: Connector"));
    QVERIFY(QTest::qWaitForWindowExposed(&shown.dialog));
    // Every text fits where it is placed, each state text and its longest detail included.
    const QStringList states{tr("Connecting..."), tr("Connecting failed!"), tr("Account or password incorrect."),
                             tr("No answer from the instrument."), tr("The instrument disconnected."),
                             tr("Enter all four parts of the address.")};
    const QStringList details{tr("Refused: nothing answers there on port %1.").arg(30000),
                              tr("No answer within %1 s: check the address.").arg(30),
                              tr("This computer cannot reach that address.")};
    for (int i = 0; i < states.size(); ++i) {
        shown.state->setText(states.at(i));
        shown.detail()->setText(details.value(i));
        for (auto *label : shown.dialog.findChildren<QLabel *>())
            QVERIFY2(TextFit::overflow(label).isEmpty(), qPrintable(TextFit::overflow(label)));
    }
    for (auto *button : shown.dialog.findChildren<QPushButton *>())
        QVERIFY2(TextFit::overflow(button).isEmpty(), qPrintable(TextFit::overflow(button)));
    QVERIFY(shown.anonymous->width() >= shown.anonymous->sizeHint().width());

    // "CONNECT" is the default button and is drawn as such.
    QVERIFY(shown.connectButton->isDefault());
    QVERIFY(!shown.cancelButton()->isDefault());
    const QImage connect = shown.connectButton->grab().toImage();
    const QImage cancel = shown.cancelButton()->grab().toImage();
    QVERIFY(connect.pixel(1, 15) != cancel.pixel(1, 15));

    // The tick stands out from its box: at least 4.5:1, like text.
    QStyleOptionButton option;
    option.initFrom(shown.anonymous);
    const QRect indicator = shown.anonymous->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, shown.anonymous);
    const QImage box = shown.anonymous->grab().toImage();
    const double ratio = contrast(box, indicator.adjusted(2, 2, -2, -2));
    QVERIFY2(ratio >= 4.5, qPrintable(QString::number(ratio)));
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
    QTest::addColumn<QString>("at"); // "peer", or "closed": where nothing listens
    QTest::addColumn<QString>("account");
    QTest::addColumn<QByteArray>("answer");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("stateText");
    QTest::addColumn<QString>("storedUser"); // "<none>": nothing stored
    const QByteArray ok("$LOGIN: OK\n");
    QTest::newRow("anonymous accepted") << "peer" << QString() << ok << true << "Connecting..."
                                        << "anonymous";
    QTest::newRow("account accepted") << "peer" << "lab,alice" << ok << true << "Connecting..."
                                      << "<none>"; // stored empty, which reads as not found
    QTest::newRow("refused") << "peer" << "alice" << QByteArray("$LOGIN: NG\n") << false
                             << "Account or password incorrect." << "<none>";
    QTest::newRow("no answer") << "peer" << QString() << QByteArray() << false
                               << "No answer from the instrument." << "<none>";
    QTest::newRow("closed port") << "closed" << QString() << ok << false
                                 << "Connecting failed!" << "<none>";
}

void tst_LoginDialog::attempt()
{
    QFETCH(QString, at);
    QFETCH(QString, account);
    QFETCH(QByteArray, answer);
    QFETCH(bool, accepted);
    QFETCH(QString, stateText);
    QFETCH(QString, storedUser);
    ScriptedPeer peer;
    peer.loginAnswer = answer;
    const QString peerAddress = listenFree(peer);
    QVERIFY2(!peerAddress.isEmpty(), qPrintable(peer.server.errorString()));
    const TestAddress::Refusing closed;
    const QString address = at == QLatin1String("peer") ? peerAddress : closed.address();
    QVERIFY(!address.isEmpty());
    Shown shown;
    shown.fill(address, account, QStringLiteral("pw"));
    shown.connectButton->click();
    QCOMPARE(shown.state->text(), QStringLiteral("Connecting..."));
    QVERIFY(!shown.connectButton->isEnabled());

    if (accepted) {
        QTRY_COMPARE_WITH_TIMEOUT(shown.dialog.result(), int(QDialog::Accepted), kWaitMs);
        QVERIFY(!shown.dialog.isVisible());
        QCOMPARE(shown.socket.state(), QAbstractSocket::ConnectedState);
        QCOMPARE(stored("IP Address"), address.toStdString());
        QVERIFY(QFile(settingsFile()).open(QIODevice::ReadOnly));
    } else {
        QTRY_VERIFY_WITH_TIMEOUT(shown.connectButton->isEnabled(), kWaitMs);
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
    const QString peerAddress = listenFree(peer);
    QVERIFY(!peerAddress.isEmpty());
    Shown shown;
    shown.dialog.setAnswerTimeout(kWaitMs);
    shown.fill(peerAddress);
    shown.connectButton->click();
    QTRY_COMPARE_WITH_TIMEOUT(peer.last(), QByteArray("$LOGIN: <anonymous,>\n"), kWaitMs);
    QCoreApplication::processEvents();
    QVERIFY(!QFile::exists(settingsFile()));
    peer.send("$LOGIN: OK\n");
    QTRY_COMPARE_WITH_TIMEOUT(shown.dialog.result(), int(QDialog::Accepted), kWaitMs);
    QCOMPARE(stored("IP Address"), peerAddress.toStdString());
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
    const QString peerAddress = listenFree(peer);
    QVERIFY(!peerAddress.isEmpty());
    Shown shown;
    shown.fill(peerAddress);
    shown.connectButton->click();
    QTRY_VERIFY_WITH_TIMEOUT(shown.connectButton->isEnabled(), kWaitMs);
    QCOMPARE(shown.state->text(), QStringLiteral("Account or password incorrect."));
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
    const QString holeAddress = openFree(hole);
    QVERIFY(!holeAddress.isEmpty());
    Shown shown;
    shown.dialog.setConnectTimeout(1500);
    shown.fill(holeAddress);
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
    QVERIFY(!shown.connectButton->isEnabled());

    QTRY_VERIFY_WITH_TIMEOUT(shown.connectButton->isEnabled(), kWaitMs);
    QCOMPARE(shown.state->text(), QStringLiteral("Connecting failed!"));
    QCOMPARE(shown.socket.state(), QAbstractSocket::UnconnectedState);
}

void tst_LoginDialog::enterMeansConnect_data()
{
    QTest::addColumn<bool>("remembered");
    QTest::addColumn<QString>("field"); // empty: wherever the focus is on opening
    QTest::newRow("remembered address, Enter at once") << true << QString();
    QTest::newRow("remembered address, Enter in an address box") << true << "EDIT_ADDRESS_2";
    QTest::newRow("typed address, Enter in the last box") << false << "EDIT_ADDRESS_4";
    QTest::newRow("account login, Enter in the password") << false << "EDIT_PASSWORD";
}

void tst_LoginDialog::enterMeansConnect()
{
    QFETCH(bool, remembered);
    QFETCH(QString, field);
    ScriptedPeer peer;
    const QString peerAddress = listenFree(peer);
    QVERIFY(!peerAddress.isEmpty());
    if (remembered)
        Settings::writeSetting("Last Connect", "IP Address", peerAddress.toStdString(),
                               Settings::settingsFilePath());
    Shown shown;
    if (!remembered)
        shown.fill(peerAddress, field == "EDIT_PASSWORD" ? "alice" : QString(), "pw");
    QVERIFY(QTest::qWaitForWindowExposed(&shown.dialog));
    shown.dialog.activateWindow();
    QWidget *target = field.isEmpty() ? shown.dialog.focusWidget() : shown.edit(field);
    QVERIFY(target);
    target->setFocus();
    QTest::keyClick(target, Qt::Key_Return);
    QCOMPARE(shown.state->text(), QStringLiteral("Connecting..."));
    QTRY_COMPARE_WITH_TIMEOUT(shown.dialog.result(), int(QDialog::Accepted), kWaitMs);
    QCOMPARE(peer.connections(), 1);
}

void tst_LoginDialog::dottedAddress_data()
{
    QTest::addColumn<int>("box");
    QTest::addColumn<QString>("how"); // "type", "paste", "paste keypad"
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("focusBox");
    const QStringList full{"127", "0", "0", "1"};
    QTest::newRow("typed with dots") << 0 << "type" << "127.0.0.1" << full << 3;
    QTest::newRow("typed with the keypad's comma") << 0 << "keypad" << "10,1,2,3" << QStringList{"10", "1", "2", "3"} << 3;
    QTest::newRow("a dot in an empty box stays") << 0 << "type" << ".5" << QStringList{"5", "", "", ""} << 0;
    QTest::newRow("pasted into the first box") << 0 << "paste" << "127.0.0.1" << full << 3;
    QTest::newRow("pasted into the third box") << 2 << "paste" << " 127.0.0.1\n" << full << 3;
    QTest::newRow("two parts pasted into the second box") << 1 << "paste" << "168.0" << QStringList{"9", "168", "0", "9"} << 2;
    QTest::newRow("pasted from the context menu") << 1 << "menu" << "10.0.0.7" << QStringList{"10", "0", "0", "7"} << 3;
    QTest::newRow("too many parts refused") << 0 << "paste" << "1.2.3.4.5" << QStringList{"9", "9", "9", "9"} << 0;
    QTest::newRow("a part over 255 refused") << 0 << "paste" << "300.1.1.1" << QStringList{"9", "9", "9", "9"} << 0;
    QTest::newRow("a host name refused") << 0 << "paste" << "lab.example.org" << QStringList{"9", "9", "9", "9"} << 0;
    QTest::newRow("backspace in an empty box goes back") << 1 << "backspace" << QString() << QStringList{"9", "", "9", "9"} << 0;
}

void tst_LoginDialog::dottedAddress()
{
    QFETCH(int, box);
    QFETCH(QString, how);
    QFETCH(QString, text);
    QFETCH(QStringList, expected);
    QFETCH(int, focusBox);
    Shown shown;
    QVERIFY(QTest::qWaitForWindowExposed(&shown.dialog));
    shown.dialog.activateWindow();
    if (how == "paste" || how == "backspace")
        shown.fill(how == "paste" ? "9.9.9.9" : "9..9.9");
    QLineEdit *start = shown.box(box);
    start->setFocus();
    QTRY_VERIFY(start->hasFocus());
    if (how == "paste") {
        QGuiApplication::clipboard()->setText(text);
        QTest::keySequence(start, QKeySequence::Paste);
    } else if (how == "menu") {
        QGuiApplication::clipboard()->setText(text);
        QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(2, 2), start->mapToGlobal(QPoint(2, 2)));
        QApplication::sendEvent(start, &event);
        QMenu *menu = nullptr;
        QTRY_VERIFY((menu = qobject_cast<QMenu *>(QApplication::activePopupWidget())));
        QAction *paste = nullptr;
        for (QAction *action : menu->actions()) {
            if (action->text().startsWith(QLatin1String("&Paste")))
                paste = action;
        }
        QVERIFY(paste);
        paste->trigger();
        menu->close();
    } else if (how == "backspace") {
        QTest::keyClick(start, Qt::Key_Backspace);
    } else {
        for (const QChar c : text) {
            QWidget *focus = QApplication::focusWidget();
            if (how == "keypad" && c == QLatin1Char(','))
                QTest::keyClick(focus, Qt::Key_Comma, Qt::KeypadModifier);
            else
                QTest::keyClicks(focus, QString(c));
        }
    }
    QCOMPARE(shown.boxes(), expected);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(shown.box(focusBox)));
}

void tst_LoginDialog::incompleteAddress()
{
    ScriptedPeer peer;
    const QString peerAddress = listenFree(peer);
    QVERIFY(!peerAddress.isEmpty());
    Shown shown;
    shown.fill("127.0..2");
    QTest::mouseClick(shown.connectButton, Qt::LeftButton);
    QCOMPARE(shown.state->text(), QStringLiteral("Enter all four parts of the address."));
    QVERIFY(shown.connectButton->isEnabled());
    QCOMPARE(shown.socket.state(), QAbstractSocket::UnconnectedState);
    QCOMPARE(shown.dialog.focusWidget(), static_cast<QWidget *>(shown.box(2)));
    QCOMPARE(peer.connections(), 0);
}

void tst_LoginDialog::cancelWhileConnecting_data()
{
    QTest::addColumn<QString>("key"); // "cancel" clicks the button
    QTest::newRow("cancel button") << "cancel";
    QTest::newRow("escape key") << "escape";
    QTest::newRow("a second Enter goes on connecting") << "enter";
}

void tst_LoginDialog::cancelWhileConnecting()
{
    QFETCH(QString, key);
    Blackhole hole;
    const QString holeAddress = openFree(hole);
    QVERIFY(!holeAddress.isEmpty());
    Shown shown;
    shown.fill(holeAddress);
    QVERIFY(QTest::qWaitForWindowExposed(&shown.dialog));
    shown.dialog.activateWindow();
    shown.box(3)->setFocus();
    QTest::keyClick(shown.box(3), Qt::Key_Return);
    QCOMPARE(shown.state->text(), QStringLiteral("Connecting..."));
    QVERIFY(!shown.connectButton->isEnabled());
    QVERIFY(shown.cancelButton()->isEnabled());

    QWidget *focus = QApplication::focusWidget() ? QApplication::focusWidget() : &shown.dialog;
    if (key == "cancel")
        QTest::mouseClick(shown.cancelButton(), Qt::LeftButton);
    else
        QTest::keyClick(focus, key == "escape" ? Qt::Key_Escape : Qt::Key_Return);
    if (key == "enter") {
        QVERIFY(shown.dialog.isVisible());
        QCOMPARE(shown.socket.state(), QAbstractSocket::ConnectingState);
        return;
    }
    // At once, not after the connect limit.
    QVERIFY(!shown.dialog.isVisible());
    QCOMPARE(shown.dialog.result(), int(QDialog::Rejected));
    QCOMPARE(shown.socket.state(), QAbstractSocket::UnconnectedState);
    QVERIFY(!QFile::exists(settingsFile()));
}

void tst_LoginDialog::failureSaysWhy_data()
{
    QTest::addColumn<QString>("at"); // "closed", or "blackhole": where nothing answers
    QTest::addColumn<QString>("detail");
    QTest::newRow("refused") << "closed"
                             << "Refused: nothing answers there on port 30000.";
    QTest::newRow("no answer") << "blackhole" << "No answer within 1 s: check the address.";
}

void tst_LoginDialog::failureSaysWhy()
{
    QFETCH(QString, at);
    QFETCH(QString, detail);
    Blackhole hole;
    const QString holeAddress = openFree(hole);
    QVERIFY(!holeAddress.isEmpty());
    const TestAddress::Refusing closed;
    QVERIFY(!closed.address().isEmpty());
    const QString address = at == QLatin1String("closed") ? closed.address() : holeAddress;
    Shown shown;
    shown.dialog.setConnectTimeout(800);
    shown.fill(address);
    QTest::mouseClick(shown.connectButton, Qt::LeftButton);
    QTRY_COMPARE_WITH_TIMEOUT(shown.state->text(), QStringLiteral("Connecting failed!"), kWaitMs);
    QCOMPARE(shown.detail()->text(), detail);
    QVERIFY(TextFit::overflow(shown.detail()).isEmpty());
    QVERIFY(shown.connectButton->isEnabled());
    QCOMPARE(shown.dialog.focusWidget(), static_cast<QWidget *>(shown.connectButton));
}

void tst_LoginDialog::staleMessageGoes()
{
    const TestAddress::Refusing closed;
    QVERIFY(!closed.address().isEmpty());
    Shown shown;
    QVERIFY(QTest::qWaitForWindowExposed(&shown.dialog));
    shown.dialog.activateWindow();
    shown.fill(closed.address());
    // A message after each way of editing: typing, pasting, the anonymous box.
    const QList<std::function<void()>> edits{
        [&] { QTest::keyClick(shown.box(3), Qt::Key_Backspace); },
        [&] {
            QGuiApplication::clipboard()->setText(QStringLiteral("127.0.0.3"));
            shown.box(0)->setFocus();
            QTest::keySequence(shown.box(0), QKeySequence::Paste);
        },
        [&] { shown.anonymous->click(); }};
    for (const auto &edit : edits) {
        shown.fill(closed.address());
        QTest::mouseClick(shown.connectButton, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(shown.state->text(), QStringLiteral("Connecting failed!"), kWaitMs);
        QVERIFY(!shown.detail()->text().isEmpty());
        shown.box(3)->setFocus();
        edit();
        QCOMPARE(shown.state->text(), QString());
        QCOMPARE(shown.detail()->text(), QString());
    }
}

QTEST_MAIN(tst_LoginDialog)
#include "tst_logindialog.moc"
