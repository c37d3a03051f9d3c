#include "viewer/displayimage.h"

namespace {

template <typename T>
void renderGrey(const T *values, int channels, const unsigned char *table, QImage &picture)
{
    const int width = picture.width();
    for (int y = 0; y < picture.height(); ++y) {
        uchar *row = picture.scanLine(y);
        const T *v = values + size_t(y) * size_t(width) * size_t(channels);
        if (channels == 1) {
            for (int x = 0; x < width; ++x)
                row[x] = table[v[x]];
        } else {
            for (int x = 0; x < width; ++x)
                row[x] = table[v[size_t(x) * size_t(channels)]];
        }
    }
}

template <typename T>
void renderColour(const T *values, int channels, const DisplayMap *maps, QImage &picture)
{
    const int width = picture.width();
    const unsigned char *r = maps[0].table(), *g = maps[1].table(), *b = maps[2].table();
    for (int y = 0; y < picture.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(picture.scanLine(y));
        const T *v = values + size_t(y) * size_t(width) * size_t(channels);
        for (int x = 0; x < width; ++x, v += channels)
            row[x] = 0xff000000u | uint32_t(r[v[0]]) << 16 | uint32_t(g[v[1]]) << 8 | b[v[2]];
    }
}

template <typename T>
void renderPalette(const T *values, const std::vector<uint32_t> &colours, QImage &picture)
{
    const int width = picture.width();
    for (int y = 0; y < picture.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(picture.scanLine(y));
        const T *v = values + size_t(y) * size_t(width);
        for (int x = 0; x < width; ++x)
            row[x] = v[x] < colours.size() ? colours[v[x]] : 0xff000000u;
    }
}

template <typename T>
void renderTable(const T *values, int channels, const std::vector<uint32_t> &colours, QImage &picture)
{
    const int width = picture.width();
    for (int y = 0; y < picture.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(picture.scanLine(y));
        const T *v = values + size_t(y) * size_t(width) * size_t(channels);
        for (int x = 0; x < width; ++x)
            row[x] = colours[v[size_t(x) * size_t(channels)]];
    }
}

} // namespace

bool DisplayImage::prepare(int width, int height, QImage::Format format)
{
    if (m_picture.width() != width || m_picture.height() != height || m_picture.format() != format) {
        m_picture = QImage(); // free the old one first: both together may not fit
        m_picture = QImage(width, height, format);
    }
    return !m_picture.isNull();
}

const QImage &DisplayImage::render(const DecodedImage &image, const DisplayRange &range)
{
    const int width = int(image.width), height = int(image.height);
    const bool tabled = !image.palette && image.colourChannels == 1 && coloured();
    const bool colour = image.palette || image.colourChannels == 3 || tabled;
    if (!prepare(width, height, colour ? QImage::Format_RGB32 : QImage::Format_Grayscale8))
        return m_picture;
    const int levels = image.indexLevels();
    if (image.palette) {
        if (image.wide())
            renderPalette(image.values16.data(), image.colourMap, m_picture);
        else
            renderPalette(image.values8.data(), image.colourMap, m_picture);
        return m_picture;
    }
    if (tabled) {
        const auto colours = colourTable(range.low[0], range.high[0], levels, image.minIsWhite, m_table, m_hiLo);
        if (image.wide())
            renderTable(image.values16.data(), image.channels, colours, m_picture);
        else
            renderTable(image.values8.data(), image.channels, colours, m_picture);
        return m_picture;
    }
    for (int c = 0; c < image.colourChannels; ++c)
        m_maps[c] = DisplayMap(range.low[size_t(c)], range.high[size_t(c)], levels, image.minIsWhite);
    if (colour) {
        if (image.wide())
            renderColour(image.values16.data(), image.channels, m_maps, m_picture);
        else
            renderColour(image.values8.data(), image.channels, m_maps, m_picture);
    } else if (image.wide()) {
        renderGrey(image.values16.data(), image.channels, m_maps[0].table(), m_picture);
    } else {
        renderGrey(image.values8.data(), image.channels, m_maps[0].table(), m_picture);
    }
    return m_picture;
}

QRgb DisplayImage::shown(const DecodedImage &, uint32_t x, uint32_t y) const
{
    if (m_picture.isNull() || int(x) >= m_picture.width() || int(y) >= m_picture.height())
        return 0;
    return m_picture.pixel(int(x), int(y));
}
