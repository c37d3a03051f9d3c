#include "tools/sampledata/scenes.h"

#include <QColor>
#include <QFont>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;

// Small, portable and repeatable: the same seed gives the same specimen everywhere.
class Random
{
public:
    explicit Random(unsigned seed) : m_state(seed * 2654435761u + 1u) {}
    double next() // [0, 1)
    {
        m_state ^= m_state << 13;
        m_state ^= m_state >> 17;
        m_state ^= m_state << 5;
        return (m_state & 0xffffff) / double(0x1000000);
    }
    double range(double lo, double hi) { return lo + (hi - lo) * next(); }

private:
    quint32 m_state;
};

float smoothstep(float edge0, float edge1, float x)
{
    const float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

void add(float *p, const float *colour, float amount)
{
    for (int c = 0; c < 3; ++c)
        p[c] += colour[c] * amount;
}

void blend(float *p, const float *colour, float alpha)
{
    for (int c = 0; c < 3; ++c)
        p[c] = p[c] * (1.0f - alpha) + colour[c] * alpha;
}

void clampAll(Canvas &canvas)
{
    for (float &v : canvas.rgb)
        v = std::clamp(v, 0.0f, 1.0f);
}

double niceLength(double approx)
{
    const double power = std::pow(10.0, std::floor(std::log10(approx)));
    for (double step : {1.0, 2.0, 5.0, 10.0}) {
        if (step * power >= approx * 0.7)
            return step * power;
    }
    return 10.0 * power;
}

} // namespace

QImage Canvas::preview(int maxSide) const
{
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        uchar *line = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const float *p = at(x, y);
            for (int c = 0; c < 3; ++c)
                line[x * 3 + c] = uchar(std::lround(p[c] * 255.0f));
        }
    }
    return image.scaled(maxSide, maxSide, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

namespace Scenes {

void cells(Canvas &canvas, unsigned seed)
{
    Random random(seed);
    const int w = canvas.width, h = canvas.height;
    const double scale = std::min(w, h) / 768.0;
    const float tint[3] = {0.55f, 0.65f, 1.0f};
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double dx = (x - w / 2.0) / w, dy = (y - h / 2.0) / h;
            const float base = float(0.03 + 0.05 * std::max(0.0, 1.0 - 2.2 * (dx * dx + dy * dy))
                                     + 0.02 * x / w);
            float *p = canvas.at(x, y);
            for (int c = 0; c < 3; ++c)
                p[c] = tint[c] * base;
        }
    }

    const float cytoplasm[3] = {0.22f, 0.95f, 0.35f};
    const float nucleus[3] = {0.25f, 0.45f, 1.0f};
    const float granule[3] = {1.0f, 0.45f, 0.18f};
    const int count = int(w * double(h) / (14000.0 * scale * scale));
    for (int i = 0; i < count; ++i) {
        const double cx = random.range(0, w), cy = random.range(0, h);
        const double r = random.range(22, 48) * scale;
        const double aspect = random.range(0.6, 1.0);
        const double angle = random.range(0, kPi);
        const double bright = random.range(0.35, 0.8);
        const double phase = random.range(0, 2 * kPi);
        const double nAngle = random.range(0, 2 * kPi), nShift = random.range(0, 0.25);
        const double nx = cx + std::cos(nAngle) * nShift * r, ny = cy + std::sin(nAngle) * nShift * r;
        const double nr = r * random.range(0.32, 0.45);
        const double ca = std::cos(angle), sa = std::sin(angle);
        const int x0 = std::max(0, int(cx - r * 1.3)), x1 = std::min(w - 1, int(cx + r * 1.3));
        const int y0 = std::max(0, int(cy - r * 1.3)), y1 = std::min(h - 1, int(cy + r * 1.3));
        for (int y = y0; y <= y1; ++y) {
            for (int x = x0; x <= x1; ++x) {
                const double dx = x - cx, dy = y - cy;
                const double u = (dx * ca + dy * sa) / r, v = (-dx * sa + dy * ca) / (r * aspect);
                const double d = std::sqrt(u * u + v * v);
                if (d > 1.3)
                    continue;
                const double theta = std::atan2(v, u);
                const double edge = 1.0 + 0.08 * std::sin(3 * theta + phase) + 0.05 * std::sin(5 * theta - phase);
                const float t = float(d / edge);
                float *p = canvas.at(x, y);
                add(p, cytoplasm, float(bright) * smoothstep(1.05f, 0.85f, t) * (0.5f + 0.5f * (1.0f - t * t)));
                const double mx = (x - nx) / nr, my = (y - ny) / nr;
                const float dn = float(std::sqrt(mx * mx + my * my));
                const float chromatin = float(0.8 + 0.2 * std::sin(mx * 5.1 + phase) * std::sin(my * 4.3));
                add(p, nucleus, 0.9f * smoothstep(1.0f, 0.8f, dn) * chromatin);
            }
        }
        for (int g = 0; g < 6; ++g) {
            const double ga = random.range(0, 2 * kPi), gd = random.range(0.5, 0.85) * r;
            const double gx = cx + std::cos(ga) * gd, gy = cy + std::sin(ga) * gd * aspect;
            const double gr = random.range(1.5, 3.0) * scale;
            for (int y = std::max(0, int(gy - 3 * gr)); y <= std::min(h - 1, int(gy + 3 * gr)); ++y)
                for (int x = std::max(0, int(gx - 3 * gr)); x <= std::min(w - 1, int(gx + 3 * gr)); ++x) {
                    const double q = ((x - gx) * (x - gx) + (y - gy) * (y - gy)) / (gr * gr);
                    add(canvas.at(x, y), granule, float(0.7 * std::exp(-q)));
                }
        }
    }
    clampAll(canvas);
}

