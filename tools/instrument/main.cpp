// tarvelo-instrument: a stand-in for the instrument, serving a local folder over TCP.
#include "tools/instrument/instrumentserver.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>

#ifndef TARVELO_DEFAULT_ROOT
#define TARVELO_DEFAULT_ROOT "sample-data"
#endif

namespace {

void fatal(const QString &message)
{
    std::fprintf(stderr, "tarvelo-instrument: %s\n", qPrintable(message));
    std::exit(2);
}

qint64 number(const QCommandLineParser &parser, const QString &name, qint64 fallback, qint64 min)
{
    if (!parser.isSet(name))
        return fallback;
    bool ok = false;
    const qint64 value = parser.value(name).toLongLong(&ok);
    if (!ok || value < min)
        fatal(QStringLiteral("--%1 needs a whole number of at least %2, not \"%3\"")
                  .arg(name).arg(min).arg(parser.value(name)));
    return value;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tarvelo-instrument"));
    QCoreApplication::setApplicationVersion(QStringLiteral("1.2.0"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A stand-in for the TARVELO instrument: serves a local folder as the instrument's\n"
        "tree \"/TARVELO\" over the instrument's line protocol, for trying the utility\n"
        "without an instrument, and for tests and benchmarks. The fault options make it\n"
        "misbehave on purpose."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QString defaultRoot = QStringLiteral(TARVELO_DEFAULT_ROOT);
    parser.addOptions({
        {QStringLiteral("root"),
         QStringLiteral("Folder to serve as /TARVELO (default: %1, %2).")
             .arg(defaultRoot,
#ifdef TARVELO_INSTALLED_COPY
                  QStringLiteral("which \"tarvelo-sampledata sample-data\" fills")),
#else
                  QStringLiteral("which scripts/run.sh fills with tarvelo-sampledata")),
#endif
         QStringLiteral("DIR"), defaultRoot},
        {QStringLiteral("listen"), QStringLiteral("Address to listen on (default 127.0.0.1)."),
         QStringLiteral("ADDRESS"), QStringLiteral("127.0.0.1")},
        {QStringLiteral("port"),
         QStringLiteral("Port (default 30000); 0 picks a free one, printed on the first line."),
         QStringLiteral("N"), QStringLiteral("30000")},
        {QStringLiteral("account"),
         QStringLiteral("Accept this account (repeatable); the password follows the first colon."),
         QStringLiteral("NAME:PASSWORD")},
        {QStringLiteral("no-anonymous"), QStringLiteral("Refuse anonymous logins.")},
        {QStringLiteral("trace"),
         QStringLiteral("Print every line received (<<) and sent (>>); file bytes as a count.")},
        {QStringLiteral("quiet"), QStringLiteral("Print nothing but errors.")},
        {QStringLiteral("chunk"),
         QStringLiteral("Fault: send everything in pieces of N bytes, flushing each."),
         QStringLiteral("N")},
        {QStringLiteral("chunk-delay"),
         QStringLiteral("Fault: wait MS milliseconds between pieces (needs --chunk)."),
         QStringLiteral("MS")},
        {QStringLiteral("close-after"),
         QStringLiteral("Fault: close the connection once N bytes of file data have been sent."),
         QStringLiteral("N")},
        {QStringLiteral("faulty-connections"),
         QStringLiteral("Apply --close-after and --stall-after to the first N connections only, so "
                        "a client can log in again and go on (default: every connection)."),
         QStringLiteral("N")},
        {QStringLiteral("generated"),
         QStringLiteral("Serve a made-up file of SIZE bytes at the remote PATH (in an existing "
                        "folder), without putting it on disk (repeatable)."),
         QStringLiteral("PATH:SIZE")},
        {QStringLiteral("stall-after"),
         QStringLiteral("Fault: send nothing more once N bytes of file data have been sent; "
                        "the connection stays open."),
         QStringLiteral("N")},
        {QStringLiteral("outside-path"),
         QStringLiteral("Fault: announce and send this path too with every download, such as "
                        "/TARVELO/../../outside or /etc/x (repeatable). Its content is a short "
                        "made-up text: nothing outside the root is ever read."),
         QStringLiteral("PATH")},
        {QStringLiteral("no-size"), QStringLiteral("Fault: leave the size out of file headers.")},
        {QStringLiteral("no-final-newline"),
         QStringLiteral("Fault: leave the final line feed out of $PWD and $LIST answers.")},
        {QStringLiteral("completed-with-last-file"),
         QStringLiteral("Fault: send the end-of-download notice in the same write as the end "
                        "of the last file, without waiting for its acknowledgement.")},
        {QStringLiteral("size-error"),
         QStringLiteral("Fault: add N (which may be negative) to the size in every file header."),
         QStringLiteral("N")},
        {QStringLiteral("leave-out"),
         QStringLiteral("Fault: announce this remote path when it is asked for, but never send it "
                        "(repeatable)."),
         QStringLiteral("PATH")},
        {QStringLiteral("extra-file"),
         QStringLiteral("Fault: after the announced files, send this remote path too without "
                        "announcing it."),
         QStringLiteral("PATH")},
        {QStringLiteral("extra-after-completed"),
         QStringLiteral("Fault: send the --extra-file after the end-of-download notice.")},
        {QStringLiteral("endless-line"),
         QStringLiteral("Fault: answer $LIST with TEXT followed by filler without a line feed; a "
                        "TEXT that begins with $DOWNLOAD answers download requests instead."),
         QStringLiteral("TEXT")},
        {QStringLiteral("endless-bytes"),
         QStringLiteral("Fault: close after N bytes of --endless-line filler (default 1 GiB)."),
         QStringLiteral("N")},
    });
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        fatal(QStringLiteral("unexpected argument \"%1\"; see --help")
                  .arg(parser.positionalArguments().first()));

    InstrumentOptions options;
    options.root = QDir(parser.value(QStringLiteral("root"))).absolutePath();
    for (const QString &account : parser.values(QStringLiteral("account"))) {
        const int colon = account.indexOf(QLatin1Char(':'));
        if (colon <= 0)
            fatal(QStringLiteral("--account needs NAME:PASSWORD, not \"%1\"").arg(account));
        options.accounts.insert(account.left(colon), account.mid(colon + 1));
    }
    options.anonymous = !parser.isSet(QStringLiteral("no-anonymous"));
    options.trace = parser.isSet(QStringLiteral("trace"));
    options.quiet = parser.isSet(QStringLiteral("quiet"));
    options.chunk = int(number(parser, QStringLiteral("chunk"), 0, 1));
    options.chunkDelayMs = int(number(parser, QStringLiteral("chunk-delay"), 0, 0));
    options.closeAfterFileBytes = number(parser, QStringLiteral("close-after"), -1, 0);
    options.stallAfterFileBytes = number(parser, QStringLiteral("stall-after"), -1, 0);
    options.faultyConnections = int(number(parser, QStringLiteral("faulty-connections"), 0, 0));
    for (const QString &file : parser.values(QStringLiteral("generated"))) {
        const int colon = file.lastIndexOf(QLatin1Char(':'));
        bool ok = false;
        const qint64 size = colon > 0 ? file.mid(colon + 1).toLongLong(&ok) : -1;
        if (!ok || size < 0)
            fatal(QStringLiteral("--generated needs PATH:SIZE, not \"%1\"").arg(file));
        options.generated.insert(file.left(colon), size);
    }
    options.outsidePaths = parser.values(QStringLiteral("outside-path"));
    options.noSize = parser.isSet(QStringLiteral("no-size"));
    options.noFinalNewline = parser.isSet(QStringLiteral("no-final-newline"));
    options.completedWithLastFile = parser.isSet(QStringLiteral("completed-with-last-file"));
    options.sizeError = number(parser, QStringLiteral("size-error"), 0, -(qint64(1) << 40));
    options.leaveOut = parser.values(QStringLiteral("leave-out"));
    options.extraFile = parser.value(QStringLiteral("extra-file"));
    options.extraAfterCompleted = parser.isSet(QStringLiteral("extra-after-completed"));
    options.endlessLine = parser.value(QStringLiteral("endless-line")).toUtf8();
    options.endlessBytes = number(parser, QStringLiteral("endless-bytes"), options.endlessBytes, 0);
    if (options.extraAfterCompleted && options.extraFile.isEmpty())
        fatal(QStringLiteral("--extra-after-completed needs --extra-file"));
    if (options.chunkDelayMs > 0 && options.chunk == 0)
        fatal(QStringLiteral("--chunk-delay needs --chunk"));

    const QHostAddress address(parser.value(QStringLiteral("listen")));
    if (address.isNull())
        fatal(QStringLiteral("--listen needs an IP address, not \"%1\"")
                  .arg(parser.value(QStringLiteral("listen"))));
    const qint64 port = number(parser, QStringLiteral("port"), 30000, 0);
    if (port > 65535)
        fatal(QStringLiteral("--port must be at most 65535"));

    if (!QFileInfo(options.root).isDir())
        fatal(QStringLiteral("the folder to serve does not exist: %1\n"
                             "(make one with: tarvelo-sampledata %1)").arg(options.root));
    InstrumentServer server(options);
    if (!server.listen(address, quint16(port)))
        fatal(QStringLiteral("cannot listen on %1 port %2: %3")
                  .arg(address.toString()).arg(port).arg(server.errorString()));
    // Scripts read the port from this line, so it is printed even with --quiet for port 0.
    if (!options.quiet || port == 0) {
        std::printf("Listening on %s:%u, serving %s as /TARVELO\n",
                    qPrintable(address.toString()), unsigned(server.serverPort()),
                    qPrintable(QDir::toNativeSeparators(options.root)));
        std::fflush(stdout);
    }
    return app.exec();
}
