#pragma once
// Stands in for the download receiver in reader tests: an announcement ends with its end
// marker, a file with "<END>"; whatever follows goes back to the reader. Each finished part
// is logged whole, so logs compare equal however the bytes were split.
#include "link/messagereader.h"
#include "link/protocol.h"

#include <QStringList>

class FakeDownloadStream : public DownloadStream
{
public:
    explicit FakeDownloadStream(QStringList *log) : m_log(log) {}

    qint64 announcementData(const char *data, qint64 size, bool *complete) override
    {
        if (m_announcement.isEmpty()
            && !QByteArray::fromRawData(data, int(size)).startsWith(Protocol::kListStart))
            m_log->append(QStringLiteral("announcement without its start marker"));
        return take(&m_announcement, Protocol::kListEnd, "announcement ", data, size, complete);
    }
    bool fileHeader(const QByteArray &line) override
    {
        m_log->append(QStringLiteral("header ") + QString::fromLatin1(line));
        return true;
    }
    qint64 fileData(const char *data, qint64 size, bool *finished) override
    {
        return take(&m_file, Protocol::kEndMarker, "file ", data, size, finished);
    }
    void downloadCompleted() override { m_log->append(QStringLiteral("completed")); }

private:
    qint64 take(QByteArray *buffer, const char *end, const char *what, const char *data,
                qint64 size, bool *done)
    {
        const qint64 before = buffer->size();
        buffer->append(data, int(size));
        const int at = buffer->indexOf(end);
        *done = at >= 0;
        if (!*done)
            return size;
        buffer->truncate(at + int(qstrlen(end)));
        m_log->append(QLatin1String(what) + QString::fromLatin1(*buffer));
        const qint64 used = buffer->size() - before;
        buffer->clear();
        return used;
    }

    QStringList *m_log;
    QByteArray m_announcement;
    QByteArray m_file;
};
