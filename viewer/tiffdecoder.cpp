#include "viewer/tiffdecoder.h"

#include "viewer/orientation.h"
#include "viewer/tiffdecode_p.h"
#include "viewer/tifflog.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

using namespace TiffDecode;

namespace {

QString bytesText(uint64_t bytes)
{
    return QLocale::system().formattedDataSize(qint64(std::min<uint64_t>(bytes, INT64_MAX)), 1,
                                               QLocale::DataSizeTraditionalFormat);
}

Header readHeader(TIFF *tif)
{
    Header h;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &h.width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &h.height);
    if (TIFFGetField(tif, TIFFTAG_BITSPERSAMPLE, &h.bitsTag))
        h.bits = h.bitsTag;
    TIFFGetField(tif, TIFFTAG_SAMPLESPERPIXEL, &h.samples);
    TIFFGetField(tif, TIFFTAG_SAMPLEFORMAT, &h.format);
    if (!TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &h.photometric))
        h.photometric = h.samples >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    TIFFGetField(tif, TIFFTAG_PLANARCONFIG, &h.planar);
    TIFFGetField(tif, TIFFTAG_COMPRESSION, &h.compression);
    TIFFGetField(tif, TIFFTAG_ORIENTATION, &h.orientation);
    uint16_t *extraKinds = nullptr;
    TIFFGetField(tif, TIFFTAG_EXTRASAMPLES, &h.extraSamples, &extraKinds);
    h.tiled = TIFFIsTiled(tif);
    if (h.format == SAMPLEFORMAT_VOID)
        h.format = SAMPLEFORMAT_UINT;
    return h;
}

QString photometricName(uint16_t photometric)
{
    switch (photometric) {
    case PHOTOMETRIC_MINISWHITE: return QStringLiteral("MinIsWhite grey");
    case PHOTOMETRIC_MINISBLACK: return QStringLiteral("grey");
    case PHOTOMETRIC_RGB: return QStringLiteral("RGB");
    case PHOTOMETRIC_PALETTE: return QStringLiteral("palette");
    case PHOTOMETRIC_MASK: return QStringLiteral("transparency mask");
    case PHOTOMETRIC_SEPARATED: return QStringLiteral("CMYK");
    case PHOTOMETRIC_YCBCR: return QStringLiteral("YCbCr");
    case PHOTOMETRIC_CIELAB: return QStringLiteral("CIE L*a*b*");
    case PHOTOMETRIC_ICCLAB: return QStringLiteral("ICC L*a*b*");
    case PHOTOMETRIC_ITULAB: return QStringLiteral("ITU L*a*b*");
    case PHOTOMETRIC_LOGL: return QStringLiteral("LogL");
    case PHOTOMETRIC_LOGLUV: return QStringLiteral("LogLuv");
    default: return QStringLiteral("photometric %1").arg(photometric);
    }
}

// "tiled 12-bit CMYK": what a refusal names, so the user knows which property it is.
QString layoutName(const Header &h)
{
    QString name;
    if (h.tiled)
        name += QStringLiteral("tiled ");
    if (h.planar == PLANARCONFIG_SEPARATE && h.samples > 1)
        name += QStringLiteral("planar ");
    name += QStringLiteral("%1-bit ").arg(h.bits);
    if (h.format == SAMPLEFORMAT_IEEEFP)
        name += QStringLiteral("floating-point ");
    else if (h.format == SAMPLEFORMAT_INT)
        name += QStringLiteral("signed ");
    else if (h.format != SAMPLEFORMAT_UINT)
        name += QStringLiteral("sample format %1 ").arg(h.format);
    return name + photometricName(h.photometric);
}

// How far one byte of stored data can expand when decoded, per compression: a header
// that asks for more than the file's data can produce describes an impossible image.
double maxExpansion(uint16_t compression)
{
    switch (compression) {
    case COMPRESSION_NONE: return 1;
    case COMPRESSION_PACKBITS: return 64;
    case COMPRESSION_LZW: return 2048;
    case COMPRESSION_ADOBE_DEFLATE:
    case COMPRESSION_DEFLATE: return 1032;
    case COMPRESSION_JPEG:
    case COMPRESSION_OJPEG: return 1024;
    case COMPRESSION_CCITTRLE:
    case COMPRESSION_CCITTFAX3:
    case COMPRESSION_CCITTFAX4: return 4096;
    default: return 1 << 20;
    }
}

// Empty when the layout can be shown; otherwise why not.
QString plan(TIFF *tif, const Header &h, Plan &p)
{
    p.bits = h.bits;
    p.format = h.format == SAMPLEFORMAT_IEEEFP ? DecodedImage::Format::Float
        : h.format == SAMPLEFORMAT_INT         ? DecodedImage::Format::Signed
                                               : DecodedImage::Format::Unsigned;
    const QString refused = TiffDecoder::tr("%1 images cannot be shown.").arg(layoutName(h));
    if (h.samples == 0 || h.bits == 0)
        return refused;
    const bool valueFormatOk = h.format == SAMPLEFORMAT_UINT
        ? (h.bits <= 16 || h.bits == 32)
        : h.format == SAMPLEFORMAT_INT ? (h.bits == 8 || h.bits == 16 || h.bits == 32)
        : h.format == SAMPLEFORMAT_IEEEFP && h.bits == 32;
    switch (h.photometric) {
    case PHOTOMETRIC_MINISBLACK:
    case PHOTOMETRIC_MINISWHITE:
        p.channels = std::min<int>(h.samples, 2);
        return valueFormatOk ? QString() : refused;
    case PHOTOMETRIC_RGB:
        p.channels = std::min<int>(h.samples, 4);
        p.colourChannels = 3;
        return valueFormatOk && h.samples >= 3 ? QString() : refused;
    case PHOTOMETRIC_PALETTE: {
        uint16_t *r = nullptr, *g = nullptr, *b = nullptr;
        if (h.samples != 1 || h.format != SAMPLEFORMAT_UINT || h.bits > 16
            || !TIFFGetField(tif, TIFFTAG_COLORMAP, &r, &g, &b))
            return refused;
        return QString();
    }
    case PHOTOMETRIC_YCBCR:
        if (h.compression == COMPRESSION_JPEG && h.bits == 8 && h.planar == PLANARCONFIG_CONTIG) {
            // libjpeg converts to RGB itself; the stored samples are then those RGB values.
            TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
            p.channels = 3;
            p.colourChannels = 3;
            return QString();
        }
        break;
    default:
        break;
    }
    char message[1024] = {};
    if (!TIFFRGBAImageOK(tif, message))
        return refused;
    p.path = Path::Rgba;
    p.bits = 8;
    p.format = DecodedImage::Format::Unsigned;
    p.colourChannels = 3;
    p.channels = h.extraSamples > 0 ? 4 : 3;
    return QString();
}

} // namespace

