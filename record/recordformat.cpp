#include "record/recordformat.h"

#include <QCoreApplication>
#include <QSysInfo>
#include <QUuid>

#include <pwd.h>
#include <unistd.h>

#ifndef TARVELO_VERSION
#error "TARVELO_VERSION must be defined by the build: the record's start lines name it"
#endif

namespace Record {

namespace {

const char *const kOutcomeNames[kOutcomeCount] = {"stored", "replaced", "failed",
                                                  "refused", "never-sent", "discarded"};

// Lines are written by hand rather than through QJsonObject, which sorts its keys: with
// "event" and "time" first a line reads well in a text editor and in grep's output.
void appendString(QByteArray &out, const QString &s)
{
    const QByteArray utf8 = s.toUtf8();
    out += '"';
    for (const char c : utf8) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\r') {
            out += "\\r";
        } else if (c == '\t') {
            out += "\\t";
        } else if (u < 0x20 || u == 0x7f) {
            out += "\\u00";
            out += "0123456789abcdef"[u >> 4];
            out += "0123456789abcdef"[u & 15];
        } else {
            out += c;
        }
    }
    out += '"';
}

void field(QByteArray &out, const char *key, const QString &value)
{
    out += ",\"";
    out += key;
    out += "\":";
    appendString(out, value);
}

void nullableField(QByteArray &out, const char *key, const QString &value)
{
    if (value.isEmpty()) {
        out += ",\"";
        out += key;
        out += "\":null";
    } else {
        field(out, key, value);
    }
}

void numberField(QByteArray &out, const char *key, std::optional<qint64> value)
{
    out += ",\"";
    out += key;
    out += "\":";
    out += value ? QByteArray::number(*value) : QByteArray("null");
}

QByteArray head(const char *event, const QDateTime &time, const QString &download)
{
    QByteArray out;
    out.reserve(256);
    out += "{\"event\":\"";
    out += event;
    out += "\",\"time\":\"";
    out += timeText(time).toLatin1();
    out += '"';
    field(out, "download", download);
    return out;
}

} // namespace

QString outcomeName(Outcome o)
{
    return QString::fromLatin1(kOutcomeNames[int(o)]);
}

std::optional<Outcome> outcomeFromName(const QString &name)
{
    for (int i = 0; i < kOutcomeCount; ++i) {
        if (name == QLatin1String(kOutcomeNames[i]))
            return Outcome(i);
    }
    return std::nullopt;
}

QString timeText(const QDateTime &t)
{
    return t.toUTC().toString(QStringLiteral("yyyy-MM-ddTHH:mm:ssZ"));
}

QString newDownloadId()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

QString programName()
{
    return QStringLiteral("TARVELO Utility " TARVELO_VERSION);
}

Start startNow(const QString &instrument, const QString &account, const QStringList &request)
{
    Start s;
    s.download = newDownloadId();
    s.time = QDateTime::currentDateTimeUtc();
    s.instrument = instrument;
    s.account = account.isEmpty() ? QStringLiteral("anonymous") : account;
    s.program = programName();
    s.host = QSysInfo::machineHostName();
    // The login name, not $USER, which anyone can set to anything.
    if (const passwd *pw = getpwuid(geteuid()))
        s.user = QString::fromLocal8Bit(pw->pw_name);
    else
        s.user = QString::number(geteuid());
    s.request = request;
    return s;
}

QByteArray line(const Start &s)
{
    QByteArray out = head("download-start", s.time, s.download);
    out += ",\"format\":" + QByteArray::number(s.format);
    field(out, "instrument", s.instrument);
    field(out, "account", s.account);
    field(out, "program", s.program);
    field(out, "host", s.host);
    field(out, "user", s.user);
    out += ",\"request\":[";
    for (int i = 0; i < s.request.size(); ++i) {
        if (i)
            out += ',';
        appendString(out, s.request.at(i));
    }
    out += "]}\n";
    return out;
}

QByteArray line(const File &f)
{
    QByteArray out = head("file", f.time, f.download);
    field(out, "remote", f.remote);
    field(out, "local", f.local);
    numberField(out, "announced", f.announced);
    numberField(out, "stored", f.stored);
    nullableField(out, "sha256", f.sha256);
    field(out, "outcome", outcomeName(f.outcome));
    nullableField(out, "reason", f.reason);
    out += "}\n";
    return out;
}

QByteArray line(const End &e)
{
    QByteArray out = head("download-end", e.time, e.download);
    out += ",\"counts\":{";
    for (int i = 0; i < kOutcomeCount; ++i) {
        if (i)
            out += ',';
        out += '"';
        out += kOutcomeNames[i];
        out += "\":" + QByteArray::number(e.counts[size_t(i)]);
    }
    out += '}';
    out += e.stopped ? ",\"stopped\":true" : ",\"stopped\":false";
    out += e.linkLost ? ",\"link-lost\":true" : ",\"link-lost\":false";
    out += "}\n";
    return out;
}

} // namespace Record
