#include "viewer/tiffimage.h"

#include <QFile>
#include <QString>

#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

ImageFileType imageFileType(const std::wstring &path)
{
    const std::wstring::size_type dot = path.rfind(L'.');
    const std::wstring::size_type start = dot == std::wstring::npos ? 0 : dot + 1;
    const std::wstring extension = path.substr(start, 3);
    static const wchar_t *const names[] = {L"tif", L"jpg", L"png", L"bmp", L"raw"};
    for (int i = 0; i < 5; ++i) {
        if (extension == names[i])
            return static_cast<ImageFileType>(i);
    }
    return Unknown;
}

namespace {

struct TiffCloser
{
    TIFF *tif;
    ~TiffCloser() { TIFFClose(tif); }
};

bool inTable(uint16_t bitsPerSample, uint16_t samplesPerPixel)
{
    return (bitsPerSample == 8 || bitsPerSample == 16)
        && (samplesPerPixel == 1 || samplesPerPixel == 3);
}

} // namespace

bool TiffImage::load(const std::wstring &path)
{
    m_status = RefusedName;
    if (imageFileType(path) != Tif)
        return false;

    // libtiff has a wide-character open only on Windows; elsewhere file names are bytes.
    const QByteArray localName = QFile::encodeName(QString::fromStdWString(path));
    m_status = NotReadable;
    TIFF *tif = TIFFOpen(localName.constData(), "r");
    if (!tif)
        return false;
    const TiffCloser closer{tif};

    uint32_t width = 0, height = 0;
    uint16_t bitsPerSample = 0, samplesPerPixel = 1, compression = 0, photometric = 0;
    TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width);
    TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height);
    TIFFGetField(tif, TIFFTAG_BITSPERSAMPLE, &bitsPerSample);
    TIFFGetField(tif, TIFFTAG_SAMPLESPERPIXEL, &samplesPerPixel);
    TIFFGetField(tif, TIFFTAG_COMPRESSION, &compression);
    TIFFGetField(tif, TIFFTAG_PHOTOMETRIC, &photometric);
    m_width = width;
    m_height = height;
    m_bitsPerSample = bitsPerSample;
    m_samplesPerPixel = samplesPerPixel;
    m_compression = compression;
    m_photometric = photometric;
    m_bitsPerPixel = static_cast<uint16_t>(bitsPerSample * samplesPerPixel);

    // Anything the buffer layout cannot describe is refused before a byte is decoded:
    // scanline reads of tiles, separate planes or floating-point samples would land
    // in the buffer as something other than the packed pixels it promises.
    uint16_t planar = PLANARCONFIG_CONTIG, sampleFormat = SAMPLEFORMAT_UINT;
    TIFFGetField(tif, TIFFTAG_PLANARCONFIG, &planar);
    TIFFGetField(tif, TIFFTAG_SAMPLEFORMAT, &sampleFormat);
    m_status = UnsupportedLayout;
    if (width == 0 || height == 0 || TIFFIsTiled(tif) || sampleFormat == SAMPLEFORMAT_IEEEFP)
        return false;
    if (planar != PLANARCONFIG_CONTIG && samplesPerPixel > 1)
        return false;
    // A missing BitsPerSample tag reads as 0 and takes the byte path; every other size
    // must be one of the table's.
    if (bitsPerSample != 0 && !inTable(bitsPerSample, samplesPerPixel))
        return false;

    const uint64_t scanline = TIFFScanlineSize64(tif);
    const uint64_t pixelCount = uint64_t(width) * height;
    const bool threeValues = m_bitsPerPixel == 24 || m_bitsPerPixel == 48;
    const uint64_t valueCount = pixelCount * (threeValues ? 3 : 1);
    const uint64_t valueBytes = bitsPerSample == 16 ? 2 : 1;
    if (bitsPerSample != 0 && scanline != uint64_t(width) * samplesPerPixel * valueBytes)
        return false; // e.g. subsampled colour: rows would not be packed pixels
    if (scanline == 0)
        return false;

    // libtiff writes whole scanlines, so the buffer covers scanline x rows even where
    // that exceeds the values the image is said to hold (the tag-less byte path).
    const uint64_t decodedBytes = scanline * height;
    const uint64_t bufferBytes = std::max(valueCount * valueBytes, decodedBytes);
    m_status = TooLarge;
    if (valueCount > uint64_t(std::numeric_limits<int32_t>::max())
        || bufferBytes > uint64_t(std::numeric_limits<uint32_t>::max()))
        return false;

    unsigned char *destination = nullptr;
    if (bitsPerSample == 16) {
        delete[] m_pixels16;
        m_pixels16 = new (std::nothrow) uint16_t[bufferBytes / 2];
        if (!m_pixels16)
            return false;
        destination = reinterpret_cast<unsigned char *>(m_pixels16);
    } else {
        delete[] m_pixels8;
        m_pixels8 = new (std::nothrow) unsigned char[bufferBytes];
        if (!m_pixels8)
            return false;
        destination = m_pixels8;
    }
    m_valueCount = static_cast<int32_t>(valueCount);

    // A row libtiff cannot decode (a truncated or damaged file) is cleared rather than
    // left holding whatever the allocation contained.
    for (uint32_t row = 0; row < height; ++row) {
        unsigned char *rowStart = destination + uint64_t(row) * scanline;
        if (TIFFReadScanline(tif, rowStart, row, 0) < 0)
            std::memset(rowStart, 0, scanline);
    }
    m_status = Loaded;
    return true;
}

void *TiffImage::pixels(int bitsPerPixel) const
{
    return (bitsPerPixel == 16 || bitsPerPixel == 48) ? static_cast<void *>(m_pixels16)
                                                      : static_cast<void *>(m_pixels8);
}

void TiffImage::release()
{
    delete[] m_pixels16;
    delete[] m_pixels8;
    m_pixels16 = nullptr;
    m_pixels8 = nullptr;
}
