#pragma once
#include "viewer/decodedimage.h"

#include <array>
#include <cstdint>
#include <vector>

// Per colour channel: the exact lowest and highest index value, and a histogram of index
// values. Large images are histogrammed from an evenly spread sample of pixels (about
// two million), which is plenty for percentiles and for drawing, and keeps opening an
// image close to the cost of decoding it.
struct ImageStatistics
{
    struct Channel
    {
        uint16_t min = 0;
        uint16_t max = 0;
        std::vector<uint32_t> histogram; // indexLevels() bins
        uint64_t counted = 0;            // values in the histogram
    };

    int channels = 0; // colour channels described (alpha is left out)
    std::array<Channel, 3> channel;

    static ImageStatistics of(const DecodedImage &image);
};

// Lowest and highest of count values taken every stride-th value; (0, 0) for none.
void valueRange(const uint16_t *values, size_t count, size_t stride, uint16_t &low, uint16_t &high);
