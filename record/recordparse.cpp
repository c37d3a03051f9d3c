// Reading record lines back. A record of a million lines must read in seconds, and Qt's
// JSON parser builds a whole document per line: the file lines, nearly all of a record,
// are read by a small reader of flat objects, and whatever it does not know (nested
// values, fractions, another time format) goes to Qt's parser, which decides.
#include "record/recordformat.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace Record {

namespace {

// The values of a file line, from either reader.
struct Fields
{
    QString event, time, download, remote, local, sha256, outcome, reason;
    std::optional<qint64> announced, stored;
};

bool isHash(const QString &s)
{
    if (s.size() != 64)
        return false;
    for (const QChar c : s) {
        if (!((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('a') && c <= QLatin1Char('f'))))
            return false;
    }
    return true;
}

QDateTime timeFrom(const QString &text)
{
    // The form this program writes, read by hand; any other ISO form through Qt.
    const QByteArray t = text.toLatin1();
    if (t.size() == 20 && t[4] == '-' && t[7] == '-' && t[10] == 'T' && t[13] == ':' && t[16] == ':' && t[19] == 'Z') {
        auto n = [&](int at, int len) {
            int v = 0;
            for (int i = at; i < at + len; ++i) {
                if (t[i] < '0' || t[i] > '9')
                    return -1;
                v = v * 10 + (t[i] - '0');
            }
            return v;
        };
        const QDate date(n(0, 4), n(5, 2), n(8, 2));
        const QTime time(n(11, 2), n(14, 2), n(17, 2));
        return date.isValid() && time.isValid() ? QDateTime(date, time, Qt::UTC) : QDateTime();
    }
    const QDateTime d = QDateTime::fromString(text, Qt::ISODate);
    return d.isValid() ? d.toUTC() : QDateTime();
}

Parsed fileFrom(const Fields &v)
{
    Parsed p;
    File &f = p.file;
    const auto outcome = outcomeFromName(v.outcome);
    f.time = timeFrom(v.time);
    // A copy without a proper hash cannot be checked: the line is not ours, or damaged.
    if (!f.time.isValid() || !outcome || v.local.isEmpty() || (isCopy(*outcome) && !isHash(v.sha256)))
        return p;
    f.download = v.download;
    f.remote = v.remote;
    f.local = v.local;
    f.announced = v.announced;
    f.stored = v.stored;
    f.sha256 = v.sha256;
    f.outcome = *outcome;
    f.reason = v.reason;
    p.kind = Parsed::FileLine;
    return p;
}

class FlatReader
{
public:
    FlatReader(const char *p, const char *end) : m_p(p), m_end(end) {}

    // False when the line is not a flat object of strings, integers, null and booleans.
    bool read(Fields *out)
    {
        skip();
        if (!eat('{'))
            return false;
        skip();
        if (eat('}'))
            return atEnd();
        for (;;) {
            skip();
            const char *key = m_p + 1;
            if (!string(nullptr))
                return false;
            // Keys of ours have no escapes: their bytes are compared where they lie.
            const QByteArray rawKey = QByteArray::fromRawData(key, int(m_p - key - 1));
            if (rawKey.contains('\\'))
                return false;
            skip();
            if (!eat(':'))
                return false;
            skip();
            if (!value(rawKey, out))
                return false;
            skip();
            if (eat('}'))
                return atEnd();
            if (!eat(','))
                return false;
        }
    }

private:
    bool atEnd() { skip(); return m_p == m_end; }
    void skip() { while (m_p < m_end && (*m_p == ' ' || *m_p == '\t' || *m_p == '\r')) ++m_p; }
    bool eat(char c) { if (m_p < m_end && *m_p == c) { ++m_p; return true; } return false; }

    bool value(const QByteArray &key, Fields *out)
    {
        QString *target = key == ("event") ? &out->event : key == ("time") ? &out->time
            : key == ("download") ? &out->download : key == ("remote") ? &out->remote
            : key == ("local") ? &out->local : key == ("sha256") ? &out->sha256
            : key == ("outcome") ? &out->outcome : key == ("reason") ? &out->reason : nullptr;
        std::optional<qint64> *number = key == ("announced") ? &out->announced
            : key == ("stored") ? &out->stored : nullptr;
        QString text;
        if (m_p < m_end && *m_p == '"') {
            if (!string(&text))
                return false;
            if (target)
                *target = text;
            if (number)
                number->reset();
            return true;
        }
        if (target)
            target->clear();
        if (number)
            number->reset();
        for (const char *word : {"null", "true", "false"}) {
            const int n = int(strlen(word));
            if (m_end - m_p >= n && memcmp(m_p, word, size_t(n)) == 0) {
                m_p += n;
                return true;
            }
        }
        const char *start = m_p;
        if (m_p < m_end && *m_p == '-')
            ++m_p;
        qint64 v = 0;
        int digits = 0;
        while (m_p < m_end && *m_p >= '0' && *m_p <= '9' && digits < 18) {
            v = v * 10 + (*m_p++ - '0');
            ++digits;
        }
        if (!digits || (m_p < m_end && (*m_p == '.' || *m_p == 'e' || *m_p == 'E' || (*m_p >= '0' && *m_p <= '9'))))
            return false; // fractions, exponents, huge numbers, nested values: not ours to judge
        if (number && *start != '-')
            *number = v;
        return true;
    }

