// tarvelo-fetch: the instrument from scripts, cron and timers (Qt Core and Network only).
#include "fetch/fetchoptions.h"
#include "fetch/fetchrun.h"

#include <QCoreApplication>

#include <cstdio>

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
    QObject::connect(&run, &FetchRun::finished, &app, &QCoreApplication::exit);
    QMetaObject::invokeMethod(&run, &FetchRun::start, Qt::QueuedConnection);
    return app.exec();
}
