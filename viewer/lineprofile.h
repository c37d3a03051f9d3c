#pragma once
#include "viewer/decodedimage.h"

#include <QPointF>
#include <QString>

#include <vector>

// The stored values along a line, sampled once a pixel with bilinear interpolation between
// pixel centres and averaged across the line's width. Coordinates are those of the image:
// pixel (x, y) covers [x, x + 1) x [y, y + 1), so its centre is at (x + 0.5, y + 0.5).
struct LineProfile
{
    static constexpr int kMaxWidth = 50;

    int channels = 0;            // colour channels, alpha left out
    double length = 0;           // of the line, in pixels
    std::vector<double> position; // of each sample along the line, in pixels from the start
    std::vector<double> values;  // sample i, channel c at i * channels + c; NaN where nothing was read
    QString error;               // why there is no profile, in the user's words

    bool ok() const { return error.isEmpty() && !position.empty(); }
    size_t count() const { return position.size(); }
    double value(size_t i, int c) const { return values[i * size_t(channels) + size_t(c)]; }

    // width: 1 to kMaxWidth pixels, averaged across the line.
    static LineProfile of(const DecodedImage &image, QPointF from, QPointF to, int width = 1);
};
