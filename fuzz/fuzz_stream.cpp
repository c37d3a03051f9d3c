// The instrument's byte stream, cut into reads of arbitrary sizes, through the message
// reader and the download receiver. Besides the sanitizers' checks: nothing may be written
// outside the download folder, whatever paths the stream names.
#include "browser/listing.h"
#include "download/downloadreceiver.h"
#include "fuzzdriver.h"
#include "link/messagereader.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
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
    const QString downloads = scratch.path() + QStringLiteral("/dl");
    QDir().mkpath(downloads);

    MessageReader reader;
    DownloadReceiver receiver;
    reader.setDownloadStream(&receiver);
    QObject::connect(&reader, &MessageReader::listAnswer, &reader, [&reader](const QString &line) {
        Listing::parse(line);
        reader.listAccepted(true);
    });
    receiver.begin(downloads);

    size_t at = 0;
    unsigned state = cut | 1u;
    while (at < size) {
        state = state * 1103515245u + 12345u;
        const size_t piece = std::min<size_t>(size - at, 1 + (state >> 16) % 97);
        reader.feed(reinterpret_cast<const char *>(data) + at, qint64(piece));
        if ((state >> 8) & 1)
            reader.flushUnterminated();
        at += piece;
    }
    reader.flushUnterminated();
    receiver.abort();

    QDirIterator it(scratch.path(), QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        if (path != downloads && !path.startsWith(downloads + QLatin1Char('/'))) {
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
    return {
        std::string("\x01\x00", 2) + browse,
        std::string("\x07\x01", 2) + announce + file + end,
        std::string("\x33\x02", 2) + browse + announce + file + unsafe + end,
        std::string("\xff\xff", 2) + announce + file + file + "$DOWNLOAD: COMPLETED" + browse,
    };
}
