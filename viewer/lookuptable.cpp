#include "viewer/lookuptable.h"

#include "viewer/displaymap.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>

namespace {

struct Stop
{
    double at;
    int r, g, b;
};

template <size_t N>
std::array<uint32_t, 256> interpolate(const Stop (&stops)[N])
{
    std::array<uint32_t, 256> out{};
    size_t k = 0;
    for (int i = 0; i < 256; ++i) {
        const double t = i / 255.0;
        while (k + 2 < N && t > stops[k + 1].at)
            ++k;
        const Stop &a = stops[k], &b = stops[k + 1];
        const double f = std::clamp((t - a.at) / (b.at - a.at), 0.0, 1.0);
        auto mix = [f](int x, int y) { return uint32_t(std::lround(x + (y - x) * f)); };
        out[size_t(i)] = 0xff000000u | mix(a.r, b.r) << 16 | mix(a.g, b.g) << 8 | mix(a.b, b.b);
    }
    return out;
}

std::array<uint32_t, 256> greyRamp(bool inverted)
{
    std::array<uint32_t, 256> out{};
    for (uint32_t i = 0; i < 256; ++i) {
        const uint32_t v = inverted ? 255 - i : i;
        out[i] = 0xff000000u | v << 16 | v << 8 | v;
    }
    return out;
}

} // namespace

const std::array<uint32_t, 256> &lookupColours(LookupTable table)
{
    // Black through purple, red and orange to yellow and white: the usual "hot" look.
    static const Stop fire[] = {{0.0, 0, 0, 0},       {0.16, 40, 0, 110},  {0.33, 120, 0, 150},
                                {0.5, 220, 30, 60},   {0.66, 255, 110, 0}, {0.83, 255, 210, 20},
                                {1.0, 255, 255, 255}};
    // Perceptually even and readable by colour-blind users.
    static const Stop viridis[] = {{0.0, 68, 1, 84},      {0.111, 72, 40, 120},  {0.222, 62, 73, 137},
                                   {0.333, 49, 104, 142}, {0.444, 38, 130, 142}, {0.556, 31, 158, 137},
                                   {0.667, 53, 183, 121}, {0.778, 110, 206, 88}, {0.889, 181, 222, 43},
                                   {1.0, 253, 231, 37}};
    static const std::array<uint32_t, 256> tables[kLookupTableCount] = {
        greyRamp(false), greyRamp(true), interpolate(fire), interpolate(viridis)};
    return tables[std::clamp(int(table), 0, kLookupTableCount - 1)];
}

QString lookupName(LookupTable table)
{
    switch (table) {
    case LookupTable::Grey: return QCoreApplication::translate("LookupTable", "Grey");
    case LookupTable::Inverted: return QCoreApplication::translate("LookupTable", "Inverted");
    case LookupTable::Fire: return QCoreApplication::translate("LookupTable", "Fire");
    case LookupTable::Viridis: return QCoreApplication::translate("LookupTable", "Viridis");
    }
    return QString();
}

std::vector<uint32_t> colourTable(double low, double high, int levels, bool minIsWhite, LookupTable table,
                                  bool hiLo)
{
    const DisplayMap map(low, high, levels, minIsWhite);
    const auto &colours = lookupColours(table);
    std::vector<uint32_t> out(size_t(std::max(levels, 0)));
    for (int i = 0; i < levels; ++i) {
        uint32_t c = colours[map(uint32_t(i))];
        if (hiLo) {
            if (i <= low)
                c = kHiLoLow;
            else if (i >= high)
                c = kHiLoHigh;
        }
        out[size_t(i)] = c;
    }
    return out;
}
