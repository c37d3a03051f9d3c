// tarvelo-fetch: the instrument from scripts, cron and timers (Qt Core and Network only).
#include "fetch/fetchoptions.h"
#include "fetch/fetchrun.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace {
// SIGINT and SIGTERM (Ctrl+C, systemctl stop) reach the event loop through a pipe, so the
// run can drop the file under way and leave the download folder and its record whole.
int g_signalPipe[2] = {-1, -1};

void onSignal(int signal)
{
    const unsigned char byte = static_cast<unsigned char>(signal);
    [[maybe_unused]] const ssize_t n = ::write(g_signalPipe[1], &byte, 1);
}

void watchSignals(FetchRun *run)
{
    if (::pipe2(g_signalPipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return; // the default handling (ending the process) stays
    auto *notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, run);
    QObject::connect(notifier, &QSocketNotifier::activated, run, [run] {
        unsigned char byte = 0;
        if (::read(g_signalPipe[0], &byte, 1) == 1)
            run->interrupt(128 + byte); // the shell's convention for a process ended by a signal
    });
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}
} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tarvelo-fetch"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TARVELO_VERSION));

    const ParseOutcome parsed = parseFetchArguments(QCoreApplication::arguments(),
                                                    qEnvironmentVariableIsSet("TARVELO_PASSWORD")
                                                        ? qEnvironmentVariable("TARVELO_PASSWORD")
                                                        : QString());
    if (parsed.kind == ParseOutcome::Print) {
        std::fputs(parsed.text.toLocal8Bit().constData(), stdout);
        return ExitCode::kDone;
    }
    if (parsed.kind == ParseOutcome::Error) {
        std::fprintf(stderr, "tarvelo-fetch: %s (see tarvelo-fetch --help)\n", parsed.error.toLocal8Bit().constData());
        return ExitCode::kUsage;
    }
    FetchRun run(parsed.options);
    watchSignals(&run);
    QObject::connect(&run, &FetchRun::finished, &app, &QCoreApplication::exit);
    QMetaObject::invokeMethod(&run, &FetchRun::start, Qt::QueuedConnection);
    return app.exec();
}
