#include "viewer/scalebar.h"

#include <cmath>

double roundDown125(double value)
{
    if (!(value > 0) || !std::isfinite(value))
        return 0;
    const double power = std::pow(10.0, std::floor(std::log10(value)));
    const double m = value / power;
    // A little slack so that exact powers are not lost to rounding (0.999999 x 10).
    const double f = m >= 5 * (1 - 1e-9) ? 5 : m >= 2 * (1 - 1e-9) ? 2 : 1;
    return f * power;
}

ScaleBar ScaleBar::choose(const Calibration &calibration, double zoom, int viewWidth)
{
    ScaleBar bar;
    if (!(zoom > 0) || viewWidth <= 0)
        return bar;
    const double targetImagePixels = viewWidth / 5.0 / zoom;
    const bool calibrated = calibration.valid();
    const double perPixel = calibrated ? calibration.pixelWidth : 1.0;
    const double metres = calibrated ? metresPerUnit(calibration.unit) : 0;
    QString unit = calibrated ? calibration.unit : QStringLiteral("px");
    double target = targetImagePixels * perPixel; // in unit
    double toLabel = 1;                            // label units per unit
    if (metres > 0) {
        // In metres, then in whichever of nm, µm, mm, m reads best.
        const double inMetres = target * metres;
        static const struct { double m; const char16_t *name; } units[] = {
            {1e-9, u"nm"}, {1e-6, u"\u00b5m"}, {1e-3, u"mm"}, {1.0, u"m"}};
        int pick = 0;
        for (int i = 0; i < 4; ++i)
            if (inMetres >= units[i].m)
                pick = i;
        unit = QString::fromUtf16(units[pick].name);
        toLabel = metres / units[pick].m;
    }
    const double labelLength = roundDown125(target * toLabel);
    if (!(labelLength > 0))
        return bar;
    bar.length = labelLength;
    bar.viewLength = labelLength / toLabel / perPixel * zoom;
    bar.label = QString::number(labelLength, 'g', 6) + QLatin1Char(' ') + unit;
    return bar;
}
