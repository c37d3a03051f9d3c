#include "link/logindialog.h"

#include "common/dialogplacement.h"
#include "common/settings.h"
#include "common/style.h"
#include "link/addressentry.h"
#include "link/logindialogui.h"

#include <QCheckBox>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpSocket>

namespace {
const char kGroup[] = "Last Connect";
const char kAddressKey[] = "IP Address";
const char kUserKey[] = "User";
const char kAnonymous[] = "anonymous";
// Labels and the check box sit on the dark background and need light text. The check box
// draws its own white box with a dark tick: the style's own tick in the dialog's text colour
// would be white on white.
const char kLoginRules[] =
    "QLabel, QCheckBox {\n\tcolor: rgb(255, 255, 255);\n}\n"
    "QCheckBox::indicator {\n\twidth: 13px;\n\theight: 13px;\n"
    "\tborder: 1px solid rgb(255, 255, 255);\n\tbackground-color: rgb(255, 255, 255);\n}\n"
    "QCheckBox::indicator:checked {\n\timage: url(:/style/tick.png);\n}\n"
    "QCheckBox::indicator:focus {\n\tborder: 1px solid rgb(69, 181, 221);\n}\n"
    "QCheckBox::indicator:disabled {\n\tbackground-color: rgb(163, 170, 180);\n}\n";
} // namespace

