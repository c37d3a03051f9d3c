// One large file from the stand-in instrument (its own process) into a download folder:
// the window's code path (QTcpSocket -> InstrumentLink -> MessageReader -> DownloadReceiver
// -> QSaveFile) against a bare Qt receiver (readyRead -> readAll -> QFile::write) and a POSIX
// socket copy, each also synced once at the end, all taking the same bytes from the same
// server in the same round. Each round times every side once; the figures are the median of
// the per-round ratios with their range, so a noisy neighbour slows both sides of a ratio.
#include "benchsupport.h"
#include "transfer/downloadreceiver.h"
#include "link/instrumentlink.h"
#include "link/messagereader.h"
#include "link/protocol.h"
#include "record/sha256.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTimer>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdio>
#include <algorithm>
#include <functional>
#include <vector>

namespace {
using namespace bench;

constexpr qint64 kMiB = 1024 * 1024;

qint64 statusKiB(const char *field)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field))).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

// Bytes the instrument sends for one file after the announcement.
qint64 framedSize(const QString &remote, qint64 size)
{
    const QByteArray path = remote.toUtf8();
    return (QByteArray("$DOWNLOAD:<") + path + "><" + QByteArray::number(size) + ">\n").size() + size
        + (QByteArray("$DOWNLOAD:<") + path + "><END>\n").size();
}

// The floor for Qt: every byte after the announcement into a file, nothing else.
double bareQt(const Server &server, const QString &remote, qint64 size, const QString &downloadDir,
              bool syncAtEnd = false)
{
    QTcpSocket socket;
    connectAndLogin(socket, server);
    QFile out(downloadDir + QStringLiteral("/bare.bin"));
    if (!out.open(QIODevice::WriteOnly))
        fatal(QStringLiteral("cannot write the bare copy"));
    const qint64 expected = framedSize(remote, size);
    qint64 received = 0;
    bool acknowledged = false;
    QByteArray head;
    QElapsedTimer clock;
    const bool ok = runLoop([&](QEventLoop &loop) {
        QObject::connect(&socket, &QTcpSocket::readyRead, &loop, [&] {
            QByteArray data = socket.readAll();
            if (!acknowledged) {
                head += data;
                const int end = head.indexOf(Protocol::kListEnd);
                if (end < 0)
                    return;
                acknowledged = true;
                socket.write(Protocol::kListAck);
                data = head.mid(end + int(qstrlen(Protocol::kListEnd)) + 1);
            }
            out.write(data);
            received += data.size();
            if (received >= expected)
                loop.quit();
        });
        QObject::connect(&socket, &QTcpSocket::disconnected, &loop, &QEventLoop::quit);
        clock.start();
        socket.write(requestLine(remote));
    });
    if (syncAtEnd && (!out.flush() || ::fdatasync(out.handle()) != 0))
        fatal(QStringLiteral("cannot sync the bare copy"));
    const double seconds = clock.nsecsElapsed() / 1e9;
    if (!ok || received < expected)
        fatal(QStringLiteral("the bare Qt copy did not complete"));
    return seconds;
}

