#pragma once
// A download folder on a busy network share: the window's writer held to a given rate.
// Before each piece it waits until the piece before has taken its share of time, measured by
// the bytes its own thread has written (Linux's per-thread I/O count), so pieces of any size
// are paced alike and an idle writer earns no credit.
#include "transfer/filewriter.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>

#include <chrono>
#include <memory>
#include <thread>

namespace lateness {

// Bytes the calling thread has written through write calls; -1 when the kernel does not say.
inline qint64 threadWrittenBytes()
{
    QFile io(QStringLiteral("/proc/thread-self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : io.readAll().split('\n'))
        if (line.startsWith("wchar:"))
            return line.mid(6).trimmed().toLongLong();
    return -1;
}

inline void holdToRate(FileWriter &writer, double bytesPerSecond)
{
    struct Pace
    {
        QElapsedTimer clock;
        qint64 pieceStartNs = 0;
        qint64 writtenBefore = -1;
    };
    auto pace = std::make_shared<Pace>();
    writer.setWriteHook([pace, bytesPerSecond] {
        // A fallback when the count is missing: a full piece's time for every piece.
        const qint64 written = threadWrittenBytes();
        if (!pace->clock.isValid())
            pace->clock.start();
        const qint64 piece = written < 0 ? FileWriter::kChunkBytes
                                         : pace->writtenBefore < 0 ? 0 : written - pace->writtenBefore;
        const qint64 dueNs = pace->pieceStartNs + qint64(double(piece) / bytesPerSecond * 1e9);
        const qint64 waitNs = dueNs - pace->clock.nsecsElapsed();
        if (waitNs > 0)
            std::this_thread::sleep_for(std::chrono::nanoseconds(waitNs));
        pace->pieceStartNs = pace->clock.nsecsElapsed();
        pace->writtenBefore = written;
    });
}

} // namespace lateness
