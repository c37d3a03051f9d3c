// bench_newonly [--rounds N] [--folders N] [--files-per-folder N] [--kib N] [--folder DIR]
// Fetching only what is new against fetching everything again, through the client session
// the window uses. The stand-in serves a tree of 50 folders with 100 files each; the
// download folder holds all but 10 of them. One side walks the tree, works out the 10
// missing files and downloads them; the other downloads the whole tree into an empty
// folder. Each round runs both, the order turning every round; the report is the median
// of the per-round ratios with their range.
#include "../common/benchcommon.h"

#include "link/protocol.h"
#include "transfer/clientsession.h"
#include "transfer/folderwalk.h"
#include "transfer/newfiles.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

using namespace bench;

namespace {

const QString kAddress = QStringLiteral("127.0.0.184");
const QString kTree = QStringLiteral("/TARVELO/tree");
constexpr int kLimitMs = 600000;

// Runs the event loop until `done` is set or the limit passes.
void waitFor(const bool &done, const QString &what)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done)
            loop.quit();
    });
    poll.start(1);
    QTimer::singleShot(kLimitMs, &loop, &QEventLoop::quit);
    loop.exec();
    if (!done)
        fatal(QStringLiteral("%1 did not end within %2 s").arg(what).arg(kLimitMs / 1000));
}

void download(ClientSession &session, const QStringList &paths, int expected)
{
    bool ended = false;
    ClientSession::Result result;
    const auto c = QObject::connect(&session, &ClientSession::downloadEnded,
                                    [&](const ClientSession::Result &r) { result = r; ended = true; });
    if (!session.startDownload(paths))
        fatal(QStringLiteral("the download did not start"));
    waitFor(ended, QStringLiteral("the download"));
    QObject::disconnect(c);
    const int stored = result.count(FileOutcome::Kind::Stored) + result.count(FileOutcome::Kind::Replaced);
    if (result.end != ClientSession::End::Completed || stored != expected)
        fatal(QStringLiteral("the download stored %1 of %2 files").arg(stored).arg(expected));
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({"rounds", "Rounds, each timing both sides once (default 5).", "n", "5"});
    parser.addOption({"folders", "Folders in the tree (default 50).", "n", "50"});
    parser.addOption({"files-per-folder", "Files in each folder (default 100).", "n", "100"});
    parser.addOption({"kib", "Size of each file in KiB (default 16).", "n", "16"});
    parser.addOption({"folder", "Where the work folder goes (default: the temporary folder).", "dir"});
    parser.process(app);
    const int rounds = qMax(1, parser.value("rounds").toInt());
    const int folders = qMax(1, parser.value("folders").toInt());
    const int perFolder = qMax(1, parser.value("files-per-folder").toInt());
    const int bytes = qMax(0, parser.value("kib").toInt()) * 1024;
    const int total = folders * perFolder;
    const int missingCount = qMin(10, total);

    QTemporaryDir dir((parser.isSet("folder") ? parser.value("folder") : QDir::tempPath())
                      + QStringLiteral("/bench-newonly-XXXXXX"));
    if (!dir.isValid())
        fatal(QStringLiteral("no temporary folder"));
    g_workFolder = &dir;
    const QString root = dir.filePath("root"), present = dir.filePath("present"), empty = dir.filePath("empty");
    for (int f = 0; f < folders; ++f) {
        const QString sub = QStringLiteral("/tree/run%1").arg(f, 3, 10, QLatin1Char('0'));
        writeSampleFiles(root + sub, perFolder, bytes);
        writeSampleFiles(present + sub, perFolder, bytes);
    }
    // The missing files are spread over the tree, one every total/10 files.
    QStringList missing;
    for (int i = 0; i < missingCount; ++i) {
        const int n = i * (total / missingCount);
        const QString rel = QStringLiteral("/tree/run%1/f%2.dat").arg(n / perFolder, 3, 10, QLatin1Char('0'))
                                .arg(n % perFolder, 5, 10, QLatin1Char('0'));
        missing.append(QStringLiteral("/TARVELO") + rel);
    }
    auto removeMissing = [&] {
        for (const QString &m : missing)
            QFile::remove(present + m.mid(8));
    };

    Server server;
    server.start(root, kAddress, quint16(Protocol::kPort));
    ClientSession session;
    bool in = false;
    QObject::connect(&session, &ClientSession::loggedIn, [&] { in = true; });
    QObject::connect(&session, &ClientSession::loginFailed, [&] { fatal(QStringLiteral("login failed")); });
    ClientSession::Login login;
    login.host = kAddress;
    session.logIn(login);
    waitFor(in, QStringLiteral("the login"));

    auto newOnly = [&] {
        removeMissing();
        QElapsedTimer clock;
        clock.start();
        FolderWalk walk(&session);
        bool walked = false;
        FolderWalk::Result result;
        QObject::connect(&walk, &FolderWalk::finished, [&](const FolderWalk::Result &r) { result = r; walked = true; });
        walk.start({kTree});
        waitFor(walked, QStringLiteral("the walk"));
        if (!result.ok || result.files.size() != total)
            fatal(QStringLiteral("the walk found %1 of %2 files: %3").arg(result.files.size()).arg(total).arg(result.error));
        session.setDownloadPath(present);
        const QStringList found = NewFiles::missing(result.files, present);
        if (found != missing)
            fatal(QStringLiteral("%1 files were found missing, not the %2 removed").arg(found.size()).arg(missingCount));
        download(session, found, missingCount);
        return clock.nsecsElapsed() / 1e9;
    };
    auto everything = [&] {
        clearFolder(empty);
        QElapsedTimer clock;
        clock.start();
        session.setDownloadPath(empty);
        download(session, {kTree}, total);
        return clock.nsecsElapsed() / 1e9;
    };

    newOnly(); // warm-up: the page cache and the instrument's folders
    std::vector<double> newTimes, allTimes, ratios;
    for (int round = 0; round < rounds; ++round) {
        double a, b;
        if (round % 2 == 0) {
            a = newOnly();
            b = everything();
        } else {
            b = everything();
            a = newOnly();
        }
        newTimes.push_back(a);
        allTimes.push_back(b);
        ratios.push_back(b / a);
        std::printf("round %d: only new %.3f s, everything %.3f s\n", round + 1, a, b);
    }
    const Spread n = spread(newTimes), e = spread(allTimes), r = spread(ratios);
    std::printf("%d folders, %d files of %d KiB, %d missing, %d rounds\n", folders, total, bytes / 1024,
                missingCount, rounds);
    std::printf("only new (walk + request of the missing): median %.3f s (%.3f-%.3f)\n", n.median, n.low, n.high);
    std::printf("everything again:                         median %.3f s (%.3f-%.3f)\n", e.median, e.low, e.high);
    std::printf("everything / only new: median %.1fx (range %.1f-%.1fx)\n", r.median, r.low, r.high);
    session.close();
    g_workFolder = nullptr;
    return 0;
}
