#include "link/messagereader.h"

#include "link/protocol.h"

#include <algorithm>

#include <QLocale>
#include <QPointer>
#include <QTimer>
#include <QVector>

#include <cstring>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

struct Keyword
{
    const char *text;
    int size;
};

constexpr int length(const char *s) { return *s ? 1 + length(s + 1) : 0; }

// Longest first: a line that may still become a longer keyword is not decided yet.
const Keyword kAnnouncement = {Protocol::kListStart, length(Protocol::kListStart)};
const Keyword kCompleted = {Protocol::kDownloadCompleted, length(Protocol::kDownloadCompleted)};
const Keyword kHeader = {Protocol::kDownloadPrefix, length(Protocol::kDownloadPrefix)};
const Keyword kPwd = {Protocol::kPwdAnswer, length(Protocol::kPwdAnswer)};
const Keyword kList = {Protocol::kListAnswer, length(Protocol::kListAnswer)};
// What tells, after an unterminated line was handled, that the next bytes begin a new message.
const Keyword kNewMessage[] = {kPwd, kList, {"$DOWNLOAD", 9}};
constexpr int kNewMessageHead = 9;

enum class Match { No, Maybe, Yes };

// Does the line content [s, s+n) start with the keyword? Maybe: it is a proper prefix of it
// and the line goes on, so more bytes are needed.
Match match(const char *s, int n, bool terminated, const Keyword &k)
{
    if (n >= k.size)
        return std::memcmp(s, k.text, size_t(k.size)) == 0 ? Match::Yes : Match::No;
    return !terminated && std::memcmp(s, k.text, size_t(n)) == 0 ? Match::Maybe : Match::No;
}

} // namespace

MessageReader::MessageReader(QObject *parent) : QObject(parent) {}

void MessageReader::setDownloadStream(DownloadStream *stream)
{
    m_stream = stream;
    if (!stream)
        return;
    const QPointer<MessageReader> self(this);
    stream->onRelease([self] {
        if (self)
            emit self->streamReleased();
    });
}

void MessageReader::feedShared(const ReadBuffer &buffer, qint64 size)
{
    if (!m_stream || isHeld()) {
        feed(buffer.bytes().constData(), size);
        return;
    }
    m_stream->setSource(buffer);
    feed(buffer.bytes().constData(), size);
    if (m_stream)
        m_stream->setSource(ReadBuffer());
}

void MessageReader::feed(const QByteArray &bytes)
{
    feed(bytes.constData(), bytes.size());
}

void MessageReader::feed(const char *data, qint64 size)
{
    if (m_refused || size <= 0)
        return;
    if (isHeld()) {
        m_held.append(data, int(size));
        return;
    }
    if (m_stream)
        m_stream->activity();
    const quint64 resets = m_resets;
    // Bytes of an answer that began inside another (see answerBoundary()) are read again,
    // before what follows them.
    struct Work
    {
        QByteArray own;
        const char *data;
        qint64 size;
        qint64 pos;
    };
    QVector<Work> work{{QByteArray(), data, size, 0}};
    int stalled = 0;
    while (!work.isEmpty()) {
        Work &w = work.last();
        const qint64 used = m_framing != Framing::Lines
            ? toStream(w.data + w.pos, w.size - w.pos)
            : takeIdle(w.data + w.pos, w.size - w.pos);
        if (m_refused || m_resets != resets)
            return;
        w.pos += used;
        // Steps without progress only change state, a few in a row at most; more means a
        // stream that reports completion without taking anything.
        stalled = used ? 0 : stalled + 1;
        if (stalled > 8)
            break;
        if (w.pos >= w.size)
            work.removeLast();
        if (!m_replay.isEmpty()) {
            Work replay{QByteArray(), nullptr, 0, 0};
            replay.own.swap(m_replay);
            replay.data = replay.own.constData();
            replay.size = replay.own.size();
            work.append(replay);
        }
        if (m_stream && m_stream->holding()) {
            // The innermost piece comes first: it is what the stream reads next.
            for (int i = work.size() - 1; i >= 0; --i)
                m_held.append(work.at(i).data + work.at(i).pos, int(work.at(i).size - work.at(i).pos));
            return;
        }
    }
}

