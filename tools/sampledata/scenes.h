#pragma once
#include <QImage>
#include <QString>

#include <vector>

// A floating-point RGB picture (0 to 1 per channel) that the scenes paint into and the
// writers turn into 8- or 16-bit samples.
struct Canvas
{
    Canvas(int w, int h) : width(w), height(h), rgb(size_t(w) * size_t(h) * 3, 0.0f) {}

    float *at(int x, int y) { return &rgb[(size_t(y) * size_t(width) + size_t(x)) * 3]; }
    const float *at(int x, int y) const { return &rgb[(size_t(y) * size_t(width) + size_t(x)) * 3]; }
    float luminance(int x, int y) const
    {
        const float *p = at(x, y);
        return 0.299f * p[0] + 0.587f * p[1] + 0.114f * p[2];
    }
    QImage preview(int maxSide) const; // an 8-bit RGB copy for reports

    int width;
    int height;
    std::vector<float> rgb;
};

// Synthetic specimens: smooth, structured pictures (no noise), so that zooming and panning
// can be judged by eye. The seed varies positions; the same seed gives the same picture.
namespace Scenes {

void cells(Canvas &canvas, unsigned seed);       // fluorescent cells with nuclei
void tissue(Canvas &canvas, unsigned seed);      // a stained tissue section
void target(Canvas &canvas);                     // a resolution target: star, rings, bars
void gradients(Canvas &canvas);                  // ramps and a hue wheel, for flat fields

// A caption at the top left and a scale bar at the bottom right, drawn in white.
void annotate(Canvas &canvas, const QString &caption, double micronsPerPixel);

} // namespace Scenes
