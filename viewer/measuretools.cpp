#include "viewer/measuretools.h"

#include "viewer/measuremodel.h"
#include "viewer/scalebar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

const QColor kLineColour(255, 210, 0);
const QColor kRegionColour(0, 230, 255);
const QColor kShadow(0, 0, 0, 200);

// A mark that reads on light and dark images alike: a dark outline under a light stroke.
void strokeWithOutline(QPainter &painter, const QPainterPath &path, const QColor &colour, Qt::PenStyle style = Qt::SolidLine)
{
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(kShadow, 3.5));
    painter.drawPath(path);
    painter.setPen(QPen(colour, 1.5, style));
    painter.drawPath(path);
}

} // namespace

QPointF MeasureTools::clampToImage(const QPointF &p) const
{
    const DecodedImage *image = m_model->image();
    if (!image)
        return p;
    return QPointF(std::clamp(p.x(), 0.0, double(image->width)), std::clamp(p.y(), 0.0, double(image->height)));
}

bool MeasureTools::press(QMouseEvent *event, const ViewTransform &view)
{
    if (event->button() != Qt::LeftButton || !m_model->image())
        return false;
    const QPointF p = clampToImage(view.toImage(event->localPos()));
    const MeasureModel::Tool tool = m_model->tool();
    if ((event->modifiers() & Qt::ShiftModifier) || tool == MeasureModel::Tool::Line) {
        m_mode = Mode::Line;
        m_start = p;
        return true;
    }
    if (tool == MeasureModel::Tool::Pan)
        return false;
    const auto kind = tool == MeasureModel::Tool::Ellipse ? RegionShape::Kind::Ellipse : RegionShape::Kind::Rectangle;
    const RegionShape region = m_model->region();
    if (m_model->hasRegion() && region.kind == kind && region.bounds.contains(p)) {
        m_mode = Mode::MoveRegion;
        m_grab = p - region.bounds.topLeft();
        return true;
    }
    m_mode = Mode::NewRegion;
    m_start = QPointF(std::floor(p.x()), std::floor(p.y()));
    return move(event, view);
}

bool MeasureTools::move(QMouseEvent *event, const ViewTransform &view)
{
    const DecodedImage *image = m_model->image();
    if (m_mode == Mode::None || !image)
        return false;
    const QPointF p = clampToImage(view.toImage(event->localPos()));
    switch (m_mode) {
    case Mode::Line:
        if (QLineF(m_start, p).length() > 0)
            m_model->setLine(QLineF(m_start, p));
        break;
    case Mode::NewRegion: {
        // From the first pixel to the one under the pointer, both included.
        const double x = std::min(std::floor(p.x()), double(image->width) - 1);
        const double y = std::min(std::floor(p.y()), double(image->height) - 1);
        const QRectF r(QPointF(std::min(x, m_start.x()), std::min(y, m_start.y())),
                       QPointF(std::max(x, m_start.x()) + 1, std::max(y, m_start.y()) + 1));
        const auto kind = m_model->tool() == MeasureModel::Tool::Ellipse ? RegionShape::Kind::Ellipse
                                                                         : RegionShape::Kind::Rectangle;
        m_model->setRegion({kind, r});
        break;
    }
    case Mode::MoveRegion: {
        RegionShape region = m_model->region();
        const QSizeF size = region.bounds.size();
        const double left = std::clamp(std::round(p.x() - m_grab.x()), 0.0, std::max(0.0, image->width - size.width()));
        const double top = std::clamp(std::round(p.y() - m_grab.y()), 0.0, std::max(0.0, image->height - size.height()));
        if (QPointF(left, top) != region.bounds.topLeft()) {
            region.bounds.moveTopLeft(QPointF(left, top));
            m_model->setRegion(region);
        }
        break;
    }
    case Mode::None:
        break;
    }
    return true;
}

bool MeasureTools::release(QMouseEvent *event, const ViewTransform &view)
{
    const bool had = m_mode != Mode::None;
    if (had)
        move(event, view);
    m_mode = Mode::None;
    return had;
}

void MeasureTools::paint(QPainter &painter, const ViewTransform &view) const
{
    if (!m_model->image())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    if (m_model->hasRegion())
        paintRegion(painter, view);
    if (m_model->hasLine())
        paintLine(painter, view);
    if (m_model->scaleBar())
        paintScaleBar(painter, view);
    painter.restore();
}

void MeasureTools::paintLine(QPainter &painter, const ViewTransform &view) const
{
    const QLineF line = view.toView(m_model->line());
    QPainterPath path;
    path.moveTo(line.p1());
    path.lineTo(line.p2());
    strokeWithOutline(painter, path, kLineColour);
    const int width = m_model->lineWidth();
    if (width > 1 && line.length() > 0) {
        // The band that is averaged, as two dashed edges.
        const QPointF n = QPointF(-line.dy(), line.dx()) / line.length() * (width / 2.0 * view.zoom);
        QPainterPath band;
        band.moveTo(line.p1() + n);
        band.lineTo(line.p2() + n);
        band.moveTo(line.p1() - n);
        band.lineTo(line.p2() - n);
        strokeWithOutline(painter, band, kLineColour, Qt::DashLine);
    }
}

