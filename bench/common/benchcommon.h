#pragma once
// What the benchmarks that run the stand-in instrument share, with nothing of the program's
// own: failing with a message, the stand-in in a process of its own on loopback, a folder
// emptied between rounds, and the median and range of a series.
// The including target defines TARVELO_INSTRUMENT_PROGRAM, the stand-in's path.
#include <QByteArray>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QObject>
#include <QProcess>
#include <QRandomGenerator>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace bench {

// What fatal() undoes itself, as it exits without unwinding the stack: a stand-in left
// running would hold its address and port so that the next run could not listen there, and
// a work folder left behind may hold gigabytes of sample data.
inline QProcess *g_runningStandIn = nullptr;
inline QTemporaryDir *g_workFolder = nullptr;

[[noreturn]] inline void fatal(const QString &message)
{
    std::fprintf(stderr, "bench: %s\n", qPrintable(message));
    if (g_runningStandIn) {
        g_runningStandIn->kill();
        g_runningStandIn->waitForFinished(5000);
    }
    if (g_workFolder)
        g_workFolder->remove();
    std::exit(1);
}

inline void clearFolder(const QString &dir)
{
    QDir(dir).removeRecursively();
    QDir().mkpath(dir);
}

// Sample data is synced before anything is timed: otherwise the kernel writes it back during
// the first rounds, and those rounds pay for the set-up's writes.
inline void syncFolder(const QString &folder)
{
    const int fd = ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY);
    if (fd < 0 || ::syncfs(fd) != 0)
        fatal(QStringLiteral("cannot sync the sample data in %1").arg(folder));
    ::close(fd);
}

// A file of the same pseudo-random bytes every run: nothing in it looks like a protocol line.
inline void writeSampleFile(const QString &path, qint64 size)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        fatal(QStringLiteral("cannot write %1").arg(path));
    QByteArray block(4 << 20, Qt::Uninitialized);
    QRandomGenerator gen(42);
    gen.fillRange(reinterpret_cast<quint32 *>(block.data()), block.size() / 4);
    for (qint64 done = 0; done < size; done += block.size()) {
        const qint64 n = qMin<qint64>(block.size(), size - done);
        if (f.write(block.constData(), n) != n)
            fatal(QStringLiteral("cannot write %1: %2").arg(path, f.errorString()));
    }
    if (!f.flush() || ::fdatasync(f.handle()) != 0)
        fatal(QStringLiteral("cannot sync %1").arg(path));
}

// count files of the given size, f00000.dat and on, in a folder made for them.
inline void writeSampleFiles(const QString &folder, int count, int bytes)
{
    QDir().mkpath(folder);
    const QByteArray content(bytes, 'x');
    for (int i = 0; i < count; ++i) {
        QFile f(folder + QStringLiteral("/f%1.dat").arg(i, 5, 10, QLatin1Char('0')));
        if (!f.open(QIODevice::WriteOnly) || f.write(content) != content.size())
            fatal(QStringLiteral("cannot write the source files in %1").arg(folder));
    }
    syncFolder(folder);
}

// The stand-in instrument serving a folder. Port 0 lets it choose one; the window itself
// only ever connects to the instrument's fixed port, so its benchmarks ask for that one.
struct Server
{
    QProcess process;
    quint16 port = 0;

    void start(const QString &root, const QString &address, quint16 wantedPort = 0)
    {
        QStringList arguments{"--root", root, "--listen", address, "--port", QString::number(wantedPort)};
        // Quiet, the stand-in names its port only when it chose it: on a fixed port it would
        // print nothing, and there would be no line to tell that it listens.
        if (wantedPort == 0)
            arguments << QStringLiteral("--quiet");
        process.setProgram(QStringLiteral(TARVELO_INSTRUMENT_PROGRAM));
        process.setArguments(arguments);
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start();
        g_runningStandIn = &process;
        if (!process.waitForStarted(10000))
            fatal(QStringLiteral("the stand-in instrument did not start: %1").arg(process.errorString()));
        const QDeadlineTimer deadline(10000);
        while (!process.canReadLine() && process.state() == QProcess::Running && !deadline.hasExpired())
            process.waitForReadyRead(int(qMax<qint64>(1, deadline.remainingTime())));
        const QByteArray first = process.readLine().trimmed(); // "Listening on ADDRESS:PORT, ..."
        const QByteArray prefix = "Listening on " + address.toLatin1() + ':';
        if (!first.startsWith(prefix))
            fatal(QStringLiteral("the stand-in instrument did not say it listens on %1 (%2)")
                      .arg(address, first.isEmpty() ? QStringLiteral("it said nothing; see its message above")
                                                    : QString::fromLocal8Bit(first)));
        port = quint16(first.mid(prefix.size()).split(',').value(0).toUInt());
        if (!port || (wantedPort && port != wantedPort))
            fatal(QStringLiteral("the stand-in instrument listens on another port: %1").arg(QString::fromLocal8Bit(first)));
        // What it says about each connection is of no use here, and is not kept.
        QObject::connect(&process, &QProcess::readyReadStandardOutput, &process,
                         [this] { process.readAllStandardOutput(); });
    }
    ~Server()
    {
        if (g_runningStandIn == &process)
            g_runningStandIn = nullptr;
        process.terminate();
        if (!process.waitForFinished(5000))
            process.kill();
        process.waitForFinished(5000);
    }
};

struct Spread
{
    double median, low, high;
};

inline Spread spread(std::vector<double> v)
{
    if (v.empty())
        return {0, 0, 0};
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    const double median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    return {median, v.front(), v.back()};
}

} // namespace bench
