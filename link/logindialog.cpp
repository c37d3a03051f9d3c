#include "link/logindialog.h"

#include "common/settings.h"
#include "common/style.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QIntValidator>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTcpSocket>
#include <QVBoxLayout>

namespace Ui {

struct LoginDialog
{
    QWidget *widget = nullptr;
    QHBoxLayout *horizontalLayout_3 = nullptr;
    QHBoxLayout *horizontalLayout_2 = nullptr;
    QVBoxLayout *verticalLayout_2 = nullptr;
    QLabel *LABEL_SERVER_IP_ADDRESS = nullptr;
    QLabel *LABEL_ACCOUNT = nullptr;
    QLabel *LABEL_PASSWORD = nullptr;
    QVBoxLayout *verticalLayout = nullptr;
    QHBoxLayout *horizontalLayout = nullptr;
    QLineEdit *EDIT_ADDRESS[4] = {};
    QLineEdit *EDIT_ACCOUNT = nullptr;
    QLineEdit *EDIT_PASSWORD = nullptr;
    QCheckBox *CHECKBOX_ANONYMOUS = nullptr;
    QLabel *LABEL_CURRENT_STATE = nullptr;
    QPushButton *BUTTON_CONNECT = nullptr;
    QPushButton *BUTTON_CANCEL = nullptr;

    void setupUi(QDialog *dialog);
};

void LoginDialog::setupUi(QDialog *dialog)
{
    dialog->setObjectName(QStringLiteral("LoginDialog"));
    QFont bold(QStringLiteral("Arial"));
    bold.setBold(true);
    QFont button = bold;
    button.setPointSize(11);

    widget = new QWidget(dialog);
    widget->setObjectName(QStringLiteral("widget"));
    widget->setGeometry(30, 70, 351, 81);
    horizontalLayout_3 = new QHBoxLayout(widget);
    horizontalLayout_3->setObjectName(QStringLiteral("horizontalLayout_3"));
    horizontalLayout_3->setContentsMargins(0, 0, 0, 0);

    horizontalLayout_2 = new QHBoxLayout();
    horizontalLayout_2->setObjectName(QStringLiteral("horizontalLayout_2"));
    verticalLayout_2 = new QVBoxLayout();
    verticalLayout_2->setObjectName(QStringLiteral("verticalLayout_2"));
    auto label = [&](const char *name, const QString &text) {
        auto *l = new QLabel(text, widget);
        l->setObjectName(QLatin1String(name));
        l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        l->setFont(bold);
        verticalLayout_2->addWidget(l);
        return l;
    };
    LABEL_SERVER_IP_ADDRESS = label("LABEL_SERVER_IP_ADDRESS", dialog->tr("Server IP Address"));
    LABEL_ACCOUNT = label("LABEL_ACCOUNT", dialog->tr("Account"));
    LABEL_PASSWORD = label("LABEL_PASSWORD", dialog->tr("Password"));
    horizontalLayout_2->addLayout(verticalLayout_2);
    horizontalLayout_3->addLayout(horizontalLayout_2);

    verticalLayout = new QVBoxLayout();
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    horizontalLayout = new QHBoxLayout();
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    for (int i = 0; i < 4; ++i) {
        EDIT_ADDRESS[i] = new QLineEdit(widget);
        EDIT_ADDRESS[i]->setObjectName(QStringLiteral("EDIT_ADDRESS_%1").arg(i + 1));
        EDIT_ADDRESS[i]->setFont(bold);
        EDIT_ADDRESS[i]->setAlignment(Qt::AlignCenter);
        horizontalLayout->addWidget(EDIT_ADDRESS[i]);
    }
    verticalLayout->addLayout(horizontalLayout);
    EDIT_ACCOUNT = new QLineEdit(widget);
    EDIT_ACCOUNT->setObjectName(QStringLiteral("EDIT_ACCOUNT"));
    verticalLayout->addWidget(EDIT_ACCOUNT);
    EDIT_PASSWORD = new QLineEdit(widget);
    EDIT_PASSWORD->setObjectName(QStringLiteral("EDIT_PASSWORD"));
    EDIT_PASSWORD->setEchoMode(QLineEdit::Password);
    EDIT_PASSWORD->setInputMethodHints(Qt::ImhHiddenText | Qt::ImhSensitiveData
                                       | Qt::ImhNoAutoUppercase | Qt::ImhNoPredictiveText);
    verticalLayout->addWidget(EDIT_PASSWORD);
    horizontalLayout_3->addLayout(verticalLayout);

    CHECKBOX_ANONYMOUS = new QCheckBox(dialog->tr("anonymous"), dialog);
    CHECKBOX_ANONYMOUS->setObjectName(QStringLiteral("CHECKBOX_ANONYMOUS"));
    CHECKBOX_ANONYMOUS->setGeometry(130, 160, 241, 21);
    CHECKBOX_ANONYMOUS->setFont(bold);

    LABEL_CURRENT_STATE = new QLabel(dialog);
    LABEL_CURRENT_STATE->setObjectName(QStringLiteral("LABEL_CURRENT_STATE"));
    LABEL_CURRENT_STATE->setGeometry(80, 210, 281, 16);
    LABEL_CURRENT_STATE->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    LABEL_CURRENT_STATE->setFont(bold);

    auto pushButton = [&](const char *name, const QString &text, int x) {
        auto *b = new QPushButton(text, dialog);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(x, 240, 93, 30);
        b->setFixedSize(93, 30);
        b->setFont(button);
        b->setStyleSheet(QLatin1String(Style::kTextButtonStyle));
        return b;
    };
    BUTTON_CONNECT = pushButton("BUTTON_CONNECT", dialog->tr("CONNECT"), 70);
    BUTTON_CANCEL = pushButton("BUTTON_CANCEL", dialog->tr("CANCEL"), 240);

    QWidget::setTabOrder(EDIT_ADDRESS[0], EDIT_ADDRESS[1]);
    QWidget::setTabOrder(EDIT_ADDRESS[1], EDIT_ADDRESS[2]);
    QWidget::setTabOrder(EDIT_ADDRESS[2], EDIT_ADDRESS[3]);
    QWidget::setTabOrder(EDIT_ADDRESS[3], EDIT_ACCOUNT);
    QWidget::setTabOrder(EDIT_ACCOUNT, EDIT_PASSWORD);
    QWidget::setTabOrder(EDIT_PASSWORD, CHECKBOX_ANONYMOUS);
    QWidget::setTabOrder(CHECKBOX_ANONYMOUS, BUTTON_CONNECT);
    QWidget::setTabOrder(BUTTON_CONNECT, BUTTON_CANCEL);
}

} // namespace Ui

