#include "viewer/lineprofile.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

// Reads one stored value by its position in the interleaved buffer, by kind, so the
// per-sample cost stays a load and a conversion.
struct Reader
{
    const DecodedImage &image;
    double offset = 0; // signed samples are kept offset by half their range

    explicit Reader(const DecodedImage &im) : image(im)
    {
        if (im.bits != 32 && im.format == DecodedImage::Format::Signed)
            offset = im.indexLevels() / 2;
    }
    double operator()(size_t i) const
    {
        if (image.bits == 32)
            return image.storedValue(i);
        return (image.wide() ? double(image.values16[i]) : double(image.values8[i])) - offset;
    }
};

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Bilinear value of channel c at image point (px, py); NaN outside the image's area.
double sample(const Reader &read, const DecodedImage &im, double px, double py, int c)
{
    const double w = im.width, h = im.height;
    if (!(px >= 0 && py >= 0 && px <= w && py <= h))
        return kNaN;
    const double fx = std::clamp(px - 0.5, 0.0, w - 1), fy = std::clamp(py - 0.5, 0.0, h - 1);
    const uint32_t x0 = uint32_t(fx), y0 = uint32_t(fy);
    const uint32_t x1 = std::min(x0 + 1, im.width - 1), y1 = std::min(y0 + 1, im.height - 1);
    const double tx = fx - x0, ty = fy - y0;
    const size_t ch = size_t(im.channels);
    auto at = [&](uint32_t x, uint32_t y) { return read((size_t(y) * im.width + x) * ch + size_t(c)); };
    // A neighbour of weight zero must not bring its NaN into the result.
    double top = at(x0, y0);
    if (tx > 0)
        top = top * (1 - tx) + at(x1, y0) * tx;
    if (ty <= 0)
        return top;
    double bottom = at(x0, y1);
    if (tx > 0)
        bottom = bottom * (1 - tx) + at(x1, y1) * tx;
    return top * (1 - ty) + bottom * ty;
}

} // namespace

LineProfile LineProfile::of(const DecodedImage &image, QPointF from, QPointF to, int width)
{
    LineProfile p;
    p.channels = image.palette ? 1 : image.colourChannels;
    const double dx = to.x() - from.x(), dy = to.y() - from.y();
    p.length = std::hypot(dx, dy);
    if (image.width == 0 || image.height == 0 || image.valueCount() == 0) {
        p.error = QCoreApplication::translate("LineProfile", "There is no image to take a profile of.");
        return p;
    }
    if (!(p.length >= 0.5) || !std::isfinite(p.length)) {
        p.error = QCoreApplication::translate("LineProfile", "The line has no length: draw it over at least one pixel.");
        return p;
    }
    width = std::clamp(width, 1, kMaxWidth);
    const size_t count = size_t(std::lround(p.length)) + 1;
    const double step = p.length / double(count - 1);
    const double ux = dx / p.length, uy = dy / p.length; // along
    const double nx = -uy, ny = ux;                      // across
    const Reader read(image);
    p.position.resize(count);
    p.values.assign(count * size_t(p.channels), kNaN);
    for (size_t i = 0; i < count; ++i) {
        const double along = double(i) * step;
        p.position[i] = along;
        const double cx = from.x() + ux * along, cy = from.y() + uy * along;
        for (int c = 0; c < p.channels; ++c) {
            double sum = 0;
            int n = 0;
            for (int k = 0; k < width; ++k) {
                const double across = k - (width - 1) / 2.0;
                const double v = sample(read, image, cx + nx * across, cy + ny * across, c);
                if (std::isfinite(v)) {
                    sum += v;
                    ++n;
                }
            }
            if (n > 0)
                p.values[i * size_t(p.channels) + size_t(c)] = sum / n;
        }
    }
    return p;
}
