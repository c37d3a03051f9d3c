#pragma once
#include "link/readbuffer.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

// The download side of the stream. The reader hands it everything that belongs to a
// download; the download receiver implements it.
class DownloadStream
{
public:
    virtual ~DownloadStream() = default;
    // Announcement bytes; the first call starts with "$DOWNLOAD REQUEST: LIST<START>".
    // Returns how many of the bytes belong to the announcement and sets *complete once its
    // end marker has been consumed.
    virtual qint64 announcementData(const char *data, qint64 size, bool *complete) = 0;
    // One header line "$DOWNLOAD:<path>...", without its line feed (a carriage return is cut).
    // False when the line starts no file (it is a stray end line); the reader stays idle.
    virtual bool fileHeader(const QByteArray &line) = 0;
    // Bytes of the file being received. Returns how many belong to the file, its end line
    // included, and sets *finished once the end line has been consumed.
    virtual qint64 fileData(const char *data, qint64 size, bool *finished) = 0;
    // "$DOWNLOAD: COMPLETED" arrived.
    virtual void downloadCompleted() = 0;
    // Bytes arrived, whatever they are.
    virtual void activity() {}
    // Why the stream would take no more: announcementData() and fileData() return a negative
    // count when it refuses, and the reader then refuses the link as a whole.
    virtual QString refusal() const { return QString(); }
    // True while the stream cannot take the next bytes yet (a file is being made durable,
    // or the disk lags behind). The reader keeps what follows until resume().
    virtual bool holding() const { return false; }
    // The buffer the bytes handed over next lie in, while the reader feeds from it (null
    // otherwise). A stream may keep bytes of it, shared rather than copied.
    virtual void setSource(const ReadBuffer &buffer) { Q_UNUSED(buffer) }
    // What to call once holding() has ended; the reader that reads for the stream sets it.
    virtual void onRelease(std::function<void()> handler) { m_release = std::move(handler); }

protected:
    void released() const
    {
        if (m_release)
            m_release();
    }

private:
    std::function<void()> m_release;
};

// Turns the byte stream from the instrument into messages, however it is split into reads.
// Partial lines are kept until their line feed arrives. Messages are recognised at the start
// of a line only, case-sensitively; other lines are dropped. A browse answer also ends where
// the next one begins unmistakably, for instruments that leave out the line feeds.
//
// Every line it keeps has a bound; past it the reader refuses the link: it drops what it
// holds, ignores further bytes until reset(), and emits refused() with the reason.
class MessageReader : public QObject
{
    Q_OBJECT
public:
    // Longest "$LIST:" answer kept (bytes as received): some 200,000 entries.
    static constexpr int kMaxListLine = 16 * 1024 * 1024;
    // Most entries of one "$LIST:" answer: the list's rows cost memory (about 200 bytes each)
    // however short the names, so the byte bound alone let 3 million in.
    static constexpr int kMaxListEntries = 1000000;
    // Longest "$PWD:" answer: a folder path.
    static constexpr int kMaxPwdLine = 64 * 1024;
    // Unterminated answers up to this size are handed over whenever the link goes quiet.
    static constexpr int kEarlyDeliveryLimit = 64 * 1024;
    // Text of an answer (in characters) from which its end gives the memory it took back.
    static constexpr int kGiveBackFrom = 1024 * 1024;
    static constexpr int kGiveBackAfterMs = 250;
    // Longest "$DOWNLOAD:" header: a path and a few short fields.
    static constexpr int kMaxHeaderLine = 8 * 1024;

    explicit MessageReader(QObject *parent = nullptr);

    // Where the reader is in the stream: between messages, or inside an announcement or a
    // file, whose bytes all go to the download stream until their end.
    enum class Framing { Lines, Announcement, File };

    // The stream's end of a hold comes back as streamReleased().
    void setDownloadStream(DownloadStream *stream);
    Framing framing() const { return m_framing; }
    // A new download request: an announcement or a file the instrument never finished will
    // not go on, so the next bytes are read as messages again.
    void leaveStream() { m_framing = Framing::Lines; }