void tissue(Canvas &canvas, unsigned seed)
{
    Random random(seed);
    const int w = canvas.width, h = canvas.height;
    const double scale = std::min(w, h) / 768.0;
    double fx[6], fy[6], ph[6];
    for (int k = 0; k < 6; ++k) {
        const double wavelength = random.range(180, 520) * scale, dir = random.range(0, kPi);
        fx[k] = std::cos(dir) * 2 * kPi / wavelength;
        fy[k] = std::sin(dir) * 2 * kPi / wavelength;
        ph[k] = random.range(0, 2 * kPi);
    }
    auto field = [&](double x, double y) {
        double f = 0;
        for (int k = 0; k < 6; ++k)
            f += std::sin(fx[k] * x + fy[k] * y + ph[k]) / 6.0;
        return f;
    };
    const float glass[3] = {0.95f, 0.95f, 0.96f};
    const float eosin[3] = {0.93f, 0.58f, 0.74f};
    const float fibre[3] = {0.80f, 0.38f, 0.58f};
    std::vector<float> density(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const double f = field(x, y);
            const double ex = (x - w * 0.5) / (w * 0.44), ey = (y - h * 0.52) / (h * 0.42);
            const float inside = smoothstep(1.04f, 0.98f, float(std::sqrt(ex * ex + ey * ey) - 0.18 * f));
            float *p = canvas.at(x, y);
            for (int c = 0; c < 3; ++c)
                p[c] = glass[c] - 0.02f * float(y) / h;
            const float stripes = float(0.5 + 0.5 * std::sin(0.07 / scale * (x * 0.8 + y * 0.6) + 9.0 * f));
            float stain[3];
            for (int c = 0; c < 3; ++c)
                stain[c] = eosin[c] + (fibre[c] - eosin[c]) * stripes * 0.6f;
            blend(p, stain, inside * float(0.75 + 0.25 * f));
            density[size_t(y) * size_t(w) + size_t(x)] = inside * float(0.5 + f);
        }
    }
    const float haematoxylin[3] = {0.30f, 0.16f, 0.50f};
    const int count = int(w * double(h) / (700.0 * scale * scale));
    for (int i = 0; i < count; ++i) {
        const double cx = random.range(0, w), cy = random.range(0, h);
        if (random.next() > density[size_t(cy) * size_t(w) + size_t(cx)])
            continue;
        const double r = random.range(3.5, 7.0) * scale, aspect = random.range(0.55, 1.0);
        const double a = random.range(0, kPi), ca = std::cos(a), sa = std::sin(a);
        for (int y = std::max(0, int(cy - r - 2)); y <= std::min(h - 1, int(cy + r + 2)); ++y)
            for (int x = std::max(0, int(cx - r - 2)); x <= std::min(w - 1, int(cx + r + 2)); ++x) {
                const double dx = x - cx, dy = y - cy;
                const double u = (dx * ca + dy * sa) / r, v = (-dx * sa + dy * ca) / (r * aspect);
                const float d = float(std::sqrt(u * u + v * v));
                blend(canvas.at(x, y), haematoxylin, 0.85f * smoothstep(1.0f, 0.7f, d));
            }
    }
    clampAll(canvas);
}

