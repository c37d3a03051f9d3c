#pragma once
#include <QString>
#include <QStringList>

class QCommandLineParser;

// Exit codes a script can act on; the same list is in --help, the manual page and the README.
namespace ExitCode {
constexpr int kDone = 0;
constexpr int kSomeFailed = 1;
constexpr int kUsage = 2;
constexpr int kNoLogin = 3;
constexpr int kLinkLost = 4;
constexpr int kNotVerified = 5;
} // namespace ExitCode

// Everything one run was asked to do, checked before any connection is made.
struct FetchOptions
{
    enum class Command { Ls, Get, Verify };

    Command command = Command::Ls;
    QString address;        // empty for a verify of the download folder alone
    QStringList paths;      // remote paths, absolute and without a trailing "/"
    QString to;             // the download folder, absolute; empty when not given
    bool recursive = false;
    bool newOnly = false;
    bool dryRun = false;
    bool json = false;
    bool verbose = false;
    QStringList includes;
    QStringList excludes;
    bool anonymous = true;
    QString account;
    QString password;
    int connectTimeoutMs = 0;
    int answerTimeoutMs = 0;
    int stallMs = 0;

    bool needsInstrument() const { return !address.isEmpty(); }
    bool hasFilters() const { return !includes.isEmpty() || !excludes.isEmpty(); }
};

// Reads the command line. On a usage error `error` holds one line for standard error; on
// --help or --version `text` holds what to print and the run ends with exit 0.
struct ParseOutcome
{
    enum Kind { Run, Print, Error };
    Kind kind = Run;
    FetchOptions options;
    QString text;
    QString error;
};

ParseOutcome parseFetchArguments(const QStringList &arguments,
                                 const QString &passwordFromEnvironment);

// "data/run1" and "/TARVELO/data/run1/" both name /TARVELO/data/run1; empty when the text
// cannot name a path on the instrument.
QString normaliseRemotePath(const QString &text);
