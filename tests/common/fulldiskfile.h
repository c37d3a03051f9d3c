#pragma once
// A disk that is full after `capacity` bytes of a file, reported as the system reports it.
#include <QSaveFile>

#include <cerrno>

class FullDiskFile : public QSaveFile
{
public:
    FullDiskFile(const QString &path, qint64 capacity) : QSaveFile(path), m_capacity(capacity) {}

protected:
    qint64 writeData(const char *data, qint64 len) override
    {
        if (m_written + len > m_capacity) {
            errno = ENOSPC;
            return -1;
        }
        m_written += len;
        return QSaveFile::writeData(data, len);
    }

private:
    qint64 m_capacity;
    qint64 m_written = 0;
};
