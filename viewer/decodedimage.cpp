#include "viewer/decodedimage.h"

#include <algorithm>
#include <cmath>
#include <cstring>

int DecodedImage::maxIndex() const
{
    if (bits >= 16 || format == Format::Signed)
        return indexLevels() - 1;
    return (1 << bits) - 1;
}

double DecodedImage::valueOf(double index) const
{
    if (bits == 32)
        return scaleLow + index * scaleStep;
    if (format == Format::Signed)
        return index - indexLevels() / 2;
    return index;
}

double DecodedImage::indexOf(double value) const
{
    double index = value;
    if (bits == 32)
        index = scaleStep > 0 ? (value - scaleLow) / scaleStep : 0;
    else if (format == Format::Signed)
        index = value + indexLevels() / 2;
    return std::clamp(index, 0.0, double(maxIndex()));
}

double DecodedImage::storedValue(size_t i) const
{
    if (bits == 32) {
        const uint32_t raw = raw32[i];
        if (format == Format::Float) {
            float f;
            std::memcpy(&f, &raw, sizeof f);
            return f;
        }
        return format == Format::Signed ? double(int32_t(raw)) : double(raw);
    }
    return valueOf(index(i));
}
