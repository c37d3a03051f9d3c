#pragma once
#include "record/recordformat.h"

#include <QString>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>
#include <vector>

// Appends a download's lines to the transfer record of a download folder and keeps its
// checksum list up to date.
//
// Each line goes to the record in one write under the record's lock, so lines of two
// programs using one folder never mix, and it is with the system when appendFile()
// returns: a crash of the program after that loses nothing, so the file may then be
// acknowledged. Lines are made durable together, at most about once a second on a thread
// of the record's own and always at the end of a download: a power loss costs at most
// the last second. May be used from any one thread at a time, or from several.
class TransferRecord
{
public:
    explicit TransferRecord(const QString &downloadFolder);
    ~TransferRecord();
    TransferRecord(const TransferRecord &) = delete;
    TransferRecord &operator=(const TransferRecord &) = delete;

    // Empty when the download folder and its record can be written; otherwise a sentence
    // for the user, to refuse the download before anything is asked of the instrument.
    QString checkWritable();

    // A missing id or time is filled in. False with *error when the line was not written.
    bool beginDownload(Record::Start start, QString *error);
    bool appendFile(Record::File file, QString *error);
    // The end line with the counts of the lines appended since beginDownload(), then one
    // sync and the checksum list brought up to date.
    bool endDownload(bool stopped, bool linkLost, QString *error);
    // Makes every line appended so far durable.
    bool sync(QString *error);
    // Rewrites the checksum list from the record when it does not match (after a crash,
    // or when another program added lines). Verify and the start of a download call it.
    bool updateManifest(QString *error);

    // Once, after the record file turned out unreadable and a new one was started beside
    // it: a sentence for the user. Empty otherwise.
    QString takeNotice();
    QString downloadFolder() const { return m_folder; }
    QString currentDownload() const { return m_download; }

private:
    bool openLocked(QString *error);
    bool appendLine(const QByteArray &line, QString *error);
    bool appendLocked(const QByteArray &line, QString *error);
    bool stillInPlace(qint64 *size) const;
    bool syncNow(QString *error);
    void syncLoop();

    const QString m_folder;
    std::mutex m_mutex;
    int m_fd = -1;
    int m_lockFd = -1;
    qint64 m_endOfOwnLine = -1;    // the record's size right after our last line, -1 unknown
    std::vector<int> m_oldFds;     // record files that were moved away while open
    QString m_fileName;
    QString m_notice;
    QString m_download;
    std::array<int, Record::kOutcomeCount> m_counts{};

    // The background sync
    std::condition_variable m_wake;
    std::thread m_syncer;
    bool m_dirty = false;
    bool m_quit = false;
    std::chrono::steady_clock::time_point m_lastSync;
    QString m_syncError;
};