void target(Canvas &canvas)
{
    const int w = canvas.width, h = canvas.height;
    const int side = std::min(w, h);
    const double starX = w * 0.5, starY = h * 0.5, starR = side * 0.3;
    const int spokes = 72; // sectors, alternating
    const double zoneX = side * 0.2, zoneY = side * 0.22, zoneR = side * 0.16;
    const double zoneK = 0.45 * kPi / zoneR; // about 0.45 cycles per pixel at the rim
    const int grid = std::max(32, side / 12);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            float v = float(0.42 + 0.12 * x / w + 0.04 * y / h);
            if (x % grid == 0 || y % grid == 0)
                v -= 0.08f;
            const double dx = x + 0.5 - starX, dy = y + 0.5 - starY;
            const double r = std::sqrt(dx * dx + dy * dy);
            if (r < starR) {
                const double sector = 2 * kPi / spokes;
                const double theta = std::atan2(dy, dx) + kPi;
                const double pos = theta / sector;
                const bool white = int(std::floor(pos)) % 2 == 0;
                const double frac = pos - std::floor(pos);
                const double dist = std::min(frac, 1.0 - frac) * sector * r; // pixels to an edge
                float cover = float(std::clamp(0.5 + dist, 0.0, 1.0));
                if (!white)
                    cover = 1.0f - cover;
                if (r < spokes / kPi) // spokes narrower than a pixel: their average
                    cover = 0.5f;
                v = 0.08f + 0.84f * cover;
                v = v * smoothstep(float(starR), float(starR - 1.5), float(r))
                    + 0.3f * (1.0f - smoothstep(float(starR), float(starR - 1.5), float(r)));
            }
            const double zx = x - zoneX, zy = y - zoneY;
            const double zr2 = zx * zx + zy * zy;
            if (zr2 < zoneR * zoneR)
                v = float(0.5 + 0.42 * std::cos(zoneK * zr2));
            float *p = canvas.at(x, y);
            p[0] = p[1] = p[2] = v;
        }
    }

    // Line pairs along the bottom: 1, 2, 3, 4, 6, 8, 12 and 16 pixels wide.
    const int barTop = int(h * 0.84), barBottom = int(h * 0.94);
    int x = int(w * 0.05);
    for (int width : {1, 2, 3, 4, 6, 8, 12, 16}) {
        const int pairWidth = width * std::max(1, side / 768);
        for (int bar = 0; bar < 5 && x + 2 * pairWidth < w; ++bar) {
            for (int yy = barTop; yy < barBottom; ++yy)
                for (int xx = x; xx < x + pairWidth; ++xx) {
                    float *p = canvas.at(xx, yy);
                    p[0] = p[1] = p[2] = 0.95f;
                }
            x += 2 * pairWidth;
        }
        x += 4 * pairWidth;
    }

    // Colour swatches and a grey wedge at the top right.
    const float swatches[9][3] = {{0.85f, 0.1f, 0.1f}, {0.1f, 0.75f, 0.2f}, {0.15f, 0.25f, 0.9f},
                                  {0.1f, 0.8f, 0.85f}, {0.85f, 0.2f, 0.8f}, {0.95f, 0.85f, 0.1f},
                                  {0.95f, 0.55f, 0.1f}, {0.5f, 0.3f, 0.15f}, {0.95f, 0.95f, 0.95f}};
    const int cell = side / 16, left = int(w * 0.72), top = int(h * 0.06);
    for (int i = 0; i < 9; ++i)
        for (int yy = top + (i / 3) * cell; yy < top + (i / 3 + 1) * cell - 3; ++yy)
            for (int xx = left + (i % 3) * cell; xx < left + (i % 3 + 1) * cell - 3; ++xx)
                std::copy(swatches[i], swatches[i] + 3, canvas.at(std::min(xx, w - 1), yy));
    for (int step = 0; step < 11; ++step)
        for (int yy = top + 3 * cell + 6; yy < top + 3 * cell + 6 + cell / 2; ++yy)
            for (int xx = left + step * cell * 3 / 11; xx < left + (step + 1) * cell * 3 / 11; ++xx) {
                float *p = canvas.at(std::min(xx, w - 1), std::min(yy, h - 1));
                p[0] = p[1] = p[2] = step / 10.0f;
            }
}

