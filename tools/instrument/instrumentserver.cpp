#include "tools/instrument/instrumentserver.h"

#include "tools/instrument/instrumentsession.h"

#include <QTcpServer>
#include <QTcpSocket>

InstrumentServer::InstrumentServer(const InstrumentOptions &options, QObject *parent)
    : QObject(parent), m_options(options), m_tree(options.root), m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &InstrumentServer::acceptConnections);
    m_tree.setGenerated(options.generated);
}

InstrumentServer::~InstrumentServer()
{
    // Sessions go first, while the server they report to is still whole.
    qDeleteAll(findChildren<InstrumentSession *>(QString(), Qt::FindDirectChildrenOnly));
}

bool InstrumentServer::listen(const QHostAddress &address, quint16 port)
{
    if (!m_tree.isValid()) {
        m_error = tr("The folder to serve does not exist: %1").arg(m_options.root);
        return false;
    }
    if (!m_server->listen(address, port)) {
        m_error = m_server->errorString();
        return false;
    }
    m_error.clear();
    return true;
}

quint16 InstrumentServer::serverPort() const { return m_server->serverPort(); }
QString InstrumentServer::errorString() const { return m_error; }

int InstrumentServer::sessionCount() const
{
    return findChildren<InstrumentSession *>(QString(), Qt::FindDirectChildrenOnly).size();
}

qint64 InstrumentServer::peakQueuedBytes() const
{
    qint64 peak = m_peakOfClosed;
    for (const InstrumentSession *session :
         findChildren<InstrumentSession *>(QString(), Qt::FindDirectChildrenOnly))
        peak = qMax(peak, session->peakQueuedBytes());
    return peak;
}

void InstrumentServer::acceptConnections()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        const int id = ++m_lastId;
        auto *session = new InstrumentSession(socket, m_options, m_tree, id, this);
        connect(session, &InstrumentSession::lineReceived, this,
                [this, id](const QByteArray &line) { emit lineReceived(id, line); });
        connect(session, &InstrumentSession::loggedIn, this,
                [this, id](const QString &account) { emit loggedIn(id, account); });
        connect(session, &InstrumentSession::downloadFinished, this,
                [this, id](int files, bool cancelled) { emit downloadFinished(id, files, cancelled); });
        connect(session, &InstrumentSession::closed, this, [this, session, id] {
            m_peakOfClosed = qMax(m_peakOfClosed, session->peakQueuedBytes());
            session->setParent(nullptr); // no longer counted; it touches nothing of ours
            session->deleteLater();
            emit clientDisconnected(id);
        });
        emit clientConnected(id);
    }
}
