#pragma once
// What the download benchmarks share on top of bench/common: an anonymous login on a bare
// socket, bounded event loops, the window's receive path, per-round rotation of the sides.
#include "bench/common/benchcommon.h"
#include "transfer/downloadreceiver.h"
#include "link/instrumentlink.h"
#include "link/protocol.h"

#include <QByteArray>
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QString>
#include <QTemporaryDir>
#include <QTcpSocket>
#include <QTimer>

#include <functional>
#include <vector>

namespace bench {

inline const QString kAddress = QStringLiteral("127.0.0.39");
inline constexpr int kRunLimitMs = 600000;

inline QByteArray requestLine(const QString &remote)
{
    return QByteArray(Protocol::kRequestPrefix) + '<' + remote.toUtf8() + ">\n";
}

// Logs in on a connected Qt socket, anonymously; bounded waits.
inline void qtLogin(QTcpSocket &socket)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 10000) {
        while (socket.canReadLine()) {
            const QByteArray line = socket.readLine().trimmed();
            if (line == Protocol::kWaitLogin)
                socket.write("$LOGIN: <anonymous,>\n");
            else if (line == Protocol::kLoginOk)
                return;
            else if (line == Protocol::kLoginNg)
                fatal(QStringLiteral("login refused"));
        }
        socket.waitForReadyRead(1000);
    }
    fatal(QStringLiteral("no login answer"));
}

inline void connectAndLogin(QTcpSocket &socket, const Server &server)
{
    socket.connectToHost(kAddress, server.port);
    if (!socket.waitForConnected(10000))
        fatal(QStringLiteral("cannot connect"));
    qtLogin(socket);
}

inline bool runLoop(const std::function<void(QEventLoop &)> &setUp)
{
    QEventLoop loop;
    bool timedOut = false;
    QTimer::singleShot(kRunLimitMs, &loop, [&] { timedOut = true; loop.quit(); });
    setUp(loop);
    loop.exec();
    return !timedOut;
}

// The window's receive path (InstrumentLink -> MessageReader -> DownloadReceiver, each file
// committed before it is acknowledged) for one request; its time in seconds.
inline double viaReceiver(const Server &server, const QString &remote, const QString &downloadDir,
                          int expectedFiles)
{
    auto *socket = new QTcpSocket;
    connectAndLogin(*socket, server);
    InstrumentLink link;
    link.attach(socket); // the link owns it from here, and reads as the window does
    socket->setReadBufferSize(DownloadReceiver::kSocketReadBuffer);
    DownloadReceiver receiver;
    link.reader().setDownloadStream(&receiver);
    QObject::connect(&receiver, &DownloadReceiver::sendLine, &link, &InstrumentLink::sendLine);
    QElapsedTimer clock;
    const bool ok = runLoop([&](QEventLoop &loop) {
        QObject::connect(&receiver, &DownloadReceiver::endNoticeReceived, &loop, &QEventLoop::quit);
        QObject::connect(&link, &InstrumentLink::linkLost, &loop, &QEventLoop::quit);
        receiver.begin(downloadDir);
        clock.start();
        socket->write(requestLine(remote));
    });
    const double seconds = clock.nsecsElapsed() / 1e9;
    if (!ok || receiver.storedFiles().size() != expectedFiles)
        fatal(QStringLiteral("the download through the receiver stored %1 of %2 files")
                  .arg(receiver.storedFiles().size()).arg(expectedFiles));
    receiver.finish();
    return seconds;
}

// "--rounds" and "--folder", which every download benchmark takes.
inline void addRoundOptions(QCommandLineParser &parser, int defaultRounds)
{
    parser.addHelpOption();
    parser.addOption({"rounds", QStringLiteral("Rounds, each timing every side once (default %1).").arg(defaultRounds),
                      "n", QString::number(defaultRounds)});
    parser.addOption({"folder", "Where the source and download folders go (default: the temporary folder).", "dir"});
}

// The source folder the stand-in serves and the download folder, in a temporary folder under
// "--folder" that goes with the benchmark.
struct WorkFolders
{
    QTemporaryDir dir;
    QString root, downloads;

    WorkFolders(const QCommandLineParser &parser, const QString &name)
        : dir((parser.isSet("folder") ? parser.value("folder") : QDir::tempPath()) + QLatin1Char('/') + name
              + QStringLiteral("-XXXXXX"))
    {
        if (!dir.isValid())
            fatal(QStringLiteral("no temporary folder"));
        g_workFolder = &dir;
        root = dir.filePath(QStringLiteral("root"));
        downloads = dir.filePath(QStringLiteral("downloads"));
        QDir().mkpath(root);
        QDir().mkpath(downloads);
    }
    ~WorkFolders()
    {
        if (g_workFolder == &dir)
            g_workFolder = nullptr;
    }
};

// Every side once per round, starting one further each round, so that no side always runs
// on a machine another side has just warmed or tired; the download folder is emptied after each.
inline void runRotated(const std::vector<std::function<void()>> &sides, int rounds, const QString &downloads)
{
    for (int round = 0; round < rounds; ++round) {
        for (size_t i = 0; i < sides.size(); ++i) {
            sides[(i + size_t(round)) % sides.size()]();
            clearFolder(downloads);
        }
    }
}

} // namespace bench