namespace {
const char kGroup[] = "Last Connect";
const char kAddressKey[] = "IP Address";
const char kUserKey[] = "User";
const char kAnonymous[] = "anonymous";
// Labels and the check box sit on the dark background and need light text.
const char kLightTextRules[] = "QLabel, QCheckBox {\n\tcolor: rgb(255, 255, 255);\n}\n";
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
    setStyleSheet(QLatin1String(Style::kDialogStyle) + QLatin1String(kLightTextRules));

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

    restoreLastAddress();

    ui->CHECKBOX_ANONYMOUS->setChecked(true);
    ui->EDIT_ACCOUNT->setEnabled(false);
    ui->EDIT_PASSWORD->setEnabled(false);

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

void LoginDialog::on_CHECKBOX_ANONYMOUS_clicked()
{
    const bool account = !ui->CHECKBOX_ANONYMOUS->isChecked();
    ui->EDIT_ACCOUNT->setEnabled(account);
    ui->EDIT_PASSWORD->setEnabled(account);
}

void LoginDialog::on_BUTTON_CONNECT_clicked()
{
    if (!m_socket)
        return;
    setEnabled(false);
    ui->LABEL_CURRENT_STATE->setText(tr("Connecting..."));
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
    QDialog::reject();
}

void LoginDialog::onAccepted()
{
    Settings::writeSetting(kGroup, kAddressKey, m_hostAddress.toUtf8().toStdString(),
                           m_settingsPath);
    Settings::writeSetting(kGroup, kUserKey,
                           ui->CHECKBOX_ANONYMOUS->isChecked() ? kAnonymous : "", m_settingsPath);
    accept();
}

void LoginDialog::onFailed(LoginExchange::Failure failure)
{
    switch (failure) {
    case LoginExchange::Failure::ConnectFailed:
        ui->LABEL_CURRENT_STATE->setText(tr("Connecting failed!"));
        break;
    case LoginExchange::Failure::Refused:
        ui->LABEL_CURRENT_STATE->setText(tr("account or password incorrect."));
        break;
    case LoginExchange::Failure::NoAnswer:
        ui->LABEL_CURRENT_STATE->setText(tr("No answer from the instrument."));
        break;
    case LoginExchange::Failure::LinkClosed:
        ui->LABEL_CURRENT_STATE->setText(tr("The instrument closed the link."));
        break;
    }
    setEnabled(true);
    ui->BUTTON_CONNECT->setFocus();
}
