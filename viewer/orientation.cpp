#include "viewer/orientation.h"

#include <tiffio.h>

#include <algorithm>
#include <cstring>

namespace {

// Where stored pixel (x, y) of a w x h image lands in the upright one.
struct Mapping
{
    uint16_t orientation;
    uint32_t w, h;
    bool transposed() const { return orientation >= ORIENTATION_LEFTTOP; }
    uint32_t uprightWidth() const { return transposed() ? h : w; }
    void map(uint32_t x, uint32_t y, uint32_t &ux, uint32_t &uy) const
    {
        switch (orientation) {
        case ORIENTATION_TOPRIGHT: ux = w - 1 - x; uy = y; break;
        case ORIENTATION_BOTRIGHT: ux = w - 1 - x; uy = h - 1 - y; break;
        case ORIENTATION_BOTLEFT: ux = x; uy = h - 1 - y; break;
        case ORIENTATION_LEFTTOP: ux = y; uy = x; break;
        case ORIENTATION_RIGHTTOP: ux = h - 1 - y; uy = x; break;
        case ORIENTATION_RIGHTBOT: ux = h - 1 - y; uy = w - 1 - x; break;
        case ORIENTATION_LEFTBOT: ux = y; uy = w - 1 - x; break;
        default: ux = x; uy = y; break;
        }
    }
};

template <typename T>
bool remap(ValueBuffer<T> &buffer, const Mapping &m, int channels)
{
    if (buffer.empty())
        return true;
    ValueBuffer<T> upright;
    if (!upright.allocate(buffer.size()))
        return false;
    const uint32_t uw = m.uprightWidth();
    for (uint32_t y = 0; y < m.h; ++y) {
        for (uint32_t x = 0; x < m.w; ++x) {
            uint32_t ux, uy;
            m.map(x, y, ux, uy);
            std::memcpy(upright.data() + (size_t(uy) * uw + ux) * channels,
                        buffer.data() + (size_t(y) * m.w + x) * channels, sizeof(T) * size_t(channels));
        }
    }
    buffer = std::move(upright);
    return true;
}

} // namespace

bool applyOrientation(DecodedImage &image, uint16_t orientation)
{
    if (orientation <= ORIENTATION_TOPLEFT || orientation > ORIENTATION_LEFTBOT)
        return true;
    const Mapping m{orientation, image.width, image.height};
    if (!remap(image.values8, m, image.channels) || !remap(image.values16, m, image.channels)
        || !remap(image.raw32, m, image.channels))
        return false;
    // Missing rows stay rows under a flip; after a quarter turn they are columns, and the
    // notice then names the stored rows (it says so).
    if (!m.transposed()) {
        for (auto &range : image.missingRows) {
            uint32_t x, first, last;
            m.map(0, range.first, x, first);
            m.map(0, range.second, x, last);
            range = {std::min(first, last), std::max(first, last)};
        }
        std::sort(image.missingRows.begin(), image.missingRows.end());
    } else {
        image.missingColumns = true;
    }
    if (m.transposed())
        std::swap(image.width, image.height);
    return true;
}
