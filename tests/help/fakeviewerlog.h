#pragma once
// What the fake help viewer (fakehelpviewer.cpp) wrote to its log, one entry per start.
#include <QFile>
#include <QList>
#include <QStringList>

#include <cerrno>
#include <csignal>

// One start of the fake viewer as its log tells it.
struct ViewerRun
{
    qint64 pid = 0;
    QString program;
    QStringList arguments;
    QStringList lines;
};

inline QList<ViewerRun> readLog(const QString &path)
{
    QList<ViewerRun> runs;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return runs;
    for (const QByteArray &raw : file.readAll().split('\n')) {
        const QString entry = QString::fromLocal8Bit(raw);
        const QString word = entry.section(QLatin1Char(' '), 0, 0);
        const QString rest = entry.section(QLatin1Char(' '), 1);
        if (word == QLatin1String("start"))
            runs.append(ViewerRun{rest.toLongLong(), {}, {}, {}});
        else if (runs.isEmpty())
            continue;
        else if (word == QLatin1String("program"))
            runs.last().program = rest;
        else if (word == QLatin1String("arg"))
            runs.last().arguments.append(rest);
        else if (word == QLatin1String("line"))
            runs.last().lines.append(rest);
    }
    return runs;
}

inline QStringList allLines(const QString &logPath)
{
    QStringList lines;
    for (const ViewerRun &run : readLog(logPath))
        lines += run.lines;
    return lines;
}

// No such process any more: collected, not merely dead.
inline bool processGone(qint64 pid)
{
    errno = 0;
    return ::kill(pid_t(pid), 0) == -1 && errno == ESRCH;
}
