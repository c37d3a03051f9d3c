#pragma once
// Writes the TIFF files the viewer tests, benchmarks and fuzz seeds read, with libtiff
// itself, in every layout the viewer shows.
#include <QByteArray>
#include <QFile>
#include <QString>

#include <tiffio.h>

#include <cstdint>
#include <algorithm>
#include <cstring>
#include <vector>

namespace TestTiff {

// PhotometricInterpretation 0 is MinIsWhite, so "not chosen" needs a value of its own.
constexpr uint16_t kAutoPhotometric = 0xffff;

struct Layout
{
    uint32_t width = 8;
    uint32_t height = 4;
    int bitsPerSample = 8; // 0 leaves the tag out
    int samplesPerPixel = 1;
    uint16_t compression = COMPRESSION_NONE;
    uint16_t planar = PLANARCONFIG_CONTIG;
    uint16_t sampleFormat = SAMPLEFORMAT_UINT;
    uint16_t photometric = kAutoPhotometric; // grey for 1-2 samples, RGB for 3-4
    uint16_t orientation = 0; // 0 leaves the tag out
    bool tiled = false;       // 16 x 16 tiles
    uint32_t rowsPerStrip = 0; // 0: libtiff's default
    int pages = 1;
    QByteArray description;
    float xResolution = 0; // 0 leaves the resolution tags out
    float yResolution = 0;
    uint16_t resolutionUnit = RESUNIT_NONE;
};

// A grey image of this size; the most common layout in the tests.
inline Layout grey(uint32_t width, uint32_t height, int bitsPerSample = 8,
                   const QByteArray &description = QByteArray())
{
    Layout l;
    l.width = width;
    l.height = height;
    l.bitsPerSample = bitsPerSample;
    l.description = description;
    return l;
}

// The sample patterns the written images follow, different in every channel.
inline uint8_t sample8(uint32_t x, uint32_t y, int c)
{
    return uint8_t(x * 7 + y * 13 + c * 50);
}
inline uint16_t sample16(uint32_t x, uint32_t y, int c)
{
    return uint16_t(x * 257 + y * 1031 + c * 4099 + 3);
}

// The stored bit pattern of sample c of pixel (x, y) on a page: 8- and 16-bit samples
// follow sample8/sample16 (read as signed where the format says so), floats a gentle
// slope with fractions, narrower sizes the top bits of sample16; JPEG a smooth picture.
inline uint32_t rawSample(const Layout &l, uint32_t x, uint32_t y, int c, int page = 0)
{
    c += page * 2;
    if (l.compression == COMPRESSION_JPEG) // lossy: a smooth picture, so its errors stay small
        return uint32_t(c == 0 ? x * 3 : c == 1 ? y * 5 : 100 + x + y) & 0xffu;
    if (l.bitsPerSample == 32 && l.sampleFormat == SAMPLEFORMAT_IEEEFP) {
        const float f = float(x) * 1.5f - float(y) * 0.25f + float(c) - 3.0f;
        uint32_t bits;
        std::memcpy(&bits, &f, 4);
        return bits;
    }
    if (l.bitsPerSample == 32)
        return uint32_t(x * 100003u + y * 7u + uint32_t(c) * 1000u) - (l.sampleFormat == SAMPLEFORMAT_INT ? 50000u : 0u);
    if (l.bitsPerSample == 8)
        return sample8(x, y, c);
    if (l.bitsPerSample >= 16) // 16, or wider sizes only written to be refused
        return sample16(x, y, c);
    const int bits = l.bitsPerSample == 0 ? 1 : l.bitsPerSample;
    return uint32_t(sample16(x, y, c) >> (16 - bits));
}

// Bytes of one stored row of one plane, or of a tile row of tileWidth pixels.
inline size_t rowBytes(const Layout &l, uint32_t pixels = 0)
{
    const int bits = l.bitsPerSample == 0 ? 1 : l.bitsPerSample;
    const int samples = l.planar == PLANARCONFIG_SEPARATE ? 1 : l.samplesPerPixel;
    return (size_t(pixels ? pixels : l.width) * samples * bits + 7) / 8;
}

// Pixels x0 .. x0 + count - 1 of row y of one plane, packed as TIFF stores them: whole
// bytes in host order (libtiff swaps when needed), narrower sizes most significant bit first.
inline std::vector<unsigned char> patternRow(const Layout &l, uint32_t y, int plane = 0, int page = 0,
                                             uint32_t x0 = 0, uint32_t count = 0)
{
    if (count == 0)
        count = l.width;
    std::vector<unsigned char> row(rowBytes(l, count), 0);
    const int samples = l.planar == PLANARCONFIG_SEPARATE ? 1 : l.samplesPerPixel;
    const int bits = l.bitsPerSample == 0 ? 1 : l.bitsPerSample;
    size_t i = 0;
    for (uint32_t x = x0; x < x0 + count; ++x) {
        for (int s = 0; s < samples; ++s, ++i) {
            const uint32_t v = x < l.width ? rawSample(l, x, y, s + plane, page) : 0;
            if (bits == 8) {
                row[i] = uint8_t(v);
            } else if (bits == 16) {
                const uint16_t w = uint16_t(v);
                std::memcpy(&row[2 * i], &w, 2);
            } else if (bits == 32) {
                std::memcpy(&row[4 * i], &v, 4);
            } else if (bits < 32) {
                for (int b = 0; b < bits; ++b) {
                    const size_t bit = i * size_t(bits) + size_t(b);
                    if ((v >> (bits - 1 - b)) & 1u)
                        row[bit / 8] |= uint8_t(0x80u >> (bit % 8));
                }
            }
        }
    }
    return row;
}

// The colour map written for palette images: entry i in 16-bit units.
inline void paletteEntry(int i, uint16_t &r, uint16_t &g, uint16_t &b)
{
    r = uint16_t((i * 37 % 256) * 257);
    g = uint16_t((255 - i % 256) * 257);
    b = uint16_t((i * 11 % 256) * 257);
}

inline void setTags(TIFF *tif, const Layout &l)
{
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, l.width);
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, l.height);
    if (l.bitsPerSample != 0)
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, uint16_t(l.bitsPerSample));
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, uint16_t(l.samplesPerPixel));
    uint16_t photometric = l.photometric;
    if (photometric == kAutoPhotometric)
        photometric = l.samplesPerPixel >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, photometric);
    const int colourSamples = photometric == PHOTOMETRIC_RGB || photometric == PHOTOMETRIC_YCBCR ? 3
        : photometric == PHOTOMETRIC_SEPARATED ? 4 : 1;
    if (l.samplesPerPixel > colourSamples) {
        const std::vector<uint16_t> extra(size_t(l.samplesPerPixel - colourSamples), EXTRASAMPLE_UNASSALPHA);
        TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, uint16_t(extra.size()), extra.data());
    }
    if (photometric == PHOTOMETRIC_PALETTE) {
        const int entries = 1 << l.bitsPerSample;
        std::vector<uint16_t> r(static_cast<size_t>(entries)), g(r), b(r);
        for (int i = 0; i < entries; ++i)
            paletteEntry(i, r[size_t(i)], g[size_t(i)], b[size_t(i)]);
        TIFFSetField(tif, TIFFTAG_COLORMAP, r.data(), g.data(), b.data());
    }
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, l.planar);
    TIFFSetField(tif, TIFFTAG_COMPRESSION, l.compression);
    if (l.compression == COMPRESSION_JPEG && photometric == PHOTOMETRIC_YCBCR) {
        TIFFSetField(tif, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB); // hand libjpeg RGB rows
        TIFFSetField(tif, TIFFTAG_JPEGQUALITY, 95);
    }
    TIFFSetField(tif, TIFFTAG_SAMPLEFORMAT, l.sampleFormat);
    if (l.orientation)
        TIFFSetField(tif, TIFFTAG_ORIENTATION, l.orientation);
    if (!l.description.isEmpty())
        TIFFSetField(tif, TIFFTAG_IMAGEDESCRIPTION, l.description.constData());
    if (l.xResolution > 0) {
        TIFFSetField(tif, TIFFTAG_XRESOLUTION, l.xResolution);
        TIFFSetField(tif, TIFFTAG_YRESOLUTION, l.yResolution);
        TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, l.resolutionUnit);
    }
}

