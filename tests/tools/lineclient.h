#pragma once
// A plain loopback client for driving the stand-in instrument byte by byte.
#include <QElapsedTimer>
#include <QEventLoop>
#include <QHostAddress>
#include <QTcpSocket>
#include <QTimer>

#include <functional>

class LineClient : public QObject
{
public:
    explicit LineClient(qint64 readBufferSize = 0)
    {
        m_socket.setReadBufferSize(readBufferSize);
        connect(&m_socket, &QTcpSocket::readyRead, this, [this] {
            if (!m_paused)
                take();
        });
    }

    bool open(quint16 port, const QString &address = QStringLiteral("127.0.0.1"))
    {
        m_socket.connectToHost(QHostAddress(address), port);
        return waitUntil([this] { return m_socket.state() == QAbstractSocket::ConnectedState; });
    }

    void send(const QByteArray &bytes) { m_socket.write(bytes); }
    bool isOpen() const { return m_socket.state() == QAbstractSocket::ConnectedState; }
    QTcpSocket &socket() { return m_socket; }

    // Every byte received and not yet taken by one of the read functions.
    QByteArray &received() { return m_received; }
    // Sizes of the reads the socket delivered, one per readyRead.
    const QVector<qint64> &readSizes() const { return m_readSizes; }
    // While paused the socket is not read, so its small buffer makes TCP push back.
    void setPaused(bool paused)
    {
        m_paused = paused;
        if (!paused)
            take();
    }

    // Runs the event loop until done() holds or the time is up; true if done() held.
    bool waitUntil(const std::function<bool()> &done, int timeoutMs = 10000)
    {
        QElapsedTimer timer;
        timer.start();
        while (!done()) {
            const qint64 left = timeoutMs - timer.elapsed();
            if (left <= 0)
                return false;
            QEventLoop loop;
            QTimer::singleShot(int(qMin<qint64>(left, 50)), &loop, &QEventLoop::quit);
            connect(&m_socket, &QTcpSocket::readyRead, &loop, &QEventLoop::quit);
            connect(&m_socket, &QTcpSocket::stateChanged, &loop, &QEventLoop::quit);
            loop.exec();
        }
        return true;
    }

    // n bytes taken from the front of what was received; fewer if the time ran out first.
    QByteArray take(qint64 n, int timeoutMs = 10000)
    {
        waitUntil([&] { return m_received.size() >= n; }, timeoutMs);
        const QByteArray bytes = m_received.left(int(n));
        m_received.remove(0, int(n));
        return bytes;
    }

    // One line, its line feed included.
    QByteArray readLine(int timeoutMs = 10000)
    {
        if (!waitUntil([&] { return m_received.contains('\n'); }, timeoutMs))
            return QByteArray();
        const int end = m_received.indexOf('\n') + 1;
        const QByteArray line = m_received.left(end);
        m_received.remove(0, end);
        return line;
    }

    // True if anything arrives within the time (used only to show that nothing does).
    bool anythingWithin(int ms)
    {
        return waitUntil([this] { return !m_received.isEmpty() || !isOpen(); }, ms);
    }

private:
    void take()
    {
        const QByteArray bytes = m_socket.readAll();
        if (!bytes.isEmpty()) {
            m_readSizes.append(bytes.size());
            m_received += bytes;
        }
    }

    QTcpSocket m_socket;
    QByteArray m_received;
    QVector<qint64> m_readSizes;
    bool m_paused = false;
};
