#include "viewer/displayimage.h"

#include <algorithm>
#include <cmath>
#include <new>

namespace {

// Along one axis of a view: the image column (or row) under each view pixel's centre,
// or -1 where the view lies past the image.
std::vector<int> centres(int count, double offset, double zoom, uint32_t limit)
{
    std::vector<int> out(size_t(std::max(count, 0)));
    for (int i = 0; i < count; ++i) {
        const double at = std::floor(offset + (i + 0.5) / zoom);
        out[size_t(i)] = at >= 0 && at < double(limit) ? int(at) : -1;
    }
    return out;
}

template <typename T, typename Colour>
void fill(const T *values, const DecodedImage &image, const std::vector<int> &columns, const std::vector<int> &rows,
          const Colour &colour, QImage &out)
{
    const size_t channels = size_t(image.channels);
    const int width = out.width();
    for (int y = 0; y < out.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(out.scanLine(y));
        const int row = rows[size_t(y)];
        if (row < 0) {
            std::fill_n(line, width, 0u);
            continue;
        }
        const T *v = values + size_t(row) * image.width * channels;
        for (int x = 0; x < width; ++x) {
            const int column = columns[size_t(x)];
            line[x] = column < 0 ? 0u : colour(v + size_t(column) * channels);
        }
    }
}

template <typename T>
void fillImage(const T *values, const DecodedImage &image, const std::vector<int> &columns,
               const std::vector<int> &rows, bool single, const std::vector<uint32_t> &colours,
               const DisplayMap *maps, QImage &out)
{
    if (single) {
        const uint32_t *c = colours.data();
        fill(values, image, columns, rows, [c](const T *v) { return c[*v]; }, out);
        return;
    }
    const unsigned char *r = maps[0].table(), *g = maps[1].table(), *b = maps[2].table();
    fill(values, image, columns, rows,
         [r, g, b](const T *v) { return 0xff000000u | uint32_t(r[v[0]]) << 16 | uint32_t(g[v[1]]) << 8 | b[v[2]]; },
         out);
}

} // namespace

bool DisplayImage::render(const DecodedImage &image, const DisplayRange &range)
{
    ++m_generation;
    m_ready = false;
    const size_t levels = size_t(image.indexLevels());
    const bool tabled = !image.palette && image.colourChannels == 1 && coloured();
    m_single = image.palette || image.colourChannels == 1;
    m_grey = m_single && !image.palette && !tabled;
    try {
        if (image.palette) {
            // Indices past the colour map show black.
            m_colours.assign(levels, 0xff000000u);
            std::copy_n(image.colourMap.begin(), std::min(image.colourMap.size(), levels), m_colours.begin());
        } else if (tabled) {
            m_colours = colourTable(range.low[0], range.high[0], int(levels), image.minIsWhite, m_table, m_hiLo);
        } else if (m_single) {
            const DisplayMap map(range.low[0], range.high[0], int(levels), image.minIsWhite);
            m_colours.resize(levels);
            for (size_t i = 0; i < levels; ++i)
                m_colours[i] = 0xff000000u | uint32_t(map(uint32_t(i))) * 0x010101u;
        } else {
            for (size_t c = 0; c < 3; ++c)
                m_maps[c] = DisplayMap(range.low[c], range.high[c], int(levels), image.minIsWhite);
        }
    } catch (const std::bad_alloc &) {
        return false;
    }
    m_ready = true;
    return true;
}

QImage DisplayImage::view(const DecodedImage &image, const ViewTransform &view) const
{
    if (!m_ready || view.viewSize.isEmpty() || view.zoom <= 0)
        return QImage();
    const std::vector<int> columns = centres(view.viewSize.width(), view.offset.x(), view.zoom, image.width);
    const std::vector<int> rows = centres(view.viewSize.height(), view.offset.y(), view.zoom, image.height);
    // Opaque where the image fills the view, so drawing it is a plain copy, not a blend.
    const bool filled = columns.front() >= 0 && columns.back() >= 0 && rows.front() >= 0 && rows.back() >= 0;
    QImage out(view.viewSize, filled ? QImage::Format_RGB32 : QImage::Format_ARGB32_Premultiplied);
    if (out.isNull())
        return out;
    if (image.wide())
        fillImage(image.values16.data(), image, columns, rows, m_single, m_colours, m_maps, out);
    else
        fillImage(image.values8.data(), image, columns, rows, m_single, m_colours, m_maps, out);
    return out;
}

QImage DisplayImage::picture(const DecodedImage &image) const
{
    ViewTransform whole;
    whole.viewSize = QSize(int(image.width), int(image.height));
    const QImage shown = view(image, whole);
    if (shown.isNull() || !m_grey)
        return shown.convertToFormat(QImage::Format_RGB32);
    QImage grey(shown.size(), QImage::Format_Grayscale8);
    if (grey.isNull())
        return grey;
    for (int y = 0; y < shown.height(); ++y) {
        const auto *from = reinterpret_cast<const QRgb *>(shown.constScanLine(y));
        uchar *to = grey.scanLine(y);
        for (int x = 0; x < shown.width(); ++x)
            to[x] = uchar(qBlue(from[x]));
    }
    return grey;
}

QRgb DisplayImage::shown(const DecodedImage &image, uint32_t x, uint32_t y) const
{
    if (!m_ready || x >= image.width || y >= image.height)
        return 0;
    const size_t i = (size_t(y) * image.width + x) * size_t(image.channels);
    if (m_single)
        return m_colours[image.index(i)];
    return 0xff000000u | uint32_t(m_maps[0](image.index(i))) << 16 | uint32_t(m_maps[1](image.index(i + 1))) << 8
        | m_maps[2](image.index(i + 2));
}
