#include "link/logindialogui.h"

#include "common/style.h"
#include "link/logindialog.h"

#include <QCheckBox>
#include <QDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// On the buttons themselves, where they win over the shared rules: the default button
// (what Enter presses) carries a wider border in the progress bar's blue, the button with
// the keyboard focus a lighter face.
const char kButtonMarks[] =
    "QPushButton:focus {\n\tbackground-color: rgb(116, 127, 145);\n}\n"
    "QPushButton:default {\n\tborder: 2px solid rgb(69, 181, 221);\n}\n"
    "QPushButton:pressed {\n\tbackground-color: rgb(43, 49, 58);\n}\n"
    "QPushButton:disabled {\n\tborder: 1px solid rgb(255, 255, 255);\n"
    "\tbackground-color: rgb(78, 86, 99);\n}\n";
} // namespace

namespace Ui {

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
    LABEL_SERVER_IP_ADDRESS = label("LABEL_SERVER_IP_ADDRESS", ::LoginDialog::tr("Server IP Address"));
    LABEL_ACCOUNT = label("LABEL_ACCOUNT", ::LoginDialog::tr("Account"));
    LABEL_PASSWORD = label("LABEL_PASSWORD", ::LoginDialog::tr("Password"));
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
        EDIT_ADDRESS[i]->setAccessibleName(::LoginDialog::tr("Server IP address, part %1 of 4").arg(i + 1));
        horizontalLayout->addWidget(EDIT_ADDRESS[i]);
    }
    verticalLayout->addLayout(horizontalLayout);
    EDIT_ACCOUNT = new QLineEdit(widget);
    EDIT_ACCOUNT->setAccessibleName(::LoginDialog::tr("Account"));
    EDIT_ACCOUNT->setObjectName(QStringLiteral("EDIT_ACCOUNT"));
    verticalLayout->addWidget(EDIT_ACCOUNT);
    EDIT_PASSWORD = new QLineEdit(widget);
    EDIT_PASSWORD->setAccessibleName(::LoginDialog::tr("Password"));
    EDIT_PASSWORD->setObjectName(QStringLiteral("EDIT_PASSWORD"));
    EDIT_PASSWORD->setEchoMode(QLineEdit::Password);
    EDIT_PASSWORD->setInputMethodHints(Qt::ImhHiddenText | Qt::ImhSensitiveData
                                       | Qt::ImhNoAutoUppercase | Qt::ImhNoPredictiveText);
    verticalLayout->addWidget(EDIT_PASSWORD);
    horizontalLayout_3->addLayout(verticalLayout);

    CHECKBOX_ANONYMOUS = new QCheckBox(::LoginDialog::tr("anonymous"), dialog);
    CHECKBOX_ANONYMOUS->setObjectName(QStringLiteral("CHECKBOX_ANONYMOUS"));
    CHECKBOX_ANONYMOUS->setGeometry(130, 160, 241, 21);
    CHECKBOX_ANONYMOUS->setFont(bold);

    LABEL_CURRENT_STATE = new QLabel(dialog);
    LABEL_CURRENT_STATE->setObjectName(QStringLiteral("LABEL_CURRENT_STATE"));
    // Raised from y 210 so that a detail line fits between it and the buttons.
    LABEL_CURRENT_STATE->setGeometry(80, 184, 310, 20); // to the frame's margin: German runs longer
    LABEL_CURRENT_STATE->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    LABEL_CURRENT_STATE->setFont(bold);

    LABEL_STATE_DETAIL = new QLabel(dialog);
    LABEL_STATE_DETAIL->setObjectName(QStringLiteral("LABEL_STATE_DETAIL"));
    LABEL_STATE_DETAIL->setGeometry(80, 204, 300, 30);
    LABEL_STATE_DETAIL->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    LABEL_STATE_DETAIL->setWordWrap(true);
    QFont detail(QStringLiteral("Arial"));
    detail.setPointSize(9);
    LABEL_STATE_DETAIL->setFont(detail);

    auto pushButton = [&](const char *name, const QString &text, int x) {
        auto *b = new QPushButton(text, dialog);
        b->setObjectName(QLatin1String(name));
        // Wider about the same centre where a translation needs it.
        const int width = qMax(93, QFontMetrics(button).horizontalAdvance(text) + 8);
        b->setGeometry(x - (width - 93) / 2, 240, width, 30);
        b->setFixedSize(width, 30);
        b->setFont(button);
        b->setStyleSheet(QLatin1String(Style::kTextButtonStyle) + QLatin1String(kButtonMarks));
        return b;
    };
    BUTTON_CONNECT = pushButton("BUTTON_CONNECT", ::LoginDialog::tr("CONNECT"), 70);
    BUTTON_CANCEL = pushButton("BUTTON_CANCEL", ::LoginDialog::tr("CANCEL"), 240);

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

