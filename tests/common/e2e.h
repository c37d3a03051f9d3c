#pragma once
// End-to-end helpers: log the real main window in through its real login dialog.
#include "app/mainwindow.h"

#include <QAbstractSocket>
#include <QApplication>
#include <QTcpSocket>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

namespace E2E {

// Fills the modal login dialog once it is up and presses "CONNECT".
inline void answerLoginDialog(const QString &address, const QString &account = QString(),
                              const QString &password = QString())
{
    QTimer::singleShot(0, [=] {
        QWidget *dialog = QApplication::activeModalWidget();
        if (!dialog)
            return answerLoginDialog(address, account, password); // not up yet: try again
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
    });
}

// Runs "Connect" against an instrument at address:30000; true once logged in.
inline bool login(MainWindow &window, const QString &address)
{
    answerLoginDialog(address);
    window.Connect();
    return window.socket() && window.socket()->state() == QAbstractSocket::ConnectedState;
}

} // namespace E2E
