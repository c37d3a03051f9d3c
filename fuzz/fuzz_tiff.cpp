// Arbitrary bytes as a TIFF file: the decoder must refuse them with a reason or deliver
// an image whose buffers hold exactly the values it describes, within a bounded time
// and memory, and everything the browser derives from it must stay inside them.
#include "fuzzdriver.h"
#include "../tests/viewer/tifffiles.h"
#include "viewer/attributetext.h"
#include "viewer/contrastmodel.h"
#include "viewer/imagestatistics.h"
#include "viewer/pixelreadout.h"
#include "viewer/tiffimage.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <atomic>
#include <cstdio>
#include <cstdlib>

namespace {

// Per input: no image above 64 MiB of values, and no decode running past two seconds.
constexpr uint64_t kMaxBytes = uint64_t(64) << 20;
constexpr qint64 kMaxMilliseconds = 2000;

const QTemporaryDir &scratch()
{
    static QTemporaryDir dir;
    return dir;
}

void fail(const char *what)
{
    std::fprintf(stderr, "fuzz_tiff: %s\n", what);
    std::abort();
}

std::string fileBytes(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::string();
    const QByteArray bytes = f.readAll();
    return std::string(bytes.constData(), size_t(bytes.size()));
}

std::string seed(const TestTiff::Layout &l)
{
    const QString path = scratch().path() + QStringLiteral("/seed.tif");
    TestTiff::write(path, l);
    return fileBytes(path);
}

void checkImage(const DecodedImage &image, int pageCount)
{
    const size_t values = image.valueCount();
    if (image.width == 0 || image.height == 0 || image.channels < 1 || image.channels > 4 || pageCount < 1)
        fail("delivered an image without pixels");
    const size_t held = image.wide() ? image.values16.size() : image.values8.size();
    if (held != values || (image.bits == 32 && image.raw32.size() != values))
        fail("buffer size differs from width x height x channels");
    for (const auto &r : image.missingRows)
        if (r.first > r.second || (!image.missingColumns && r.second >= image.height))
            fail("missing rows outside the image");
    // Everything the browser derives: statistics, range, the read-out of every corner.
    const ImageStatistics stats = ImageStatistics::of(image);
    const DisplayRange range = ContrastModel::automatic(image, stats);
    for (int c = 0; c < stats.channels; ++c)
        if (range.low[size_t(c)] < 0 || range.high[size_t(c)] >= image.indexLevels())
            fail("display range outside the index values");
    if (image.palette)
        for (size_t i = 0; i < values; ++i)
            (void)image.index(i); // indices beyond the map show black; reading them is safe
    for (uint32_t y : {0u, image.height - 1})
        for (uint32_t x : {0u, image.width - 1})
            storedValuesText(image, x, y);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = scratch().path() + QStringLiteral("/input.tif");
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    std::atomic<bool> cancel(false);
    QElapsedTimer timer;
    timer.start();
    TiffDecodeControl control;
    control.cancel = &cancel;
    control.maxDecodedBytes = kMaxBytes;
    control.progress = [&](int) {
        if (timer.elapsed() > kMaxMilliseconds)
            cancel = true;
    };
    for (int page : {0, 1}) {
        TiffImage image;
        if (image.load(path.toStdWString(), page, control)) {
            checkImage(*image.m_decoded, image.m_pageCount);
        } else if (image.m_message.isEmpty()) {
            fail("refused without saying why");
        }
        if (image.m_pageCount < 2)
            break;
    }
    attributeText(readImageDescription(path));
    return 0;
}

std::vector<std::string> fuzzSeeds()
{
    using TestTiff::Layout;
    std::vector<std::string> seeds;
    auto add = [&](auto change) {
        Layout l = TestTiff::grey(9, 7, 8, "Software Version: 1.2.0, Min. F: 10, Max. F: 20");
        l.rowsPerStrip = 2;
        change(l);
        seeds.push_back(seed(l));
    };
    add([](Layout &) {});
    add([](Layout &l) { l.samplesPerPixel = 3; l.compression = COMPRESSION_LZW; });
    add([](Layout &l) { l.bitsPerSample = 16; l.compression = COMPRESSION_ADOBE_DEFLATE; });
    add([](Layout &l) { l.bitsPerSample = 16; l.samplesPerPixel = 3; });
    add([](Layout &l) { l.bitsPerSample = 1; });
    add([](Layout &l) { l.bitsPerSample = 12; });
    add([](Layout &l) { l.bitsPerSample = 4; l.photometric = PHOTOMETRIC_PALETTE; });
    add([](Layout &l) { l.bitsPerSample = 16; l.sampleFormat = SAMPLEFORMAT_INT; l.orientation = ORIENTATION_LEFTBOT; });
    add([](Layout &l) { l.bitsPerSample = 32; l.sampleFormat = SAMPLEFORMAT_IEEEFP; });
    add([](Layout &l) { l.tiled = true; l.samplesPerPixel = 4; });
    add([](Layout &l) { l.planar = PLANARCONFIG_SEPARATE; l.samplesPerPixel = 3; l.bitsPerSample = 16; });
    add([](Layout &l) { l.pages = 3; l.photometric = PHOTOMETRIC_MINISWHITE; });
    add([](Layout &l) { l.samplesPerPixel = 4; l.photometric = PHOTOMETRIC_SEPARATED; });
    add([](Layout &l) { l.samplesPerPixel = 3; l.photometric = PHOTOMETRIC_YCBCR; l.compression = COMPRESSION_JPEG; l.width = 16; l.height = 16; l.rowsPerStrip = 16; });
    // Inputs that once found faults, kept as regression seeds: a tiny file without
    // BitsPerSample claiming many samples (gigabytes allocated), a header claiming
    // 40000 x 40000 with one byte of data, and bit sizes whose product overflowed.
    const QString path = scratch().path() + QStringLiteral("/regression.tif");
    Layout l = TestTiff::grey(3000, 3000, 0);
    l.samplesPerPixel = 8000;
    TestTiff::writeHeaderOnly(path, l);
    seeds.push_back(fileBytes(path));
    l.width = l.height = 40000;
    l.bitsPerSample = 8;
    l.samplesPerPixel = 1;
    TestTiff::writeHeaderOnly(path, l);
    seeds.push_back(fileBytes(path));
    l.width = l.height = 5000;
    l.bitsPerSample = 65535;
    l.samplesPerPixel = 65535;
    TestTiff::writeHeaderOnly(path, l);
    seeds.push_back(fileBytes(path));
    TestTiff::writeDirectoryFirst(path, 20, 12, 3);
    std::string cut = fileBytes(path);
    cut.resize(cut.size() - 100);
    seeds.push_back(cut);
    return seeds;
}
