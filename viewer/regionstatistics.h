#pragma once
#include "viewer/decodedimage.h"

#include <QRectF>
#include <QString>

#include <cstdint>
#include <vector>

// A rectangle or the ellipse inscribed in it, in image coordinates (pixel (x, y) covers
// [x, x + 1) x [y, y + 1)). A pixel belongs to the region when its centre lies inside.
struct RegionShape
{
    enum class Kind { Rectangle, Ellipse };
    Kind kind = Kind::Rectangle;
    QRectF bounds;

    bool operator==(const RegionShape &o) const { return kind == o.kind && bounds == o.bounds; }
    bool operator!=(const RegionShape &o) const { return !(*this == o); }
};

// Statistics of the stored values inside a region, per colour channel. Floating-point
// samples that are NaN or infinite are left out of every figure and counted apart.
struct RegionStatistics
{
    struct Channel
    {
        uint64_t count = 0;     // values that entered the figures
        uint64_t nonFinite = 0; // NaN and infinities left out
        double sum = 0;
        double mean = 0;
        double stdDev = 0; // sample standard deviation (n - 1); 0 for a single value
        double min = 0;
        double max = 0;
    };

    uint64_t pixels = 0; // inside the region and the image
    std::vector<Channel> channel;

    static RegionStatistics of(const DecodedImage &image, const RegionShape &shape);
};

// The pixels of each row inside a shape, clipped to an image of width x height: row y
// holds columns [first, last). Rows outside the shape come back empty (first == last).
struct RowSpan
{
    uint32_t first = 0;
    uint32_t last = 0;
};
RowSpan regionRow(const RegionShape &shape, uint32_t y, uint32_t width);
// The rows the shape touches, clipped: [top, bottom).
void regionRows(const RegionShape &shape, uint32_t height, uint32_t &top, uint32_t &bottom);
