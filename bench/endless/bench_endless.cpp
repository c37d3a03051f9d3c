// The stand-in instrument (its own process) sends a line without end, up to 1 GiB, of each
// kind: text the client does not know, a "$LIST:" answer, a file header, an announcement.
// This process reads it as the program does (socket, message reader, download receiver, the
// listing parsed on every hand-over) and closes the link when the reader refuses. It prints
// the bytes taken before the link closed and the peak resident memory of this process.
// Usage: bench_endless [BYTES]   (default 1073741824)
#include "link/listing.h"
#include "transfer/downloadreceiver.h"
#include "link/messagereader.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <cstdio>

namespace {

qint64 statusKiB(const char *key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(int(qstrlen(key))).trimmed().split(' ').value(0).toLongLong();
    return -1;
}

struct Result
{
    qint64 bytes = 0;
    QString refusal;
    double seconds = 0;
};

Result run(const QByteArray &line, qint64 limit, const QString &root)
{
    QProcess instrument;
    instrument.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    instrument.start(QStringLiteral(TARVELO_INSTRUMENT_PROGRAM),
                     {QStringLiteral("--root"), root, QStringLiteral("--port"), QStringLiteral("0"),
                      QStringLiteral("--quiet"), QStringLiteral("--endless-line"), QString::fromUtf8(line),
                      QStringLiteral("--endless-bytes"), QString::number(limit)});
    QByteArray first;
    for (int i = 0; i < 100 && !first.contains('\n'); ++i)
        if (instrument.waitForReadyRead(100))
            first += instrument.readAllStandardOutput();
    const quint16 port = quint16(first.mid(first.lastIndexOf(':') + 1).split(',').value(0).toUInt());

    Result result;
    QTcpSocket socket;
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    if (!socket.waitForConnected(5000))
        return result;
    MessageReader reader;
    DownloadReceiver receiver;
    QTemporaryDir downloads;
    reader.setDownloadStream(&receiver);
    QObject::connect(&reader, &MessageReader::listAnswer, &reader, [](const QString &text) {
        Listing::parse(text);
    });
    QObject::connect(&reader, &MessageReader::refused, &socket, [&](const QString &why) {
        result.refusal = why;
        socket.abort();
        reader.reset();
    });
    QObject::connect(&receiver, &DownloadReceiver::sendLine, &socket, [&socket](const QByteArray &l) { socket.write(l); });
    socket.setReadBufferSize(DownloadReceiver::kSocketReadBuffer);
    QObject::connect(&socket, &QTcpSocket::readyRead, &socket, [&] {
        const QByteArray bytes = socket.readAll();
        result.bytes += bytes.size();
        reader.feed(bytes);
        if (socket.bytesAvailable() == 0)
            reader.flushUnterminated();
    });
    QElapsedTimer clock;
    clock.start();
    socket.write("$LOGIN: <anonymous,>\n");
    if (line.startsWith("$DOWNLOAD")) {
        receiver.begin(downloads.path());
        socket.write("$DOWNLOAD REQUEST </TARVELO/x>\n");
    } else {
        socket.write("$LIST\n");
    }
    while (socket.state() == QAbstractSocket::ConnectedState && clock.elapsed() < 600000)
        socket.waitForReadyRead(1000) || socket.state() != QAbstractSocket::ConnectedState;
    if (socket.bytesAvailable() > 0) {
        result.bytes += socket.bytesAvailable();
        reader.feed(socket.readAll());
    }
    result.seconds = clock.elapsed() / 1000.0;
    instrument.kill();
    instrument.waitForFinished(5000);
    return result;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const qint64 limit = argc > 1 ? QByteArray(argv[1]).toLongLong() : qint64(1) << 30;
    QTemporaryDir root;
    std::printf("peak memory while the instrument sends a line without end (up to %lld bytes)\n", (long long)limit);
    std::printf("%-34s %14s %8s %12s  %s\n", "line", "bytes taken", "seconds", "peak KiB", "outcome");
    for (const QByteArray &line : {QByteArray("$NOISE "), QByteArray("$LIST: "), QByteArray("$PWD: /TARVELO/"),
                                   QByteArray("$DOWNLOAD:<"), QByteArray("$DOWNLOAD REQUEST: LIST<START><")}) {
        const Result r = run(line, limit, root.path());
        std::printf("%-34s %14lld %8.1f %12lld  %s\n", line.constData(), (long long)r.bytes, r.seconds,
                    (long long)statusKiB("VmHWM:"),
                    r.refusal.isEmpty() ? "read to its end and dropped" : qPrintable(r.refusal));
        std::fflush(stdout);
    }
    std::printf("peak resident memory of the whole run: %lld KiB\n", (long long)statusKiB("VmHWM:"));
    return 0;
}
