#pragma once
#include <QByteArray>
#include <QString>

class RecordIndex;

// .tarvelo/manifest-sha256.txt: "<hash>  <path>" per stored file, paths relative to the
// download folder, so that `sha256sum -c .tarvelo/manifest-sha256.txt` run in the download
// folder checks every copy with nothing but standard tools.
namespace Manifest {

// Appends one line of it, with its line feed.
void appendLine(QByteArray &out, const QString &path, const QString &sha256);
// The path one line names (`size` bytes from `text`, the line feed optional).
QString pathOf(const char *text, int size);

// The manifest the record calls for, sorted by path. Names holding a backslash, line feed
// or carriage return are escaped the way sha256sum writes and reads them.
QByteArray text(const RecordIndex &index);

// `manifest` (as text() makes it) with every copy `changes` holds put in its place: one pass
// over its lines, finding each changed path by bisection, so the work grows with the changes
// rather than with the record.
QByteArray merged(const QByteArray &manifest, const RecordIndex &changes);

// Writes `text` whole (a crash leaves the old manifest or the new one, never a mix) unless
// the manifest already holds it. The caller holds the record's lock.
bool write(const QString &downloadFolder, const QByteArray &text, QString *error);

} // namespace Manifest
