#include "viewer/displaymap.h"

SampleRange sampleRange(const uint16_t *values, size_t count)
{
    if (count == 0)
        return {};
    // Plain loop without early exits or branches the compiler cannot turn into
    // vector min/max: this pass runs over every pixel of every image shown.
    uint16_t low = values[0], high = values[0];
    for (size_t i = 0; i < count; ++i) {
        const uint16_t v = values[i];
        low = v < low ? v : low;
        high = v > high ? v : high;
    }
    return {low, high};
}

DisplayMap::DisplayMap(SampleRange range) : m_table(65536)
{
    const uint32_t low = range.low, high = range.high;
    if (low >= high) {
        for (uint32_t v = 0; v < 65536; ++v)
            m_table[v] = static_cast<unsigned char>(v >> 8);
        return;
    }
    const uint32_t span = high - low;
    for (uint32_t v = 0; v < 65536; ++v) {
        if (v <= low)
            m_table[v] = 0;
        else if (v >= high)
            m_table[v] = 255;
        else
            m_table[v] = static_cast<unsigned char>(((v - low) * 255u + span / 2) / span);
    }
}

void DisplayMap::map(const uint16_t *values, size_t count, unsigned char *out) const
{
    const unsigned char *table = m_table.data();
    for (size_t i = 0; i < count; ++i)
        out[i] = table[values[i]];
}

void DisplayMap::mapGrey(const uint16_t *values, size_t pixels, uint32_t *out) const
{
    const unsigned char *table = m_table.data();
    for (size_t i = 0; i < pixels; ++i)
        out[i] = 0xff000000u | uint32_t(table[values[i]]) * 0x010101u;
}

void DisplayMap::mapRgb(const uint16_t *values, size_t pixels, uint32_t *out) const
{
    const unsigned char *table = m_table.data();
    for (size_t i = 0; i < pixels; ++i) {
        const uint16_t *v = values + 3 * i;
        out[i] = 0xff000000u | uint32_t(table[v[0]]) << 16 | uint32_t(table[v[1]]) << 8 | table[v[2]];
    }
}
