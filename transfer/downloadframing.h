#pragma once
#include <QByteArray>
#include <QList>

// Reading the bracketed fields of the download messages. A path may itself hold "<" or ">"
// (an instrument does not escape them), so a field is taken to end at the ">" after which
// the rest of the line still reads as bracketed fields; such a path is found whole, so its
// file can be framed and named, but it is not stored (see isStorable()).
namespace DownloadFraming {

struct Header
{
    QByteArray path;   // raw first field
    qint64 size = -1;  // the second field when it is a plain decimal number, else -1
    bool endLine = false; // one of the fields is "END": a file's end line, not a header
};

// A "$DOWNLOAD:" line, without its line feed.
Header parseHeader(const QByteArray &line);

// The announced paths between the announcement's start and end markers: entries in
// brackets, anything between entries (the separating commas) skipped.
QList<QByteArray> announcementEntries(const QByteArray &text);

// A name that holds a bracket or a line break cannot be named unambiguously on the link.
bool isStorable(const QByteArray &path);

// Do the bytes end with this file's end line, "$DOWNLOAD:<path>...<END>..." and at most a
// line break?
bool endsWithEndLine(const QByteArray &tail, const QByteArray &path);

} // namespace DownloadFraming
