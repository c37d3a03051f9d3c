#pragma once
// Shared between the decoder's header checks and its value reading.
#include "viewer/decodedimage.h"
#include "viewer/tiffdecoder.h"

#include <tiffio.h>

namespace TiffDecode {

struct Header
{
    uint32_t width = 0;
    uint32_t height = 0;
    uint16_t bitsTag = 0;
    uint16_t bits = 1; // TIFF's default when the tag is absent
    uint16_t samples = 1;
    uint16_t format = SAMPLEFORMAT_UINT;
    uint16_t photometric = PHOTOMETRIC_MINISBLACK;
    uint16_t planar = PLANARCONFIG_CONTIG;
    uint16_t compression = COMPRESSION_NONE;
    uint16_t orientation = ORIENTATION_TOPLEFT;
    uint16_t extraSamples = 0;
    bool tiled = false;
};

enum class Path { Values, Rgba };

struct Plan
{
    Path path = Path::Values;
    int channels = 1;
    int colourChannels = 1;
    int bits = 8;
    DecodedImage::Format format = DecodedImage::Format::Unsigned;
};

// Reads the strips or tiles of the current page into out (buffers allocated here);
// returns why it failed, empty on success. Sets cancelled when control asked to stop.
QString decodeValues(TIFF *tif, const Header &h, const Plan &p, DecodedImage &out,
                     const TiffDecoder::Control &control, bool &cancelled);

} // namespace TiffDecode
