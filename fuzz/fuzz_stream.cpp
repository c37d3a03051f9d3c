// The instrument's byte stream, cut into reads of arbitrary sizes, through the message
// reader and the download receiver. Besides the sanitizers' checks: no file may be opened
// for writing anywhere outside the download folder, nothing may appear outside it in the
// scratch tree around it (folders included), and the memory the reader and the receiver
// hold may never grow faster than the input nor past their stated bounds.
#include "link/listing.h"
#include "transfer/downloadreceiver.h"
#include "fuzzdriver.h"
#include "link/messagereader.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QSaveFile>
#include <QTemporaryDir>

#include <cstring>

namespace {

QCoreApplication *application()
{
    static int argc = 1;
    static char name[] = "fuzz_stream";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *app = new QCoreApplication(argc, argv);
    return app;
}

QString scratchBase()
{
    // Each stored file is synced to disk; memory-backed storage keeps rounds fast.
    return QDir(QStringLiteral("/dev/shm")).exists() ? QStringLiteral("/dev/shm") : QDir::tempPath();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    application();
    if (size < 2)
        return 0;
    // The first two bytes choose how the rest is cut into reads.
    const unsigned cut = data[0] | (unsigned(data[1]) << 8);
    data += 2;
    size -= 2;

    QTemporaryDir scratch(scratchBase() + QStringLiteral("/tarvelo-fuzz-XXXXXX"));
    // Deep enough that a path climbing out by a few levels still lands in the scratch tree.
    const QString downloads = scratch.path() + QStringLiteral("/a/b/c/dl");
    QDir().mkpath(downloads);

    MessageReader reader;
    DownloadReceiver receiver;
    reader.setDownloadStream(&receiver);
    QObject::connect(&reader, &MessageReader::listAnswer, &reader, [](const QString &line) {
        Listing::parse(line);
    });
    receiver.setFileFactory([&downloads](const QString &path) {
        const QString clean = QDir::cleanPath(path);
        if (!clean.startsWith(downloads + QLatin1Char('/'))) {
            std::fprintf(stderr, "file opened outside the download folder: %s\n", qPrintable(path));
            std::abort();
        }
        return std::make_unique<QSaveFile>(path);
    });
    receiver.begin(downloads);

    size_t at = 0;
    unsigned state = cut | 1u;
    while (at < size) {
        state = state * 1103515245u + 12345u;
        const size_t piece = std::min<size_t>(size - at, 1 + (state >> 16) % 97);
        reader.feed(reinterpret_cast<const char *>(data) + at, qint64(piece));
        // A stored file holds the stream until it is durable; here that is waited for.
        for (int round = 0; round < 1000 && reader.isHeld(); ++round) {
            receiver.settle();
            reader.resume();
        }
        if ((state >> 8) & 1)
            reader.flushUnterminated();
        at += piece;
        const qint64 held = reader.heldBytes() + receiver.heldBytes();
        const qint64 bound = 2 * MessageReader::kMaxListLine + DownloadReceiver::kMaxAnnouncementBytes;
        if (held > 4 * qint64(at) + 64 * 1024 || held > bound) {
            std::fprintf(stderr, "%lld bytes held after %zu bytes of input\n", (long long)held, at);
            std::abort();
        }
    }
    reader.flushUnterminated();
    receiver.abort();

    QDirIterator it(scratch.path(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path != downloads && !path.startsWith(downloads + QLatin1Char('/'))
            && !downloads.startsWith(path + QLatin1Char('/'))) {
            std::fprintf(stderr, "written outside the download folder: %s\n", qPrintable(path));
            std::abort();
        }
    }
    return 0;
}

std::vector<std::string> fuzzSeeds()
{
    const std::string browse = "$PWD: /TARVELO\r\n$LIST: <d,run 1><f,a.tif><f,b,c.pdf>\r\n";
    const std::string announce = "$DOWNLOAD REQUEST: LIST<START></TARVELO/run 1/a.tif>,</TARVELO/../x>"
                                 "$DOWNLOAD REQUEST: LIST<END>\n";
    const std::string file = "$DOWNLOAD:</TARVELO/run 1/a.tif><11>\nhello$DOWN\n"
                             "$DOWNLOAD:</TARVELO/run 1/a.tif><END>\n";
    const std::string unsafe = "$DOWNLOAD:</TARVELO/../x><3>\nabc$DOWNLOAD:</TARVELO/../x><END>\n"
                               "$DOWNLOAD:</etc/x>\nabc$DOWNLOAD:</etc/x><END>\n";
    const std::string end = "$DOWNLOAD: COMPLETED\n$PWD: /TARVELO/run 1\n$LIST: <f,a.tif>";
    // A log that holds its own end line, framed by its size; then sizes too small and too large.
    const std::string log = "run started\n$DOWNLOAD:</TARVELO/log.txt><END>\nrun ended\n";
    const std::string logEnd = "$DOWNLOAD:</TARVELO/log.txt><END>\n";
    const std::string sized = "$DOWNLOAD REQUEST: LIST<START></TARVELO/log.txt>,</TARVELO/a<b>,</TARVELO/c>d>"
                              "$DOWNLOAD REQUEST: LIST<END>\n"
                              "$DOWNLOAD:</TARVELO/log.txt><" + std::to_string(log.size()) + ">\n" + log + logEnd
                              + "$DOWNLOAD:</TARVELO/log.txt><5>\n" + log + logEnd
                              + "$DOWNLOAD:</TARVELO/log.txt><900>\n" + log + logEnd
                              + "$DOWNLOAD:</TARVELO/a<b><1>\nx$DOWNLOAD:</TARVELO/a<b><END>\n"
                              + "$DOWNLOAD:</TARVELO/c>d>\ny$DOWNLOAD:</TARVELO/c>d><END>\n"
                              + "$DOWNLOAD:</TARVELO/extra><2>\nzz$DOWNLOAD:</TARVELO/extra><END>\n";
    return {
        std::string("\x05\x00", 2) + sized + end,
        std::string("\x01\x00", 2) + browse,
        std::string("\x07\x01", 2) + announce + file + end,
        std::string("\x33\x02", 2) + browse + announce + file + unsafe + end,
        std::string("\xff\xff", 2) + announce + file + file + "$DOWNLOAD: COMPLETED" + browse,
    };
}