TiffDecoder::Result TiffDecoder::decode(const QString &path, int page, DecodedImage &out,
                                        const Control &control)
{
    out = DecodedImage();
    Result result;
    QString lastError;
    TIFF *tif = TiffLog::open(path, &lastError);
    if (!tif) {
        result.message = tr("The file cannot be read as a TIFF image.");
        return result;
    }
    struct Closer { TIFF *t; ~Closer() { TIFFClose(t); } } closer{tif};

    result.pageCount = int(std::min<tdir_t>(TIFFNumberOfDirectories(tif), INT_MAX));
    if (page < 0 || page >= result.pageCount || !TIFFSetDirectory(tif, tdir_t(page))) {
        result.message = tr("Page %1 of the file cannot be read.").arg(page + 1);
        return result;
    }
    const Header h = readHeader(tif);
    result.width = h.width;
    result.height = h.height;
    result.bitsPerSample = h.bitsTag;
    result.samplesPerPixel = h.samples;
    result.photometric = h.photometric;
    result.compression = h.compression;

    result.status = Unsupported;
    if (h.width == 0 || h.height == 0) {
        result.message = tr("The image has no pixels (%1 x %2).").arg(h.width).arg(h.height);
        return result;
    }
    Plan p;
    result.message = plan(tif, h, p);
    if (!result.message.isEmpty())
        return result;

    // Everything about size is settled in 64 bits before the first allocation.
    const uint64_t pixels = uint64_t(h.width) * h.height;
    const uint64_t values = pixels * uint64_t(p.channels);
    uint64_t decodedBytes = values * (p.bits <= 8 ? 1 : p.bits <= 16 ? 2 : 6);
    if (p.path == Path::Rgba)
        decodedBytes = values + pixels * 4;
    else if (h.orientation > ORIENTATION_TOPLEFT && h.orientation <= ORIENTATION_LEFTBOT)
        decodedBytes *= 2;
    result.status = TooLarge;
    const uint64_t limit = control.maxDecodedBytes ? std::min(control.maxDecodedBytes, kMaxDecodedBytes) : kMaxDecodedBytes;
    if (decodedBytes > limit) {
        result.message = tr("The image is too large to be shown: %1 x %2 pixels would need %3 "
                            "of memory (at most %4).")
                             .arg(h.width).arg(h.height)
                             .arg(bytesText(decodedBytes), bytesText(limit));
        return result;
    }
    const bool tiled = h.tiled;
    const uint32_t blocks = tiled ? TIFFNumberOfTiles(tif) : TIFFNumberOfStrips(tif);
    const uint64_t blockSize = tiled ? TIFFTileSize64(tif) : TIFFStripSize64(tif);
    // The data the header asks for, against the data the file can hold: stored bytes that
    // lie inside the file, times the most the compression can expand them. A header that
    // asks for four times more than that, for a large image, describes an impossible file
    // (a truncated download of a sane one still shows what is there).
    uint64_t expected = 0;
    if (__builtin_mul_overflow(blockSize, uint64_t(blocks), &expected))
        expected = UINT64_MAX;
    const uint64_t fileSize = uint64_t(QFileInfo(path).size());
    uint64_t available = 0;
    for (uint32_t b = 0; b < blocks; ++b) {
        const uint64_t offset = TIFFGetStrileOffset(tif, b);
        const uint64_t count = TIFFGetStrileByteCount(tif, b);
        if (offset < fileSize)
            available += std::min(count, fileSize - offset);
    }
    const double producible = double(available) * maxExpansion(h.compression);
    const uint64_t large = uint64_t(64) << 20;
    if (expected == 0 || (std::max(decodedBytes, expected) > large && producible * 4 < double(expected))) {
        result.message = tr("The header describes %1 x %2 pixels (%3 of image data), but the "
                            "file holds only %4 of it.")
                             .arg(h.width).arg(h.height)
                             .arg(bytesText(expected), bytesText(available));
        return result;
    }

    bool cancelled = false;
    result.status = NoMemory;
    result.message = TiffDecode::decodeValues(tif, h, p, out, control, cancelled);
    if (cancelled) {
        out = DecodedImage();
        result.status = Cancelled;
        result.message = tr("Loading was cancelled.");
        return result;
    }
    if (!result.message.isEmpty()) {
        out = DecodedImage();
        return result;
    }
    if (p.path == Path::Values && !applyOrientation(out, h.orientation)) {
        out = DecodedImage();
        result.message = tr("There is not enough memory to turn the image upright.");
        return result;
    }
    result.status = Loaded;
    return result;
}
