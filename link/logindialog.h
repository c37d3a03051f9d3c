#pragma once
#include "link/loginexchange.h"

#include <QDialog>
#include <string>

class QIntValidator;
class QTcpSocket;

namespace Ui {
struct LoginDialog;
}

// Asks for the instrument's address and the login, and logs the main window's socket in.
// Accepted only once the instrument has accepted the login. Never owns the socket.
class LoginDialog : public QDialog
{
    Q_OBJECT
public:
    explicit LoginDialog(QWidget *parent = nullptr);
    ~LoginDialog() override;

    void setSocket(QTcpSocket *socket);

    // Time limits of one attempt; the defaults suit the instrument, tests shorten them.
    void setConnectTimeout(int ms) { m_exchange.setConnectTimeout(ms); }
    void setAnswerTimeout(int ms) { m_exchange.setAnswerTimeout(ms); }
    QString hostAddress() const { return m_hostAddress; }
    // The account logged in with; empty for an anonymous login.
    QString account() const;
    // Logging in again where the link was: the address and the account are shown and kept,
    // only the password is asked for.
    void askPasswordFor(const QString &hostAddress, const QString &account);

public slots:
    void on_CHECKBOX_ANONYMOUS_clicked();
    void on_BUTTON_CONNECT_clicked();
    void on_BUTTON_CANCEL_clicked();
    // Cancel and Escape both end here, also while an attempt runs: its connection is
    // closed first.
    void reject() override;

private:
    void buildHostAddress();
    void restoreLastAddress();
    void setAttempting(bool attempting);
    void showState(const QString &state, const QString &detail = QString());
    void clearState();
    QString connectFailureDetail() const;
    void onAccepted();
    void onFailed(LoginExchange::Failure failure);

    Ui::LoginDialog *ui = nullptr;
    QIntValidator *m_validator = nullptr;
    QString m_hostAddress;
    QTcpSocket *m_socket = nullptr;
    std::string m_settingsPath;
    LoginExchange m_exchange;
    bool m_attempting = false;
    bool m_fixedLogin = false; // address and account given by askPasswordFor()
};
