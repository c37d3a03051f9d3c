// How late the window's own timers run while it downloads: the real main window (offscreen)
// against the stand-in instrument in a process of its own on loopback, driven as a user drives
// it. A 5 ms precise timer on the GUI thread runs from the click on "Download" until the
// window takes input again; a tick's lateness is how much more than 5 ms passed since the
// tick before, so a freeze of the window shows as one late tick of its length.
// Scenarios: one large file (1 GiB), a folder of many small files (10,000 of 4 KiB), and a
// slow disk: a file of 64 MiB into a folder written at about 10 MB/s, as a busy network
// share is, downloaded whole and with the link lost half way.
// Each starts with a warm-up download; every round prints the worst, 99th percentile and
// median lateness and the download time, and the summary the median of the rounds and their
// range, against the goal.
#include "app/mainwindow.h"
#include "bench/common/benchcommon.h"
#include "tests/common/testaddress.h"
#include "slowdisk.h"
#include "windowdriver.h"
#include "transfer/downloadreceiver.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTimer>

#include <cmath>
#include <functional>
#include <cstdio>
#include <vector>

using namespace bench;
using namespace lateness;

namespace {

constexpr int kTickMs = 5;
constexpr double kGoalMs = 50;
constexpr int kDownloadLimitMs = 15 * 60 * 1000;
constexpr quint16 kInstrumentPort = 30000; // the only port the window connects to
const char kGoal[] = "worst timer lateness <= 50 ms during a 1 GiB download, a 10,000-file download, a download "
                     "to a slow disk (10 MB/s), a link lost mid-file included, and the arrival of a 100,000-entry listing";

struct Scenario
{
    QString title; // as printed
    QString entry; // the name the file list shows; the same name in the download folder
    int files;     // files it holds
    qint64 bytes;  // bytes of each file
};

struct Round
{
    double seconds, worst, p99, median;
};

double percentile(std::vector<double> sorted, double share)
{
    if (sorted.empty())
        return 0;
    std::sort(sorted.begin(), sorted.end());
    const size_t rank = size_t(std::ceil(share * double(sorted.size())));
    return sorted[qMin(sorted.size(), qMax<size_t>(rank, 1)) - 1];
}

// The link cut while a download runs: cut() is called once, when due(seconds since the click).
struct Cut
{
    std::function<bool(double)> due;
    std::function<void()> cut;
    QString notice; // what the window then said
};

// One download through the window, the ticker running from the click to the end. With a cut,
// the end is the window taking input again with its notice answered.
Round downloadOnce(WindowDriver &driver, const Scenario &s, Cut *cut = nullptr)
{
    driver.select(s.entry);
    std::vector<double> lateMs;
    lateMs.reserve(1 << 16);
    QEventLoop loop;
    QElapsedTimer clock, sinceTick;
    double seconds = 0;
    bool ended = false;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(kTickMs);
    QObject::connect(&ticker, &QTimer::timeout, &loop, [&] {
        lateMs.push_back(qMax<qint64>(0, sinceTick.nsecsElapsed() - qint64(kTickMs) * 1000000) / 1e6);
        sinceTick.start();
        if (cut && cut->cut && cut->due(clock.nsecsElapsed() / 1e9)) {
            cut->cut();
            cut->cut = nullptr;
        }
        if (cut && !cut->cut && !driver.notice().isEmpty()) {
            cut->notice = driver.notice();
            QTimer::singleShot(0, &loop, [&driver] { driver.dismissNotice(); });
            return;
        }
        if (!ended && !driver.downloading()) {
            ended = true;
            seconds = clock.nsecsElapsed() / 1e9;
            loop.quit();
        }
    });
    QTimer::singleShot(kDownloadLimitMs, &loop, &QEventLoop::quit);
    clock.start();
    sinceTick.start();
    ticker.start();
    driver.startDownload(); // the click's own work is timed too
    if (!ended)
        loop.exec();
    ticker.stop();
    if (!ended)
        fatal(QStringLiteral("the download of %1 did not finish within %2 s%3")
                  .arg(s.entry).arg(kDownloadLimitMs / 1000)
                  .arg(driver.notice().isEmpty() ? QString() : QStringLiteral(": ") + driver.notice()));
    if (!driver.notice().isEmpty() && !cut)
        fatal(QStringLiteral("the download of %1 ended with a notice: %2").arg(s.entry, driver.notice()));
    return {seconds, percentile(lateMs, 1.0), percentile(lateMs, 0.99), percentile(lateMs, 0.5)};
}

// One listing of a large folder through the window: the ticker runs from Enter on the folder
// until every entry is in the list and a little beyond, so that laying them out counts too.
Round listOnce(WindowDriver &driver, const Scenario &s)
{
    constexpr int kAfterMs = 300;
    std::vector<double> lateMs;
    lateMs.reserve(1 << 16);
    QEventLoop loop;
    QElapsedTimer clock, sinceTick, sinceFull;
    double seconds = 0;
    bool full = false;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(kTickMs);
    QObject::connect(&ticker, &QTimer::timeout, &loop, [&] {
        lateMs.push_back(qMax<qint64>(0, sinceTick.nsecsElapsed() - qint64(kTickMs) * 1000000) / 1e6);
        sinceTick.start();
        if (!full && driver.entryCount() == s.files + 1) { // and ".."
            full = true;
            seconds = clock.nsecsElapsed() / 1e9;
            sinceFull.start();
        }
        if (full && sinceFull.elapsed() >= kAfterMs)
            loop.quit();
    });
    QTimer::singleShot(kDownloadLimitMs, &loop, &QEventLoop::quit);
    clock.start();
    sinceTick.start();
    ticker.start();
    driver.open(s.entry);
    loop.exec();
    ticker.stop();
    if (!full)
        fatal(QStringLiteral("the listing of %1 did not arrive").arg(s.entry));
    driver.open(QStringLiteral("..")); // back for the next round
    driver.waitForEntries({s.entry});
    return {seconds, percentile(lateMs, 1.0), percentile(lateMs, 0.99), percentile(lateMs, 0.5)};
}

void checkStored(const Scenario &s, const QString &downloads)
{
    const QFileInfo local(downloads + QLatin1Char('/') + s.entry);
    QFileInfoList files{local};
    if (s.files > 1 || local.isDir())
        files = QDir(local.filePath()).entryInfoList(QDir::Files | QDir::Hidden);
    qint64 total = 0;
    for (const QFileInfo &f : files)
        total += f.exists() ? f.size() : 0;
    if (files.size() != s.files || total != s.files * s.bytes)
        fatal(QStringLiteral("%1 in %2 holds %3 file(s) of %4 bytes in all, not %5 of %6")
                  .arg(s.entry, downloads).arg(files.size()).arg(total).arg(s.files).arg(s.files * s.bytes));
}

void removeLocalCopy(const QString &path)
{
    if (QFileInfo(path).isDir() ? !QDir(path).removeRecursively() : QFileInfo::exists(path) && !QFile::remove(path))
        fatal(QStringLiteral("cannot remove %1 before the next round").arg(path));
}

void printRound(const char *name, const Round &r)
{
    std::printf("  %-8s %7.2f s   worst %7.1f ms   99th percentile %6.1f ms   median %5.2f ms\n", name,
                r.seconds, r.worst, r.p99, r.median);
    std::fflush(stdout);
}

void run(WindowDriver &driver, const Scenario &s, const QString &downloads, int rounds, bool replace)
{
    std::printf("%s:\n", qPrintable(s.title));
    std::vector<Round> measured;
    for (int round = 0; round <= rounds; ++round) {
        const bool listing = s.bytes == 0;
        if (!replace && !listing) // a fresh copy each time, unless asked to download over the last one
            removeLocalCopy(downloads + QLatin1Char('/') + s.entry);
        const Round r = listing ? listOnce(driver, s) : downloadOnce(driver, s);
        if (!listing)
            checkStored(s, downloads);
        if (round == 0) {
            printRound("warm-up", r);
            continue;
        }
        measured.push_back(r);
        printRound(qPrintable(QStringLiteral("round %1").arg(round)), r);
    }
    std::vector<double> worst, p99, median, seconds;
    int met = 0;
    for (const Round &r : measured) {
        worst.push_back(r.worst);
        p99.push_back(r.p99);
        median.push_back(r.median);
        seconds.push_back(r.seconds);
        met += r.worst <= kGoalMs ? 1 : 0;
    }
    const Spread w = spread(worst), p = spread(p99), m = spread(median), t = spread(seconds);
    // The headline is the worst round: one long freeze is what a user remembers, and a median
    // of the rounds would let it pass.
    std::printf("  worst timer lateness %.1f ms (worst round; median of the rounds' worst %.1f ms, best %.1f); "
                "99th percentile %.1f ms (%.1f-%.1f); median %.2f ms (%.2f-%.2f); download %.2f s (%.2f-%.2f)\n",
                w.high, w.median, w.low, p.median, p.low, p.high, m.median, m.low, m.high, t.median, t.low, t.high);
    std::printf("  goal (worst <= %.0f ms): %s, met in %d of %zu round(s)\n", kGoalMs,
                met == int(measured.size()) ? "met" : "NOT met", met, measured.size());
    std::fflush(stdout);
}

// The slow disk: the same file whole, then with the stand-in gone half way (it is started
// again, and the window logged in again, after each such round).
void runSlowDisk(WindowDriver &driver, Server &server, FileWriter &writer, const Scenario &s, const QString &root,
                 const QString &address, const QString &downloads, int rounds, double bytesPerSecond)
{
    std::printf("%s, written at %.0f MB/s:\n", qPrintable(s.title), bytesPerSecond / 1e6);
    const double fullSeconds = double(s.bytes) / bytesPerSecond;
    std::vector<double> whole, lost;
    for (int round = 0; round <= rounds; ++round) {
        removeLocalCopy(downloads + QLatin1Char('/') + s.entry);
        const Round r = downloadOnce(driver, s);
        checkStored(s, downloads);
        printRound(round ? qPrintable(QStringLiteral("round %1").arg(round)) : "warm-up", r);
        removeLocalCopy(downloads + QLatin1Char('/') + s.entry);
        // Half way by the progress bar, or by the disk's rate when the bar lags behind.
        const auto halfWay = [&](double seconds) { return driver.progressPercent() >= 50 || seconds >= fullSeconds / 2; };
        qint64 queued = 0; // what waited for the disk when the link went
        Cut cut{halfWay, [&] {
            queued = writer.queuedBytes();
            server.process.kill();
            server.process.waitForFinished(5000);
        }, {}};
        const Round c = downloadOnce(driver, s, &cut);
        std::printf("    link lost half way: worst %7.1f ms   99th percentile %6.1f ms, %.2f s to the end, %.1f MiB "
                    "waiting for the disk at the cut; the window said \"%s\"\n", c.worst, c.p99, c.seconds,
                    double(queued) / (1 << 20), qPrintable(cut.notice.simplified()));
        std::fflush(stdout);
        if (round) {
            whole.push_back(r.worst);
            lost.push_back(c.worst);
        }
        // The last start's reader of its output would take the new one's first line.
        QObject::disconnect(&server.process, &QProcess::readyReadStandardOutput, nullptr, nullptr);
        server.start(root, address, kInstrumentPort);
        driver.logIn(address);
        driver.waitForEntries({s.entry});
    }
    const Spread w = spread(whole), l = spread(lost);
    std::printf("  worst timer lateness %.1f ms whole, %.1f ms with the link lost (worst rounds; medians %.1f, %.1f)\n",
                w.high, l.high, w.median, l.median);
    std::printf("  goal (worst <= %.0f ms): %s\n", kGoalMs, qMax(w.high, l.high) <= kGoalMs ? "met" : "NOT met");
    std::fflush(stdout);
}

QtMessageHandler g_previousHandler = nullptr;

// The offscreen platform says what it cannot do (propagateSizeHints, raise) for every dialog
// it shows; nothing else is dropped.
void quietOffscreen(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (!message.startsWith(QLatin1String("This plugin does not support ")))
        g_previousHandler(type, context, message);
}

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Worst timer lateness of the main window during downloads."));
    parser.addHelpOption();
    parser.addOption({"rounds", "Measured rounds of each scenario, after a warm-up (default 3).", "n", "3"});
    parser.addOption({"scenario", "big (one large file), many (a folder of small files), both, slow (a slow disk), "
                      "all (default), or listing (opening a folder of --entries empty files).", "name", "all"});
    parser.addOption({"slow-mib", "Size of the file for the slow disk in MiB (default 64).", "n", "64"});
    parser.addOption({"slow-mbps", "Rate of the slow disk in MB/s (default 10).", "n", "10"});
    parser.addOption({"entries", "Entries of the listing scenario's folder (default 100000).", "n", "100000"});
    parser.addOption({"local-copies", "The listing scenario's folder was downloaded before: every entry has a "
                      "local copy, which the list ticks."});
    parser.addOption({"size-mib", "Size of the large file in MiB (default 1024).", "n", "1024"});
    parser.addOption({"files", "Number of small files (default 10000).", "n", "10000"});
    parser.addOption({"folder", "Where the source and download folders go (default: the temporary folder).", "dir"});
    parser.addOption({"address", QStringLiteral("Loopback address of the stand-in instrument (default: one where "
                                                "nothing listens on port %1, the window's).").arg(kInstrumentPort),
                      "ip"});
    parser.addOption({"replace", "Download over the previous round's copy, answering the replace question."});
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // Parsed before the application exists: the temporary home must be in place before Qt
    // looks at the environment.
    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "bench_lateness: %s\n", qPrintable(parser.errorText()));
        return 2;
    }
    const QString scenario = parser.value("scenario");
    const int rounds = qMax(1, parser.value("rounds").toInt());
    const qint64 bigBytes = qMax<qint64>(1, parser.value("size-mib").toLongLong()) << 20;
    const int files = qMax(1, parser.value("files").toInt());
    QString address = parser.value("address");
    if (!QStringList{"big", "many", "both", "slow", "all", "listing"}.contains(scenario))
        fatal(QStringLiteral("--scenario takes big, many, both, slow, all or listing, not \"%1\"").arg(scenario));
    const qint64 slowBytes = qMax<qint64>(1, parser.value("slow-mib").toLongLong()) << 20;
    const double slowRate = qMax(0.1, parser.value("slow-mbps").toDouble()) * 1e6;
    if (parser.isSet("address") && !address.startsWith(QLatin1String("127.")))
        fatal(QStringLiteral("--address must be a loopback address (127.x.y.z), not \"%1\"").arg(address));

    QTemporaryDir work((parser.isSet("folder") ? parser.value("folder") : QDir::tempPath())
                       + QStringLiteral("/bench_lateness-XXXXXX"));
    if (!work.isValid())
        fatal(QStringLiteral("no temporary folder"));
    g_workFolder = &work;
    // A home of its own: the window's settings and its default download folder, ~/Downloads.
    const QString home = work.filePath(QStringLiteral("home"));
    const QString downloads = home + QStringLiteral("/Downloads");
    QDir().mkpath(downloads);
    QDir().mkpath(home + QStringLiteral("/run"));
    QFile::setPermissions(home + QStringLiteral("/run"), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("HOME", home.toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", (home + QStringLiteral("/.config")).toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", (home + QStringLiteral("/run")).toLocal8Bit());
    g_previousHandler = qInstallMessageHandler(quietOffscreen);
    QApplication app(argc, argv);
    if (parser.isSet("help"))
        parser.showHelp(0);
    if (!parser.isSet("address") && (address = TestAddress::freeAddress()).isEmpty())
        fatal(QStringLiteral("no loopback address is free on port %1").arg(kInstrumentPort));

    std::vector<Scenario> scenarios;
    const QString root = work.filePath(QStringLiteral("root"));
    QDir().mkpath(root);
    const bool all = scenario == QLatin1String("all");
    if (scenario == QLatin1String("listing")) {
        const int entries = qBound(1, parser.value("entries").toInt(), 99999);
        scenarios.push_back({QStringLiteral("opening a folder of %1 entries%2").arg(entries)
                                 .arg(parser.isSet("local-copies") ? QStringLiteral(", each with a local copy") : QString()),
                             QStringLiteral("huge"), entries, 0});
        writeSampleFiles(root + QStringLiteral("/huge"), entries, 0);
        if (parser.isSet("local-copies"))
            writeSampleFiles(downloads + QStringLiteral("/huge"), entries, 0);
    }
    if (scenario == QLatin1String("big") || scenario == QLatin1String("both") || all) {
        scenarios.push_back({QStringLiteral("one file of %1 MiB").arg(bigBytes >> 20), QStringLiteral("big.bin"), 1, bigBytes});
        writeSampleFile(root + QStringLiteral("/big.bin"), bigBytes);
    }
    if (scenario == QLatin1String("many") || scenario == QLatin1String("both") || all) {
        scenarios.push_back({QStringLiteral("a folder of %1 files of 4 KiB").arg(files), QStringLiteral("many"), files, 4096});
        writeSampleFiles(root + QStringLiteral("/many"), files, 4096);
    }
    const bool slow = scenario == QLatin1String("slow") || all;
    const Scenario slowFile{QStringLiteral("one file of %1 MiB on a slow disk").arg(slowBytes >> 20),
                            QStringLiteral("slow.bin"), 1, slowBytes};
    if (slow)
        writeSampleFile(root + QStringLiteral("/slow.bin"), slowBytes);

    Server server;
    server.start(root, address, kInstrumentPort);
    MainWindow window;
    window.show();
    WindowDriver driver(window);
    driver.logIn(address);
    QStringList entries;
    for (const Scenario &s : scenarios)
        entries << s.entry;
    if (slow)
        entries << slowFile.entry;
    driver.waitForEntries(entries);

    std::printf("window lateness benchmark: the main window (offscreen) and the stand-in instrument (own process) "
                "on %s:%u, a %d ms timer, %d round(s) after a warm-up, %s\n",
                qPrintable(address), kInstrumentPort, kTickMs, rounds,
                parser.isSet("replace") ? "each over the last copy" : "each into an empty folder");
    std::printf("goal: %s\n", kGoal);
    std::fflush(stdout);
    for (const Scenario &s : scenarios)
        run(driver, s, downloads, rounds, parser.isSet("replace"));
    if (slow) {
        auto *receiver = window.findChild<DownloadReceiver *>();
        if (!receiver)
            fatal(QStringLiteral("the window has no download receiver to slow down"));
        holdToRate(receiver->writer(), slowRate);
        runSlowDisk(driver, server, receiver->writer(), slowFile, root, address, downloads, rounds, slowRate);
    }
    window.close();
    g_workFolder = nullptr;
    return 0;
}
