#pragma once
#include <QByteArray>
#include <QVector>

#include <functional>

// Finds the line that closes a file in the download stream, "$DOWNLOAD:<path>" followed by
// bracketed fields one of which is "<END>", while the bytes arrive. One pass over the input:
// everything before the end line goes to the sink as file content, and only the bytes that
// may still turn out to be the start of the end line are held back (a prefix of the marker,
// or the marker and a few short fields), so memory does not grow with the file.
//
// The marker is matched with the path of the file's own header, so content that holds
// "$DOWNLOAD:" and "<END>" (even a whole end line of some other file) stays content.
class EndLineScanner
{
public:
    using Sink = std::function<void(const char *data, qint64 size)>;

    // Fields after the marker longer than this are content, not an end line.
    static constexpr int kMaxFieldBytes = 1024;

    // path: the raw first field of the header. Empty: any non-empty first field closes.
    void start(const QByteArray &path);

    // Hands content to sink and returns how many bytes of data were consumed; sets *found
    // once the end line has been consumed up to and including "<END>". The caller passes
    // the bytes after that on.
    qint64 scan(const char *data, qint64 size, const Sink &sink, bool *found);

    // The content had a size and all of it has been consumed: the end line must come next,
    // after at most one line break. If anything else comes, scanning goes on as without a
    // size, and anchorMissed() tells that the size was wrong.
    void expectEndLineNow();
    bool anchorMissed() const { return m_anchorMissed; }

    // The first field of the end line found.
    QByteArray endPath() const { return m_endPath; }
    // Bytes currently held back (not yet known to be content or end line).
    qint64 heldBytes() const;

private:
    qint64 step(const char *p, qint64 n, const Sink &sink);
    qint64 nextCandidate(const char *p, qint64 from, qint64 n) const;
    void reject(const Sink &sink);
    void miss(const Sink &sink);

    enum State { Matching, Fields, Found };
    State m_state = Matching;
    QByteArray m_pattern;       // "$DOWNLOAD:" or "$DOWNLOAD:<path>"
    QVector<int> m_border;      // longest proper border of each prefix of m_pattern
    bool m_anyPath = false;
    int m_matched = 0;          // bytes of m_pattern matched so far
    QByteArray m_fields;        // bytes after the marker while its fields are read
    int m_fieldStart = -1;      // start of the open field in m_fields, -1 when none is open
    int m_fieldCount = 0;
    QByteArray m_endPath;
    QByteArray m_replay;        // held bytes given back after a false start, scanned again
    bool m_anchored = false;    // the end line must start at the next byte (see expectEndLineNow)
    bool m_anchorMissed = false;
    QByteArray m_breaks;        // a line break held while anchored
};
