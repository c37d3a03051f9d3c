#pragma once
// Writes the TIFF files the viewer tests and benchmarks read, with libtiff itself.
#include <QByteArray>
#include <QFile>
#include <QString>

#include <tiffio.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace TestTiff {

struct Layout
{
    uint32_t width = 8;
    uint32_t height = 4;
    int bitsPerSample = 8; // 0 leaves the tag out
    int samplesPerPixel = 1;
    uint16_t compression = COMPRESSION_NONE;
    uint16_t planar = PLANARCONFIG_CONTIG;
    uint16_t sampleFormat = SAMPLEFORMAT_UINT;
    bool tiled = false;
    uint32_t rowsPerStrip = 0; // 0: libtiff's default
    QByteArray description;
};

// The sample patterns the written images follow, different in every channel.
inline uint8_t sample8(uint32_t x, uint32_t y, int c)
{
    return uint8_t(x * 7 + y * 13 + c * 50);
}
inline uint16_t sample16(uint32_t x, uint32_t y, int c)
{
    return uint16_t(x * 257 + y * 1031 + c * 4099 + 3);
}

// Bytes of one stored row of one plane.
inline size_t rowBytes(const Layout &l)
{
    const int bits = l.bitsPerSample == 0 ? 1 : l.bitsPerSample;
    const int samples = l.planar == PLANARCONFIG_SEPARATE ? 1 : l.samplesPerPixel;
    return (size_t(l.width) * samples * bits + 7) / 8;
}

// One row in the pattern: 8- and 16-bit samples follow sample8/sample16, other sizes
// get a byte pattern.
inline std::vector<unsigned char> patternRow(const Layout &l, uint32_t y, int plane = 0)
{
    std::vector<unsigned char> row(rowBytes(l));
    const int samples = l.planar == PLANARCONFIG_SEPARATE ? 1 : l.samplesPerPixel;
    if (l.bitsPerSample == 8) {
        for (uint32_t x = 0; x < l.width; ++x)
            for (int c = 0; c < samples; ++c)
                row[x * samples + c] = sample8(x, y, c + plane);
    } else if (l.bitsPerSample == 16) {
        auto *values = reinterpret_cast<uint16_t *>(row.data());
        for (uint32_t x = 0; x < l.width; ++x)
            for (int c = 0; c < samples; ++c)
                values[x * samples + c] = sample16(x, y, c + plane);
    } else {
        for (size_t i = 0; i < row.size(); ++i)
            row[i] = uint8_t(i * 31 + y);
    }
    return row;
}

inline void setTags(TIFF *tif, const Layout &l)
{
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, l.width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, l.height);
    if (l.bitsPerSample != 0)
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, uint16_t(l.bitsPerSample));
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, uint16_t(l.samplesPerPixel));
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC,
                 l.samplesPerPixel >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK);
    if (l.samplesPerPixel == 4 || l.samplesPerPixel == 2) {
        const uint16_t extra = EXTRASAMPLE_UNASSALPHA;
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, uint16_t(1), &extra);
    }
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, l.planar);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, l.compression);
    TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, l.sampleFormat);
    if (!l.description.isEmpty())
        TIFFSetField(tif, TIFFTAG_IMAGEDESCRIPTION, l.description.constData());
}

// Writes an image; pixels, when given, are packed rows of rowBytes(l) bytes, top row
// first, and replace the pattern.
inline bool write(const QString &path, const Layout &l, const void *pixels = nullptr)
{
    TIFF *tif = TIFFOpen(QFile::encodeName(path).constData(), "w");
    if (!tif)
        return false;
    setTags(tif, l);
    bool ok = true;
    if (l.tiled) {
        TIFFSetField(tif, TIFFTAG_TILEWIDTH, 16u);
        TIFFSetField(tif, TIFFTAG_TILELENGTH, 16u);
        std::vector<unsigned char> tile(size_t(TIFFTileSize(tif)), 0x55);
        for (uint32_t t = 0; t < TIFFNumberOfTiles(tif); ++t)
            ok &= TIFFWriteEncodedTile(tif, t, tile.data(), tmsize_t(tile.size())) >= 0;
    } else {
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP,
                     l.rowsPerStrip ? l.rowsPerStrip : TIFFDefaultStripSize(tif, 0));
        const int planes = l.planar == PLANARCONFIG_SEPARATE ? l.samplesPerPixel : 1;
        for (int plane = 0; plane < planes; ++plane) {
            for (uint32_t y = 0; y < l.height; ++y) {
                std::vector<unsigned char> row;
                if (pixels) {
                    const auto *start = static_cast<const unsigned char *>(pixels) + y * rowBytes(l);
                    row.assign(start, start + rowBytes(l));
                } else {
                    row = patternRow(l, y, plane);
                }
                ok &= TIFFWriteScanline(tif, row.data(), y, uint16_t(plane)) >= 0;
            }
        }
    }
    TIFFClose(tif);
    return ok;
}

// A valid header claiming any size, with a single byte of strip data.
inline bool writeHeaderOnly(const QString &path, const Layout &l)
{
    TIFF *tif = TIFFOpen(QFile::encodeName(path).constData(), "w");
    if (!tif)
        return false;
    setTags(tif, l);
    TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, l.height);
    const char byte = 0;
    const bool ok = TIFFWriteRawStrip(tif, 0, const_cast<char *>(&byte), 1) == 1;
    TIFFClose(tif);
    return ok;
}

inline bool writeText(const QString &path, const QByteArray &text)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
}

} // namespace TestTiff
