#pragma once
#include <QDialog>

class QTcpSocket;

// Stub: filled in by the application shell work.
class LoginDialog : public QDialog
{
    Q_OBJECT
public:
    explicit LoginDialog(QWidget *parent = nullptr);
    void setSocket(QTcpSocket *socket) { m_socket = socket; }

private:
    QTcpSocket *m_socket = nullptr;
};
