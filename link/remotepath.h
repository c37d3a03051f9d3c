#pragma once
#include <QString>

// Remote paths are "/"-separated, start with the instrument's root "/TARVELO",
// have no trailing slash and compare case-sensitively.
namespace RemotePath {

inline const QString kRoot = QStringLiteral("/TARVELO");
// The folder at the download folder's root that holds the program's transfer record.
constexpr char kRecordFolder[] = ".tarvelo";

// Maps a remote path below the root into the download folder. Only a leading
// "/TARVELO" followed by "/" or the end is mapped. Paths outside the root, or with
// an empty, "." or ".." segment, are refused: the result is empty and *ok false.
QString toLocalPath(const QString &remote, const QString &downloadPath, bool *ok = nullptr);

// True when the remote path lies at or below the root and every segment is a real name.
bool isSafe(const QString &remote);

// parent + "/" + name
QString join(const QString &parent, const QString &name);

// The path cut before its last "/" (the root stays the root).
QString parent(const QString &remote);

} // namespace RemotePath
