#pragma once
#include "viewer/decodedimage.h"
#include "viewer/tiffdecoder.h"

#include <QString>

#include <cstdint>
#include <memory>
#include <string>

enum ImageFileType { Tif = 0, Jpg = 1, Png = 2, Bmp = 3, Raw = 4, Unknown = -1 };

// Decides from the name alone: the (at most three) characters after the last ".",
// compared case-sensitively, so "scan.tiff" is Tif while "scan.TIF" is not.
ImageFileType imageFileType(const std::wstring &path);

// One page of a TIFF file, decoded. The header fields are as stored; the buffers are
// those of the decoded image (see DecodedImage): for 8 or 16 bits per sample, grey or RGB,
// exactly the packed interleaved samples of the file, 16-bit values in host order.
struct TiffImage
{
    // Why the last load did not deliver an image.
    enum Status { Loaded, RefusedName, NotReadable, UnsupportedLayout, TooLarge, Cancelled };

    uint32_t m_width = 0;
    uint32_t m_height = 0;
    uint16_t m_bitsPerSample = 0;
    uint16_t m_samplesPerPixel = 1;
    uint16_t m_photometric = 0;
    uint16_t m_compression = 0;
    uint16_t m_bitsPerPixel = 0;
    int32_t m_valueCount = 0;
    uint16_t *m_pixels16 = nullptr; // views into m_decoded
    unsigned char *m_pixels8 = nullptr;
    Status m_status = NotReadable;
    QString m_message;  // why it was not loaded, in the user's words
    int m_pageCount = 0;
    std::shared_ptr<DecodedImage> m_decoded;

    TiffImage() = default;
    TiffImage(const TiffImage &) = delete;
    TiffImage &operator=(const TiffImage &) = delete;

    bool load(const std::wstring &path, int page = 0,
              const TiffDecoder::Control &control = TiffDecoder::Control());
    void *pixels(int bitsPerPixel) const;
    // Hands the decoded image on without copying it; the buffers here become null.
    std::shared_ptr<DecodedImage> take();
    void release();
};