// A plain blocking POSIX socket copy. With `hash`, each piece is also fed to SHA-256 on the same
// thread as it is written, as a floor that does the receiver's work and nothing more.
double posixCopy(const Server &server, const QString &remote, qint64 size, const QString &downloadDir,
                 bool syncAtEnd = false, bool hash = false)
{
    Sha256 sha;
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(server.port);
    inet_pton(AF_INET, kAddress.toLatin1().constData(), &addr.sin_addr);
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0)
        fatal(QStringLiteral("POSIX connect failed"));
    timeval tv{30, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    const QByteArray outPath = (downloadDir + QStringLiteral("/posix.bin")).toLocal8Bit();
    const int out = ::open(outPath.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0)
        fatal(QStringLiteral("cannot write the POSIX copy"));
    auto sendAll = [&](const QByteArray &b) {
        if (::send(fd, b.constData(), size_t(b.size()), MSG_NOSIGNAL) != b.size())
            fatal(QStringLiteral("POSIX send failed"));
    };
    QByteArray head;
    static char buffer[256 * 1024];
    auto readSome = [&]() -> ssize_t {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            fatal(QStringLiteral("POSIX receive failed"));
        return n;
    };
    while (!head.contains(Protocol::kWaitLogin))
        head.append(buffer, int(readSome()));
    sendAll("$LOGIN: <anonymous,>\n");
    head.clear();
    while (!head.contains(Protocol::kLoginOk))
        head.append(buffer, int(readSome()));
    head.clear();

    QElapsedTimer clock;
    clock.start();
    sendAll(requestLine(remote));
    while (!head.contains(Protocol::kListEnd))
        head.append(buffer, int(readSome()));
    sendAll(Protocol::kListAck);
    const int end = head.indexOf(Protocol::kListEnd) + int(qstrlen(Protocol::kListEnd)) + 1;
    qint64 received = head.size() - end;
    if (received > 0 && ::write(out, head.constData() + end, size_t(received)) != received)
        fatal(QStringLiteral("POSIX write failed"));
    if (hash && received > 0)
        sha.addData(head.constData() + end, received);
    const qint64 expected = framedSize(remote, size);
    while (received < expected) {
        const ssize_t n = readSome();
        if (::write(out, buffer, size_t(n)) != n)
            fatal(QStringLiteral("POSIX write failed"));
        if (hash)
            sha.addData(buffer, n);
        received += n;
    }
    if (syncAtEnd && ::fdatasync(out) != 0)
        fatal(QStringLiteral("cannot sync the POSIX copy"));
    if (hash && sha.result().size() != 64)
        fatal(QStringLiteral("no hash of the POSIX copy"));
    const double seconds = clock.nsecsElapsed() / 1e9;
    ::close(out);
    ::close(fd);
    return seconds;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Download throughput and memory."));
    addRoundOptions(parser, 5);
    parser.addOption({"large-mib", "Size of the large file in MiB (default 1024).", "n", "1024"});
    parser.addOption({"small-mib", "Size of the small file in MiB (default 64).", "n", "64"});
    // Internal: one download in a process of its own, for a clean memory figure.
    parser.addOption({"memory-client", "Download <remote> from <port> into <dir>, print idle and peak KiB.", "port,remote,dir"});
    parser.process(app);
    if (parser.isSet("memory-client")) {
        const QStringList a = parser.value("memory-client").split(QLatin1Char(','));
        Server server; // not started: only its port is used
        server.port = quint16(a.value(0).toUInt());
        const qint64 idle = statusKiB("VmRSS:");
        viaReceiver(server, a.value(1), a.value(2), 1);
        std::printf("%lld %lld\n", idle, statusKiB("VmHWM:"));
        return 0;
    }
    const qint64 large = parser.value("large-mib").toLongLong() * kMiB;
    const qint64 small = parser.value("small-mib").toLongLong() * kMiB;
    const int rounds = qMax(1, parser.value("rounds").toInt());

    const WorkFolders work(parser, QStringLiteral("bench_download"));
    const QString &root = work.root, &downloads = work.downloads;
    writeSampleFile(root + QStringLiteral("/large.bin"), large);
    writeSampleFile(root + QStringLiteral("/small.bin"), small);
    const QString largeRemote = QStringLiteral("/TARVELO/large.bin");
    const QString smallRemote = QStringLiteral("/TARVELO/small.bin");

    Server server;
    server.start(root, kAddress);
    std::printf("download benchmark: %lld MiB and %lld MiB files, stand-in instrument on %s:%u, %d round(s)\n",
                large / kMiB, small / kMiB, qPrintable(kAddress), server.port, rounds);

    // Warm-up: both paths once on the large file, so that the memory the page cache and the
    // socket buffers need has been handed to this machine before anything is timed.
    viaReceiver(server, largeRemote, downloads, 1);
    clearFolder(downloads);
    bareQt(server, largeRemote, large, downloads);
    clearFolder(downloads);

    // Per round, every side once, in an order that changes from round to round.
    std::vector<double> candidate, bare, bareSynced, posix, posixSynced, posixHashed, smallRun;
    using Side = std::function<void()>;
    const std::vector<Side> sides = {
        [&] { candidate.push_back(viaReceiver(server, largeRemote, downloads, 1)); },
        [&] { bare.push_back(bareQt(server, largeRemote, large, downloads)); },
        [&] { bareSynced.push_back(bareQt(server, largeRemote, large, downloads, true)); },
        [&] { posix.push_back(posixCopy(server, largeRemote, large, downloads)); },
        [&] { posixSynced.push_back(posixCopy(server, largeRemote, large, downloads, true)); },
        [&] { posixHashed.push_back(posixCopy(server, largeRemote, large, downloads, true, true)); },
        [&] { smallRun.push_back(viaReceiver(server, smallRemote, downloads, 1)); },
    };
    runRotated(sides, rounds, downloads);

    // Peak memory of a client that does nothing but this one download.
    QProcess client;
    client.start(QCoreApplication::applicationFilePath(),
                 {"--memory-client", QStringLiteral("%1,%2,%3").arg(server.port).arg(largeRemote, downloads)});
    if (!client.waitForFinished(kRunLimitMs) || client.exitCode() != 0)
        fatal(QStringLiteral("the memory client failed"));
    const QList<QByteArray> kib = client.readAllStandardOutput().trimmed().split(' ');
    const qint64 idleKiB = kib.value(0).toLongLong();
    const qint64 peakKiB = kib.value(1).toLongLong();
    clearFolder(downloads);

    const double mib = double(large) / kMiB;
    auto speeds = [&](const char *name, const std::vector<double> &t) {
        std::vector<double> rate;
        for (double seconds : t)
            rate.push_back(mib / seconds);
        const Spread r = spread(rate);
        std::printf("  %-28s %7.1f MiB/s median (%.1f-%.1f)\n", name, r.median, r.low, r.high);
    };
    // Baseline time over candidate time, per round: 1 means as fast as the baseline.
    auto ratio = [&](const std::vector<double> &baseline, const std::vector<double> &t) {
        std::vector<double> r;
        for (size_t i = 0; i < t.size(); ++i)
            r.push_back(baseline[i] / t[i]);
        return spread(r);
    };
    std::printf("throughput of the %lld MiB file:\n", large / kMiB);
    speeds("download receiver", candidate);
    speeds("POSIX copy + one fdatasync", posixSynced);
    speeds("POSIX + SHA-256 + fdatasync", posixHashed);
    speeds("bare Qt + one fdatasync", bareSynced);
    speeds("POSIX copy (not durable)", posix);
    speeds("bare Qt (not durable)", bare);
    const Spread vsPosixSynced = ratio(posixSynced, candidate);
    const Spread vsQtSynced = ratio(bareSynced, candidate);
    const Spread vsHashed = ratio(posixHashed, candidate);
    const Spread vsPosix = ratio(posix, candidate);
    const Spread vsQt = ratio(bare, candidate);
    std::printf("steady throughput: receiver / (POSIX + one fdatasync) %.2f median (%.2f-%.2f) "
                "(goal >= 0.95 of the durable floor)\n", vsPosixSynced.median, vsPosixSynced.low, vsPosixSynced.high);
    std::printf("                   receiver / (bare Qt + one fdatasync) %.2f median (%.2f-%.2f)\n",
                vsQtSynced.median, vsQtSynced.low, vsQtSynced.high);
    // The receiver hashes what it stores; this floor does the same work, so like meets like.
    std::printf("                   receiver / (POSIX + SHA-256 + one fdatasync) %.2f median (%.2f-%.2f)\n",
                vsHashed.median, vsHashed.low, vsHashed.high);
    std::printf("  beside, not durable: receiver / POSIX %.2f (%.2f-%.2f), receiver / bare Qt %.2f (%.2f-%.2f)\n",
                vsPosix.median, vsPosix.low, vsPosix.high, vsQt.median, vsQt.low, vsQt.high);
    std::vector<double> perMiB;
    for (size_t i = 0; i < candidate.size(); ++i) {
        const double perSmall = smallRun[i] / (double(small) / kMiB);
        const double perLarge = candidate[i] / mib;
        perMiB.push_back(qMax(perSmall, perLarge) / qMin(perSmall, perLarge));
    }
    const Spread cost = spread(perMiB);
    std::printf("cost per MiB, %lld MiB vs %lld MiB: ratio %.2f median (%.2f-%.2f) (goal within 1.3)\n",
                small / kMiB, large / kMiB, cost.median, cost.low, cost.high);
    std::printf("client memory (own process): idle %.1f MiB, peak during the large download %.1f MiB, %.1f MiB above idle (goal < 64)\n",
                idleKiB / 1024.0, peakKiB / 1024.0, (peakKiB - idleKiB) / 1024.0);
    return 0;
}
