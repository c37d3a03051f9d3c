// Many small files (default 10,000 of 4 KiB) from the stand-in instrument: the window's code
// path (InstrumentLink -> MessageReader -> DownloadReceiver, each file committed before it
// is acknowledged) against a bare Qt client that frames the same stream by the headers'
// sizes and writes each file with QFile, once without and once with an fdatasync per file.
// The instrument sends the next file only after the last one is acknowledged, so every side
// pays the same round trips. Each round times every side once; the figures are the median of
// the per-round ratios with their range. A fourth side runs the whole client session with the
// transfer record on, as the window and the command line download, so the record's cost shows.
#include "benchsupport.h"
#include "record/downloadrecorder.h"
#include "tests/common/testaddress.h"
#include "transfer/clientsession.h"
#include "transfer/downloadreceiver.h"
#include "link/instrumentlink.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <unistd.h>

using namespace bench;

namespace {

int g_files = 0;
const QString kManyRemote = QStringLiteral("/TARVELO/many");

// Frames by the header's size, writes each file whole, acknowledges it; nothing else.
double bareWriter(const Server &server, const QString &downloadDir, bool syncEach)
{
    QTcpSocket socket;
    connectAndLogin(socket, server);
    QByteArray in;
    int stored = 0;
    bool listDone = false;
    QElapsedTimer clock;
    const bool ok = runLoop([&](QEventLoop &loop) {
        QObject::connect(&socket, &QTcpSocket::readyRead, &loop, [&] {
            in += socket.readAll();
            if (!listDone) {
                const int end = in.indexOf(Protocol::kListEnd);
                if (end < 0)
                    return;
                listDone = true;
                in.remove(0, end + int(qstrlen(Protocol::kListEnd)) + 1);
                socket.write(Protocol::kListAck);
            }
            for (;;) {
                if (in.startsWith(Protocol::kDownloadCompleted)) {
                    loop.quit();
                    return;
                }
                const int eol = in.indexOf('\n');
                if (eol < 0)
                    return;
                // "$DOWNLOAD:<path><size>"
                const int open = in.indexOf('<'), mid = in.indexOf("><", open), close = in.indexOf('>', mid + 2);
                const QByteArray path = in.mid(open + 1, mid - open - 1);
                const qint64 size = in.mid(mid + 2, close - mid - 2).toLongLong();
                const QByteArray endLine = "$DOWNLOAD:<" + path + "><END>\n";
                if (in.size() < eol + 1 + size + endLine.size())
                    return;
                QFile out(downloadDir + QLatin1Char('/') + QString::number(stored));
                if (!out.open(QIODevice::WriteOnly) || out.write(in.constData() + eol + 1, size) != size
                    || !out.flush() || (syncEach && ::fdatasync(out.handle()) != 0))
                    fatal(QStringLiteral("the bare writer could not write"));
                out.close();
                ++stored;
                in.remove(0, int(eol + 1 + size + endLine.size()));
                socket.write(Protocol::kFileAckPrefix + path + '\n');
            }
        });
        QObject::connect(&socket, &QTcpSocket::disconnected, &loop, &QEventLoop::quit);
        clock.start();
        socket.write(requestLine(kManyRemote));
    });
    const double seconds = clock.nsecsElapsed() / 1e9;
    if (!ok || stored != g_files)
        fatal(QStringLiteral("the bare writer stored %1 of %2 files").arg(stored).arg(g_files));
    return seconds;
}

// The session the window and the command line use, logged in on the instrument's own port,
// with the transfer record written for every file before its acknowledgement.
double viaSessionWithRecord(const QString &address, const QString &downloadDir)
{
    ClientSession session;
    DownloadRecorder recorder(&session);
    session.setDownloadPath(downloadDir);
    bool recorded = false, ended = false;
    QObject::connect(&recorder, &DownloadRecorder::recordUpdated, [&](const QString &problem) {
        if (!problem.isEmpty())
            fatal(QStringLiteral("the record: %1").arg(problem));
        recorded = true;
    });
    QElapsedTimer clock;
    const bool ok = runLoop([&](QEventLoop &loop) {
        QObject::connect(&session, &ClientSession::loggedIn, &loop, [&] {
            clock.start();
            session.startDownload({kManyRemote});
        });
        QObject::connect(&session, &ClientSession::loginFailed, &loop, &QEventLoop::quit);
        QObject::connect(&session, &ClientSession::downloadEnded, &loop, [&] {
            ended = true;
            if (recorded)
                loop.quit();
        });
        QObject::connect(&recorder, &DownloadRecorder::recordUpdated, &loop, [&] {
            if (ended)
                loop.quit();
        });
        ClientSession::Login login;
        login.host = address;
        session.logIn(login);
    });
    const double seconds = clock.nsecsElapsed() / 1e9;
    const int stored = session.receiver()->storedFiles().size();
    if (!ok || stored != g_files)
        fatal(QStringLiteral("the session stored %1 of %2 files").arg(stored).arg(g_files));
    session.close();
    return seconds;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Many small files: time per file."));
    addRoundOptions(parser, 3);
    parser.addOption({"files", "Number of files (default 10000).", "n", "10000"});
    parser.addOption({"kib", "Size of each file in KiB (default 4).", "n", "4"});
    parser.process(app);
    g_files = qMax(1, parser.value("files").toInt());
    const int bytes = qMax(1, parser.value("kib").toInt()) * 1024;
    const int rounds = qMax(1, parser.value("rounds").toInt());

    const WorkFolders work(parser, QStringLiteral("bench_manyfiles"));
    const QString &root = work.root, &downloads = work.downloads;
    writeSampleFiles(root + QStringLiteral("/many"), g_files, bytes);
    Server server;
    server.start(root, kAddress);
    // The session dials the instrument's own port, so its stand-in needs an address of its own.
    const QString sessionAddress = TestAddress::freeAddress();
    if (sessionAddress.isEmpty())
        fatal(QStringLiteral("no loopback address is free on the instrument's port"));
    Server sessionServer;
    sessionServer.start(root, sessionAddress, Protocol::kPort);
    std::printf("many-files benchmark: %d files of %d KiB, stand-in instrument on %s:%u, %d round(s)\n",
                g_files, bytes / 1024, qPrintable(kAddress), server.port, rounds);

    viaReceiver(server, kManyRemote, downloads, g_files); // warm-up
    clearFolder(downloads);
    std::vector<double> candidate, bare, bareSynced, recorded;
    const std::vector<std::function<void()>> sides = {
        [&] { candidate.push_back(viaReceiver(server, kManyRemote, downloads, g_files)); },
        [&] { bare.push_back(bareWriter(server, downloads, false)); },
        [&] { bareSynced.push_back(bareWriter(server, downloads, true)); },
        [&] { recorded.push_back(viaSessionWithRecord(sessionAddress, downloads)); },
    };
    runRotated(sides, rounds, downloads);
    auto perFile = [&](const char *name, const std::vector<double> &t) {
        std::vector<double> ms;
        for (double s : t)
            ms.push_back(s * 1000.0 / g_files);
        const Spread r = spread(ms);
        std::printf("  %-32s %.3f ms/file median (%.3f-%.3f)\n", name, r.median, r.low, r.high);
    };
    perFile("download receiver", candidate);
    perFile("session with the record", recorded);
    perFile("bare writer, fdatasync per file", bareSynced);
    perFile("bare writer, no sync", bare);
    auto ratio = [&](const std::vector<double> &baseline) {
        std::vector<double> r;
        for (size_t i = 0; i < candidate.size(); ++i)
            r.push_back(candidate[i] / baseline[i]);
        return spread(r);
    };
    const Spread vsSynced = ratio(bareSynced), vsBare = ratio(bare);
    std::vector<double> recordRatios;
    for (size_t i = 0; i < recorded.size(); ++i)
        recordRatios.push_back(recorded[i] / candidate[i]);
    const Spread recordCost = spread(recordRatios);
    std::vector<double> floorRatios;
    for (size_t i = 0; i < bare.size(); ++i)
        floorRatios.push_back(bareSynced[i] / bare[i]);
    const Spread floor = spread(floorRatios);
    // Like for like: the instrument sends a file only once the last one is acknowledged, and
    // a file is acknowledged only once it is durable, so every file costs one sync whoever
    // writes it; the writer without sync is printed for what the sync itself costs.
    std::printf("many small files: receiver time / bare writer with a sync per file %.2f median (%.2f-%.2f) "
                "(goal within 2x of a bare writer, each file durable before its acknowledgement)\n",
                vsSynced.median, vsSynced.low, vsSynced.high);
    std::printf("                  receiver time / bare writer without sync %.2f median (%.2f-%.2f)\n",
                vsBare.median, vsBare.low, vsBare.high);
    std::printf("                  bare writer with a sync per file / without %.2f median (%.2f-%.2f) "
                "(the least any writer that syncs each file can reach against the one without)\n",
                floor.median, floor.low, floor.high);
    std::printf("                  session with the record / receiver %.2f median (%.2f-%.2f) "
                "(what the record and the session add per file)\n",
                recordCost.median, recordCost.low, recordCost.high);
    return 0;
}
