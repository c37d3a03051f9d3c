#include "viewer/profileplot.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <climits>
#include <cmath>

namespace {

QColor channelColour(int c, int channels)
{
    if (channels != 3)
        return QColor(255, 210, 0);
    static const QColor colours[] = {QColor(255, 90, 90), QColor(90, 220, 90), QColor(110, 160, 255)};
    return colours[c];
}

QString tick(double v)
{
    return QString::number(v, 'g', 5);
}

} // namespace

ProfilePlot::ProfilePlot(QWidget *parent) : QWidget(parent)
{
    setMouseTracking(true);
    setMinimumSize(420, 240);
    setAutoFillBackground(true);
    QPalette p = palette();
    p.setColor(QPalette::Window, QColor(43, 49, 58));
    setPalette(p);
}

void ProfilePlot::setProfile(const LineProfile &profile, double unitsPerPixel, const QString &unit)
{
    m_profile = profile;
    m_unitsPerPixel = unitsPerPixel > 0 ? unitsPerPixel : 1;
    m_unit = unit;
    m_low = INFINITY;
    m_high = -INFINITY;
    for (double v : m_profile.values)
        if (std::isfinite(v)) {
            m_low = std::min(m_low, v);
            m_high = std::max(m_high, v);
        }
    if (!(m_low <= m_high)) {
        m_low = 0;
        m_high = 1;
    }
    if (m_high == m_low) { // a flat profile sits in the middle
        m_low -= 1;
        m_high += 1;
    }
    m_cursor = -1;
    m_cursorText.clear();
    emit cursorTextChanged(m_cursorText);
    update();
}

QRectF ProfilePlot::plotArea() const
{
    return QRectF(70, 14, std::max(10, width() - 86), std::max(10, height() - 54));
}

int ProfilePlot::sampleAt(double x) const
{
    if (!m_profile.ok() || m_profile.length <= 0)
        return -1;
    const QRectF a = plotArea();
    const double along = (x - a.left()) / a.width() * m_profile.length;
    const double step = m_profile.count() > 1 ? m_profile.length / double(m_profile.count() - 1) : 1;
    const long i = std::lround(along / step);
    return i < 0 || i >= long(m_profile.count()) ? -1 : int(i);
}

void ProfilePlot::mouseMoveEvent(QMouseEvent *event)
{
    const int i = sampleAt(event->localPos().x());
    if (i == m_cursor)
        return;
    m_cursor = i;
    m_cursorText.clear();
    if (i >= 0) {
        QStringList values;
        for (int c = 0; c < m_profile.channels; ++c)
            values << tick(m_profile.value(size_t(i), c));
        m_cursorText = tr("at %1 %2: %3").arg(tick(m_profile.position[size_t(i)] * m_unitsPerPixel), m_unit,
                                               values.join(QStringLiteral(", ")));
    }
    emit cursorTextChanged(m_cursorText);
    update();
}

void ProfilePlot::leaveEvent(QEvent *)
{
    m_cursor = -1;
    m_cursorText.clear();
    emit cursorTextChanged(m_cursorText);
    update();
}

void ProfilePlot::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    const QRectF a = plotArea();
    QFont font(QStringLiteral("Arial"), 9);
    painter.setFont(font);
    painter.setPen(QColor(178, 191, 210));
    painter.drawRect(a);
    if (!m_profile.ok()) {
        painter.setPen(QColor(225, 225, 225));
        painter.drawText(a, Qt::AlignCenter | Qt::TextWordWrap,
                         m_profile.error.isEmpty() ? tr("Draw a line on the image (Shift-drag).") : m_profile.error);
        return;
    }
    const double xMax = m_profile.length * m_unitsPerPixel;
    auto toX = [&](double along) { return a.left() + along / m_profile.length * a.width(); };
    auto toY = [&](double v) { return a.bottom() - (v - m_low) / (m_high - m_low) * a.height(); };
    // Axes: ends and middle of each.
    painter.setPen(QColor(225, 225, 225));
    for (int k = 0; k <= 2; ++k) {
        const double f = k / 2.0;
        const double y = a.bottom() - f * a.height();
        painter.drawText(QRectF(0, y - 8, a.left() - 6, 16), Qt::AlignRight | Qt::AlignVCenter, tick(m_low + f * (m_high - m_low)));
        // The ends' labels stay inside the plot's width, the middle one is centred.
        const double x = a.left() + f * a.width();
        const QRectF box = k == 0 ? QRectF(x, a.bottom() + 4, 100, 16)
                         : k == 1 ? QRectF(x - 50, a.bottom() + 4, 100, 16) : QRectF(x - 100, a.bottom() + 4, 100, 16);
        painter.drawText(box, (k == 0 ? Qt::AlignLeft : k == 1 ? Qt::AlignHCenter : Qt::AlignRight) | Qt::AlignVCenter,
                         tick(f * xMax));
    }
    painter.drawText(QRectF(a.left(), a.bottom() + 20, a.width(), 16), Qt::AlignCenter,
                     tr("Distance (%1)").arg(m_unit));
    // Long profiles are drawn as their lowest and highest value per screen column: the
    // same picture, at a cost bound by the plot's width rather than the line's length.
    for (int c = 0; c < m_profile.channels; ++c) {
        QPolygonF run;
        auto flush = [&] {
            if (run.size() > 1)
                painter.drawPolyline(run);
            run.clear();
        };
        // A cosmetic pen: antialiased wide strokes of long polylines cost tens of milliseconds.
        painter.setPen(QPen(channelColour(c, m_profile.channels), 0));
        int column = INT_MIN;
        double low = 0, high = 0;
        auto emitColumn = [&] {
            if (column == INT_MIN)
                return;
            run << QPointF(column + 0.5, toY(low));
            if (high != low)
                run << QPointF(column + 0.5, toY(high));
        };
        for (size_t i = 0; i < m_profile.count(); ++i) {
            const double v = m_profile.value(i, c);
            if (!std::isfinite(v)) { // a gap where nothing was read
                emitColumn();
                column = INT_MIN;
                flush();
                continue;
            }
            const int x = int(std::floor(toX(m_profile.position[i])));
            if (x != column) {
                emitColumn();
                column = x;
                low = high = v;
            } else {
                low = std::min(low, v);
                high = std::max(high, v);
            }
        }
        emitColumn();
        flush();
    }
    if (m_cursor >= 0) {
        painter.setPen(QPen(QColor(255, 255, 255, 160), 1, Qt::DashLine));
        const double x = toX(m_profile.position[size_t(m_cursor)]);
        painter.drawLine(QPointF(x, a.top()), QPointF(x, a.bottom()));
    }
}
