#pragma once
#include "record/recordformat.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <QVector>

// What the transfer record of a download folder says, read once per use: the current copy
// of every local path, and what every download did. Lines that cannot be read are skipped
// and counted; a file of the series that cannot be read at all is left as it is.
class RecordIndex
{
public:
    // The latest copy stored at a local path; its hash is what the file should hold now.
    struct Copy
    {
        QString remote;
        // Kept as 32 bytes rather than 64 hex digits: a third less memory per path.
        std::array<char, 32> digest{};
        qint64 stored = 0;
        QDateTime time;
        int download = -1;              // index into downloads()
        Record::Outcome outcome = Record::Outcome::Stored;
        // The latest line for the path when it came after the copy (a failed retry).
        std::optional<Record::Outcome> laterOutcome;
        QString laterReason;
        QString sha256() const;
    };
    struct Download
    {
        Record::Start start;            // download id only, when its start line is missing
        std::optional<Record::End> end;
        std::array<int, Record::kOutcomeCount> counts{};  // tallied from its file lines
        QString file;                   // the record file that holds it
    };
    struct Report
    {
        int tornLines = 0;              // a last line cut short (a crash while writing it)
        int garbageLines = 0;           // lines that are not ours, or damaged
        int newerLines = 0;             // lines of downloads by a later version
        QStringList unreadableFiles;    // "name: why" for files left untouched
        // One plain sentence for the user; empty when everything was read.
        QString message() const;
    };

    // Reads every file of the series in `downloadFolder`/.tarvelo under a shared lock
    // (unless the caller holds the lock). With `keepEntriesOf`, the file lines of that
    // download are kept too (see entries()).
    static RecordIndex read(const QString &downloadFolder, const QString &keepEntriesOf = QString(),
                            bool callerHoldsLock = false);
    // The same over lines in memory (one file's content); `name` is for the report.
    void addFileContent(const QByteArray &content, const QString &name);

    const QHash<QString, Copy> &copies() const { return m_copies; }
    const QVector<Download> &downloads() const { return m_downloads; }
    const QVector<Record::File> &entries() const { return m_entries; }
    const Report &report() const { return m_report; }
    qint64 fileLines() const { return m_fileLines; }
    // The remote path of a copy (kept only where it differs from the usual mapping).
    static QString remoteOf(const QString &local, const Copy &c);

    enum class FileState { Readable, Damaged, Newer };
    // Whether a record file can be read, told from its first lines.
    static FileState classify(const QByteArray &head);

private:
    int downloadIndex(const QString &id, const QString &file);

    QHash<QString, Copy> m_copies;
    QVector<Download> m_downloads;
    QHash<QString, int> m_downloadById;
    QVector<Record::File> m_entries;
    QString m_keep;
    Report m_report;
    qint64 m_fileLines = 0;
};
