#include "transfer/endlinescanner.h"

#include "link/protocol.h"

#include <cstring>

namespace {
const QByteArray kEndField = QByteArrayLiteral("END"); // "<END>" without its brackets
}

void EndLineScanner::start(const QByteArray &path)
{
    m_anyPath = path.isEmpty();
    m_pattern = QByteArray(Protocol::kDownloadPrefix);
    if (!m_anyPath)
        m_pattern += '<' + path + '>';
    m_border.fill(0, m_pattern.size());
    for (int i = 1, k = 0; i < m_pattern.size(); ++i) {
        while (k > 0 && m_pattern[i] != m_pattern[k])
            k = m_border[k - 1];
        if (m_pattern[i] == m_pattern[k])
            ++k;
        m_border[i] = k;
    }
    m_state = Matching;
    m_matched = 0;
    m_fields.clear();
    m_fieldStart = -1;
    m_fieldCount = 0;
    m_endPath = m_anyPath ? QByteArray() : path;
    m_replay.clear();
    m_anchored = false;
    m_anchorMissed = false;
    m_breaks.clear();
}

void EndLineScanner::expectEndLineNow()
{
    m_anchored = true;
    m_anchorMissed = false;
    m_breaks.clear();
}

void EndLineScanner::miss(const Sink &sink)
{
    if (!m_anchored)
        return;
    m_anchored = false;
    m_anchorMissed = true;
    if (!m_breaks.isEmpty())
        sink(m_breaks.constData(), m_breaks.size());
    m_breaks.clear();
}

qint64 EndLineScanner::heldBytes() const
{
    if (m_state == Fields)
        return m_pattern.size() + m_fields.size() + m_replay.size() + m_breaks.size();
    return m_matched + m_replay.size() + m_breaks.size();
}

qint64 EndLineScanner::scan(const char *data, qint64 size, const Sink &sink, bool *found)
{
    *found = false;
    qint64 pos = 0;
    for (;;) {
        // Bytes given back by a false start come before the rest of the input.
        while (!m_replay.isEmpty() && m_state != Found) {
            const QByteArray again = m_replay;
            m_replay.clear();
            qint64 i = 0;
            while (i < again.size() && m_state != Found) {
                i += step(again.constData() + i, again.size() - i, sink);
                if (!m_replay.isEmpty()) { // another false start inside: its bytes go first
                    m_replay += again.mid(i);
                    break;
                }
            }
            // An end line completed inside given-back bytes needs a path that itself holds
            // the marker; whatever followed it then is dropped.
        }
        if (m_state == Found) {
            *found = true;
            return pos;
        }
        if (pos >= size)
            return pos;
        pos += step(data + pos, size - pos, sink);
    }
}

qint64 EndLineScanner::nextCandidate(const char *p, qint64 from, qint64 n) const
{
    // The first place from which the rest of the input is the marker, or the start of it.
    const qint64 length = m_pattern.size();
    for (qint64 at = from; at < n;) {
        const void *hit = std::memchr(p + at, '$', size_t(n - at));
        if (!hit)
            return n;
        at = static_cast<const char *>(hit) - p;
        if (std::memcmp(p + at, m_pattern.constData(), size_t(qMin(n - at, length))) == 0)
            return at;
        ++at;
    }
    return n;
}

qint64 EndLineScanner::step(const char *p, qint64 n, const Sink &sink)
{
    qint64 i = 0;
    while (i < n) {
        if (m_state == Matching) {
            if (m_anchored && m_matched == 0) {
                const char c = p[i];
                if ((c == '\r' || c == '\n') && m_breaks.size() < 2 && !m_breaks.endsWith('\n')) {
                    m_breaks += c;
                    ++i;
                    continue;
                }
                if (c != m_pattern[0])
                    miss(sink);
            }
            if (m_matched == 0 && !m_anchored) {
                // Content goes out in whole runs: a "$" that does not start the marker stays
                // inside the run, and only a marker cut off by the end of the input is held.
                const qint64 next = nextCandidate(p, i, n);
                if (next > i)
                    sink(p + i, next - i);
                i = next;
                if (i == n)
                    break;
                const qint64 have = qMin<qint64>(n - i, m_pattern.size());
                m_matched = int(have);
                i += have;
                if (m_matched == m_pattern.size()) {
                    m_state = Fields;
                    m_fields.clear();
                    m_fieldStart = -1;
                    m_fieldCount = 0;
                }
                continue;
            }
            const char c = p[i];
            if (m_matched > 0 && c != m_pattern[m_matched])
                miss(sink);
            while (m_matched > 0 && c != m_pattern[m_matched]) {
                const int keep = m_border[m_matched - 1];
                sink(m_pattern.constData(), m_matched - keep);
                m_matched = keep;
            }
            ++i;
            if (c != m_pattern[m_matched]) {
                sink(&c, 1);
                continue;
            }
            if (++m_matched == m_pattern.size()) {
                m_state = Fields;
                m_fields.clear();
                m_fieldStart = -1;
                m_fieldCount = 0;
            }
            continue;
        }
        if (m_state == Found)
            break;

        const char c = p[i];
        if (m_fieldStart < 0) {
            if (c != '<') {
                reject(sink);
                return i;
            }
            m_fields += c;
            m_fieldStart = m_fields.size();
        } else if (c == '>') {
            const QByteArray field = m_fields.mid(m_fieldStart);
            m_fields += c;
            m_fieldStart = -1;
            ++i;
            if (m_anyPath && m_fieldCount++ == 0) {
                if (field.isEmpty()) { // an empty path names no file
                    reject(sink);
                    return i;
                }
                m_endPath = field;
            } else if (field == kEndField) {
                m_state = Found;
                return i;
            }
            continue;
        } else if (c == '<' || c == '\n' || c == '\r') {
            reject(sink);
            return i;
        } else {
            m_fields += c;
        }
        ++i;
        if (m_fields.size() > kMaxFieldBytes) {
            reject(sink);
            return i;
        }
    }
    return i;
}

void EndLineScanner::reject(const Sink &sink)
{
    // Not an end line after all: its first byte is content, the rest is scanned again.
    miss(sink);
    const QByteArray held = m_pattern + m_fields;
    sink(held.constData(), 1);
    m_replay = held.mid(1) + m_replay;
    m_state = Matching;
    m_matched = 0;
    m_fields.clear();
    m_fieldStart = -1;
    if (m_anyPath)
        m_endPath.clear();
}
