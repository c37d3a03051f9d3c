// The stand-in instrument (its own process, so its memory is its own) serves one large file
// to a client that reads and discards; a raw loopback TCP copy of the same bytes, from a
// process that only reads the file and sends it, is the baseline. Rounds alternate after a
// warm-up. Prints throughput of both, their ratio, and the server's peak memory beside the
// file size.
//
//   bench_instrument [--size MiB] [--rounds N]
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kTimeoutSeconds = 60; // every socket wait is bounded by this

[[noreturn]] void die(const char *what)
{
    std::fprintf(stderr, "bench_instrument: %s\n", what);
    std::exit(1);
}

int connectTo(quint16 port)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    timeval timeout{kTimeoutSeconds, 0};
    ::setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    ::setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(port);
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0)
        die("cannot connect to the loopback port");
    return fd;
}

void sendAll(int fd, const char *data, size_t size)
{
    while (size > 0) {
        const ssize_t n = ::send(fd, data, size, MSG_NOSIGNAL);
        if (n <= 0)
            die("send failed");
        data += n;
        size -= size_t(n);
    }
}

// The client side: reads lines and discards file bytes, with one buffer for both.
class Reader
{
public:
    explicit Reader(int fd) : m_fd(fd), m_buffer(1 << 20) {}
    ~Reader() { ::close(m_fd); }

    QByteArray line()
    {
        for (;;) {
            const int end = m_pending.indexOf('\n');
            if (end >= 0) {
                const QByteArray result = m_pending.left(end + 1);
                m_pending.remove(0, end + 1);
                return result;
            }
            if (!fill())
                die("connection ended inside a line");
        }
    }
    // Discards n bytes (or everything up to the end of the stream when n < 0).
    qint64 discard(qint64 n)
    {
        qint64 done = qMin<qint64>(m_pending.size(), n < 0 ? m_pending.size() : n);
        m_pending.remove(0, int(done));
        while (n < 0 || done < n) {
            const size_t want = n < 0 ? m_buffer.size() : size_t(qMin<qint64>(n - done, qint64(m_buffer.size())));
            const ssize_t got = ::recv(m_fd, m_buffer.data(), want, 0);
            if (got == 0 && n < 0)
                break;
            if (got <= 0)
                die("connection ended inside the file");
            done += got;
        }
        return done;
    }
    void send(const QByteArray &bytes) { sendAll(m_fd, bytes.constData(), size_t(bytes.size())); }

private:
    bool fill()
    {
        const ssize_t got = ::recv(m_fd, m_buffer.data(), m_buffer.size(), 0);
        if (got <= 0)
            return false;
        m_pending.append(m_buffer.data(), int(got));
        return true;
    }

    int m_fd;
    std::vector<char> m_buffer;
    QByteArray m_pending;
};

// Peak and current resident memory of a process, in KiB, from /proc.
void memory(qint64 pid, qint64 *peak, qint64 *now)
{
    QFile status(QStringLiteral("/proc/%1/status").arg(pid));
    *peak = *now = -1;
    if (!status.open(QIODevice::ReadOnly))
        return;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            *peak = line.mid(6).trimmed().split(' ').first().toLongLong();
        else if (line.startsWith("VmRSS:"))
            *now = line.mid(6).trimmed().split(' ').first().toLongLong();
    }
}

