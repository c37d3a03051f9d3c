// tarvelo-fetch, the real program in a process of its own with its transfer record on:
//  1. `get` of one large file against a bare POSIX client taking the same bytes from the same
//     stand-in and writing them with write() and one fdatasync at the end;
//  2. `get --new-only` of a large tree with a few files missing against a full `get` of it.
// Every round times both sides of a pair, in turns; the figures are the median of the
// per-round ratios with their range, after a warm-up round that is not counted.
#include "bench/download/benchsupport.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QHostAddress>
#include <QTcpServer>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

using namespace bench;

namespace {

constexpr qint64 kMiB = 1024 * 1024;

// The program only ever connects to the instrument's port: find an address where it is free.
QString freeAddress()
{
    for (int i = 0; i < 60; ++i) {
        const QString address = QStringLiteral("127.0.0.%1").arg(200 + (i * 7) % 50);
        QTcpServer probe;
        if (probe.listen(QHostAddress(address), Protocol::kPort))
            return address;
    }
    fatal(QStringLiteral("no loopback address with port %1 free").arg(Protocol::kPort));
}

double runFetch(const QStringList &args)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer clock;
    clock.start();
    p.start(QStringLiteral(TARVELO_FETCH_PROGRAM), args);
    if (!p.waitForFinished(kRunLimitMs) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        fatal(QStringLiteral("tarvelo-fetch %1 failed (exit %2)").arg(args.join(' ')).arg(p.exitCode()));
    return clock.nsecsElapsed() / 1e9;
}

// Login, request, acknowledge the announcement, write every byte after it, one fdatasync.
double posixCopy(const QString &address, const QString &remote, qint64 size, const QString &outFile)
{
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(Protocol::kPort);
    inet_pton(AF_INET, address.toLatin1().constData(), &addr.sin_addr);
    QElapsedTimer clock;
    clock.start(); // the program's time includes its connection too
    if (fd < 0 || ::connect(fd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0)
        fatal(QStringLiteral("POSIX connect failed"));
    timeval tv{30, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    const int out = ::open(QFile::encodeName(outFile).constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0)
        fatal(QStringLiteral("cannot write the POSIX copy"));
    auto sendAll = [&](const QByteArray &b) {
        if (::send(fd, b.constData(), size_t(b.size()), MSG_NOSIGNAL) != b.size())
            fatal(QStringLiteral("POSIX send failed"));
    };
    static char buffer[256 * 1024];
    QByteArray head;
    auto readUntil = [&](const char *text) {
        while (!head.contains(text)) {
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            if (n <= 0)
                fatal(QStringLiteral("POSIX receive failed"));
            head.append(buffer, int(n));
        }
    };
    readUntil(Protocol::kWaitLogin);
    sendAll("$LOGIN: <anonymous,>\n");
    readUntil(Protocol::kLoginOk);
    head.clear();
    sendAll(requestLine(remote));
    readUntil(Protocol::kListEnd);
    sendAll(Protocol::kListAck);
    const int start = head.indexOf(Protocol::kListEnd) + int(qstrlen(Protocol::kListEnd)) + 1;
    qint64 received = head.size() - start;
    if (received > 0 && ::write(out, head.constData() + start, size_t(received)) != received)
        fatal(QStringLiteral("POSIX write failed"));
    const QByteArray path = remote.toUtf8();
    const qint64 expected = ("$DOWNLOAD:<" + path + "><" + QByteArray::number(size) + ">\n").size() + size
        + ("$DOWNLOAD:<" + path + "><END>\n").size();
    while (received < expected) {
        const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
        if (n <= 0 || ::write(out, buffer, size_t(n)) != n)
            fatal(QStringLiteral("POSIX copy failed"));
        received += n;
    }
    if (::fdatasync(out) != 0)
        fatal(QStringLiteral("cannot sync the POSIX copy"));
    ::close(out);
    ::close(fd);
    return clock.nsecsElapsed() / 1e9;
}

void printSpread(const char *what, const std::vector<double> &ratios, const char *goal)
{
    const Spread s = spread(ratios);
    std::printf("%s: %.3f median (%.3f-%.3f over %zu rounds) %s\n", what, s.median, s.low, s.high,
                ratios.size(), goal);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("tarvelo-fetch against its baselines."));
    addRoundOptions(parser, 5);
    parser.addOption({"large-mib", "Size of the large file in MiB (default 1024).", "n", "1024"});
    parser.addOption({"tree-files", "Files in the tree (default 5000).", "n", "5000"});
    parser.addOption({"missing", "Files of the tree without a local copy (default 10).", "n", "10"});
    parser.process(app);
    const int rounds = qMax(1, parser.value("rounds").toInt());
    const qint64 large = parser.value("large-mib").toLongLong() * kMiB;
    const int treeFiles = qMax(1, parser.value("tree-files").toInt());
    const int missing = qBound(1, parser.value("missing").toInt(), treeFiles);

    WorkFolders work(parser, QStringLiteral("bench-fetch"));
    writeSampleFile(work.root + QStringLiteral("/large.bin"), large);
    // 100 folders of files, as runs of an instrument are kept.
    const int perFolder = (treeFiles + 99) / 100;
    for (int i = 0, made = 0; made < treeFiles; ++i, made += perFolder)
        writeSampleFiles(work.root + QStringLiteral("/tree/run%1").arg(i, 3, 10, QLatin1Char('0')),
                         qMin(perFolder, treeFiles - made), 4096);
    const QString address = freeAddress();
    Server server;
    server.start(work.root, address, Protocol::kPort);
    std::printf("bench_fetch: %lld MiB file, %d-file tree with %d missing, %s, %d rounds after a warm-up\n",
                large / kMiB, treeFiles, missing, qPrintable(address), rounds);

    // 1. One large file.
    std::vector<double> fileRatios;
    double fetchSum = 0, posixSum = 0;
    for (int round = 0; round <= rounds; ++round) {
        double fetch = 0, posix = 0;
        for (int side = 0; side < 2; ++side) {
            if ((side + round) % 2 == 0)
                fetch = runFetch({address, "get", "/TARVELO/large.bin", "--to", work.downloads});
            else
                posix = posixCopy(address, "/TARVELO/large.bin", large, work.dir.filePath("posix.bin"));
            clearFolder(work.downloads);
            QFile::remove(work.dir.filePath("posix.bin"));
        }
        if (round == 0)
            continue; // warm-up
        fileRatios.push_back(posix / fetch);
        fetchSum += fetch;
        posixSum += posix;
    }
    std::printf("get of the large file: %.0f MiB/s; POSIX write + one fdatasync: %.0f MiB/s\n",
                large / kMiB * rounds / fetchSum, large / kMiB * rounds / posixSum);
    printSpread("get / POSIX throughput", fileRatios, "(goal at or above 0.95)");

    // 2. Only what is new, against everything, into a folder that has the rest.
    const QString to = work.downloads;
    runFetch({address, "get", "/TARVELO/tree", "--to", to});
    QStringList all;
    QDirIterator it(to + QStringLiteral("/tree"), QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext())
        all << it.next();
    all.sort();
    std::vector<double> treeRatios;
    double newSum = 0, fullSum = 0;
    for (int round = 0; round <= rounds; ++round) {
        double newOnly = 0, full = 0;
        for (int side = 0; side < 2; ++side) {
            if ((side + round) % 2 == 0) {
                for (int i = 0; i < missing; ++i)
                    QFile::remove(all.at((i * 997 + round * 31) % all.size()));
                newOnly = runFetch({address, "get", "--new-only", "/TARVELO/tree", "--to", to});
            } else {
                full = runFetch({address, "get", "/TARVELO/tree", "--to", to});
            }
        }
        if (round == 0)
            continue;
        treeRatios.push_back(full / newOnly);
        newSum += newOnly;
        fullSum += full;
    }
    std::printf("get --new-only (%d of %d missing): %.2f s; full get: %.2f s (means)\n", missing, treeFiles,
                newSum / rounds, fullSum / rounds);
    printSpread("full get / new-only time", treeRatios, "(how many times faster only new files are)");
    return 0;
}
