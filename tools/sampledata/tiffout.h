#pragma once
#include "tools/sampledata/scenes.h"

#include <QString>

// The sample layouts the instrument writes.
enum class Layout { Grey8, Rgb8, Grey16, Rgb16 };

struct TiffFormat
{
    Layout layout = Layout::Grey8;
    bool lzw = false;
    // 16-bit samples span [low, high], as a detector's counts do; 8-bit ones span 0..255.
    quint16 low = 0;
    quint16 high = 65535;
};

// The smallest and largest sample value writeTiff will store for this canvas.
void sampleRange(const Canvas &canvas, const TiffFormat &format, quint16 *min, quint16 *max);

// Writes the canvas as a one-directory TIFF with the given ImageDescription. On failure
// returns false and sets *error.
bool writeTiff(const QString &path, const Canvas &canvas, const TiffFormat &format,
               const QByteArray &description, QString *error);

QString layoutName(Layout layout); // "8-bit grey" and so on
