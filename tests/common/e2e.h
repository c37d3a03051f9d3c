#pragma once
// End-to-end helpers: log the real main window in through its real login dialog.
#include "app/mainwindow.h"
#include "browser/browserpanel.h"
#include "link/instrumentlink.h"
#include "app/fileopener.h"

#include <QAbstractSocket>
#include <QApplication>
#include <QCheckBox>
#include <QDeadlineTimer>
#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTcpSocket>
#include <QTimer>
#include <QtTest>

namespace E2E {

// How long a login may take before the helper gives up and closes the dialog, so that a
// failed login ends the test instead of leaving a modal dialog up for ever.
constexpr int kLoginLimitMs = 20000;

// Types the address (and the account, when there is one) into the login dialog and presses
// "CONNECT".
inline void fillLoginDialog(QWidget *dialog, const QString &address,
                            const QString &account = QString(),
                            const QString &password = QString())
{
    const QStringList parts = address.split(QLatin1Char('.'));
    for (int i = 0; i < 4; ++i)
        dialog->findChild<QLineEdit *>(QStringLiteral("EDIT_ADDRESS_%1").arg(i + 1))
            ->setText(parts.value(i));
    auto *anonymous = dialog->findChild<QCheckBox *>(QStringLiteral("CHECKBOX_ANONYMOUS"));
    if (!account.isEmpty() && anonymous->isChecked())
        anonymous->click();
    if (!account.isEmpty()) {
        dialog->findChild<QLineEdit *>(QStringLiteral("EDIT_ACCOUNT"))->setText(account);
        dialog->findChild<QLineEdit *>(QStringLiteral("EDIT_PASSWORD"))->setText(password);
    }
    dialog->findChild<QPushButton *>(QStringLiteral("BUTTON_CONNECT"))->click();
}

namespace Detail {
inline void closeIfStillUp(QPointer<QWidget> dialog, QDeadlineTimer deadline)
{
    if (!dialog || !dialog->isVisible())
        return;
    if (deadline.hasExpired()) {
        if (auto *d = qobject_cast<QDialog *>(dialog.data()))
            d->done(QDialog::Rejected);
        return;
    }
    QTimer::singleShot(50, [=] { closeIfStillUp(dialog, deadline); });
}

inline void answerWhenUp(const QString &address, const QString &account,
                         const QString &password, QDeadlineTimer deadline)
{
    QWidget *dialog = QApplication::activeModalWidget();
    if (!dialog || !dialog->findChild<QPushButton *>(QStringLiteral("BUTTON_CONNECT"))) {
        if (!deadline.hasExpired()) // not up yet: look again shortly
            QTimer::singleShot(10, [=] { answerWhenUp(address, account, password, deadline); });
        return;
    }
    fillLoginDialog(dialog, address, account, password);
    closeIfStillUp(dialog, deadline);
}
} // namespace Detail

// Fills the modal login dialog once it is up and presses "CONNECT". If the login has not
// ended within kLoginLimitMs, the dialog is closed as cancelled.
inline void answerLoginDialog(const QString &address, const QString &account = QString(),
                              const QString &password = QString())
{
    const QDeadlineTimer deadline(kLoginLimitMs);
    QTimer::singleShot(0, [=] { Detail::answerWhenUp(address, account, password, deadline); });
}

// Runs "Connect" against an instrument at address:30000; true once logged in.
inline bool login(MainWindow &window, const QString &address, const QString &account = QString(),
                  const QString &password = QString())
{
    answerLoginDialog(address, account, password);
    window.Connect();
    return window.socket() && window.socket()->state() == QAbstractSocket::ConnectedState;
}

} // namespace E2E
