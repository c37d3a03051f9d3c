#pragma once
// Loopback addresses for stand-in instruments, handed out in one place. The program always
// dials port 30000, so two test runs at once, or a stand-in a user keeps running on
// 127.0.0.1, would meet on any fixed address. Each process walks the loopback range from a
// random place of its own and takes only an address where a listen on port 30000 succeeds;
// a server that still loses the race to another process moves on to the next address.
#include <QHostAddress>
#include <QRandomGenerator>
#include <QString>
#include <QTcpServer>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace TestAddress {

constexpr quint16 kPort = 30000;
// Enough to step past a busy stretch; a failure beyond it is a real one (no loopback at all).
constexpr int kTries = 64;

namespace Detail {
// 127.0.1.1 to 127.255.255.254 with neither .0 nor .255 last: 127.0.0.x, where people
// put their own servers, is left alone, and every address is one the login dialog takes.
constexpr quint32 kFirst = (127u << 24) | (1u << 8);
constexpr quint32 kCount = (1u << 24) - (1u << 8);

// TARVELO_TEST_ADDRESS_FROM=127.a.b.c makes every process start there, so that runs at once
// meet on the same addresses: a way to see that they step round each other.
inline quint32 start()
{
    const QHostAddress from(QString::fromLocal8Bit(qgetenv("TARVELO_TEST_ADDRESS_FROM")));
    const quint32 ip = from.toIPv4Address();
    if (ip >= kFirst && ip < kFirst + kCount)
        return ip - kFirst;
    return QRandomGenerator::system()->bounded(kCount);
}

inline quint32 &cursor()
{
    static quint32 next = start();
    return next;
}
} // namespace Detail

// The next address of this process's walk; not checked.
inline QString candidate()
{
    for (;;) {
        const quint32 ip = Detail::kFirst + (Detail::cursor()++ % Detail::kCount);
        const quint32 last = ip & 0xff;
        if (last != 0 && last != 255)
            return QHostAddress(ip).toString();
    }
}

// True when nothing listens on address:30000 right now.
inline bool isFree(const QString &address)
{
    QTcpServer probe;
    return probe.listen(QHostAddress(address), kPort);
}

// An address where nothing listens on port 30000: one to dial and be refused at. Empty when
// none was found.
inline QString freeAddress()
{
    for (int i = 0; i < kTries; ++i) {
        const QString address = candidate();
        if (isFree(address))
            return address;
    }
    return QString();
}

// An address where a connection to port 30000 is refused for as long as this lives: a socket
// is bound there without listening and without SO_REUSEADDR, which no other socket can bind
// over, so no other process can start a server there meanwhile.
class Refusing
{
public:
    Refusing()
    {
        for (int i = 0; i < kTries && m_fd < 0; ++i) {
            const QString address = candidate();
            m_fd = ::socket(AF_INET, SOCK_STREAM, 0);
            sockaddr_in addr{};
            addr.sin_family = AF_INET;
            addr.sin_port = htons(kPort);
            addr.sin_addr.s_addr = htonl(QHostAddress(address).toIPv4Address());
            if (m_fd >= 0 && ::bind(m_fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0) {
                m_address = address;
            } else if (m_fd >= 0) {
                ::close(m_fd);
                m_fd = -1;
            }
        }
    }
    ~Refusing()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Refusing(const Refusing &) = delete;
    Refusing &operator=(const Refusing &) = delete;

    // Empty when no address could be held.
    QString address() const { return m_address; }

private:
    int m_fd = -1;
    QString m_address;
};

// Starts a server: calls listen(address), which binds port 30000 there, on free addresses
// until one succeeds, and returns that address (empty when none did). listen must leave
// nothing bound when it fails.
template <class Listen>
QString listen(Listen &&listen)
{
    for (int i = 0; i < kTries; ++i) {
        const QString address = freeAddress();
        if (address.isEmpty())
            return QString();
        if (listen(address))
            return address;
    }
    return QString();
}

} // namespace TestAddress
