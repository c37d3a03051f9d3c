#pragma once
#include <QByteArray>

// One of the link's read buffers, held by value: whoever keeps bytes of it (the file writer,
// until it has written them) keeps the buffer alive, and the link reads into a buffer again
// only once nobody else holds it. No raw pointer to a buffer travels, so a buffer let go by
// the link while a read goes through it stays valid to the end of that read.
class ReadBuffer
{
public:
    ReadBuffer() = default;
    explicit ReadBuffer(const QByteArray &bytes) : m_bytes(bytes) {}

    bool isNull() const { return m_bytes.isNull(); }
    // Whether [data, data + size) lies inside this buffer.
    bool holds(const char *data, qint64 size) const
    {
        return !m_bytes.isNull() && data >= m_bytes.constData()
            && data + size <= m_bytes.constData() + m_bytes.size();
    }
    qint64 offsetOf(const char *data) const { return data - m_bytes.constData(); }
    const QByteArray &bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};
