#pragma once
#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

// The lines of the transfer record, .tarvelo/transfers.jsonl in the download folder: one
// JSON object per line, so that users can read it with any JSON tool.
namespace Record {

// The version of the lines this program writes, given in every start line. A reader that
// finds a higher one leaves the file alone rather than misread it.
constexpr int kFormat = 1;

enum class Outcome { Stored, Replaced, Failed, Refused, NeverSent, Discarded };
constexpr int kOutcomeCount = 6;

QString outcomeName(Outcome o);
std::optional<Outcome> outcomeFromName(const QString &name);
// The outcomes that put a new copy in the folder (the manifest follows those).
inline bool isCopy(Outcome o) { return o == Outcome::Stored || o == Outcome::Replaced; }

struct Start
{
    QString download;          // an id that ties the lines of one download together
    QDateTime time;            // UTC
    QString instrument;        // the instrument's address
    QString account;           // "anonymous" for an anonymous login
    QString program;
    QString host;
    QString user;
    QStringList request;       // the remote paths asked for
    int format = kFormat;
};

struct File
{
    QString download;
    QDateTime time;            // when the file was committed, or given up
    QString remote;            // the instrument's path
    QString local;             // relative to the download folder, "/" separators
    std::optional<qint64> announced;
    std::optional<qint64> stored;
    QString sha256;            // empty: null
    Outcome outcome = Outcome::Stored;
    QString reason;            // empty: null
};

struct End
{
    QString download;
    QDateTime time;
    std::array<int, kOutcomeCount> counts{};
    bool stopped = false;
    bool linkLost = false;
};

// Fills in what a start line needs from this process: a fresh id, the time, the program,
// the computer and the user.
Start startNow(const QString &instrument, const QString &account, const QStringList &request);
QString newDownloadId();
QString programName();
// UTC, seconds, "Z": 2024-03-11T09:15:02Z
QString timeText(const QDateTime &t);

// One line each, with its "\n".
QByteArray line(const Start &s);
QByteArray line(const File &f);
QByteArray line(const End &e);

struct Parsed
{
    enum Kind { Garbage, StartLine, FileLine, EndLine, Newer } kind = Garbage;
    Start start;
    File file;
    End end;
};
// A line without its "\n". Anything that is not one of our lines is Garbage; a start line
// of a later format is Newer.
Parsed parse(const QByteArray &line);

} // namespace Record
