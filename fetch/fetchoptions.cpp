#include "fetch/fetchoptions.h"

#include "link/loginexchange.h"
#include "link/protocol.h"
#include "link/remotepath.h"
#include "transfer/downloadreceiver.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QHostAddress>

namespace {

const char kExitCodes[] =
    "Exit codes:\n"
    "  0  everything asked for was done\n"
    "  1  some files failed (each is listed on standard error)\n"
    "  2  bad usage (nothing was asked of the instrument)\n"
    "  3  cannot connect or log in\n"
    "  4  the link was lost or stalled\n"
    "  5  verify found files without a verified copy\n";

const char kDescription[] =
    "Lists, downloads and verifies an instrument's files without a window.\n\n"
    "  tarvelo-fetch [options] ADDRESS ls [REMOTE-PATH]\n"
    "  tarvelo-fetch [options] ADDRESS get REMOTE-PATH... --to DIR\n"
    "  tarvelo-fetch [options] ADDRESS verify REMOTE-PATH... --to DIR\n"
    "  tarvelo-fetch [options] verify --to DIR\n\n"
    "Remote paths start at /TARVELO; a path without a leading \"/\" is taken below it.\n"
    "The password of --account comes from --password-file or TARVELO_PASSWORD.";

// Seconds as given on the command line, as milliseconds; -1 when not a positive number.
int secondsOption(const QCommandLineParser &parser, const QString &name, int fallbackMs)
{
    if (!parser.isSet(name))
        return fallbackMs;
    bool ok = false;
    const double seconds = parser.value(name).toDouble(&ok);
    if (!ok || seconds <= 0 || seconds > 24 * 3600)
        return -1;
    return qMax(1, int(seconds * 1000));
}

QString readPasswordFile(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read the password file %1: %2").arg(path, file.errorString());
        return QString();
    }
    // The first line is the password; an editor's final line break is not part of it.
    QByteArray line = file.readLine(4096);
    while (line.endsWith('\n') || line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

} // namespace

QString normaliseRemotePath(const QString &text)
{
    QString path = text.trimmed();
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    if (path.isEmpty())
        return QString();
    if (path == QLatin1String("/"))
        return RemotePath::kRoot;
    if (!path.startsWith(QLatin1Char('/')))
        path = RemotePath::kRoot + QLatin1Char('/') + path;
    return RemotePath::isSafe(path) ? path : QString();
}

ParseOutcome parseFetchArguments(const QStringList &arguments, const QString &passwordFromEnvironment)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QString::fromLatin1(kDescription));
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    parser.addOptions({
        {{QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help.")},
        {QStringLiteral("version"), QStringLiteral("Show the version.")},
        {QStringLiteral("to"), QStringLiteral("The local download folder."), QStringLiteral("DIR")},
        {{QStringLiteral("R"), QStringLiteral("recursive")}, QStringLiteral("ls: list sub-folders too.")},
        {QStringLiteral("new-only"), QStringLiteral("get: only files without a local copy.")},
        {QStringLiteral("dry-run"), QStringLiteral("get: print the remote paths that would be fetched.")},
        {QStringLiteral("include"), QStringLiteral("Only paths matching GLOB (repeatable).")
             + QStringLiteral(" \"*\" stays within a folder, \"**\" crosses folders."), QStringLiteral("GLOB")},
        {QStringLiteral("exclude"), QStringLiteral("Leave out paths matching GLOB (repeatable)."), QStringLiteral("GLOB")},
        {QStringLiteral("json"), QStringLiteral("Print JSON Lines on standard output.")},
        {{QStringLiteral("v"), QStringLiteral("verbose")}, QStringLiteral("Say what is done.")},
        {QStringLiteral("account"), QStringLiteral("Log in as NAME (default: anonymous)."), QStringLiteral("NAME")},
        {QStringLiteral("password-file"), QStringLiteral("Read the password from FILE."), QStringLiteral("FILE")},
        {QStringLiteral("connect-timeout"), QStringLiteral("Seconds to connect (default 30)."), QStringLiteral("SECONDS")},
        {QStringLiteral("answer-timeout"), QStringLiteral("Seconds to wait for an answer to the login or a listing (default 30)."), QStringLiteral("SECONDS")},
        {QStringLiteral("stall"), QStringLiteral("Give up a download when nothing arrives for SECONDS (default 60)."),
         QStringLiteral("SECONDS")},
    });
    parser.addPositionalArgument(QStringLiteral("ADDRESS"), QStringLiteral("The instrument's IPv4 address."));
    parser.addPositionalArgument(QStringLiteral("COMMAND"), QStringLiteral("ls, get or verify."));

    ParseOutcome out;
    auto fail = [&out](const QString &why) {
        out.kind = ParseOutcome::Error;
        out.error = why;
        return out;
    };
    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (parser.isSet(QStringLiteral("help"))) {
        out.kind = ParseOutcome::Print;
        out.text = parser.helpText() + QLatin1Char('\n') + QString::fromLatin1(kExitCodes);
        return out;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        out.kind = ParseOutcome::Print;
        out.text = QStringLiteral("tarvelo-fetch %1\n").arg(QCoreApplication::applicationVersion());
        return out;
    }

    FetchOptions &o = out.options;
    QStringList args = parser.positionalArguments();
    if (args.isEmpty())
        return fail(QStringLiteral("no instrument address and command given"));
    if (args.first() != QLatin1String("verify")) {
        QHostAddress host;
        // Four dotted numbers, as the window takes them: "10.1" is no shorthand here.
        if (args.first().split(QLatin1Char('.')).size() != 4 || !host.setAddress(args.first())
            || host.protocol() != QAbstractSocket::IPv4Protocol)
            return fail(QStringLiteral("\"%1\" is not an IPv4 address").arg(args.first()));
        o.address = host.toString();
        args.removeFirst();
    }
    const QString command = args.isEmpty() ? QString() : args.takeFirst();
    if (command == QLatin1String("ls"))
        o.command = FetchOptions::Command::Ls;
    else if (command == QLatin1String("get"))
        o.command = FetchOptions::Command::Get;
    else if (command == QLatin1String("verify"))
        o.command = FetchOptions::Command::Verify;
    else
        return fail(command.isEmpty() ? QStringLiteral("no command given (ls, get or verify)")
                                      : QStringLiteral("unknown command \"%1\" (ls, get or verify)").arg(command));
    for (const QString &a : qAsConst(args)) {
        const QString path = normaliseRemotePath(a);
        if (path.isEmpty())
            return fail(QStringLiteral("\"%1\" is not a path on the instrument").arg(a));
        o.paths << path;
    }

    o.recursive = parser.isSet(QStringLiteral("recursive"));
    o.newOnly = parser.isSet(QStringLiteral("new-only"));
    o.dryRun = parser.isSet(QStringLiteral("dry-run"));
    o.json = parser.isSet(QStringLiteral("json"));
    o.verbose = parser.isSet(QStringLiteral("verbose"));
    o.includes = parser.values(QStringLiteral("include"));
    o.excludes = parser.values(QStringLiteral("exclude"));
    if (parser.isSet(QStringLiteral("to")))
        o.to = QDir::cleanPath(QDir::current().absoluteFilePath(parser.value(QStringLiteral("to"))));

    using C = FetchOptions::Command;
    if (o.command == C::Ls && o.paths.size() > 1)
        return fail(QStringLiteral("ls takes one remote path"));
    if (o.command == C::Ls && o.paths.isEmpty())
        o.paths << RemotePath::kRoot;
    if (o.command == C::Get && o.paths.isEmpty())
        return fail(QStringLiteral("get needs at least one remote path"));
    if (o.command != C::Ls && o.to.isEmpty())
        return fail(QStringLiteral("%1 needs --to DIR").arg(command));
    if (o.command == C::Verify && o.address.isEmpty() && !o.paths.isEmpty())
        return fail(QStringLiteral("verify of remote paths needs the instrument's address"));
    if (o.command == C::Verify && !o.address.isEmpty() && o.paths.isEmpty())
        return fail(QStringLiteral("verify with an address needs at least one remote path"));
    if (o.command != C::Get && (o.newOnly || o.dryRun))
        return fail(QStringLiteral("--new-only and --dry-run belong to get"));
    if (o.command != C::Ls && o.recursive)
        return fail(QStringLiteral("-R belongs to ls (get and verify always take whole folders)"));

    if (parser.isSet(QStringLiteral("account"))) {
        o.anonymous = false;
        o.account = parser.value(QStringLiteral("account"));
        if (o.account.isEmpty())
            return fail(QStringLiteral("--account needs a name"));
        QString error;
        if (parser.isSet(QStringLiteral("password-file")))
            o.password = readPasswordFile(parser.value(QStringLiteral("password-file")), &error);
        else if (!passwordFromEnvironment.isNull())
            o.password = passwordFromEnvironment;
        else
            error = QStringLiteral("--account needs --password-file FILE or TARVELO_PASSWORD");
        if (!error.isEmpty())
            return fail(error);
    } else if (parser.isSet(QStringLiteral("password-file"))) {
        return fail(QStringLiteral("--password-file belongs to --account"));
    }

    o.connectTimeoutMs = secondsOption(parser, QStringLiteral("connect-timeout"), Protocol::kConnectTimeoutMs);
    o.answerTimeoutMs = secondsOption(parser, QStringLiteral("answer-timeout"), LoginExchange::kAnswerTimeoutMs);
    o.stallMs = secondsOption(parser, QStringLiteral("stall"), DownloadReceiver::kDefaultStallLimitMs);
    if (o.connectTimeoutMs < 0 || o.answerTimeoutMs < 0 || o.stallMs < 0)
        return fail(QStringLiteral("time limits are positive numbers of seconds"));
    return out;
}
