#pragma once
// A loopback listener that never completes a new connection: its accept queue is kept full,
// so the kernel drops further connection requests and a client's connect stays pending.
#include <QHostAddress>
#include <QList>
#include <QTcpSocket>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <memory>

class Blackhole
{
public:
    // port 0 picks a free one. Leaves nothing bound when it fails.
    bool open(const char *address, quint16 port)
    {
        m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
        if (m_fd < 0)
            return false;
        int yes = 1;
        ::setsockopt(m_fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = htons(port);
        ::inet_pton(AF_INET, address, &addr.sin_addr);
        if (::bind(m_fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0
            || ::listen(m_fd, 0) != 0) {
            ::close(m_fd); // free for another try elsewhere
            m_fd = -1;
            return false;
        }
        socklen_t length = sizeof addr;
        ::getsockname(m_fd, reinterpret_cast<sockaddr *>(&addr), &length);
        m_port = ntohs(addr.sin_port);
        // Fill the accept queue; connections past it stay pending.
        for (int i = 0; i < 2; ++i) {
            auto filler = std::make_unique<QTcpSocket>();
            filler->connectToHost(QHostAddress(QLatin1String(address)), m_port);
            filler->waitForConnected(500);
            m_fillers.push_back(std::move(filler));
        }
        return true;
    }
    quint16 port() const { return m_port; }
    ~Blackhole()
    {
        m_fillers.clear();
        if (m_fd >= 0)
            ::close(m_fd);
    }

private:
    int m_fd = -1;
    quint16 m_port = 0;
    std::vector<std::unique_ptr<QTcpSocket>> m_fillers;
};
