#pragma once
#include <QString>

// Brings .tarvelo/manifest-sha256.txt up to date with the record.
//
// Reading a record of a million lines takes seconds, and the end of every download needs
// the manifest current. So .tarvelo/manifest-state.json remembers how far into the record
// the manifest reaches, and what the record and the manifest looked like then; when both
// still fit, only the lines after that are read and merged into the manifest. Anything that
// does not fit (the state missing or damaged, a record rewritten, moved or started afresh,
// a manifest changed by hand) makes a full rebuild from the whole record, as before.
namespace ManifestUpdate {

enum class Path { UpToDate, Merged, Rebuilt };

// The caller holds the record's lock. False with *error when the manifest could not be
// written; `path`, when given, says how it was brought up to date.
bool run(const QString &downloadFolder, QString *error, Path *path = nullptr);

} // namespace ManifestUpdate
