#include "link/instrumentlink.h"

#include <QElapsedTimer>
#include <QPointer>
#include <QTcpSocket>

InstrumentLink::InstrumentLink(QObject *parent) : QObject(parent)
{
    // Queued: the reader goes on from the event loop, never from inside its own feed.
    connect(&m_reader, &MessageReader::streamReleased, this, &InstrumentLink::resumeReading,
            Qt::QueuedConnection);
    m_nextSlice.setSingleShot(true);
    m_nextSlice.setInterval(0);
    connect(&m_nextSlice, &QTimer::timeout, this, &InstrumentLink::resumeReading);
}

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
    connect(m_socket, &QIODevice::readyRead, this, [this] {
        if (!m_nextSlice.isActive()) // else the next slice takes what came
            readAvailable(m_socket);
    });
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
    // Dropped from inside the socket's own signal too (a refused login is read in its
    // readyRead): deleting it there would pull the socket out from under its caller.
    m_socket->setParent(nullptr);
    m_socket->deleteLater();
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
    // While the download stream holds, the bytes stay in the socket, whose bounded read
    // buffer then holds the instrument back. What was kept from before a hold that has
    // ended goes first.
    if (!m_feeding)
        m_reader.resume();
    if (m_reader.isHeld())
        return;
    feedFrom(device, true);
    if (device == m_socket && device->bytesAvailable() == 0)
        m_reader.flushUnterminated();
}

bool InstrumentLink::readPending()
{
    m_reader.resume();
    if (!m_reader.isHeld() && m_socket && m_socket->bytesAvailable() > 0)
        feedFrom(m_socket, false);
    return m_reader.isHeld();
}

void InstrumentLink::resumeReading()
{
    // A link closed meanwhile is not read any more (see close()).
    if (!m_attached)
        return;
    m_reader.resume();
    if (m_socket && !m_feeding)
        readAvailable(m_socket);
}

void InstrumentLink::feedFrom(QIODevice *device, bool sliced)
{
    // A few buffers serve every read: a fresh array per read costs page faults by the
    // hundred thousand over a large download. The socket's own read buffer bounds what
    // waits, so taking it all here is bounded too.
    if (m_feeding) { // a handler read the link again from inside the reader
        m_reader.feed(device->readAll());
        return;
    }
    const QPointer<QIODevice> guard(device);
    m_feeding = true;
    m_nextSlice.stop();
    QElapsedTimer turn;
    turn.start();
    qint64 text = 0; // browse text read since the last hand-over
    while (guard && device == m_socket && !m_reader.isHeld()) {
        const bool slicing = sliced && m_reader.readingText();
        if (slicing && text >= kTextSlice) {
            if (device->bytesAvailable() <= 0)
                break;
            m_reader.handOverPart();
            text = 0;
            // Slices go on while the turn is young: a fast machine takes a listing in a few
            // turns, each of which has the list laid out afresh, a slow one in more.
            if (turn.elapsed() >= kTextTurnMs) {
                m_nextSlice.start();
                break;
            }
            continue;
        }
        QByteArray &buffer = freeReadBuffer();
        const qint64 got = device->read(buffer.data(), slicing ? kTextSlice - text : buffer.size());
        if (got <= 0)
            break;
        // Held by value for the read: the buffer outlives it even if the link lets go of
        // its buffers meanwhile (the listing that ends a download is read from one).
        const ReadBuffer held(buffer);
        m_reader.feedShared(held, got);
        if (slicing && m_reader.readingText()) // a file's bytes are not held back
            text += got;
    }
    m_feeding = false;
}

void InstrumentLink::trimReadBuffers()
{
    m_readBuffers.clear();
}

// The file writer may still hold a buffer (shared, not copied) until it has written what
// lies in it; a buffer only this link holds can be read into again.
QByteArray &InstrumentLink::freeReadBuffer()
{
    for (QByteArray &buffer : m_readBuffers) {
        if (buffer.isDetached())
            return buffer;
    }
    // Any beyond those kept are let go once the writer is done with them.
    while (m_readBuffers.size() >= kKeptBuffers)
        m_readBuffers.removeFirst();
    m_readBuffers.append(QByteArray(kReadChunk, Qt::Uninitialized));
    return m_readBuffers.last();
}

void InstrumentLink::sendLine(const QByteArray &line)
{
    if (m_socket)
        m_socket->write(line);
}
