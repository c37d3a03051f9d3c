// The reader's browse answers: "$PWD:" and "$LIST:" text gathered across reads, its
// characters decoded whole, and each answer handed over as it completes or goes quiet.
#include "link/messagereader.h"

#include "link/protocol.h"

#include <cstring>

namespace {

constexpr int kPwdSize = int(sizeof(Protocol::kPwdAnswer)) - 1;
constexpr int kListSize = int(sizeof(Protocol::kListAnswer)) - 1;

// Bytes at the end that begin a UTF-8 sequence still waiting for its continuation bytes.
int incompleteUtf8Tail(const char *data, qint64 size)
{
    for (int back = 1; back <= 3 && back <= size; ++back) {
        const uchar c = uchar(data[size - back]);
        if ((c & 0xC0) == 0x80)
            continue;
        const int need = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
        return need > back ? back : 0;
    }
    return 0;
}

} // namespace

// An instrument that leaves out the line feeds of its answers runs them together when they
// arrive in one read. Where the next answer can be told apart without doubt, the line ends
// there: a "$PWD:" value holds no "$PWD:" or "$LIST:", and in a listing an entry ends with
// ">", after which the format allows only "<" (and before the first entry nothing at all).
int MessageReader::answerBoundary()
{
    static const QLatin1String kPwdText(Protocol::kPwdAnswer);
    static const QLatin1String kListText(Protocol::kListAnswer);
    static const QLatin1String kDownloadText("$DOWNLOAD");
    const bool listing = m_line == Line::List;
    const int first = listing ? kListSize : kPwdSize;
    for (int k = qMax(m_boundaryFrom, first); (k = m_text.indexOf(QLatin1Char('$'), k)) >= 0; ++k) {
        if (listing && k > first + 1 && m_text.at(k - 1) != QLatin1Char('>'))
            continue;
        const QStringView rest = QStringView(m_text).mid(k);
        bool maybe = false;
        for (const QLatin1String &keyword : {kPwdText, kListText, kDownloadText}) {
            if (!listing && keyword == kDownloadText)
                continue;
            if (rest.startsWith(keyword))
                return k;
            maybe = maybe || keyword.startsWith(rest);
        }
        if (maybe) { // the rest has not arrived yet
            m_boundaryFrom = k;
            return -1;
        }
    }
    m_boundaryFrom = m_text.size();
    return -1;
}

// Decodes as it goes, so a long line that arrives in small pieces costs no more than one.
void MessageReader::appendText(const char *data, qint64 size)
{
    QByteArray joined;
    if (!m_utf8Tail.isEmpty()) {
        joined = m_utf8Tail;
        joined.append(data, int(size));
        data = joined.constData();
        size = joined.size();
        m_utf8Tail.clear();
    }
    const int tail = incompleteUtf8Tail(data, size);
    if (tail)
        m_utf8Tail = QByteArray(data + size - tail, tail);
    QString text = QString::fromUtf8(data, int(size - tail));
    if (text.isEmpty())
        return;
    if (m_heldCR) {
        m_text += QLatin1Char('\r');
        m_heldCR = false;
    }
    if (text.endsWith(QLatin1Char('\r'))) {
        text.chop(1);
        m_heldCR = true;
    }
    m_text += text;
}

// The line has ended: hands it over whole.
void MessageReader::finishText()
{
    if (!m_utf8Tail.isEmpty()) {
        const QByteArray tail = m_utf8Tail;
        m_utf8Tail.clear();
        m_text += QString::fromUtf8(tail); // never completed: a replacement character
    }
    m_heldCR = false;
    deliver(true);
}

void MessageReader::deliver(bool complete)
{
    m_deliveredSize = m_text.size();
    m_lineComplete = complete;
    if (m_line == Line::Pwd) {
        emit pwdAnswer(m_text);
        return;
    }
    emit listAnswer(m_text);
}

void MessageReader::completed()
{
    m_completedDone = true;
    if (m_stream)
        m_stream->downloadCompleted();
}

void MessageReader::flushUnterminated()
{
    if (m_flushed || m_framing != Framing::Lines || isHeld())
        return;
    switch (m_line) {
    case Line::Pwd:
    case Line::List:
        // A long line still growing is handed over again only once it has doubled, so a
        // line that never ends costs its handlers linear time, not quadratic.
        if (m_text.size() != m_deliveredSize
            && (m_text.size() <= kEarlyDeliveryLimit || m_text.size() >= 2 * qint64(m_deliveredSize)))
            deliver(false);
        break;
    case Line::Completed:
        if (!m_completedDone)
            completed();
        break;
    case Line::Other:
        break;
    default:
        return; // too short to tell, or a header, which needs its line feed
    }
    m_flushed = true;
}

void MessageReader::handOverPart()
{
    if (m_framing != Framing::Lines || isHeld() || m_flushed || m_line != Line::List
        || m_text.size() == m_deliveredSize)
        return;
    deliver(false);
}
