// ImageFrame: what it draws, for the screen and for an exported view alike.
#include "viewer/imageframe.h"

#include "viewer/frametool.h"

#include <QPainter>

#include <cmath>

void ImageFrame::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event); // the panel shows where no picture covers it
    QPainter painter(this);
    if (!hasPicture()) {
        if (!m_message.isEmpty()) {
            QFont font(QStringLiteral("Arial"), 11);
            font.setBold(true);
            painter.setFont(font);
            painter.setPen(QColor(225, 225, 225));
            painter.drawText(rect().adjusted(24, 24, -24, -24), Qt::AlignCenter | Qt::TextWordWrap, m_message);
        }
        return;
    }
    const ViewTransform view = viewTransform();
    paintView(painter, view, true);
    m_toolArea = m_tool ? m_tool->movingArea(view) : QRegion();
    if (m_showOverlay) {
        painter.setPen(m_overlay.color);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(m_overlay.outline);
        painter.drawRect(m_overlay.viewport);
    }
}

void ImageFrame::toolChanged()
{
    if (!m_tool || !hasPicture()) {
        update();
        return;
    }
    update(m_toolArea | m_tool->movingArea(viewTransform()));
}

void ImageFrame::paintView(QPainter &painter, const ViewTransform &view, bool cached) const
{
    if (!m_image)
        return;
    if (!cached) {
        painter.drawImage(0, 0, m_display.view(*m_image, view));
    } else {
        const bool same = m_viewCacheKey == m_display.generation() && m_viewCacheView.zoom == view.zoom
            && m_viewCacheView.offset == view.offset && m_viewCacheView.viewSize == view.viewSize;
        if (!same) {
            // Transparent where the picture does not reach, so the panel shows there.
            m_viewCache = m_display.view(*m_image, view);
            m_viewCacheKey = m_display.generation();
            m_viewCacheView = view;
        }
        painter.drawImage(0, 0, m_viewCache);
    }
    if (m_tool)
        m_tool->paint(painter, view);
}

ViewTransform ImageFrame::viewTransform() const
{
    ViewTransform view;
    view.zoom = m_zoom;
    view.offset = QPointF(m_offsetX, m_offsetY);
    view.viewSize = size();
    return view;
}

QImage ImageFrame::renderView(bool wholeImage) const
{
    if (!hasPicture())
        return QImage();
    ViewTransform view = viewTransform();
    if (wholeImage) {
        view.zoom = 1.0;
        view.offset = QPointF();
        view.viewSize = QSize(m_imageWidth, m_imageHeight);
    } else {
        // The frame's size, less what lies past the image's right and bottom edges.
        view.viewSize = QSize(std::min(width(), int(std::ceil((m_imageWidth - m_offsetX) * m_zoom))),
                              std::min(height(), int(std::ceil((m_imageHeight - m_offsetY) * m_zoom))));
    }
    QImage out(view.viewSize, QImage::Format_RGB32);
    if (out.isNull())
        return out;
    out.fill(Qt::black);
    QPainter painter(&out);
    paintView(painter, view);
    return out;
}

void ImageFrame::setColouring(LookupTable table, bool hiLo)
{
    if (table == LookupTable::Grey && !hiLo && !m_display.coloured())
        return;
    m_display.setColouring(table, hiLo);
    if (m_image)
        m_display.render(*m_image, m_range);
    update();
}
