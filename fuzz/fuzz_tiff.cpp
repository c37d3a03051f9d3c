// Arbitrary bytes as a TIFF file: the reader must refuse or read them without touching
// memory outside its buffer, and report a value count that fits what it allocated.
#include "fuzzdriver.h"
#include "viewer/attributetext.h"
#include "viewer/tiffimage.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <tiffio.h>

#include <cstring>

namespace {

const QTemporaryDir &scratch()
{
    static QTemporaryDir dir;
    return dir;
}

std::string seedTiff(int width, int height, int bits, int samples, int compression)
{
    const QString path = scratch().path() + QStringLiteral("/seed.tif");
    TIFF *t = TIFFOpen(QFile::encodeName(path).constData(), "w");
    TIFFSetField(t, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(t, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(t, TIFFTAG_BITSPERSAMPLE, bits);
    TIFFSetField(t, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(t, TIFFTAG_PHOTOMETRIC, samples == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK);
    TIFFSetField(t, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(t, TIFFTAG_COMPRESSION, compression);
    TIFFSetField(t, TIFFTAG_ROWSPERSTRIP, 2);
    TIFFSetField(t, TIFFTAG_IMAGEDESCRIPTION, "Software Version: 1.2.0, Min. F: 10, Max. F: 20");
    std::vector<unsigned char> row((size_t(width) * samples * bits + 7) / 8);
    for (int y = 0; y < height; ++y) {
        for (size_t i = 0; i < row.size(); ++i)
            row[i] = (unsigned char)(i * 7 + y * 13);
        TIFFWriteScanline(t, row.data(), uint32_t(y), 0);
    }
    TIFFClose(t);
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    const QByteArray bytes = f.readAll();
    return std::string(bytes.constData(), size_t(bytes.size()));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
    const QString path = scratch().path() + QStringLiteral("/input.tif");
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char *>(data), qint64(size));
    }
    TiffImage image;
    if (image.load(path.toStdWString())) {
        const void *pixels = image.pixels(image.m_bitsPerPixel);
        const bool wide = image.m_bitsPerSample == 16;
        const bool rgb = image.m_bitsPerPixel == 24 || image.m_bitsPerPixel == 48;
        const int64_t expected = int64_t(image.m_width) * image.m_height * (rgb ? 3 : 1);
        if (!pixels || image.m_valueCount < expected) {
            std::fprintf(stderr, "loaded image with %d values for %lld\n", image.m_valueCount, (long long)expected);
            std::abort();
        }
        // Touch every value, so a short buffer shows up under the address sanitizer.
        unsigned sum = 0;
        for (int32_t i = 0; i < image.m_valueCount; ++i)
            sum += wide ? image.m_pixels16[i] : image.m_pixels8[i];
        (void)sum;
    }
    attributeText(readImageDescription(path));
    return 0;
}

std::vector<std::string> fuzzSeeds()
{
    return {
        seedTiff(5, 3, 8, 1, COMPRESSION_NONE),
        seedTiff(7, 4, 8, 3, COMPRESSION_LZW),
        seedTiff(3, 5, 16, 1, COMPRESSION_ADOBE_DEFLATE),
        seedTiff(6, 2, 16, 3, COMPRESSION_NONE),
        seedTiff(9, 3, 1, 1, COMPRESSION_NONE),
    };
}
