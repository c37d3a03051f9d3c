// How late the window's timers run during a download, in the real main window (offscreen):
// one 1 GiB file, and 10,000 files of 4 KiB, from the stand-in instrument in a process of
// its own. A 5 ms timer runs from the click on "Download" to the end of the download; the
// worst lateness of a round is the longest gap between its ticks, less 5 ms. Every round
// prints its worst; the summary gives the median of the rounds and their range.
#include "app/mainwindow.h"
#include "app/mainwindowui.h"
#include "benchsupport.h"
#include "tests/common/e2e.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QSettings>
#include <QTemporaryDir>

using namespace bench;

namespace {

const QString kWindowAddress = QStringLiteral("127.0.0.91");
constexpr int kTickMs = 5;

void waitFor(const std::function<bool()> &done, int limitMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < limitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}

// One download of everything the instrument's root lists; returns the worst lateness in ms.
double oneRound(const QString &root, const QString &downloads, int expectedFiles)
{
    Server server;
    server.start(root, Protocol::kPort, kWindowAddress);
    QSettings settings(QDir::homePath() + QStringLiteral("/AppData/Local/Halvorine/TARVELO/settings.ini"),
                       QSettings::IniFormat);
    settings.setValue(QStringLiteral("Download/Path"), downloads);
    settings.sync();
    MainWindow window;
    window.show();
    if (!E2E::login(window, kWindowAddress))
        fatal(QStringLiteral("the window did not log in"));
    QListWidget *list = window.form()->FILE_LISTWIDGET;
    waitFor([&] { return list->count() >= expectedFiles; }, 60000);
    if (list->count() < expectedFiles)
        fatal(QStringLiteral("the list shows %1 of %2 files").arg(list->count()).arg(expectedFiles));
    for (int i = 0; i < list->count(); ++i) {
        list->item(i)->setSelected(true);
        window.on_FILE_LISTWIDGET_itemClicked(list->item(i));
    }

    QElapsedTimer sinceTick;
    qint64 worstNs = 0;
    bool started = false, ended = false;
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(kTickMs);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        worstNs = qMax(worstNs, sinceTick.nsecsElapsed() - qint64(kTickMs) * 1000000);
        sinceTick.start();
        if (!window.isEnabled())
            started = true;
        else if (started && window.readerMode() == Browsing)
            ended = true;
    });
    sinceTick.start();
    ticker.start();
    QTest::mouseClick(window.form()->BUTTON_DOWNLOAD, Qt::LeftButton);
    waitFor([&] { return ended; }, kRunLimitMs);
    ticker.stop();
    if (!ended)
        fatal(QStringLiteral("the download did not end"));
    const int stored = QDir(downloads).entryList(QDir::Files).size();
    if (stored != expectedFiles)
        fatal(QStringLiteral("%1 of %2 files stored").arg(stored).arg(expectedFiles));
    window.close();
    return worstNs / 1e6;
}

void makeFile(const QString &path, qint64 size, char fill)
{
    QFile f(path);
    QByteArray block(int(qMin<qint64>(size, 4 << 20)), fill);
    if (!f.open(QIODevice::WriteOnly))
        fatal(QStringLiteral("cannot write %1").arg(path));
    for (qint64 done = 0; done < size; done += block.size())
        f.write(block.constData(), qMin<qint64>(block.size(), size - done));
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir work(QDir::tempPath() + QStringLiteral("/bench_lateness-XXXXXX"));
    if (!work.isValid())
        return 1;
    // The window keeps its settings in the home folder: a temporary one leaves the user's be.
    qputenv("HOME", work.filePath(QStringLiteral("home")).toLocal8Bit());
    QDir().mkpath(work.filePath(QStringLiteral("home")));
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Worst timer lateness of the window during downloads."));
    parser.addHelpOption();
    parser.addOption({"large-mib", "Size of the large file in MiB (default 1024).", "n", "1024"});
    parser.addOption({"files", "Number of small files (default 10000).", "n", "10000"});
    parser.addOption({"rounds", "Rounds of each download (default 3).", "n", "3"});
    parser.process(app);
    const int rounds = qMax(1, parser.value("rounds").toInt());
    const int files = qMax(1, parser.value("files").toInt());

    const QString largeRoot = work.filePath(QStringLiteral("large")), manyRoot = work.filePath(QStringLiteral("many"));
    QDir().mkpath(largeRoot);
    QDir().mkpath(manyRoot);
    makeFile(largeRoot + QStringLiteral("/large.bin"), parser.value("large-mib").toLongLong() << 20, 'L');
    for (int i = 0; i < files; ++i)
        makeFile(manyRoot + QStringLiteral("/f%1.dat").arg(i, 5, 10, QLatin1Char('0')), 4096, 's');

    const QString downloads = work.filePath(QStringLiteral("downloads"));
    auto run = [&](const char *name, const QString &root, int count) {
        std::vector<double> worst;
        for (int round = 0; round < rounds; ++round) {
            QDir(downloads).removeRecursively();
            QDir().mkpath(downloads);
            worst.push_back(oneRound(root, downloads, count));
            std::printf("  %s, round %d: worst lateness %.1f ms\n", name, round + 1, worst.back());
            std::fflush(stdout);
        }
        const Spread s = spread(worst);
        std::printf("window never freezes, %s: worst timer lateness %.1f ms median (%.1f-%.1f) "
                    "(goal <= 50 ms worst)\n", name, s.median, s.low, s.high);
    };
    run("one 1 GiB file", largeRoot, 1);
    run("10,000 files of 4 KiB", manyRoot, files);
    return 0;
}
