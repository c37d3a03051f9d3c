#pragma once
#include "tools/instrument/instrumentoptions.h"

#include <QHostAddress>
#include <QObject>

class QTcpServer;

// The stand-in instrument: serves a local folder as the instrument's tree "/TARVELO".
// Event-driven; several clients at once, each with its own current folder and download.
class InstrumentServer : public QObject
{
    Q_OBJECT
public:
    explicit InstrumentServer(const InstrumentOptions &options, QObject *parent = nullptr);
    ~InstrumentServer() override;

    bool listen(const QHostAddress &address, quint16 port); // port 0 picks a free one
    quint16 serverPort() const;
    QString errorString() const;

private:
    InstrumentOptions m_options;
    QTcpServer *m_server = nullptr;
};