void MeasureTools::paintRegion(QPainter &painter, const ViewTransform &view) const
{
    const RegionShape region = m_model->region();
    const QRectF r = view.toView(region.bounds);
    QPainterPath path;
    if (region.kind == RegionShape::Kind::Ellipse)
        path.addEllipse(r);
    else
        path.addRect(r);
    strokeWithOutline(painter, path, kRegionColour);
}

void MeasureTools::paintScaleBar(QPainter &painter, const ViewTransform &view) const
{
    // In the corner of the image where it is smaller than the view, of the view otherwise.
    const DecodedImage *image = m_model->image();
    const QRectF shown = QRectF(QPointF(0, 0), QSizeF(view.viewSize))
                             .intersected(view.toView(QRectF(0, 0, image->width, image->height)));
    const ScaleBar bar = ScaleBar::choose(m_model->calibration(), view.zoom, int(shown.width()));
    if (!bar.valid() || shown.isEmpty())
        return;
    QFont font(QStringLiteral("Arial"), 12);
    font.setBold(true);
    const QFontMetricsF metrics(font);
    const double margin = 16, thickness = 6;
    const double right = shown.right() - margin, bottom = shown.bottom() - margin;
    const QRectF barRect(right - bar.viewLength, bottom - thickness, bar.viewLength, thickness);
    const double textWidth = metrics.horizontalAdvance(bar.label);
    const QPointF baseline(barRect.center().x() - textWidth / 2, barRect.top() - 6 - metrics.descent());
    // Drawn into an image placed on whole pixels, so its strokes fall as they would on the frame.
    const QRect area = barRect.united(QRectF(baseline.x(), baseline.y() - metrics.ascent(), textWidth, metrics.height()))
                           .toAlignedRect()
                           .adjusted(-4, -4, 4, 4);
    const QPointF shift = -QPointF(area.topLeft());
    const double ratio = painter.device() ? painter.device()->devicePixelRatioF() : 1.0;
    const QString key = QStringLiteral("%1|%2|%3|%4|%5|%6").arg(bar.label).arg(barRect.translated(shift).x()).arg(bar.viewLength)
                            .arg(barRect.translated(shift).y()).arg(area.width()).arg(ratio);
    if (key != m_barKey) {
        m_bar = QImage(area.size() * ratio, QImage::Format_ARGB32_Premultiplied);
        m_bar.setDevicePixelRatio(ratio);
        m_bar.fill(Qt::transparent);
        m_barKey = key;
        QPainter p(&m_bar);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.translate(shift);
        p.setPen(QPen(kShadow, 2));
        p.setBrush(Qt::white);
        p.drawRect(barRect);
        QPainterPath text;
        text.addText(baseline, font, bar.label);
        p.setPen(QPen(kShadow, 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(text);
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        p.drawPath(text);
    }
    painter.drawImage(area.topLeft(), m_bar);
}

QRegion MeasureTools::movingArea(const ViewTransform &view) const
{
    // Past the strokes (3.5 pixels wide, square ends) on every side.
    const int m = 4;
    QRegion area;
    if (m_model->hasRegion()) {
        const QRectF r = view.toView(m_model->region().bounds).normalized();
        const QRect outer = r.toAlignedRect().adjusted(-m, -m, m, m);
        // The outline only: a rectangle's inside, or the rectangle inside an ellipse.
        const bool ellipse = m_model->region().kind == RegionShape::Kind::Ellipse;
        const QPointF half = QPointF(r.width(), r.height()) / (ellipse ? 2 * std::sqrt(2.0) : 2.0);
        const QRectF inner = QRectF(r.center() - half, r.center() + half).adjusted(m, m, -m, -m);
        area += inner.isValid() ? QRegion(outer).subtracted(QRegion(inner.toRect())) : QRegion(outer);
    }
    if (m_model->hasLine()) {
        const QLineF line = view.toView(m_model->line());
        const double length = line.length();
        const QPointF along = length > 0 ? QPointF(line.dx(), line.dy()) / length : QPointF(1, 0);
        const QPointF across(-along.y(), along.x());
        const double reach = m_model->lineWidth() / 2.0 * view.zoom + m;
        QPolygonF band;
        band << line.p1() - along * m + across * reach << line.p2() + along * m + across * reach
             << line.p2() + along * m - across * reach << line.p1() - along * m - across * reach;
        area += QRegion(band.toPolygon());
    }
    return area;
}
