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

// Works the statistics out band by band while an image is being decoded, each band
// while its rows are still in the cache, rather than in a pass of its own afterwards.
// The figures are those ImageStatistics::of gives for the finished image.
class StatisticsGatherer
{
public:
    // The image's size and kind must be set; its values may still be coming.
    explicit StatisticsGatherer(const DecodedImage &image);
    // Rows [first, end) hold their final values. Bands come top to bottom, without gaps.
    void addRows(const DecodedImage &image, uint32_t first, uint32_t end);
    // Every row was added, in order, for an image of this size and kind.
    bool complete(const DecodedImage &image) const;
    ImageStatistics take() { return std::move(m_stats); }

private:
    ImageStatistics m_stats;
    uint32_t m_width = 0;
    uint32_t m_height = 0;
    int m_channels = 1;
    bool m_wide = false;
    size_t m_step = 1;     // every step-th pixel goes into the histogram
    uint32_t m_nextRow = 0;
    bool m_broken = false; // a band came out of order
};

// Lowest and highest of count values taken every stride-th value; (0, 0) for none.
void valueRange(const uint16_t *values, size_t count, size_t stride, uint16_t &low, uint16_t &high);
