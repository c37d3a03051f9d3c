#pragma once
#include "link/messagereader.h"

#include <QObject>
#include <QTimer>

class QIODevice;
class QTcpSocket;

// The link to the instrument once logged in: the socket, the reader that turns its bytes
// into messages, and the lines the program writes. Knows nothing of widgets, so a test or a
// command-line tool can browse and download through it as the window does.
class InstrumentLink : public QObject
{
    Q_OBJECT
public:
    explicit InstrumentLink(QObject *parent = nullptr);
    ~InstrumentLink() override;

    // A fresh socket for a login attempt; an earlier one is dropped first.
    QTcpSocket *newSocket();
    // Starts reading from `socket` (which the link now owns) and watching it for loss.
    void attach(QTcpSocket *socket);
    // Our own closing: not reported as lost, and nothing more is read from this link.
    void close();
    // Forgets the socket altogether (a failed login, or the closed link of an earlier session).
    void drop();

    QTcpSocket *socket() const { return m_socket; }
    bool isConnected() const;
    MessageReader &reader() { return m_reader; }
    const MessageReader &reader() const { return m_reader; }

    // Reads what `device` has; bytes of a socket other than the link's own are thrown away,
    // since they belong to no conversation now.
    void readAvailable(QIODevice *device);
    // Hands the reader what already waits in the socket (the link was seen to close).
    // False when the reader took it all; true when its download stream holds it back.
    bool readPending();

    // Lets go of the read buffers (a download is over; the next read makes one again).
    // A read under way keeps its own buffer to its end.
    void trimReadBuffers();

public slots:
    // The download stream no longer holds: the reader goes on, then the socket.
    void resumeReading();
    void sendLine(const QByteArray &line);

signals:
    // The instrument went away (not when the link was closed by close()).
    void linkLost();

private:
    void watch();
    void feedFrom(QIODevice *device, bool sliced);

    static constexpr int kReadChunk = 1024 * 1024;
    // Browse text is read in slices, what has come of a long answer handed over after each,
    // and the rest left to a later turn of the event loop once a turn has taken long enough,
    // so the window goes on painting and taking input while a listing of a hundred thousand
    // entries (over a megabyte) arrives.
    static constexpr qint64 kTextSlice = 64 * 1024;
    // The event loop gets its turn once this long has gone on slices: a frame's time, since each
    // turn also lays the list out again (6 ms made a 100,000-entry listing arrive a fifth slower,
    // for a worst lateness of 7 ms where 16 ms gives about 20).
    static constexpr int kTextTurnMs = 16;
    // Buffers kept for reading: enough for what the file writer may hold and one more.
    static constexpr int kKeptBuffers = 12;

    QTcpSocket *m_socket = nullptr;
    MessageReader m_reader;
    bool m_attached = false;
    QByteArray &freeReadBuffer();

    QList<QByteArray> m_readBuffers;
    bool m_feeding = false;
    QTimer m_nextSlice; // the rest of what waits is read from the event loop
};