// --raw-send FILE: listens on a free loopback port, prints it, sends the file to the first
// client with plain read() and send(), prints its own peak memory and exits.
int rawSend(const char *path)
{
    const int server = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (::bind(server, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0 || ::listen(server, 1) != 0
        || ::getsockname(server, reinterpret_cast<sockaddr *>(&address), &length) != 0)
        die("raw sender cannot listen");
    std::printf("PORT %u\n", unsigned(ntohs(address.sin_port)));
    std::fflush(stdout);
    timeval timeout{kTimeoutSeconds, 0};
    ::setsockopt(server, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    const int client = ::accept(server, nullptr, nullptr);
    if (client < 0)
        die("raw sender: no client came");
    const int file = ::open(path, O_RDONLY);
    std::vector<char> buffer(256 * 1024);
    for (;;) {
        const ssize_t n = ::read(file, buffer.data(), buffer.size());
        if (n < 0)
            die("raw sender cannot read the file");
        if (n == 0)
            break;
        sendAll(client, buffer.data(), size_t(n));
    }
    ::close(client);
    qint64 peak, now;
    memory(::getpid(), &peak, &now);
    std::printf("HWM %lld\n", peak);
    return 0;
}

QByteArray firstLine(QProcess &process)
{
    for (int i = 0; i < 100 && !process.canReadLine(); ++i)
        if (!process.waitForReadyRead(100) && process.state() != QProcess::Running)
            break;
    if (!process.canReadLine())
        die(qPrintable(QStringLiteral("%1 printed no first line: %2")
                           .arg(process.program(), QString::fromLocal8Bit(process.readAllStandardError()))));
    return process.readLine();
}

double rawRound(const QString &path, qint64 size, qint64 *senderPeak)
{
    QProcess sender;
    sender.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--raw-send"), path});
    const QByteArray portLine = firstLine(sender);
    Reader reader(connectTo(quint16(portLine.mid(5).trimmed().toUInt())));
    QElapsedTimer timer;
    timer.start();
    if (reader.discard(-1) != size)
        die("the raw copy lost bytes");
    const double seconds = timer.nsecsElapsed() / 1e9;
    if (!sender.waitForFinished(kTimeoutSeconds * 1000))
        die("the raw sender did not end");
    const QByteArray hwm = sender.readAllStandardOutput().trimmed();
    *senderPeak = qMax(*senderPeak, hwm.mid(4).toLongLong());
    return size / seconds / (1 << 20);
}

double instrumentRound(quint16 port, qint64 size)
{
    Reader reader(connectTo(port));
    if (reader.line() != "$WAIT LOGIN:\n")
        die("no login prompt");
    reader.send("$LOGIN: <anonymous,>\n");
    if (reader.line() != "$LOGIN: OK\n")
        die("login refused");
    QElapsedTimer timer;
    timer.start();
    reader.send("$DOWNLOAD REQUEST </TARVELO/large.bin>\n");
    if (!reader.line().startsWith("$DOWNLOAD REQUEST: LIST<START></TARVELO/large.bin>"))
        die("unexpected announcement");
    reader.send("$DOWNLOAD REQUEST: LIST COMPLETED\n");
    if (reader.line() != "$DOWNLOAD:</TARVELO/large.bin><" + QByteArray::number(size) + ">\n")
        die("unexpected file header");
    reader.discard(size);
    if (reader.line() != "$DOWNLOAD:</TARVELO/large.bin><END>\n")
        die("unexpected end line");
    reader.send("$DOWNLOAD COMPLETED /TARVELO/large.bin\n");
    if (reader.line() != "$DOWNLOAD: COMPLETED\n")
        die("no end notice");
    return size / (timer.nsecsElapsed() / 1e9) / (1 << 20);
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 3 && qstrcmp(argv[1], "--raw-send") == 0)
        return rawSend(argv[2]);
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    const int sizeAt = args.indexOf(QStringLiteral("--size"));
    const int roundsAt = args.indexOf(QStringLiteral("--rounds"));
    const qint64 mib = sizeAt > 0 ? args.value(sizeAt + 1).toLongLong() : 1024;
    const int rounds = roundsAt > 0 ? args.value(roundsAt + 1).toInt() : 3;
    if (mib <= 0 || rounds <= 0)
        die("usage: bench_instrument [--size MiB] [--rounds N]");
    const qint64 size = mib << 20;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("large.bin"));
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly))
            die("cannot create the test file");
        QByteArray block(4 << 20, Qt::Uninitialized);
        quint32 state = 12345;
        for (char &c : block) {
            state = state * 1664525u + 1013904223u;
            c = char(state >> 24);
        }
        for (qint64 written = 0; written < size; written += block.size())
            if (file.write(block.constData(), qMin<qint64>(block.size(), size - written)) <= 0)
                die("cannot write the test file");
    }

    QProcess instrument;
    instrument.start(QStringLiteral(TARVELO_INSTRUMENT_PROGRAM),
                     {QStringLiteral("--root"), dir.path(), QStringLiteral("--port"), QStringLiteral("0"),
                      QStringLiteral("--quiet")});
    const QByteArray listening = firstLine(instrument);
    const int colon = listening.indexOf(':', listening.indexOf("127.0.0.1"));
    const quint16 port = quint16(listening.mid(colon + 1).split(',').first().toUInt());
    if (port == 0)
        die("could not read the instrument's port");
    qint64 baseline = 0, startPeak = 0;
    memory(instrument.processId(), &startPeak, &baseline);

    std::printf("file: %lld MiB, %d rounds after a warm-up\n", mib, rounds);
    qint64 senderPeak = 0;
    rawRound(path, size, &senderPeak); // warm-up: page cache, loopback, both code paths
    instrumentRound(port, size);
    std::vector<double> raw, served;
    for (int i = 0; i < rounds; ++i) {
        raw.push_back(rawRound(path, size, &senderPeak));
        served.push_back(instrumentRound(port, size));
        std::printf("round %d: raw loopback copy %8.0f MiB/s   stand-in instrument %8.0f MiB/s\n", i + 1,
                    raw.back(), served.back());
    }
    qint64 peak = 0, now = 0;
    memory(instrument.processId(), &peak, &now);
    instrument.kill();
    instrument.waitForFinished(5000);

    const double rawMedian = median(raw), servedMedian = median(served);
    std::printf("median:  raw loopback copy %8.0f MiB/s   stand-in instrument %8.0f MiB/s   ratio %.2f\n",
                rawMedian, servedMedian, servedMedian / rawMedian);
    std::printf("stand-in instrument memory: peak (VmHWM) %.1f MiB, now (VmRSS) %.1f MiB, at start %.1f MiB;"
                " file %lld MiB (peak = %.2f%% of the file)\n",
                peak / 1024.0, now / 1024.0, startPeak / 1024.0, mib, 100.0 * peak / 1024.0 / double(mib));
    std::printf("raw sender memory: peak (VmHWM) %.1f MiB\n", senderPeak / 1024.0);
    return 0;
}