    // Without `out`, the string is only skipped.
    bool string(QString *out)
    {
        if (!eat('"'))
            return false;
        if (!out) {
            for (; m_p < m_end && *m_p != '"'; ++m_p) {
                if (*m_p == '\\' || static_cast<unsigned char>(*m_p) < 0x20)
                    return false;
            }
            return eat('"');
        }
        const char *run = m_p;
        for (;;) {
            if (m_p >= m_end)
                return false;
            const auto c = static_cast<unsigned char>(*m_p);
            if (c == '"') {
                out->append(QString::fromUtf8(run, int(m_p - run)));
                ++m_p;
                return true;
            }
            if (c < 0x20)
                return false;
            if (c != '\\') {
                ++m_p;
                continue;
            }
            out->append(QString::fromUtf8(run, int(m_p - run)));
            if (m_end - m_p < 2)
                return false;
            const char e = m_p[1];
            m_p += 2;
            switch (e) {
            case '"': case '\\': case '/': out->append(QLatin1Char(e)); break;
            case 'b': out->append(QLatin1Char('\b')); break;
            case 'f': out->append(QLatin1Char('\f')); break;
            case 'n': out->append(QLatin1Char('\n')); break;
            case 'r': out->append(QLatin1Char('\r')); break;
            case 't': out->append(QLatin1Char('\t')); break;
            case 'u': {
                bool ok = false;
                const ushort u = m_end - m_p >= 4 ? QByteArray(m_p, 4).toUShort(&ok, 16) : 0;
                if (!ok)
                    return false;
                out->append(QChar(u));
                m_p += 4;
                break;
            }
            default: return false;
            }
            run = m_p;
        }
    }

    const char *m_p;
    const char *m_end;
};

Parsed parseWithQt(const QByteArray &text)
{
    Parsed p;
    QJsonParseError error;
    const QJsonDocument doc = QJsonDocument::fromJson(text, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject())
        return p;
    const QJsonObject o = doc.object();
    const QString event = o.value(QLatin1String("event")).toString();
    auto text_ = [&](const char *key) { return o.value(QLatin1String(key)).toString(); };
    auto size = [&](const char *key) -> std::optional<qint64> {
        const QJsonValue v = o.value(QLatin1String(key));
        if (!v.isDouble() || v.toDouble() < 0)
            return std::nullopt;
        return qint64(v.toDouble());
    };
    if (event == QLatin1String("file"))
        return fileFrom({event, text_("time"), text_("download"), text_("remote"), text_("local"), text_("sha256"),
                         text_("outcome"), text_("reason"), size("announced"), size("stored")});
    const QDateTime time = timeFrom(text_("time"));
    if (!time.isValid())
        return p;
    if (event == QLatin1String("download-start")) {
        const int format = o.value(QLatin1String("format")).toInt(0);
        if (format > kFormat) {
            p.kind = Parsed::Newer;
            return p;
        }
        p.start = {text_("download"), time, text_("instrument"), text_("account"), text_("program"),
                   text_("host"), text_("user"), {}, format};
        for (const QJsonValue v : o.value(QLatin1String("request")).toArray())
            p.start.request << v.toString();
        p.kind = Parsed::StartLine;
    } else if (event == QLatin1String("download-end")) {
        End &e = p.end;
        e.download = text_("download");
        e.time = time;
        const QJsonObject counts = o.value(QLatin1String("counts")).toObject();
        for (int i = 0; i < kOutcomeCount; ++i)
            e.counts[size_t(i)] = counts.value(outcomeName(Outcome(i))).toInt();
        e.stopped = o.value(QLatin1String("stopped")).toBool();
        e.linkLost = o.value(QLatin1String("link-lost")).toBool();
        p.kind = Parsed::EndLine;
    }
    return p;
}

} // namespace

Parsed parse(const QByteArray &text)
{
    Fields fields;
    FlatReader reader(text.constData(), text.constData() + text.size());
    if (reader.read(&fields) && fields.event == QLatin1String("file"))
        return fileFrom(fields);
    return parseWithQt(text);
}

} // namespace Record
