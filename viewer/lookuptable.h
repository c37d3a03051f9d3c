#pragma once
#include <QString>

#include <array>
#include <cstdint>
#include <vector>

// Colour tables for single-channel images: each turns the 256 display levels into colours.
enum class LookupTable { Grey, Inverted, Fire, Viridis };

constexpr int kLookupTableCount = 4;

// 0xffRRGGBB for each of the 256 levels.
const std::array<uint32_t, 256> &lookupColours(LookupTable table);
QString lookupName(LookupTable table);

// HiLo marks: values at or below the display range's low end, and at or above its high end.
constexpr uint32_t kHiLoLow = 0xff0000ffu;  // blue
constexpr uint32_t kHiLoHigh = 0xffff0000u; // red

// One colour per index value (levels entries): the display range mapped onto the table,
// MinIsWhite data reversed, and with hiLo the values at or beyond the range marked.
std::vector<uint32_t> colourTable(double low, double high, int levels, bool minIsWhite, LookupTable table,
                                  bool hiLo);
