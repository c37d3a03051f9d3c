#include "tools/instrument/instrumentserver.h"

#include <QTcpServer>

// Stub: filled in by the stand-in instrument work.
InstrumentServer::InstrumentServer(const InstrumentOptions &options, QObject *parent)
    : QObject(parent), m_options(options), m_server(new QTcpServer(this))
{
}
InstrumentServer::~InstrumentServer() = default;
bool InstrumentServer::listen(const QHostAddress &address, quint16 port)
{
    return m_server->listen(address, port);
}
quint16 InstrumentServer::serverPort() const { return m_server->serverPort(); }
QString InstrumentServer::errorString() const { return m_server->errorString(); }
