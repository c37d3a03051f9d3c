#pragma once
#include "viewer/decodedimage.h"
#include "viewer/displaymap.h"
#include "viewer/lookuptable.h"

#include <QImage>

// Renders a decoded image for the screen under a display range: one lookup-table pass
// into an 8-bit grey picture, or into 32-bit RGB for colour and palette images. The
// picture is reused from one image to the next when size and kind stay, so paging
// through a folder allocates nothing.
class DisplayImage
{
public:
    // Returns the picture; null when there is no memory for it.
    const QImage &render(const DecodedImage &image, const DisplayRange &range);
    const QImage &picture() const { return m_picture; }
    // Single-channel images through a colour table, HiLo marking the range's ends; the
    // next render applies it.
    void setColouring(LookupTable table, bool hiLo) { m_table = table; m_hiLo = hiLo; }
    bool coloured() const { return m_table != LookupTable::Grey || m_hiLo; }
    // The 8-bit level a pixel is shown at (grey), or its shown colour.
    QRgb shown(const DecodedImage &image, uint32_t x, uint32_t y) const;
    void clear() { m_picture = QImage(); }

private:
    bool prepare(int width, int height, QImage::Format format);

    QImage m_picture;
    DisplayMap m_maps[3];
    LookupTable m_table = LookupTable::Grey;
    bool m_hiLo = false;
};
