#pragma once
// A small stand-in for the message reader: splits an instrument stream into the calls the
// download side expects, however the stream is cut into reads.
#include "link/messagereader.h"
#include "link/protocol.h"

#include <QByteArray>
#include <QList>
#include <QRandomGenerator>
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <QtTest>

#include <cstring>

class StreamFeeder
{
public:
    explicit StreamFeeder(DownloadStream *stream) : m_stream(stream) {}

    // Like the real reader, nothing after a file is handed on while the stream holds (the
    // file is being made durable): the feeder waits for the writer there.
    void feed(const QByteArray &bytes)
    {
        m_pending += bytes;
        feedPending();
        waitWhileHolding();
    }

    void waitWhileHolding()
    {
        if (!m_stream->holding())
            return;
        // The writer's answer comes as an event; the timer bounds the wait if it never does.
        QTimer tick;
        tick.start(100);
        QDeadlineTimer deadline(30000);
        while (m_stream->holding() && !deadline.hasExpired())
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        QVERIFY2(!m_stream->holding(), "the writer never finished the file");
    }

private:
    void feedPending()
    {
        for (;;) {
            waitWhileHolding();
            if (m_mode == List || m_mode == File) {
                if (m_pending.isEmpty())
                    return;
                bool done = false;
                const qint64 used = m_mode == List
                    ? m_stream->announcementData(m_pending.constData(), m_pending.size(), &done)
                    : m_stream->fileData(m_pending.constData(), m_pending.size(), &done);
                m_pending.remove(0, int(used));
                if (!done)
                    return;
                m_mode = Idle;
                continue;
            }
            const QByteArray start(Protocol::kListStart);
            if (m_pending.startsWith(start)) {
                m_mode = List;
                continue;
            }
            const int lf = m_pending.indexOf('\n');
            if (lf < 0)
                return;
            QByteArray line = m_pending.left(lf);
            m_pending.remove(0, lf + 1);
            if (line.endsWith('\r'))
                line.chop(1);
            if (line.startsWith(Protocol::kDownloadCompleted)) {
                m_stream->downloadCompleted();
            } else if (line.startsWith(Protocol::kDownloadPrefix)) {
                if (m_stream->fileHeader(line))
                    m_mode = File;
            } else if (!line.isEmpty()) {
                m_otherLines.append(line);
            }
        }
    }

public:
    // Feeds the stream in pieces of the given size (0: all at once).
    void feedInPieces(const QByteArray &stream, int piece)
    {
        if (piece <= 0) {
            feed(stream);
            return;
        }
        for (int i = 0; i < stream.size(); i += piece)
            feed(stream.mid(i, piece));
    }

    QList<QByteArray> otherLines() const { return m_otherLines; }
    bool idle() const { return m_mode == Idle && m_pending.isEmpty(); }

private:
    enum Mode { Idle, List, File };
    DownloadStream *m_stream;
    Mode m_mode = Idle;
    QByteArray m_pending;
    QList<QByteArray> m_otherLines;
};

namespace Stream {

inline QByteArray announcement(const QList<QByteArray> &paths)
{
    QByteArray a = Protocol::kListStart;
    for (int i = 0; i < paths.size(); ++i)
        a += (i ? ",<" : "<") + paths.at(i) + '>';
    return a + Protocol::kListEnd + '\n';
}

// One file as the instrument frames it; size < 0 leaves the size field out.
inline QByteArray file(const QByteArray &path, const QByteArray &content, qint64 size = -2)
{
    QByteArray header = QByteArray(Protocol::kDownloadPrefix) + '<' + path + '>';
    if (size != -1)
        header += '<' + QByteArray::number(size == -2 ? content.size() : size) + '>';
    return header + '\n' + content + Protocol::kDownloadPrefix + '<' + path + ">" + Protocol::kEndMarker + '\n';
}

inline QByteArray randomBytes(int size, quint32 seed)
{
    QRandomGenerator gen(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char(gen.bounded(256));
    return bytes;
}

// Content that holds the framing texts in every form but the file's own end line.
inline QByteArray markerContent(const QByteArray &ownPath)
{
    return QByteArray("head $DOWNLOAD: <END> $DOWNLOAD:<END>\n")
        + "$DOWNLOAD:</TARVELO/other.bin><END>\n"
        + "$DOWNLOAD REQUEST: LIST<START><x>$DOWNLOAD REQUEST: LIST<END>\n"
        + "$DOWNLOAD: COMPLETED\n"
        + "$DOWNLOAD:<" + ownPath + "\n"            // own marker cut short
        + "$DOWNLOAD:<" + ownPath + ">x<END>\n"     // not bracketed fields
        + "$DOWNLOAD:<" + ownPath + "><1><2>\n"     // fields without the end
        + "$DOWNLOAD:<" + ownPath + "><END\r\n"     // broken end field
        + "$$DOWNLOAD:<" + ownPath + "$DOWNLOAD:<\r\n"
        + "\r\n\r\n$DOWNLOAD:";                     // a marker prefix at the very end
}

} // namespace Stream
