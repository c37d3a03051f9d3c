#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

// Shows 16-bit samples on an 8-bit screen: a linear map from the image's own darkest to
// its brightest value, so a faint instrument image uses the whole grey scale. The raw
// values are left untouched for reading out.
struct SampleRange
{
    uint16_t low = 0;
    uint16_t high = 0;
};

// Lowest and highest of count values; (0, 0) for none.
SampleRange sampleRange(const uint16_t *values, size_t count);

class DisplayMap
{
public:
    // low shows as 0 and high as 255, rounded to the nearest level. A flat image
    // (low == high) shows each value at its own 8-bit level instead of all black.
    explicit DisplayMap(SampleRange range);

    unsigned char operator()(uint16_t value) const { return m_table[value]; }
    void map(const uint16_t *values, size_t count, unsigned char *out) const;
    // Opaque 0xffRRGGBB pixels, the layout screens take without a further conversion:
    // grey from one value a pixel, or colour from three (R, G, B).
    void mapGrey(const uint16_t *values, size_t pixels, uint32_t *out) const;
    void mapRgb(const uint16_t *values, size_t pixels, uint32_t *out) const;

private:
    std::vector<unsigned char> m_table;
};
