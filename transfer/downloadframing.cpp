#include "transfer/downloadframing.h"

#include "transfer/endlinescanner.h"
#include "link/protocol.h"

#include <cstring>

namespace DownloadFraming {

namespace {

// Is [from, line end) nothing but bracketed fields without brackets inside?
bool onlyFields(const QByteArray &line, int from)
{
    bool open = false;
    for (int i = from; i < line.size(); ++i) {
        const char c = line.at(i);
        if (c == '<') {
            if (open)
                return false;
            open = true;
        } else if (c == '>') {
            if (!open)
                return false;
            open = false;
        } else if (!open) {
            return false;
        }
    }
    return !open;
}

QList<QByteArray> fieldsFrom(const QByteArray &line, int from)
{
    QList<QByteArray> fields;
    int open = -1;
    for (int i = from; i < line.size(); ++i) {
        if (line.at(i) == '<')
            open = i + 1;
        else if (line.at(i) == '>' && open >= 0) {
            fields.append(line.mid(open, i - open));
            open = -1;
        }
    }
    return fields;
}

qint64 plainSize(const QByteArray &field)
{
    if (field.isEmpty() || field.size() > 15)
        return -1;
    for (const char c : field)
        if (c < '0' || c > '9')
            return -1;
    return field.toLongLong();
}

} // namespace

Header parseHeader(const QByteArray &line)
{
    Header header;
    const int start = int(std::strlen(Protocol::kDownloadPrefix));
    if (line.size() <= start || line.at(start) != '<')
        return header;
    // The first ">" after which only clean fields follow closes the path.
    int close = -1;
    for (int i = line.indexOf('>', start + 1); i >= 0; i = line.indexOf('>', i + 1)) {
        if (onlyFields(line, i + 1)) {
            close = i;
            break;
        }
    }
    if (close < 0) { // no reading fits: the plain one, first "<" to first ">"
        const QList<QByteArray> fields = fieldsFrom(line, start);
        header.path = fields.value(0);
        header.endLine = fields.size() > 1 && fields.mid(1).contains("END");
        return header;
    }
    header.path = line.mid(start + 1, close - start - 1);
    const QList<QByteArray> rest = fieldsFrom(line, close + 1);
    header.size = plainSize(rest.value(0));
    header.endLine = rest.contains("END") || header.path == "END"; // "$DOWNLOAD:<END>" names nothing
    return header;
}

QList<QByteArray> announcementEntries(const QByteArray &text)
{
    // Entries stand on one line. An entry ends at a ">" unless another ">" comes before the
    // next "<": then the first one belongs to the name.
    QList<QByteArray> entries;
    int open = -1;
    int nextOpen = 0;
    for (int i = 0; i < text.size(); ++i) {
        const char c = text.at(i);
        if (open < 0) {
            if (c == '\r' || c == '\n')
                break;
            if (c == '<')
                open = i + 1;
            continue;
        }
        if (c != '>')
            continue;
        if (nextOpen >= 0 && nextOpen <= i)
            nextOpen = text.indexOf('<', i + 1); // kept between steps: one pass over the text
        const int nextClose = text.indexOf('>', i + 1);
        if (nextClose < 0 || (nextOpen >= 0 && nextOpen < nextClose)) {
            entries.append(text.mid(open, i - open));
            open = -1;
        }
    }
    return entries;
}

bool isStorable(const QByteArray &path)
{
    for (const char c : path)
        if (c == '<' || c == '>' || c == '\r' || c == '\n')
            return false;
    return true;
}

bool endsWithEndLine(const QByteArray &tail, const QByteArray &path)
{
    const QByteArray head = Protocol::kDownloadPrefix + ('<' + path + '>');
    const int at = tail.lastIndexOf(head);
    if (at < 0)
        return false;
    EndLineScanner scanner;
    scanner.start(path);
    bool found = false;
    const EndLineScanner::Sink ignore = [](const char *, qint64) {};
    const qint64 used = scanner.scan(tail.constData() + at, tail.size() - at, ignore, &found);
    if (!found)
        return false;
    // What may follow "<END>": more fields of the same line and its line break.
    const QByteArray rest = tail.mid(at + int(used));
    const int lf = rest.indexOf('\n');
    return lf < 0 || lf == rest.size() - 1;
}

} // namespace DownloadFraming
