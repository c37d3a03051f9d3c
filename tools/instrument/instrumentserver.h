#pragma once
#include "tools/instrument/instrumentoptions.h"
#include "tools/instrument/instrumenttree.h"

#include <QHostAddress>
#include <QObject>

class QTcpServer;
class InstrumentSession;

// The stand-in instrument: serves a local folder as the instrument's tree "/TARVELO".
// Event-driven; several clients at once, each with its own current folder and download.
// Prints connection events unless options.quiet, and every line if options.trace.
class InstrumentServer : public QObject
{
    Q_OBJECT
public:
    explicit InstrumentServer(const InstrumentOptions &options, QObject *parent = nullptr);
    ~InstrumentServer() override;

    // Port 0 picks a free one. Fails too when the root folder does not exist.
    bool listen(const QHostAddress &address, quint16 port);
    quint16 serverPort() const;
    QString errorString() const;

    int sessionCount() const;
    // The most output that ever waited in any one session (socket buffer and queued lines):
    // shows that a slow client does not make the buffers grow.
    qint64 peakQueuedBytes() const;

signals:
    // Per client; `session` numbers clients from 1 in the order they connected.
    void clientConnected(int session);
    void clientDisconnected(int session);
    void lineReceived(int session, const QByteArray &line); // without its line feed
    void loggedIn(int session, const QString &account);
    // "$DOWNLOAD: COMPLETED" has been queued (or, with completedWithLastFile, the last
    // acknowledgement arrived).
    void downloadFinished(int session, int filesSent, bool cancelled);

private:
    void acceptConnections();

    InstrumentOptions m_options;
    InstrumentTree m_tree;
    QTcpServer *m_server = nullptr;
    QString m_error;
    int m_lastId = 0;
    qint64 m_peakOfClosed = 0;
};
