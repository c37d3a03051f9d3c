#pragma once
// What the download benchmarks share: the stand-in instrument in a process of its own on
// loopback, an anonymous login, bounded event loops, and the median and range of a series.
#include "link/protocol.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

namespace bench {

inline const QString kAddress = QStringLiteral("127.0.0.39");
inline constexpr int kRunLimitMs = 600000;

[[noreturn]] inline void fatal(const QString &message)
{
    std::fprintf(stderr, "bench: %s\n", qPrintable(message));
    std::exit(1);
}

inline QByteArray requestLine(const QString &remote)
{
    return QByteArray(Protocol::kRequestPrefix) + '<' + remote.toUtf8() + ">\n";
}

// Logs in on a connected Qt socket, anonymously; bounded waits.
inline void qtLogin(QTcpSocket &socket)
{
    QByteArray buffer;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 10000) {
        while (socket.canReadLine()) {
            const QByteArray line = socket.readLine().trimmed();
            if (line == Protocol::kWaitLogin)
                socket.write("$LOGIN: <anonymous,>\n");
            else if (line == Protocol::kLoginOk)
                return;
            else if (line == Protocol::kLoginNg)
                fatal(QStringLiteral("login refused"));
        }
        socket.waitForReadyRead(1000);
    }
    fatal(QStringLiteral("no login answer"));
}

inline bool runLoop(const std::function<void(QEventLoop &)> &setUp)
{
    QEventLoop loop;
    bool timedOut = false;
    QTimer::singleShot(kRunLimitMs, &loop, [&] { timedOut = true; loop.quit(); });
    setUp(loop);
    loop.exec();
    return !timedOut;
}

struct Server
{
    QProcess process;
    quint16 port = 0;

    void start(const QString &root, quint16 wantedPort = 0, const QString &address = kAddress)
    {
        process.setProgram(QStringLiteral(TARVELO_INSTRUMENT_PROGRAM));
        process.setArguments({"--root", root, "--listen", address, "--port", QString::number(wantedPort), "--quiet"});
        process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process.start();
        if (!process.waitForStarted(10000))
            fatal(QStringLiteral("the stand-in instrument did not start"));
        QElapsedTimer clock;
        clock.start();
        while (!process.canReadLine() && clock.elapsed() < 10000)
            process.waitForReadyRead(1000);
        const QByteArray first = process.readLine(); // "Listening on 127.0.0.39:PORT, ..."
        const int colon = first.indexOf(':', first.indexOf(address.toLatin1()));
        port = quint16(first.mid(colon + 1).split(',').value(0).toUInt());
        if (!port)
            fatal(QStringLiteral("no port from the stand-in instrument: %1").arg(QString::fromLatin1(first)));
    }
    ~Server()
    {
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
    std::sort(v.begin(), v.end());
    const size_t n = v.size();
    const double median = n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    return {median, v.front(), v.back()};
}

} // namespace bench
