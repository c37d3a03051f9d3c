// ImageFrame: what it draws, for the screen and for an exported view alike.
#include "viewer/imageframe.h"

#include "viewer/frametool.h"

#include <QPainter>

#include <cmath>

namespace {

// Only the part of the source rectangle inside the picture, at the same scale.
void drawPicture(QPainter &painter, const ViewTransform &view, const QImage &picture)
{
    const QRectF inside = view.visibleImageRect().intersected(QRectF(picture.rect()));
    if (!inside.isEmpty())
        painter.drawImage(view.toView(inside), picture, inside);
}

} // namespace

void ImageFrame::paintView(QPainter &painter, const ViewTransform &view, bool cached) const
{
    const QImage &picture = m_display.picture();
    if (!cached) {
        drawPicture(painter, view, picture);
    } else {
        const bool same = m_viewCacheKey == picture.cacheKey() && m_viewCacheView.zoom == view.zoom
            && m_viewCacheView.offset == view.offset && m_viewCacheView.viewSize == view.viewSize;
        if (!same) {
            // Transparent where the picture does not reach, so the panel shows there.
            m_viewCache = QImage(view.viewSize, QImage::Format_ARGB32_Premultiplied);
            m_viewCache.fill(Qt::transparent);
            QPainter cache(&m_viewCache);
            drawPicture(cache, view, picture);
            m_viewCacheKey = picture.cacheKey();
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
