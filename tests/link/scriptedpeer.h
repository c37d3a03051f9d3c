#pragma once
// A scripted stand-in for the instrument's login side, on a loopback address: greets each
// new connection, answers every login line, and records every byte it receives.
#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

struct ScriptedPeer
{
    QByteArray greeting = "$WAIT LOGIN:\n";
    QByteArray loginAnswer = "$LOGIN: OK\n"; // empty: never answers
    bool closeAfterAnswer = false;

    QPointer<QTcpSocket> client;  // the latest connection
    QList<QByteArray> received;   // everything received, one entry per connection
    int closedByClient = 0;
    QTcpServer server;            // last, so its connections go before the records above

    // May be called again after a failure, on another address.
    bool listen(const QHostAddress &address, quint16 port = 0)
    {
        if (!m_wired) {
            QObject::connect(&server, &QTcpServer::newConnection, &server, [this] {
                while (QTcpSocket *socket = server.nextPendingConnection())
                    adopt(socket);
            });
            m_wired = true;
        }
        return server.listen(address, port);
    }

    quint16 port() const { return server.serverPort(); }
    int connections() const { return received.size(); }
    QByteArray last() const { return received.isEmpty() ? QByteArray() : received.last(); }

    void send(const QByteArray &bytes)
    {
        if (client) {
            client->write(bytes);
            client->flush();
        }
    }

private:
    bool m_wired = false;

    void adopt(QTcpSocket *socket)
    {
        client = socket;
        const int index = received.size();
        received.append(QByteArray());
        auto *answered = new int(0);
        auto *closing = new bool(false);
        QObject::connect(socket, &QObject::destroyed, [answered, closing] {
            delete answered;
            delete closing;
        });
        QObject::connect(socket, &QTcpSocket::readyRead, socket, [=] {
            received[index] += socket->readAll();
            const int logins = received[index].count("$LOGIN: <");
            while (*answered < logins && !loginAnswer.isEmpty()) {
                ++*answered;
                socket->write(loginAnswer);
                socket->flush();
                if (closeAfterAnswer) {
                    *closing = true;
                    socket->disconnectFromHost();
                    return;
                }
            }
        });
        QObject::connect(socket, &QTcpSocket::disconnected, socket, [=] {
            if (!*closing)
                ++closedByClient;
            socket->deleteLater();
        });
        if (!greeting.isEmpty()) {
            socket->write(greeting);
            socket->flush();
        }
    }
};
