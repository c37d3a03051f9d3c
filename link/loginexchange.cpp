#include "link/loginexchange.h"

#include <QHostAddress>
#include <QStringList>
#include <QTcpSocket>
#include <QTimer>

namespace {
// Far more than any login answer; past it the peer is not speaking the login protocol and
// the bytes would only pile up until the time limit.
constexpr qint64 kMaxPendingLineBytes = 1 << 20;
} // namespace

LoginExchange::LoginExchange(QObject *parent) : QObject(parent), m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &LoginExchange::onTimeout);
}

LoginExchange::~LoginExchange()
{
    release();
}

void LoginExchange::setSocket(QTcpSocket *socket)
{
    if (socket == m_socket)
        return;
    cancel();
    m_socket = socket;
}

QByteArray LoginExchange::loginLine(const QString &account, const QString &password)
{
    return QStringLiteral("$LOGIN: <%1,%2>\n").arg(account, password).toUtf8();
}

QByteArray LoginExchange::anonymousLoginLine()
{
    return loginLine(QStringLiteral("anonymous"), QString());
}

QString LoginExchange::hostAddress(const QStringList &parts)
{
    return parts.join(QLatin1Char('.'));
}

void LoginExchange::start(const QString &host, quint16 port, bool anonymous,
                          const QString &account, const QString &password)
{
    if (!m_socket || m_state == State::LoggedIn)
        return;
    cancel();
    m_loginLine = anonymous ? anonymousLoginLine() : loginLine(account, password);
    m_state = State::Connecting;
    m_connectError = QAbstractSocket::UnknownSocketError;

    // The fields only ever make IPv4 addresses; an incomplete one must not turn into a
    // name lookup. Reported from the event loop like every other failure.
    QHostAddress address;
    if (!address.setAddress(host) || address.protocol() != QAbstractSocket::IPv4Protocol) {
        m_connectError = QAbstractSocket::HostNotFoundError;
        m_timer->start(0);
        return;
    }

    connect(m_socket, &QAbstractSocket::connected, this, &LoginExchange::onConnected);
    connect(m_socket, &QAbstractSocket::disconnected, this, &LoginExchange::onDisconnected);
    connect(m_socket, &QAbstractSocket::errorOccurred, this, &LoginExchange::onSocketError);
    connect(m_socket, &QIODevice::readyRead, this, &LoginExchange::onReadyRead);
    m_timer->start(m_connectTimeoutMs);
    m_socket->connectToHost(host, port, QIODevice::ReadWrite, QAbstractSocket::AnyIPProtocol);
}

void LoginExchange::cancel()
{
    if (m_state == State::LoggedIn)
        return;
    release();
    m_timer->stop();
    m_state = State::Idle;
    if (m_socket)
        m_socket->abort();
}

void LoginExchange::onConnected()
{
    if (m_state != State::Connecting)
        return;
    m_state = State::WaitingForLogin;
    m_timer->start(m_answerTimeoutMs);
}

void LoginExchange::onSocketError()
{
    if (m_state == State::Connecting) {
        m_connectError = m_socket->error();
        fail(Failure::ConnectFailed);
    }
    else if (m_state == State::WaitingForLogin || m_state == State::LoginSent)
        fail(Failure::LinkClosed);
}

void LoginExchange::onDisconnected()
{
    if (m_state == State::WaitingForLogin || m_state == State::LoginSent)
        fail(Failure::LinkClosed);
}

void LoginExchange::onReadyRead()
{
    if (m_state != State::WaitingForLogin && m_state != State::LoginSent)
        return;
    while (m_socket->canReadLine()) {
        const QString line = QString::fromUtf8(m_socket->readLine()).trimmed();
        if (line == QLatin1String(Protocol::kWaitLogin)) {
            m_socket->write(m_loginLine);
            m_state = State::LoginSent;
            m_timer->start(m_answerTimeoutMs);
            return; // lines already here wait for the next arrival
        }
        if (line == QLatin1String(Protocol::kLoginOk)) {
            // Anything after this line is for the main window's reader: leave it unread.
            release();
            m_timer->stop();
            m_state = State::LoggedIn;
            emit accepted();
            return;
        }
        if (line == QLatin1String(Protocol::kLoginNg)) {
            release();
            m_timer->stop();
            m_state = State::Idle;
            m_socket->disconnectFromHost();
            emit failed(Failure::Refused);
            return;
        }
    }
    if (m_socket->bytesAvailable() > kMaxPendingLineBytes)
        fail(Failure::NoAnswer);
}

void LoginExchange::onTimeout()
{
    if (m_state == State::Connecting) {
        if (m_connectError == QAbstractSocket::UnknownSocketError)
            m_connectError = QAbstractSocket::SocketTimeoutError;
        fail(Failure::ConnectFailed);
    }
    else if (m_state == State::WaitingForLogin || m_state == State::LoginSent)
        fail(Failure::NoAnswer);
}

void LoginExchange::fail(Failure failure)
{
    release();
    m_timer->stop();
    m_state = State::Idle;
    if (m_socket)
        m_socket->abort();
    emit failed(failure);
}

void LoginExchange::release()
{
    if (m_socket)
        disconnect(m_socket, nullptr, this, nullptr);
}
