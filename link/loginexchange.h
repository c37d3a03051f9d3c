#pragma once
#include <QObject>
#include <QPointer>
#include <QString>

#include "link/protocol.h" // needs the Qt integer types first

#include <QTcpSocket>
class QTimer;

// The opening of a connection: connecting without blocking the event loop, then the
// instrument's login questions and answers. Widget-free; the login dialog drives it.
// The socket belongs to the caller; after acceptance the exchange lets go of it, and
// whatever the instrument sends from then on stays in the socket for the next reader.
class LoginExchange : public QObject
{
    Q_OBJECT
public:
    enum class State { Idle, Connecting, WaitingForLogin, LoginSent, LoggedIn };
    Q_ENUM(State)

    enum class Failure {
        ConnectFailed,  // refused, unreachable, or not connected within the connect limit
        Refused,        // "$LOGIN: NG"
        NoAnswer,       // the instrument said nothing useful within the answer limit
        LinkClosed      // the instrument closed the link before accepting
    };
    Q_ENUM(Failure)

    static constexpr int kAnswerTimeoutMs = 30000;

    explicit LoginExchange(QObject *parent = nullptr);
    ~LoginExchange() override;

    void setSocket(QTcpSocket *socket);
    QTcpSocket *socket() const { return m_socket; }
    void setConnectTimeout(int ms) { m_connectTimeoutMs = ms; }
    void setAnswerTimeout(int ms) { m_answerTimeoutMs = ms; }
    State state() const { return m_state; }
    int connectTimeout() const { return m_connectTimeoutMs; }
    // Why the last ConnectFailed happened: the socket's error, SocketTimeoutError when the
    // connect limit ran out, HostNotFoundError for a text that is no IPv4 address.
    QAbstractSocket::SocketError connectError() const { return m_connectError; }

    // Starts an attempt. An anonymous login sends "anonymous" and an empty password.
    void start(const QString &host, quint16 port, bool anonymous, const QString &account,
               const QString &password);
    // Ends the attempt and closes its connection, whatever state it is in (unless logged in).
    void cancel();

    // The line the instrument expects; account and password go out exactly as typed.
    static QByteArray loginLine(const QString &account, const QString &password);
    static QByteArray anonymousLoginLine();
    // The dotted address text from the four fields, empty fields giving empty parts.
    static QString hostAddress(const QStringList &parts);

signals:
    void accepted();
    void failed(LoginExchange::Failure failure);

private:
    void onConnected();
    void onSocketError();
    void onDisconnected();
    void onReadyRead();
    void onTimeout();
    void fail(Failure failure);
    void release();

    QPointer<QTcpSocket> m_socket; // the owner may delete it at any time
    QTimer *m_timer = nullptr;
    State m_state = State::Idle;
    int m_connectTimeoutMs = Protocol::kConnectTimeoutMs;
    int m_answerTimeoutMs = kAnswerTimeoutMs;
    QByteArray m_loginLine;
    QAbstractSocket::SocketError m_connectError = QAbstractSocket::UnknownSocketError;
};
