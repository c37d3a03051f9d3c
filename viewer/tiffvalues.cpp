// Reading the strips or tiles of one page into the decoded image's buffers.
#include "viewer/tiffdecode_p.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace TiffDecode {

namespace {

// Value i of a packed row: whole bytes read directly (libtiff has already put 16- and
// 32-bit samples in host order), other sizes bit by bit, most significant bit first.
inline uint32_t fetch(const uint8_t *row, int bits, size_t i)
{
    switch (bits) {
    case 8:
        return row[i];
    case 16: {
        uint16_t v;
        std::memcpy(&v, row + 2 * i, 2);
        return v;
    }
    case 32: {
        uint32_t v;
        std::memcpy(&v, row + 4 * i, 4);
        return v;
    }
    default: {
        uint32_t v = 0;
        const size_t first = i * size_t(bits);
        for (size_t k = first; k < first + size_t(bits); ++k)
            v = (v << 1) | ((row[k >> 3] >> (7 - (k & 7))) & 1u);
        return v;
    }
    }
}

// Where one decoded block (a strip or a tile of one plane) lands in the image.
struct Block
{
    uint32_t x0, y0, width, rows;
    size_t rowBytes;
    int plane;
};

class Reader
{
public:
    Reader(TIFF *tif, const Header &h, const Plan &p, DecodedImage &out)
        : m_tif(tif), m_h(h), m_p(p), m_out(out)
    {
    }

    QString run(const TiffDecoder::Control &control, bool &cancelled);

private:
    // A block's samples into the image; null data stores zeros (a block libtiff could not decode).
    template <typename T>
    void store(const uint8_t *data, const Block &b, T *dest);
    void storeBlock(const uint8_t *data, const Block &b);
    bool direct(const Block &b) const;
    uint8_t *destination(const Block &b);