LoginDialog::LoginDialog(QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint), ui(new Ui::LoginDialog)
{
    ui->setupUi(this);
    resize(400, 300);
    setMinimumSize(400, 300);
    setMaximumSize(400, 300);
    setWindowTitle(tr("TARVELO\u2122 Utility:: Connector"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setWindowIcon(QIcon(QStringLiteral(":/icon/download.png")));
    setStyleSheet(QLatin1String(Style::kDialogStyle) + QLatin1String(kLoginRules));
    DialogPlacement::follow(this);

    // Without a title bar the dialog names itself in its top band.
    auto *title = new QLabel(windowTitle(), this);
    title->setObjectName(QStringLiteral("LABEL_TITLE"));
    title->setGeometry(1, 24, 398, 26);
    title->setAlignment(Qt::AlignCenter);
    QFont titleFont(QStringLiteral("Arial"));
    titleFont.setPointSize(12);
    titleFont.setBold(true);
    title->setFont(titleFont);

    m_validator = new QIntValidator(0, 255, nullptr);
    for (QLineEdit *edit : ui->EDIT_ADDRESS)
        edit->setValidator(m_validator);
    auto *entry = new AddressEntry(ui->EDIT_ADDRESS, this);

    // Enter in any field means "CONNECT". Made the default explicitly: left to itself, a
    // dialog shown with the focus on "CONNECT" would make the next button, "CANCEL", the
    // default.
    ui->BUTTON_CONNECT->setDefault(true);
    restoreLastAddress();

    ui->CHECKBOX_ANONYMOUS->setChecked(true);
    ui->EDIT_ACCOUNT->setEnabled(false);
    ui->EDIT_PASSWORD->setEnabled(false);

    // A message about the last attempt is stale as soon as the user changes anything.
    connect(entry, &AddressEntry::edited, this, &LoginDialog::clearState);
    for (QLineEdit *edit : findChildren<QLineEdit *>())
        connect(edit, &QLineEdit::textEdited, this, &LoginDialog::clearState);
    connect(ui->CHECKBOX_ANONYMOUS, &QCheckBox::clicked, this, &LoginDialog::clearState);

    connect(&m_exchange, &LoginExchange::accepted, this, &LoginDialog::onAccepted);
    connect(&m_exchange, &LoginExchange::failed, this, &LoginDialog::onFailed);
    QMetaObject::connectSlotsByName(this);
}

LoginDialog::~LoginDialog()
{
    delete ui;
    delete m_validator;
}

void LoginDialog::setSocket(QTcpSocket *socket)
{
    m_socket = socket;
    m_exchange.setSocket(socket);
}

void LoginDialog::restoreLastAddress()
{
    m_settingsPath = Settings::settingsFilePath();
    std::string stored;
    bool restored = false;
    if (Settings::readSetting(kGroup, kAddressKey, std::string(), stored, m_settingsPath)) {
        const QStringList parts = QString::fromUtf8(stored.c_str()).split(QLatin1Char('.'));
        if (parts.size() == 4) {
            for (int i = 0; i < 4; ++i)
                ui->EDIT_ADDRESS[i]->setText(parts.at(i));
            restored = true;
        }
    }
    // Read for completeness only: the dialog always opens with the anonymous choice.
    std::string user;
    Settings::readSetting(kGroup, kUserKey, kAnonymous, user, m_settingsPath);

    // With a remembered address the likely next step is pressing "CONNECT".
    if (restored)
        ui->BUTTON_CONNECT->setFocus();
    else
        ui->EDIT_ADDRESS[0]->setFocus();
}

void LoginDialog::buildHostAddress()
{
    QStringList parts;
    for (QLineEdit *edit : ui->EDIT_ADDRESS)
        parts << edit->text();
    m_hostAddress = LoginExchange::hostAddress(parts);
}

QString LoginDialog::account() const
{
    return ui->CHECKBOX_ANONYMOUS->isChecked() ? QString() : ui->EDIT_ACCOUNT->text();
}

void LoginDialog::askPasswordFor(const QString &hostAddress, const QString &account)
{
    m_fixedLogin = true;
    const QStringList parts = hostAddress.split(QLatin1Char('.'));
    for (int i = 0; i < 4; ++i) {
        ui->EDIT_ADDRESS[i]->setText(parts.value(i));
        ui->EDIT_ADDRESS[i]->setReadOnly(true);
    }
    ui->CHECKBOX_ANONYMOUS->setChecked(false);
    ui->CHECKBOX_ANONYMOUS->setEnabled(false);
    ui->EDIT_ACCOUNT->setText(account);
    ui->EDIT_ACCOUNT->setReadOnly(true);
    ui->EDIT_ACCOUNT->setEnabled(true);
    ui->EDIT_PASSWORD->clear();
    ui->EDIT_PASSWORD->setEnabled(true);
    ui->EDIT_PASSWORD->setFocus();
    showState(tr("Enter the password to connect again."));
}

void LoginDialog::on_CHECKBOX_ANONYMOUS_clicked()
{
    const bool account = !ui->CHECKBOX_ANONYMOUS->isChecked();
    ui->EDIT_ACCOUNT->setEnabled(account);
    ui->EDIT_PASSWORD->setEnabled(account);
}

void LoginDialog::on_BUTTON_CONNECT_clicked()
{
    if (!m_socket || m_attempting)
        return;
    for (QLineEdit *edit : ui->EDIT_ADDRESS) {
        if (edit->text().isEmpty()) {
            showState(tr("Enter all four parts of the address."));
            edit->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    setAttempting(true);
    showState(tr("Connecting..."));
    buildHostAddress();
    m_exchange.start(m_hostAddress, Protocol::kPort, ui->CHECKBOX_ANONYMOUS->isChecked(),
                     ui->EDIT_ACCOUNT->text(), ui->EDIT_PASSWORD->text());
}

void LoginDialog::on_BUTTON_CANCEL_clicked()
{
    reject();
}

void LoginDialog::reject()
{
    m_exchange.cancel();
    setAttempting(false);
    QDialog::reject();
}

void LoginDialog::setAttempting(bool attempting)
{
    // Everything but "CANCEL" (and Escape, which the dialog itself handles) waits while an
    // attempt runs.
    m_attempting = attempting;
    ui->widget->setEnabled(!attempting);
    ui->CHECKBOX_ANONYMOUS->setEnabled(!attempting && !m_fixedLogin);
    ui->BUTTON_CONNECT->setEnabled(!attempting);
    // The focus lands on "CANCEL" meanwhile; a second Enter must not turn into a cancel.
    ui->BUTTON_CANCEL->setAutoDefault(!attempting);
    if (!attempting && m_fixedLogin)
        ui->EDIT_PASSWORD->setFocus(); // a mistyped password is what is likely to be wrong
    else if (!attempting)
        ui->BUTTON_CONNECT->setFocus();
}

void LoginDialog::showState(const QString &state, const QString &detail)
{
    ui->LABEL_CURRENT_STATE->setText(state);
    ui->LABEL_STATE_DETAIL->setText(detail);
}

void LoginDialog::clearState()
{
    if (!m_attempting)
        showState(QString());
}

void LoginDialog::onAccepted()
{
    Settings::writeSetting(kGroup, kAddressKey, m_hostAddress.toUtf8().toStdString(),
                           m_settingsPath);
    Settings::writeSetting(kGroup, kUserKey,
                           ui->CHECKBOX_ANONYMOUS->isChecked() ? kAnonymous : "", m_settingsPath);
    m_attempting = false;
    accept();
}

QString LoginDialog::connectFailureDetail() const
{
    switch (m_exchange.connectError()) {
    case QAbstractSocket::ConnectionRefusedError:
        return tr("Refused: nothing answers there on port %1.").arg(Protocol::kPort);
    case QAbstractSocket::SocketTimeoutError:
        return tr("No answer within %1 s: check the address.")
            .arg((m_exchange.connectTimeout() + 999) / 1000);
    case QAbstractSocket::HostNotFoundError:
    case QAbstractSocket::NetworkError:
        return tr("This computer cannot reach that address.");
    default:
        return m_socket ? m_socket->errorString() : QString();
    }
}

void LoginDialog::onFailed(LoginExchange::Failure failure)
{
    switch (failure) {
    case LoginExchange::Failure::ConnectFailed:
        showState(tr("Connecting failed!"), connectFailureDetail());
        break;
    case LoginExchange::Failure::Refused:
        showState(tr("Account or password incorrect."));
        break;
    case LoginExchange::Failure::NoAnswer:
        showState(tr("No answer from the instrument."));
        break;
    case LoginExchange::Failure::LinkClosed:
        showState(tr("The instrument disconnected."));
        break;
    }
    setAttempting(false);
}
