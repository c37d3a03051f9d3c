#include "viewer/tiffimage.h"

// Stub: filled in by the viewer work.
ImageFileType imageFileType(const std::wstring &) { return Unknown; }
bool TiffImage::load(const std::wstring &) { return false; }
void *TiffImage::pixels(int bitsPerPixel) const
{
    return (bitsPerPixel == 16 || bitsPerPixel == 48) ? static_cast<void *>(m_pixels16)
                                                      : static_cast<void *>(m_pixels8);
}
void TiffImage::release()
{
    delete[] m_pixels16;
    delete[] m_pixels8;
    m_pixels16 = nullptr;
    m_pixels8 = nullptr;
}
