#pragma once
#include <QString>
#include <QtGlobal>

#include <deque>

// What the progress dialog says about a download, without widgets or clocks: the caller
// passes the time (milliseconds on any steady clock) with every event, so the figures can
// be checked exactly.
//
// Files are counted as whole files; within the file being received the bar moves by its
// bytes when the header gave the file's size. The rate is measured over the last few
// seconds, so it falls when nothing arrives instead of keeping an old value.
class DownloadProgress
{
public:
    // Shorter gaps are normal between a file's pieces and are not reported.
    static constexpr qint64 kQuietMs = 3000;
    static constexpr qint64 kRateWindowMs = 3000;

    void reset(qint64 nowMs);
    void setTotal(int files, qint64 nowMs);
    // A file's header arrived; size -1 when it gave none.
    void startFile(qint64 size, qint64 nowMs);
    // Bytes of the current file so far.
    void setFileBytes(qint64 bytes, qint64 nowMs);
    void setCompleted(int files, qint64 nowMs);
    void setStopping() { m_stopping = true; }
    // The instrument is held back until the disk has taken what came: the quiet that follows
    // is ours, not the link's, and its clock starts again when the wait is over.
    void setWaitingForDisk(bool waiting, qint64 nowMs);

    int total() const { return m_total; }
    int completed() const { return m_completed; }
    bool stopping() const { return m_stopping; }
    // 1-based number of the file being received; 0 before the first header.
    int fileNumber() const;
    qint64 fileBytes() const { return m_fileBytes; }
    qint64 fileSize() const { return m_fileSize; }
    // The bar's value: the share of whole files, plus the received share of the current
    // file when its size is known; at most 99 until everything is stored.
    int percent() const;
    // Bytes per second over the last seconds; -1 until there is enough to say.
    qint64 bytesPerSecond(qint64 nowMs) const;
    // Whole seconds since anything arrived.
    qint64 quietSeconds(qint64 nowMs) const;
    // Seconds until the download ends at the current rate; -1 when it cannot be estimated.
    qint64 secondsLeft(qint64 nowMs) const;
    // The same for the current file alone, whose size the header gave.
    qint64 fileSecondsLeft(qint64 nowMs) const;

    // The dialog's lines: "file 3 of 4", "13.0 MiB of 32.4 MiB", and the state line (rate
    // and time left, "No data for 12 s", "Stopping after this file…"). Empty when there is
    // nothing to say.
    QString fileCountText() const;
    QString bytesText() const;
    QString statusText(qint64 nowMs) const;

    static QString durationText(qint64 seconds);

private:
    void arrived(qint64 nowMs);
    qint64 receivedBytes() const { return m_doneBytes + m_fileBytes; }

    int m_total = 0;
    int m_completed = 0;
    int m_started = 0;          // headers seen in this download
    bool m_stopping = false;
    bool m_waitingForDisk = false;
    bool m_fileOpen = false;    // a header came after the last completed file
    qint64 m_fileBytes = 0;
    qint64 m_fileSize = -1;
    qint64 m_doneBytes = 0;     // bytes of the files before the current one
    qint64 m_completedBytes = 0; // bytes of the files counted as completed
    qint64 m_lastArrivalMs = 0;
    struct Sample
    {
        qint64 ms;
        qint64 bytes;
    };
    std::deque<Sample> m_samples; // (time, bytes received) over the rate window
};