void MessageReader::resume()
{
    if (m_held.isEmpty() || (m_stream && m_stream->holding()))
        return;
    QByteArray bytes;
    bytes.swap(m_held);
    feed(bytes.constData(), bytes.size());
}

qint64 MessageReader::toStream(const char *data, qint64 size)
{
    bool done = false;
    qint64 used = 0;
    if (m_framing == Framing::Announcement)
        used = m_stream ? m_stream->announcementData(data, size, &done) : size;
    else
        used = m_stream ? m_stream->fileData(data, size, &done) : size;
    if (done)
        m_framing = Framing::Lines;
    if (used < 0 && m_stream) {
        refuse(m_stream->refusal());
        return size;
    }
    if (!done || used > size)
        return size; // until its end the stream owns every byte
    return used < 0 ? 0 : used;
}

qint64 MessageReader::takeIdle(const char *data, qint64 size)
{
    if (m_flushed)
        return afterFlush(data, size);
    if (m_line == Line::Undecided)
        return startLine(data, size);
    return continueLine(data, size);
}

// Decides what the line is once enough of it is there.
qint64 MessageReader::startLine(const char *data, qint64 size)
{
    QByteArray head = m_pending;
    const qint64 take = qMin<qint64>(size, kAnnouncement.size - head.size());
    head.append(data, int(take));
    const int lf = head.indexOf('\n');
    const bool terminated = lf >= 0;
    const int n = terminated ? lf : head.size();

    Line kind = Line::Other;
    bool maybe = false;
    const struct { const Keyword &k; Line kind; } table[] = {
        {kAnnouncement, Line::Announcement}, {kCompleted, Line::Completed},
        {kHeader, Line::Header}, {kPwd, Line::Pwd}, {kList, Line::List}};
    for (const auto &row : table) {
        const Match m = match(head.constData(), n, terminated, row.k);
        if (m == Match::Yes) {
            kind = maybe ? Line::Undecided : row.kind;
            break;
        }
        maybe = maybe || m == Match::Maybe;
    }
    if (kind == Line::Other && maybe)
        kind = Line::Undecided;
    if (!m_stream && (kind == Line::Announcement || kind == Line::Header))
        kind = Line::Other;
    if (kind == Line::Undecided) {
        m_pending = head; // fewer bytes than the longest keyword, so all of data is in head
        return take;
    }

    const QByteArray earlier = m_pending;
    m_pending.clear();
    m_lineId = ++m_lastLineId;
    if (kind == Line::Announcement) {
        m_framing = Framing::Announcement;
        if (earlier.isEmpty())
            return 0;
        // The stream gets the marker in one piece; whatever follows comes in the next step.
        const qint64 rest = kAnnouncement.size - earlier.size();
        toStream(head.constData(), kAnnouncement.size);
        return rest;
    }
    if (kind == Line::Completed) {
        // Ends where the keyword does: what follows in the same read is the next message.
        completed();
        endLine();
        return kCompleted.size - earlier.size();
    }
    m_line = kind;
    if (kind == Line::Header)
        m_pending = earlier;
    else if (kind == Line::Pwd || kind == Line::List)
        appendText(earlier.constData(), earlier.size());
    return 0;
}

// An unterminated line was handled; the next bytes either continue it or begin a new message.
qint64 MessageReader::afterFlush(const char *data, qint64 size)
{
    QByteArray head = m_nextHead;
    const qint64 take = qMin<qint64>(size, kNewMessageHead - head.size());
    head.append(data, int(take));
    const int lf = head.indexOf('\n');
    const int n = lf >= 0 ? lf : head.size();
    bool fresh = false;
    bool maybe = false;
    for (const Keyword &k : kNewMessage) {
        const Match m = match(head.constData(), n, lf >= 0, k);
        fresh = fresh || m == Match::Yes;
        maybe = maybe || m == Match::Maybe;
    }
    if (!fresh && maybe) {
        m_nextHead = head;
        return take;
    }
    const QByteArray carried = m_nextHead;
    m_nextHead.clear();
    m_flushed = false;
    if (fresh) {
        // The handled line was complete: it is handed over once more, as such.
        if (m_line == Line::Pwd || m_line == Line::List)
            finishText();
        endLine();
        m_pending = carried;
    } else {
        continueLine(carried.constData(), carried.size());
    }
    return 0;
}