// Writes an image (every page); pixels, when given, are packed rows of rowBytes(l) bytes,
// top row first, and replace the pattern of a single-page strip image.
inline bool write(const QString &path, const Layout &l, const void *pixels = nullptr)
{
    TIFF *tif = TIFFOpen(QFile::encodeName(path).constData(), l.width > 30000 ? "w8" : "w");
    if (!tif)
        return false;
    bool ok = true;
    const int planes = l.planar == PLANARCONFIG_SEPARATE ? l.samplesPerPixel : 1;
    for (int page = 0; page < l.pages && ok; ++page) {
        setTags(tif, l);
        if (l.pages > 1) {
            TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
            TIFFSetField(tif, TIFFTAG_PAGENUMBER, uint16_t(page), uint16_t(l.pages));
        }
        if (l.tiled) {
            const uint32_t t = 16;
            TIFFSetField(tif, TIFFTAG_TILEWIDTH, t);
            TIFFSetField(tif, TIFFTAG_TILELENGTH, t);
            std::vector<unsigned char> tile(size_t(TIFFTileSize(tif)));
            const size_t tileRow = rowBytes(l, t);
            for (int plane = 0; plane < planes; ++plane) {
                for (uint32_t ty = 0; ty < l.height; ty += t) {
                    for (uint32_t tx = 0; tx < l.width; tx += t) {
                        std::fill(tile.begin(), tile.end(), 0);
                        for (uint32_t r = 0; r < t && ty + r < l.height; ++r) {
                            const auto row = patternRow(l, ty + r, plane, page, tx, t);
                            std::memcpy(tile.data() + r * tileRow, row.data(), tileRow);
                        }
                        ok &= TIFFWriteTile(tif, tile.data(), tx, ty, 0, uint16_t(plane)) >= 0;
                    }
                }
            }
        } else {
            TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP,
                         l.rowsPerStrip ? l.rowsPerStrip : TIFFDefaultStripSize(tif, 0));
            for (int plane = 0; plane < planes; ++plane) {
                for (uint32_t y = 0; y < l.height; ++y) {
                    std::vector<unsigned char> row;
                    if (pixels) {
                        const auto *start = static_cast<const unsigned char *>(pixels) + y * rowBytes(l);
                        row.assign(start, start + rowBytes(l));
                    } else {
                        row = patternRow(l, y, plane, page);
                    }
                    ok &= TIFFWriteScanline(tif, row.data(), y, uint16_t(plane)) >= 0;
                }
            }
        }
        if (l.pages > 1)
            ok &= TIFFWriteDirectory(tif) != 0;
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

// An 8-bit grey image in the layout many instrument and ImageJ files have: the directory
// first, then the strips, so a file cut short still has a readable header.
inline bool writeDirectoryFirst(const QString &path, uint32_t width, uint32_t height, uint32_t rowsPerStrip)
{
    const uint32_t strips = (height + rowsPerStrip - 1) / rowsPerStrip;
    const uint16_t entries = 8;
    const uint32_t ifdSize = 2 + entries * 12 + 4;
    const uint32_t offsetsAt = 8 + ifdSize, countsAt = offsetsAt + 4 * strips, dataAt = countsAt + 4 * strips;
    QByteArray b;
    auto u16 = [&](uint32_t v) { b.append(char(v & 0xff)).append(char((v >> 8) & 0xff)); };
    auto u32 = [&](uint32_t v) { u16(v & 0xffff); u16(v >> 16); };
    auto entry = [&](uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
        u16(tag); u16(type); u32(count);
        if (type == 3 && count == 1) { u16(value); u16(0); } else { u32(value); }
    };
    b.append("II*", 3).append(char(0));
    u32(8);
    u16(entries);
    entry(TIFFTAG_IMAGEWIDTH, 4, 1, width);
    entry(TIFFTAG_IMAGELENGTH, 4, 1, height);
    entry(TIFFTAG_BITSPERSAMPLE, 3, 1, 8);
    entry(TIFFTAG_COMPRESSION, 3, 1, COMPRESSION_NONE);
    entry(TIFFTAG_PHOTOMETRIC, 3, 1, PHOTOMETRIC_MINISBLACK);
    entry(TIFFTAG_STRIPOFFSETS, 4, strips, strips == 1 ? dataAt : offsetsAt);
    entry(TIFFTAG_ROWSPERSTRIP, 4, 1, rowsPerStrip);
    entry(TIFFTAG_STRIPBYTECOUNTS, 4, strips, strips == 1 ? width * height : countsAt);
    u32(0);
    for (uint32_t s = 0; s < strips; ++s)
        u32(dataAt + s * rowsPerStrip * width);
    for (uint32_t s = 0; s < strips; ++s)
        u32(std::min(rowsPerStrip, height - s * rowsPerStrip) * width);
    for (uint32_t y = 0; y < height; ++y)
        for (uint32_t x = 0; x < width; ++x)
            b.append(char(sample8(x, y, 0)));
    return writeText(path, b);
}

// Cuts a file to its first bytes, as an interrupted copy would.
inline bool truncate(const QString &path, qint64 bytes)
{
    QFile file(path);
    return file.resize(bytes);
}

} // namespace TestTiff
