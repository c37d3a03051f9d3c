#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

// What the screen shows of an image's values: per colour channel, the index values shown
// black (low) and white (high), linearly in between. The stored values stay untouched
// for the read-out.
struct DisplayRange
{
    std::array<double, 3> low{{0, 0, 0}};
    std::array<double, 3> high{{255, 255, 255}};

    bool operator==(const DisplayRange &o) const { return low == o.low && high == o.high; }
    bool operator!=(const DisplayRange &o) const { return !(*this == o); }
};

// One lookup table from index values to 8-bit levels, so mapping stays one pass.
class DisplayMap
{
public:
    DisplayMap() = default;
    // levels: table size (256 or 65536). low shows as 0 and high as 255, rounded to the
    // nearest level; inverted shows low as white (MinIsWhite data). With low >= high the
    // map is a step at low.
    DisplayMap(double low, double high, int levels, bool inverted = false);

    unsigned char operator()(uint32_t index) const { return m_table[index]; }
    const unsigned char *table() const { return m_table.data(); }

private:
    std::vector<unsigned char> m_table;
};
