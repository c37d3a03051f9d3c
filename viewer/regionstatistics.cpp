#include "viewer/regionstatistics.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

// Column of the first pixel whose centre is at or right of x.
double firstCentreAtOrAfter(double x)
{
    return std::ceil(x - 0.5);
}

uint32_t clampColumn(double x, uint32_t width)
{
    return uint32_t(std::clamp(x, 0.0, double(width)));
}

// Index values (8 or 16 bits) summed exactly; the stored value is index - offset.
struct IndexSums
{
    uint64_t count = 0;
    uint64_t sum = 0;
    uint64_t squares = 0;
    uint32_t min = std::numeric_limits<uint32_t>::max();
    uint32_t max = 0;
};

// One run of contiguous values, in blocks whose sums fit 32 bits, so the loop has no
// dependency on 64-bit carries and vectorises.
template <typename T>
void addContiguous(const T *v, size_t n, IndexSums &s)
{
    constexpr size_t kBlock = 65536; // 65536 x 65535 < 2^32
    T lo = T(std::min<uint32_t>(s.min, std::numeric_limits<T>::max())), hi = T(s.max);
    for (size_t start = 0; start < n; start += kBlock) {
        const size_t end = std::min(n, start + kBlock);
        uint32_t sum = 0;
        uint64_t squares = 0;
        for (size_t i = start; i < end; ++i) {
            const uint32_t x = v[i];
            sum += x;
            squares += x * x; // up to 65535^2, still 32 bits
            lo = std::min(lo, v[i]);
            hi = std::max(hi, v[i]);
        }
        s.sum += sum;
        s.squares += squares;
    }
    s.count += n;
    s.min = std::min<uint32_t>(s.min, lo);
    s.max = std::max<uint32_t>(s.max, hi);
}

template <typename T>
void addIndexRow(const T *v, size_t n, size_t stride, IndexSums &s)
{
    if (stride == 1)
        return addContiguous(v, n, s);
    uint64_t sum = 0, squares = 0;
    uint32_t lo = s.min, hi = s.max;
    for (size_t i = 0; i < n; ++i) {
        const uint32_t x = v[i * stride];
        sum += x;
        squares += uint64_t(x) * x;
        lo = std::min(lo, x);
        hi = std::max(hi, x);
    }
    s.count += n;
    s.sum += sum;
    s.squares += squares;
    s.min = lo;
    s.max = hi;
}

RegionStatistics::Channel finishIndex(const IndexSums &s, double offset)
{
    RegionStatistics::Channel c;
    c.count = s.count;
    if (s.count == 0)
        return c;
    const double n = double(s.count);
    c.sum = double(s.sum) - offset * n;
    c.mean = double(s.sum) / n - offset;
    if (s.count > 1) {
        // n * squares - sum^2 exactly, then one rounding.
        const unsigned __int128 a = (unsigned __int128)s.count * s.squares;
        const unsigned __int128 b = (unsigned __int128)s.sum * s.sum;
        const double spread = double(a - b);
        c.stdDev = std::sqrt(spread / (n * (n - 1)));
    }
    c.min = double(s.min) - offset;
    c.max = double(s.max) - offset;
    return c;
}

// 32-bit samples as numbers, shifted by the first finite one so the squares keep their digits.
struct ValueSums
{
    uint64_t count = 0;
    uint64_t nonFinite = 0;
    bool shifted = false;
    double shift = 0;
    double sum = 0;
    double squares = 0;
    double min = std::numeric_limits<double>::infinity();
    double max = -std::numeric_limits<double>::infinity();
};

void addValue(double x, ValueSums &s)
{
    if (!std::isfinite(x)) {
        ++s.nonFinite;
        return;
    }
    if (!s.shifted) {
        s.shifted = true;
        s.shift = x;
    }
    const double d = x - s.shift;
    ++s.count;
    s.sum += d;
    s.squares += d * d;
    s.min = std::min(s.min, x);
    s.max = std::max(s.max, x);
}

RegionStatistics::Channel finishValues(const ValueSums &s)
{
    RegionStatistics::Channel c;
    c.count = s.count;
    c.nonFinite = s.nonFinite;
    if (s.count == 0)
        return c;
    const double n = double(s.count);
    c.mean = s.shift + s.sum / n;
    c.sum = s.shift * n + s.sum;
    if (s.count > 1)
        c.stdDev = std::sqrt(std::max(0.0, (s.squares - s.sum * s.sum / n) / (n - 1)));
    c.min = s.min;
    c.max = s.max;
    return c;
}

} // namespace

void regionRows(const RegionShape &shape, uint32_t height, uint32_t &top, uint32_t &bottom)
{
    const QRectF r = shape.bounds.normalized();
    top = clampColumn(firstCentreAtOrAfter(r.top()), height);
    bottom = std::max(top, clampColumn(firstCentreAtOrAfter(r.bottom()), height));
}

RowSpan regionRow(const RegionShape &shape, uint32_t y, uint32_t width)
{
    const QRectF r = shape.bounds.normalized();
    const double cy = y + 0.5;
    RowSpan span;
    if (!(cy >= r.top() && cy < r.bottom()))
        return span;
    double left = r.left(), right = r.right();
    if (shape.kind == RegionShape::Kind::Ellipse) {
        const double a = r.width() / 2, b = r.height() / 2;
        const double t = (cy - r.center().y()) / b;
        if (!(b > 0) || t * t >= 1)
            return span;
        const double half = a * std::sqrt(1 - t * t);
        left = r.center().x() - half;
        right = r.center().x() + half;
    }
    span.first = clampColumn(firstCentreAtOrAfter(left), width);
    span.last = std::max(span.first, clampColumn(firstCentreAtOrAfter(right), width));
    return span;
}

RegionStatistics RegionStatistics::of(const DecodedImage &image, const RegionShape &shape)
{
    RegionStatistics out;
    const int channels = image.palette ? 1 : image.colourChannels;
    out.channel.resize(size_t(channels));
    if (image.valueCount() == 0)
        return out;
    uint32_t top = 0, bottom = 0;
    regionRows(shape, image.height, top, bottom);
    const size_t stride = size_t(image.channels);
    const bool values = image.bits == 32;
    const double offset = !values && image.format == DecodedImage::Format::Signed ? image.indexLevels() / 2 : 0;
    std::vector<IndexSums> index;
    std::vector<ValueSums> number;
    index.resize(size_t(channels));
    number.resize(size_t(channels));
    for (uint32_t y = top; y < bottom; ++y) {
        const RowSpan span = regionRow(shape, y, image.width);
        const size_t n = span.last - span.first;
        if (n == 0)
            continue;
        out.pixels += n;
        const size_t start = (size_t(y) * image.width + span.first) * stride;
        for (int c = 0; c < channels; ++c) {
            if (values) {
                for (size_t i = 0; i < n; ++i)
                    addValue(image.storedValue(start + i * stride + size_t(c)), number[size_t(c)]);
            } else if (image.wide()) {
                addIndexRow(image.values16.data() + start + size_t(c), n, stride, index[size_t(c)]);
            } else {
                addIndexRow(image.values8.data() + start + size_t(c), n, stride, index[size_t(c)]);
            }
        }
    }
    for (int c = 0; c < channels; ++c)
        out.channel[size_t(c)] = values ? finishValues(number[size_t(c)]) : finishIndex(index[size_t(c)], offset);
    return out;
}
