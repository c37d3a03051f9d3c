#pragma once
// Sits between the window and the stand-in instrument and cuts the link at a chosen point of
// what the instrument sends, so a test can drop the link exactly where it wants.
#include <QByteArray>
#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

class FaultProxy : public QObject
{
public:
    FaultProxy(const QHostAddress &target, quint16 targetPort) : m_target(target), m_targetPort(targetPort)
    {
        connect(&m_server, &QTcpServer::newConnection, this, &FaultProxy::accept);
    }

    bool listen(const QHostAddress &address, quint16 port) { return m_server.listen(address, port); }

    // Cut the link once the instrument's bytes hold marker for the nth time: the bytes up to
    // the marker's start plus offset still reach the window.
    void cutAt(const QByteArray &marker, int occurrence, int offset)
    {
        m_marker = marker;
        m_occurrence = occurrence;
        m_offset = offset;
    }
    bool cut() const { return m_cut; }

private:
    void accept()
    {
        QTcpSocket *client = m_server.nextPendingConnection();
        auto *upstream = new QTcpSocket(client);
        m_client = client;
        m_upstream = upstream;
        connect(client, &QTcpSocket::readyRead, this, [=] {
            if (!m_cut)
                upstream->write(client->readAll());
        });
        connect(upstream, &QTcpSocket::readyRead, this, [=] { fromInstrument(); });
        connect(upstream, &QTcpSocket::disconnected, client, &QTcpSocket::disconnectFromHost);
        connect(client, &QTcpSocket::disconnected, upstream, &QTcpSocket::disconnectFromHost);
        upstream->connectToHost(m_target, m_targetPort);
    }

    void fromInstrument()
    {
        if (m_cut || !m_client)
            return;
        const QByteArray data = m_upstream->readAll();
        const qint64 before = m_seen.size();
        m_seen += data;
        if (!m_marker.isEmpty()) {
            int index = -1;
            for (int n = 0; n < m_occurrence; ++n) {
                index = m_seen.indexOf(m_marker, index + 1);
                if (index < 0)
                    break;
            }
            if (index >= 0 && index + m_offset <= m_seen.size()) {
                const qint64 keep = qMax<qint64>(0, index + m_offset - before);
                m_client->write(data.left(int(keep)));
                m_cut = true;
                m_upstream->abort();
                m_client->disconnectFromHost(); // what was written still goes out first
                return;
            }
        }
        m_client->write(data);
    }

    QTcpServer m_server;
    QHostAddress m_target;
    quint16 m_targetPort;
    QPointer<QTcpSocket> m_client;
    QPointer<QTcpSocket> m_upstream;
    QByteArray m_seen;
    QByteArray m_marker;
    int m_occurrence = 1;
    int m_offset = 0;
    bool m_cut = false;
};
