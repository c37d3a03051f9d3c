#pragma once
#include <QString>

// Where the record lives in a download folder, and the lock that two programs using one
// folder at once (the window and a scheduled command-line run) share.
namespace RecordPaths {

inline const QString kFolder = QStringLiteral(".tarvelo");

QString folder(const QString &downloadFolder);
QString manifest(const QString &downloadFolder);
// The record is a series: transfers.jsonl, then transfers-2.jsonl, transfers-3.jsonl and
// on, each started only when the one before could not be read. n counts from 1.
QString seriesFile(const QString &downloadFolder, int n);
QString seriesName(int n);

// True for a path (relative to the download folder) inside the record's folder: no
// instrument file may be stored there. Compared without regard to case, as the folder may
// lie on a share that does not tell case apart.
bool isRecordPath(const QString &localRelative);

// The path relative to the download folder that a remote path maps to; empty for the root
// itself and for a path that the download refuses anyway.
QString localRelative(const QString &remote);

} // namespace RecordPaths

// An exclusive or shared lock on the record of one download folder (flock on
// .tarvelo/lock), held for the object's lifetime. Blocks until granted.
class RecordLock
{
public:
    RecordLock(const QString &downloadFolder, bool exclusive);
    ~RecordLock();
    RecordLock(const RecordLock &) = delete;
    RecordLock &operator=(const RecordLock &) = delete;
    // False with a shared lock on a folder without a record (nothing to lock) and when the
    // lock file cannot be made; error() says why in the latter case.
    bool isLocked() const { return m_fd >= 0; }
    QString error() const { return m_error; }

private:
    int m_fd = -1;
    QString m_error;
};
