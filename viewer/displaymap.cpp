#include "viewer/displaymap.h"

#include <algorithm>
#include <cmath>

DisplayMap::DisplayMap(double low, double high, int levels, bool inverted)
    : m_table(size_t(std::max(levels, 1)))
{
    const double span = high - low;
    for (size_t v = 0; v < m_table.size(); ++v) {
        double level;
        if (span <= 0)
            level = double(v) < high ? 0 : 255;
        else
            level = std::clamp(std::floor((double(v) - low) * 255.0 / span + 0.5), 0.0, 255.0);
        m_table[v] = static_cast<unsigned char>(inverted ? 255 - level : level);
    }
}