    // Bytes as they came from the socket.
    void feed(const QByteArray &bytes);
    void feed(const char *data, qint64 size);
    // The first `size` bytes of `buffer`, which the download stream may share.
    void feedShared(const ReadBuffer &buffer, qint64 size);
    // Handles a pending unterminated browse line now (when no more bytes are waiting).
    // It is handled again, whole, if the rest of it arrives later; if the next bytes start
    // a new message instead, the line was complete.
    void flushUnterminated();
    // Hands over a "$LIST:" answer as far as it has come while the rest still waits to be
    // read, so that its handlers take a long answer in pieces; the line stays open.
    void handOverPart();
    // Between messages or inside a browse answer, rather than an announcement or a file.
    bool readingText() const { return m_framing == Framing::Lines; }
    // Forgets partial input (the link was closed) and takes bytes again after a refusal.
    // The framing is kept.
    void reset();
    // The download stream holds (see DownloadStream::holding()): bytes fed now are kept, in
    // order, until resume(), so nothing after a file is read before that file is stored.
    bool isHeld() const { return !m_held.isEmpty() || (m_stream && m_stream->holding()); }
    // Reads what was kept while held, unless the stream still holds.
    void resume();
    bool isRefused() const { return m_refused; }
    // Bytes of partial input held.
    qint64 heldBytes() const;

    // Valid while pwdAnswer() or listAnswer() is being emitted: deliveries of one line share
    // an id (an unterminated line handled early, then again as it grows); ids never repeat.
    quint64 lineId() const { return m_lineId; }
    // Valid during the same signals: the line ended with its line feed.
    bool lineComplete() const { return m_lineComplete; }

signals:
    // A "$PWD:" line (line feed and carriage return removed).
    void pwdAnswer(const QString &line);
    // A "$LIST:" line.
    void listAnswer(const QString &line);
    // The instrument sent what no sound instrument sends (see the class comment); the link
    // should be closed. The text says what happened, for the user.
    void refused(const QString &reason);
    // The download stream no longer holds: resume() can go on (from the event loop).
    void streamReleased();

private:
    enum class Line { Undecided, Announcement, Completed, Header, Pwd, List, Other };

    qint64 toStream(const char *data, qint64 size);
    qint64 takeIdle(const char *data, qint64 size);
    qint64 startLine(const char *data, qint64 size);
    qint64 afterFlush(const char *data, qint64 size);
    qint64 continueLine(const char *data, qint64 size);
    void appendText(const char *data, qint64 size);
    int answerBoundary();
    void finishText();
    void deliver(bool complete);
    void completed();
    void endLine();
    static void giveBackMemory();
    void refuse(const QString &reason);

    DownloadStream *m_stream = nullptr;
    Framing m_framing = Framing::Lines;
    // Undecided: the first bytes of the line. Header: the line so far.
    QByteArray m_pending;

    Line m_line = Line::Undecided;
    QString m_text;         // "$PWD:"/"$LIST:" text so far, without a trailing carriage return
    QByteArray m_utf8Tail;  // bytes of a character not yet complete
    bool m_heldCR = false;  // a carriage return that ends m_text so far
    int m_deliveredSize = -1;
    bool m_flushed = false; // the line as it stands was handled by flushUnterminated()
    bool m_completedDone = false;
    QByteArray m_nextHead;  // after a flush: what follows, until it is clear whether it continues
    quint64 m_lineId = 0;
    quint64 m_lastLineId = 0;
    bool m_lineComplete = false;
    int m_boundaryFrom = 0; // answerBoundary() has looked at m_text up to here
    int m_listEntries = 0;  // entries (their closing ">") of the "$LIST:" line so far
    QByteArray m_replay;    // bytes of an answer that began inside the line before it
    QByteArray m_held;      // bytes kept while the download stream holds
    bool m_refused = false;
    quint64 m_resets = 0;   // a reset during feed() ends that feed
};
