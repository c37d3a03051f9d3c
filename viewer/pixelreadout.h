#pragma once
#include "viewer/decodedimage.h"

#include <QString>

// The stored values of one pixel as the user reads them: signed and floating-point
// values as such, a palette index with its colour, alpha where there is one.
QString storedValuesText(const DecodedImage &image, uint32_t x, uint32_t y);

// A stored value in few characters: integers whole, floats to six significant digits.
QString valueText(const DecodedImage &image, double value);
