#pragma once
#include <cstdint>
#include <string>

enum ImageFileType { Tif = 0, Jpg = 1, Png = 2, Bmp = 3, Raw = 4, Unknown = -1 };

ImageFileType imageFileType(const std::wstring &path);

// One TIFF image decoded into a packed pixel buffer, top row first.
struct TiffImage
{
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

    TiffImage() = default;
    TiffImage(const TiffImage &) = delete;
    TiffImage &operator=(const TiffImage &) = delete;
    ~TiffImage() { release(); }

    bool load(const std::wstring &path);
    void *pixels(int bitsPerPixel) const;
    void release();
};
