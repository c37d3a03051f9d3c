// How late the window's own timers run while it downloads: the real main window (offscreen)
// against the stand-in instrument in a process of its own on loopback, driven as a user drives
// it. A 5 ms precise timer on the GUI thread runs from the click on "Download" until the
// window takes input again; a tick's lateness is how much more than 5 ms passed since the
// tick before, so a freeze of the window shows as one late tick of its length.
// Scenarios: one large file (1 GiB), and a folder of many small files (10,000 of 4 KiB).
// Each starts with a warm-up download; every round prints the worst, 99th percentile and
// median lateness and the download time, and the summary the median of the rounds and their
// range, against the goal.
#include "app/mainwindow.h"
#include "bench/common/benchcommon.h"
#include "windowdriver.h"

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
#include <cstdio>
#include <vector>

using namespace bench;
using namespace lateness;

namespace {

constexpr int kTickMs = 5;
constexpr double kGoalMs = 50;
constexpr int kDownloadLimitMs = 15 * 60 * 1000;
constexpr quint16 kInstrumentPort = 30000; // the only port the window connects to
const char kGoal[] = "worst timer lateness <= 50 ms during a 1 GiB download, a 10,000-file download "
                      "and the arrival of a 100,000-entry listing";

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

// One download through the window, the ticker running from the click to the end.
Round downloadOnce(WindowDriver &driver, const Scenario &s)
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
    if (!driver.notice().isEmpty())
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
    std::printf("  worst timer lateness %.1f ms median of rounds (%.1f-%.1f); 99th percentile %.1f ms (%.1f-%.1f); "
                "median %.2f ms (%.2f-%.2f); download %.2f s (%.2f-%.2f)\n",
                w.median, w.low, w.high, p.median, p.low, p.high, m.median, m.low, m.high, t.median, t.low, t.high);
    std::printf("  goal (worst <= %.0f ms): %s, met in %d of %zu round(s)\n", kGoalMs,
                met == int(measured.size()) ? "met" : "NOT met", met, measured.size());
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
    parser.addOption({"scenario", "big (one large file), many (a folder of small files), both (default), "
                                  "or listing (opening a folder of --entries empty files).",
                      "name", "both"});
    parser.addOption({"entries", "Entries of the listing scenario's folder (default 100000).", "n", "100000"});
    parser.addOption({"size-mib", "Size of the large file in MiB (default 1024).", "n", "1024"});
    parser.addOption({"files", "Number of small files (default 10000).", "n", "10000"});
    parser.addOption({"folder", "Where the source and download folders go (default: the temporary folder).", "dir"});
    parser.addOption({"address", QStringLiteral("Loopback address of the stand-in instrument (default 127.0.0.77; "
                                                "it listens on port %1, the window's).").arg(kInstrumentPort),
                      "ip", "127.0.0.77"});
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
    const QString address = parser.value("address");
    if (!QStringList{"big", "many", "both", "listing"}.contains(scenario))
        fatal(QStringLiteral("--scenario takes big, many, both or listing, not \"%1\"").arg(scenario));
    if (!address.startsWith(QLatin1String("127.")))
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

    std::vector<Scenario> scenarios;
    const QString root = work.filePath(QStringLiteral("root"));
    QDir().mkpath(root);
    if (scenario == QLatin1String("listing")) {
        const int entries = qBound(1, parser.value("entries").toInt(), 99999);
        scenarios.push_back({QStringLiteral("opening a folder of %1 entries").arg(entries), QStringLiteral("huge"),
                             entries, 0});
        writeSampleFiles(root + QStringLiteral("/huge"), entries, 0);
    } else if (scenario != QLatin1String("many")) {
        scenarios.push_back({QStringLiteral("one file of %1 MiB").arg(bigBytes >> 20), QStringLiteral("big.bin"), 1, bigBytes});
        writeSampleFile(root + QStringLiteral("/big.bin"), bigBytes);
    }
    if (scenario != QLatin1String("big") && scenario != QLatin1String("listing")) {
        scenarios.push_back({QStringLiteral("a folder of %1 files of 4 KiB").arg(files), QStringLiteral("many"), files, 4096});
        writeSampleFiles(root + QStringLiteral("/many"), files, 4096);
    }

    Server server;
    server.start(root, address, kInstrumentPort);
    MainWindow window;
    window.show();
    WindowDriver driver(window);
    driver.logIn(address);
    QStringList entries;
    for (const Scenario &s : scenarios)
        entries << s.entry;
    driver.waitForEntries(entries);

    std::printf("window lateness benchmark: the main window (offscreen) and the stand-in instrument (own process) "
                "on %s:%u, a %d ms timer, %d round(s) after a warm-up, %s\n",
                qPrintable(address), kInstrumentPort, kTickMs, rounds,
                parser.isSet("replace") ? "each over the last copy" : "each into an empty folder");
    std::printf("goal: %s\n", kGoal);
    std::fflush(stdout);
    for (const Scenario &s : scenarios)
        run(driver, s, downloads, rounds, parser.isSet("replace"));
    window.close();
    g_workFolder = nullptr;
    return 0;
}
