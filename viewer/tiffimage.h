#pragma once
#include <cstdint>
#include <string>

enum ImageFileType { Tif = 0, Jpg = 1, Png = 2, Bmp = 3, Raw = 4, Unknown = -1 };

// Decides from the name alone: the (at most three) characters after the last ".",
// compared case-sensitively, so "scan.tiff" is Tif while "scan.TIF" is not.
ImageFileType imageFileType(const std::wstring &path);

// One TIFF image decoded into a packed pixel buffer, top row first. Layouts read:
// 8 or 16 bits per sample, one (grey) or three (RGB) interleaved samples per pixel;
// 16-bit values arrive in host order, as stored.
struct TiffImage
{
    // Why the last load did not deliver an image.
    enum Status { Loaded, RefusedName, NotReadable, UnsupportedLayout, TooLarge };

    uint32_t m_width = 0;
    uint32_t m_height = 0;
    uint16_t m_bitsPerSample = 0;
    uint16_t m_samplesPerPixel = 1;
    uint16_t m_photometric = 0;
    uint16_t m_compression = 0;
    uint16_t m_bitsPerPixel = 0;
    int32_t m_valueCount = 0;
    uint16_t *m_pixels16 = nullptr;
    unsigned char *m_pixels8 = nullptr;
    Status m_status = NotReadable;

    TiffImage() = default;
    TiffImage(const TiffImage &) = delete;
    TiffImage &operator=(const TiffImage &) = delete;
    ~TiffImage() { release(); }

    bool load(const std::wstring &path);
    void *pixels(int bitsPerPixel) const;
    void release();
};
