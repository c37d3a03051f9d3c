#include "viewer/histogramview.h"

#include "viewer/contrastmodel.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

HistogramView::HistogramView(ContrastModel *model, QWidget *parent) : QWidget(parent), m_model(model)
{
    setObjectName(QStringLiteral("histogram"));
    setMouseTracking(false);
    connect(model, &ContrastModel::rangeChanged, this, [this] { updateSpan(); update(); });
}

// The span covers the data and the range, with a little room on both sides.
void HistogramView::updateSpan()
{
    const DecodedImage *image = m_model->image();
    if (!image)
        return;
    const ImageStatistics &s = m_model->statistics();
    double low = s.channel[0].min, high = s.channel[0].max;
    for (int c = 0; c < s.channels; ++c) {
        low = std::min<double>(low, s.channel[size_t(c)].min);
        high = std::max<double>(high, s.channel[size_t(c)].max);
    }
    low = std::min(low, m_model->range().low[0]);
    high = std::max(high, m_model->range().high[0]);
    if (!image->wide()) {
        low = 0;
        high = image->maxIndex();
    }
    const double margin = std::max(1.0, (high - low) * 0.02);
    m_viewLow = std::max(0.0, low - margin);
    m_viewHigh = std::min(double(image->indexLevels() - 1), high + margin);
    if (m_viewHigh <= m_viewLow)
        m_viewHigh = m_viewLow + 1;
}

int HistogramView::xOfIndex(double index) const
{
    return int(std::lround((index - m_viewLow) / (m_viewHigh - m_viewLow) * (width() - 1)));
}

double HistogramView::indexAtX(int x) const
{
    return m_viewLow + double(x) / std::max(1, width() - 1) * (m_viewHigh - m_viewLow);
}

void HistogramView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), QColor(43, 49, 58));
    const DecodedImage *image = m_model->image();
    if (!image || m_model->statistics().channels == 0)
        return;
    const ImageStatistics &s = m_model->statistics();
    const int w = width(), h = height();
    static const QColor colours[3] = {QColor(255, 90, 90, 170), QColor(90, 230, 90, 170), QColor(110, 150, 255, 170)};
    for (int c = 0; c < s.channels; ++c) {
        const std::vector<uint32_t> &bins = s.channel[size_t(c)].histogram;
        std::vector<double> columns(size_t(w), 0.0);
        for (int x = 0; x < w; ++x) {
            const size_t from = size_t(std::max(0.0, std::floor(indexAtX(x))));
            const size_t to = std::min(bins.size(), size_t(std::max<double>(double(from) + 1, std::floor(indexAtX(x + 1)))));
            for (size_t i = from; i < to; ++i)
                columns[size_t(x)] += bins[i];
        }
        // Scaled to the second tallest column, so one spike does not flatten the rest.
        std::vector<double> sorted = columns;
        std::sort(sorted.begin(), sorted.end());
        const double top = std::max(1.0, sorted.size() > 1 ? sorted[sorted.size() - 2] : sorted.back());
        p.setPen(s.channels == 1 ? QColor(200, 205, 215) : colours[c]);
        for (int x = 0; x < w; ++x) {
            const int bar = int(std::min(1.0, columns[size_t(x)] / top) * (h - 4));
            if (bar > 0)
                p.drawLine(x, h - 1, x, h - 1 - bar);
        }
    }
    const int x0 = xOfIndex(m_model->range().low[0]);
    const int x1 = xOfIndex(m_model->range().high[0]);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 210, 0), 2));
    if (image->minIsWhite)
        p.drawLine(x0, 2, x1, h - 2);
    else
        p.drawLine(x0, h - 2, x1, 2);
    p.setPen(QPen(QColor(255, 210, 0), 1, Qt::DashLine));
    p.drawLine(x0, 0, x0, h);
    p.drawLine(x1, 0, x1, h);
    if (image->colourChannels == 1 && !image->palette) {
        // The table as the screen shows it: each column in the colour its values get.
        const auto &colours = lookupColours(m_table);
        const double low = m_model->range().low[0], high = m_model->range().high[0];
        const int ramp = 7;
        for (int x = 0; x < w; ++x) {
            const double index = indexAtX(x);
            double level = high > low ? (index - low) / (high - low) : (index >= low ? 1 : 0);
            if (image->minIsWhite)
                level = 1 - level;
            QColor c = QColor::fromRgb(colours[size_t(std::clamp(int(std::lround(level * 255)), 0, 255))]);
            if (m_hiLo && index <= low)
                c = QColor::fromRgb(kHiLoLow);
            else if (m_hiLo && index >= high)
                c = QColor::fromRgb(kHiLoHigh);
            p.setPen(c);
            p.drawLine(x, h - ramp, x, h - 1);
        }
    }
}

void HistogramView::setLookupTable(LookupTable table, bool hiLo)
{
    m_table = table;
    m_hiLo = hiLo;
    update();
}

void HistogramView::mousePressEvent(QMouseEvent *event)
{
    if (!m_model->adjustable())
        return;
    const int x0 = xOfIndex(m_model->range().low[0]);
    const int x1 = xOfIndex(m_model->range().high[0]);
    m_dragging = std::abs(event->pos().x() - x0) <= std::abs(event->pos().x() - x1) ? 0 : 1;
    mouseMoveEvent(event);
}

void HistogramView::mouseMoveEvent(QMouseEvent *event)
{
    if (m_dragging < 0)
        return;
    const DecodedImage *image = m_model->image();
    double low = image->valueOf(m_model->range().low[0]);
    double high = image->valueOf(m_model->range().high[0]);
    const double value = image->valueOf(std::clamp(indexAtX(event->pos().x()), m_viewLow, m_viewHigh));
    (m_dragging == 0 ? low : high) = value;
    const double viewHigh = m_viewHigh, viewLow = m_viewLow;
    m_model->setValues(low, high);
    // The span stays put while dragging, so the end follows the pointer.
    m_viewLow = viewLow;
    m_viewHigh = viewHigh;
    update();
}

void HistogramView::mouseReleaseEvent(QMouseEvent *)
{
    m_dragging = -1;
    updateSpan();
    update();
}
