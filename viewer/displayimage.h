#pragma once
#include "viewer/decodedimage.h"
#include "viewer/displaymap.h"
#include "viewer/lookuptable.h"
#include "viewer/viewtransform.h"

#include <QImage>

#include <vector>

// Shows a decoded image on screen under a display range. A render only prepares the
// tables from index values to colours; pixels are made for what a view shows, each the
// image pixel under its centre, so opening a large image or moving its range never
// works through the pixels nobody sees.
class DisplayImage
{
public:
    // False when there is no memory for the tables.
    bool render(const DecodedImage &image, const DisplayRange &range);
    bool ready() const { return m_ready; }
    // Changes with every render, so a view made before can tell it is stale.
    quint64 generation() const { return m_generation; }
    // The view's pixels, transparent where it lies past the image; null without memory.
    QImage view(const DecodedImage &image, const ViewTransform &view) const;
    // The whole image at 1:1: 8-bit grey, or 32-bit RGB for colour, palette and tables.
    QImage picture(const DecodedImage &image) const;
    // Single-channel images through a colour table, HiLo marking the range's ends; the
    // next render applies it.
    void setColouring(LookupTable table, bool hiLo) { m_table = table; m_hiLo = hiLo; }
    bool coloured() const { return m_table != LookupTable::Grey || m_hiLo; }
    // The 8-bit level a pixel is shown at (grey), or its shown colour.
    QRgb shown(const DecodedImage &image, uint32_t x, uint32_t y) const;
    void clear() { m_ready = false; ++m_generation; }

private:
    std::vector<uint32_t> m_colours; // one channel (grey, palette, table): index to colour
    DisplayMap m_maps[3];             // colour images: index to level, per channel
    bool m_single = true;
    bool m_grey = true; // shown in shades of grey only
    bool m_ready = false;
    quint64 m_generation = 0;
    LookupTable m_table = LookupTable::Grey;
    bool m_hiLo = false;
};
