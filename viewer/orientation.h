#pragma once
#include "viewer/decodedimage.h"

#include <cstdint>

// Turns the decoded values upright as the TIFF Orientation tag (1..8) says, so the
// picture, the read-out coordinates and the missing-row notice all agree with what the
// instrument or camera meant. Returns false only when the memory for it is lacking.
bool applyOrientation(DecodedImage &image, uint16_t orientation);