    TIFF *m_tif;
    const Header &m_h;
    const Plan &m_p;
    DecodedImage &m_out;
};

template <typename T>
void Reader::store(const uint8_t *data, const Block &b, T *dest)
{
    const bool contig = m_h.planar == PLANARCONFIG_CONTIG;
    const size_t srcSamples = contig ? m_h.samples : 1;
    const int keep = contig ? m_p.channels : 1;
    const int offset = contig ? 0 : b.plane;
    const size_t channels = size_t(m_p.channels);
    const uint32_t cols = std::min(b.width, m_h.width - b.x0);
    const uint32_t rows = std::min(b.rows, m_h.height - b.y0);
    for (uint32_t r = 0; r < rows; ++r) {
        T *out = dest + (size_t(b.y0 + r) * m_h.width + b.x0) * channels + offset;
        // Decided per row, so the sample loops stay free of the test.
        if (!data) {
            for (uint32_t x = 0; x < cols; ++x)
                for (int c = 0; c < keep; ++c)
                    out[x * channels + c] = 0;
            continue;
        }
        const uint8_t *row = data + r * b.rowBytes;
        for (uint32_t x = 0; x < cols; ++x)
            for (int c = 0; c < keep; ++c)
                out[x * channels + c] = T(fetch(row, m_p.bits, x * srcSamples + c));
    }
}

void Reader::storeBlock(const uint8_t *data, const Block &b)
{
    if (m_p.bits == 32)
        store(data, b, m_out.raw32.data());
    else if (m_p.bits > 8)
        store(data, b, m_out.values16.data());
    else
        store(data, b, m_out.values8.data());
}

// Whole rows of whole-byte samples, every sample kept: libtiff can decode straight into
// the image, with no copy.
bool Reader::direct(const Block &b) const
{
    return !m_h.tiled && m_h.planar == PLANARCONFIG_CONTIG && m_h.samples == m_p.channels
        && (m_p.bits == 8 || m_p.bits == 16 || m_p.bits == 32)
        && b.rowBytes == size_t(m_h.width) * m_p.channels * (m_p.bits / 8);
}

uint8_t *Reader::destination(const Block &b)
{
    const size_t at = size_t(b.y0) * m_h.width * size_t(m_p.channels);
    if (m_p.bits == 32)
        return reinterpret_cast<uint8_t *>(m_out.raw32.data() + at);
    if (m_p.bits == 16)
        return reinterpret_cast<uint8_t *>(m_out.values16.data() + at);
    return m_out.values8.data() + at;
}

QString Reader::run(const TiffDecoder::Control &control, bool &cancelled)
{
    const size_t values = m_out.valueCount();
    bool ok = true;
    if (m_p.bits == 32)
        ok = m_out.raw32.allocate(values) && m_out.values16.allocate(values);
    else if (m_p.bits > 8)
        ok = m_out.values16.allocate(values);
    else
        ok = m_out.values8.allocate(values);
    if (!ok)
        return TiffDecoder::tr("There is not enough memory for an image of %1 x %2 pixels.")
            .arg(m_h.width).arg(m_h.height);

    const bool tiled = m_h.tiled;
    const int planes = m_h.planar == PLANARCONFIG_SEPARATE ? m_p.channels : 1;
    uint32_t tileWidth = m_h.width, tileLength = 1, rowsPerStrip = m_h.height;
    if (tiled) {
        TIFFGetField(m_tif, TIFFTAG_TILEWIDTH, &tileWidth);
        TIFFGetField(m_tif, TIFFTAG_TILELENGTH, &tileLength);
    } else {
        TIFFGetFieldDefaulted(m_tif, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
        rowsPerStrip = std::clamp<uint32_t>(rowsPerStrip, 1, m_h.height);
    }
    if (tileWidth == 0 || tileLength == 0)
        return TiffDecoder::tr("The file's tiles have no size.");
    const uint32_t across = tiled ? (m_h.width + tileWidth - 1) / tileWidth : 1;
    const uint32_t down = tiled ? (m_h.height + tileLength - 1) / tileLength
                                : (m_h.height + rowsPerStrip - 1) / rowsPerStrip;
    const size_t rowBytes = size_t(tiled ? TIFFTileRowSize64(m_tif) : TIFFScanlineSize64(m_tif));
    const size_t blockBytes = size_t(tiled ? TIFFTileSize64(m_tif) : TIFFStripSize64(m_tif));
    const uint32_t perPlane = across * down;
    const uint32_t available = tiled ? TIFFNumberOfTiles(m_tif) : TIFFNumberOfStrips(m_tif);
    if (rowBytes == 0 || blockBytes == 0)
        return TiffDecoder::tr("The file's strips have no size.");

    const bool rowsFinal = control.rowsDone && !tiled && planes == 1 && m_p.bits <= 16
        && m_p.format == DecodedImage::Format::Unsigned
        && (m_h.orientation <= ORIENTATION_TOPLEFT || m_h.orientation > ORIENTATION_LEFTBOT);
    struct RowsEnd
    {
        const TiffDecoder::Control &control;
        bool told;
        ~RowsEnd()
        {
            if (told && control.rowsEnd)
                control.rowsEnd();
        }
    } rowsEnd{control, rowsFinal};
    std::vector<uint8_t> scratch;
    int lastPercent = -1;
    const uint64_t total = uint64_t(perPlane) * planes;
    for (int plane = 0; plane < planes; ++plane) {
        for (uint32_t i = 0; i < perPlane; ++i) {
            if (control.cancel && control.cancel->load(std::memory_order_relaxed)) {
                cancelled = true;
                return QString();
            }
            const uint32_t index = uint32_t(plane) * perPlane + i;
            Block b;
            b.plane = plane;
            b.rowBytes = rowBytes;
            if (tiled) {
                b.x0 = (i % across) * tileWidth;
                b.y0 = (i / across) * tileLength;
                b.width = tileWidth;
                b.rows = tileLength;
            } else {
                b.x0 = 0;
                b.y0 = i * rowsPerStrip;
                b.width = m_h.width;
                b.rows = std::min(rowsPerStrip, m_h.height - b.y0);
            }
            bool read = false;
            if (index < available) {
                if (direct(b)) {
                    const tmsize_t size = tmsize_t(b.rows * rowBytes);
                    read = TIFFReadEncodedStrip(m_tif, index, destination(b), size) == size;
                } else {
                    scratch.resize(blockBytes);
                    const tmsize_t got = tiled
                        ? TIFFReadEncodedTile(m_tif, index, scratch.data(), tmsize_t(blockBytes))
                        : TIFFReadEncodedStrip(m_tif, index, scratch.data(), tmsize_t(blockBytes));
                    read = got >= tmsize_t(std::min<size_t>(blockBytes, b.rows * rowBytes));
                    if (read)
                        storeBlock(scratch.data(), b);
                }
            }
            if (!read) {
                // What libtiff could not decode shows black, and the rows are named.
                storeBlock(nullptr, b);
                const uint32_t last = std::min(b.y0 + b.rows, m_h.height) - 1;
                auto &missing = m_out.missingRows;
                if (!missing.empty() && missing.back().second + 1 >= b.y0 && missing.back().first <= b.y0)
                    missing.back().second = std::max(missing.back().second, last);
                else
                    missing.emplace_back(b.y0, last);
            }
            if (rowsFinal)
                control.rowsDone(m_out, b.y0, b.y0 + b.rows);
            const int percent = int((uint64_t(index) + 1) * 100 / total);
            if (control.progress && percent != lastPercent)
                control.progress(lastPercent = percent);
        }
    }
    // Tiles report the same rows once per tile across; keep each range once, in order.
    auto &missing = m_out.missingRows;
    std::sort(missing.begin(), missing.end());
    std::vector<std::pair<uint32_t, uint32_t>> merged;
    for (const auto &range : missing) {
        if (!merged.empty() && range.first <= merged.back().second + 1)
            merged.back().second = std::max(merged.back().second, range.second);
        else
            merged.push_back(range);
    }
    missing = merged;
    return QString();
}

void offsetSigned(DecodedImage &out)
{
    if (out.wide()) {
        for (size_t i = 0; i < out.values16.size(); ++i)
            out.values16[i] ^= 0x8000u;
    } else {
        for (size_t i = 0; i < out.values8.size(); ++i)
            out.values8[i] ^= 0x80u;
    }
}

double rawValue(const DecodedImage &out, uint32_t raw)
{
    if (out.format == DecodedImage::Format::Float) {
        float f;
        std::memcpy(&f, &raw, sizeof f);
        return f;
    }
    return out.format == DecodedImage::Format::Signed ? double(int32_t(raw)) : double(raw);
}

// 32-bit samples are shown through 65536 steps spread over their finite range.
void indexWide(DecodedImage &out)
{
    double low = std::numeric_limits<double>::infinity(), high = -low;
    for (size_t i = 0; i < out.raw32.size(); ++i) {
        const double v = rawValue(out, out.raw32[i]);
        if (std::isfinite(v)) {
            low = std::min(low, v);
            high = std::max(high, v);
        }
    }
    if (!(low <= high))
        low = high = 0;
    out.scaleLow = low;
    out.scaleStep = high > low ? (high - low) / 65535.0 : 1.0;
    for (size_t i = 0; i < out.raw32.size(); ++i) {
        const double v = rawValue(out, out.raw32[i]);
        const double index = std::isnan(v) ? 0.0 : std::clamp((v - low) / out.scaleStep, 0.0, 65535.0);
        out.values16[i] = uint16_t(std::lround(index));
    }
}

void readColourMap(TIFF *tif, int bits, DecodedImage &out)
{
    uint16_t *r = nullptr, *g = nullptr, *b = nullptr;
    TIFFGetField(tif, TIFFTAG_COLORMAP, &r, &g, &b);
    const size_t entries = size_t(1) << bits;
    // Some writers store 8-bit colour maps; libtiff's own reader makes the same guess.
    bool eightBit = true;
    for (size_t i = 0; i < entries && eightBit; ++i)
        eightBit = r[i] < 256 && g[i] < 256 && b[i] < 256;
    const int shift = eightBit ? 0 : 8;
    out.colourMap.resize(entries);
    for (size_t i = 0; i < entries; ++i)
        out.colourMap[i] = 0xff000000u | uint32_t(r[i] >> shift) << 16 | uint32_t(g[i] >> shift) << 8
            | uint32_t(b[i] >> shift);
}

QString decodeRgba(TIFF *tif, const Header &h, DecodedImage &out, const QString &lastError)
{
    ValueBuffer<uint32_t> raster;
    if (!raster.allocate(size_t(h.width) * h.height) || !out.values8.allocate(out.valueCount()))
        return TiffDecoder::tr("There is not enough memory for an image of %1 x %2 pixels.").arg(h.width).arg(h.height);
    if (!TIFFReadRGBAImageOriented(tif, h.width, h.height, raster.data(), ORIENTATION_TOPLEFT, 0)) {
        return lastError.isEmpty() ? TiffDecoder::tr("libtiff could not decode the image.")
                                   : TiffDecoder::tr("libtiff could not decode the image: %1").arg(lastError);
    }
    const int channels = out.channels;
    for (size_t i = 0; i < raster.size(); ++i) {
        const uint32_t p = raster[i];
        uint8_t *v = out.values8.data() + i * size_t(channels);
        v[0] = uint8_t(TIFFGetR(p));
        v[1] = uint8_t(TIFFGetG(p));
        v[2] = uint8_t(TIFFGetB(p));
        if (channels == 4)
            v[3] = uint8_t(TIFFGetA(p));
    }
    return QString();
}

} // namespace

QString decodeValues(TIFF *tif, const Header &h, const Plan &p, DecodedImage &out,
                     const TiffDecoder::Control &control, bool &cancelled)
{
    out.width = h.width;
    out.height = h.height;
    out.channels = p.channels;
    out.colourChannels = p.colourChannels;
    out.bits = p.bits;
    out.format = p.format;
    if (p.path == Path::Rgba)
        return decodeRgba(tif, h, out, QString());

    out.minIsWhite = h.photometric == PHOTOMETRIC_MINISWHITE;
    out.palette = h.photometric == PHOTOMETRIC_PALETTE;
    if (out.palette)
        readColourMap(tif, p.bits, out);
    const QString failed = Reader(tif, h, p, out).run(control, cancelled);
    if (!failed.isEmpty() || cancelled)
        return failed;
    if (p.bits == 32)
        indexWide(out);
    else if (p.format == DecodedImage::Format::Signed)
        offsetSigned(out);
    return QString();
}

} // namespace TiffDecode