void gradients(Canvas &canvas)
{
    const int w = canvas.width, h = canvas.height;
    const double wheelX = w * 0.75, wheelY = h * 0.72, wheelR = std::min(w, h) * 0.24;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            float *p = canvas.at(x, y);
            float v;
            if (y < h / 2) {
                v = float(x) / (w - 1);
            } else if (x < w / 2) {
                v = float(y - h / 2) / (h - h / 2 - 1);
            } else {
                const double dx = x - wheelX, dy = y - wheelY, r = std::sqrt(dx * dx + dy * dy);
                v = 0.2f;
                const float inside = smoothstep(float(wheelR), float(wheelR - 1.5), float(r));
                if (inside > 0) {
                    const double hue = (std::atan2(dy, dx) + kPi) / (2 * kPi);
                    const QColor colour = QColor::fromHsvF(std::min(hue, 0.9999), std::min(1.0, r / wheelR), 1.0);
                    const float c[3] = {float(colour.redF()), float(colour.greenF()), float(colour.blueF())};
                    p[0] = p[1] = p[2] = v;
                    blend(p, c, inside);
                    continue;
                }
            }
            // A faint vignette, as a real flat field has.
            const double dx = (x - w / 2.0) / w, dy = (y - h / 2.0) / h;
            v *= float(1.0 - 0.25 * (dx * dx + dy * dy));
            p[0] = p[1] = p[2] = v;
        }
    }
}

void annotate(Canvas &canvas, const QString &caption, double micronsPerPixel)
{
    const int w = canvas.width, h = canvas.height;
    QImage overlay(w, h, QImage::Format_ARGB32_Premultiplied);
    overlay.fill(Qt::transparent);
    {
        QPainter painter(&overlay);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        QFont font(QStringLiteral("Arial"));
        font.setPixelSize(std::max(12, h / 36));
        painter.setFont(font);
        const int margin = std::max(8, h / 60);
        const QPoint base(margin, margin + font.pixelSize());
        painter.setPen(QColor(0, 0, 0, 200));
        painter.drawText(base + QPoint(1, 1), caption);
        painter.setPen(Qt::white);
        painter.drawText(base, caption);

        const double microns = niceLength(w / 6.0 * micronsPerPixel);
        const int length = int(std::lround(microns / micronsPerPixel));
        const int thickness = std::max(3, h / 150);
        const QRect bar(w - margin - length, h - margin - thickness, length, thickness);
        painter.fillRect(bar.translated(1, 1), QColor(0, 0, 0, 200));
        painter.fillRect(bar, Qt::white);
        const QString label = QStringLiteral("%1 \u00b5m").arg(microns);
        const QRect labelRect(bar.left(), bar.top() - font.pixelSize() - 6, bar.width(), font.pixelSize() + 4);
        painter.setPen(QColor(0, 0, 0, 200));
        painter.drawText(labelRect.translated(1, 1), Qt::AlignCenter, label);
        painter.setPen(Qt::white);
        painter.drawText(labelRect, Qt::AlignCenter, label);
    }
    for (int y = 0; y < h; ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(overlay.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const int alpha = qAlpha(line[x]);
            if (alpha == 0)
                continue;
            float *p = canvas.at(x, y);
            const float a = alpha / 255.0f;
            const float c[3] = {qRed(line[x]) / 255.0f, qGreen(line[x]) / 255.0f, qBlue(line[x]) / 255.0f};
            for (int i = 0; i < 3; ++i)
                p[i] = p[i] * (1.0f - a) + c[i]; // premultiplied
        }
    }
}

} // namespace Scenes