qint64 MessageReader::continueLine(const char *data, qint64 size)
{
    const char *lf = static_cast<const char *>(std::memchr(data, '\n', size_t(size)));
    const qint64 n = lf ? lf - data : size;
    switch (m_line) {
    case Line::Pwd:
    case Line::List:
        if (m_text.size() + n > (m_line == Line::List ? kMaxListLine : kMaxPwdLine)) {
            refuse(m_line == Line::List
                       ? tr("The instrument sent a folder listing longer than %1 MiB.").arg(kMaxListLine / (1024 * 1024))
                       : tr("The instrument sent a folder name longer than %1 KiB.").arg(kMaxPwdLine / 1024));
            return size;
        }
        if (m_line == Line::List) {
            m_listEntries += int(std::count(data, data + n, '>'));
            if (m_listEntries > kMaxListEntries) {
                refuse(tr("The instrument sent a folder listing of more than %1 entries.")
                           .arg(QLocale(QLocale::English).toString(kMaxListEntries)));
                return size;
            }
        }
        appendText(data, n);
        if (const int cut = answerBoundary(); cut >= 0) {
            QByteArray rest = QStringView(m_text).mid(cut).toUtf8();
            if (m_heldCR)
                rest += '\r';
            rest += m_utf8Tail;
            m_text.truncate(cut);
            m_utf8Tail.clear();
            m_heldCR = false;
            deliver(true);
            endLine();
            m_replay = rest;
            return n; // a line feed here ends the answer that began at the cut
        }
        if (lf) {
            finishText();
            endLine();
        }
        break;
    case Line::Header:
        if (m_pending.size() + n > kMaxHeaderLine + 1) {
            refuse(tr("The instrument sent a file header longer than %1 KiB.")
                       .arg(kMaxHeaderLine / 1024));
            return size;
        }
        m_pending.append(data, int(n));
        if (lf) {
            QByteArray line = m_pending;
            if (line.endsWith('\r'))
                line.chop(1);
            endLine();
            // An end line without its file has nothing to receive.
            if (m_stream->fileHeader(line))
                m_framing = Framing::File;
        }
        break;
    default:
        if (lf)
            endLine();
        break;
    }
    return lf ? n + 1 : size;
}

void MessageReader::endLine()
{
    const bool longText = m_text.capacity() >= kGiveBackFrom;
    m_line = Line::Undecided;
    m_pending.clear();
    m_text.clear();
    if (longText) // once its rows are laid out too
        QTimer::singleShot(kGiveBackAfterMs, this, &MessageReader::giveBackMemory);
    m_utf8Tail.clear();
    m_heldCR = false;
    m_deliveredSize = -1;
    m_flushed = false;
    m_completedDone = false;
    m_nextHead.clear();
    m_lineComplete = false;
    m_boundaryFrom = 0;
    m_listEntries = 0;
}

// A long answer's text grew by moving to ever larger blocks, and its handlers' rows grew
// alike; the blocks left behind would stay with the process, unused, until something else
// happened to need them. Handing them back costs about a millisecond.
void MessageReader::giveBackMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

void MessageReader::reset()
{
    // A new link starts between messages, wherever the old one broke off.
    m_framing = Framing::Lines;
    endLine();
    m_text.squeeze();
    m_pending.squeeze();
    m_replay.clear();
    m_held.clear();
    m_held.squeeze();
    m_refused = false;
    ++m_resets;
}

qint64 MessageReader::heldBytes() const
{
    return m_text.capacity() * qint64(sizeof(QChar)) + m_pending.capacity() + m_replay.capacity()
        + m_held.capacity()
        + m_utf8Tail.size() + m_nextHead.size();
}

void MessageReader::refuse(const QString &reason)
{
    reset();
    m_refused = true;
    emit refused(reason);
}
