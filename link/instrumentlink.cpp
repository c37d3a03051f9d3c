#include "link/instrumentlink.h"

#include <QTcpSocket>

InstrumentLink::InstrumentLink(QObject *parent) : QObject(parent) {}

InstrumentLink::~InstrumentLink()
{
    if (!m_socket)
        return;
    // Closing the link must not come back here as a lost link.
    m_socket->disconnect(this);
    if (m_attached)
        m_socket->disconnectFromHost();
    delete m_socket;
    m_socket = nullptr;
}

QTcpSocket *InstrumentLink::newSocket()
{
    drop();
    m_socket = new QTcpSocket(this);
    return m_socket;
}

void InstrumentLink::attach(QTcpSocket *socket)
{
    if (socket != m_socket) {
        drop();
        m_socket = socket;
        m_socket->setParent(this);
    }
    m_reader.reset();
    connect(m_socket, &QIODevice::readyRead, this, [this] { readAvailable(m_socket); });
    watch();
    m_attached = true;
}

void InstrumentLink::close()
{
    if (m_socket) {
        m_socket->disconnect(this);
        m_socket->disconnectFromHost();
    }
    m_reader.reset(); // nothing from the closed link stays in memory
    m_attached = false;
}

void InstrumentLink::drop()
{
    m_attached = false;
    if (!m_socket)
        return;
    m_socket->disconnect(this);
    m_socket->abort();
    delete m_socket;
    m_socket = nullptr;
}

bool InstrumentLink::isConnected() const
{
    return m_socket && m_socket->state() == QAbstractSocket::ConnectedState;
}

void InstrumentLink::watch()
{
    connect(m_socket, &QAbstractSocket::disconnected, this, &InstrumentLink::linkLost);
    connect(m_socket, &QAbstractSocket::errorOccurred, this,
            [this](QAbstractSocket::SocketError error) {
                // A timed-out wait of some caller says nothing about the link itself.
                if (error != QAbstractSocket::SocketTimeoutError)
                    emit linkLost();
            });
}

void InstrumentLink::readAvailable(QIODevice *device)
{
    if (!device || device->bytesAvailable() == 0)
        return;
    if (device != m_socket) {
        device->readAll();
        return;
    }
    m_reader.feed(device->readAll());
    if (device->bytesAvailable() == 0)
        m_reader.flushUnterminated();
}

void InstrumentLink::readPending()
{
    if (m_socket && m_socket->bytesAvailable() > 0)
        m_reader.feed(m_socket->readAll());
}

void InstrumentLink::sendLine(const QByteArray &line)
{
    if (m_socket)
        m_socket->write(line);
}
