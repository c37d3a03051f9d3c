#pragma once
#include "viewer/calibration.h"

#include <QString>

// A scale bar's length: a round number (1, 2 or 5 times a power of ten) of a length unit
// about a fifth of the view's width, labelled in the unit that keeps the number between
// 1 and 999 (nm, µm, mm, m for known lengths; pixels when uncalibrated).
struct ScaleBar
{
    double viewLength = 0; // in view pixels
    double length = 0;     // in the label's unit
    QString label;         // "50 µm"

    bool valid() const { return viewLength > 0; }

    // zoom: view pixels per image pixel; viewWidth in view pixels.
    static ScaleBar choose(const Calibration &calibration, double zoom, int viewWidth);
};

// The largest of 1, 2, 5 x 10^k not above value (value > 0).
double roundDown125(double value);
