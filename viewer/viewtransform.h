#pragma once
#include <QLineF>
#include <QPointF>
#include <QRectF>
#include <QSize>

// Where the image lies in a view: view point p shows image point p / zoom + offset, with
// pixel (x, y) covering [x, x + 1) x [y, y + 1) of the image. Shared by the frame, its
// tools and the export, so what is measured is what is drawn.
struct ViewTransform
{
    double zoom = 1.0;
    QPointF offset;  // image point at the view's top-left corner
    QSize viewSize;  // in view pixels

    QPointF toImage(const QPointF &view) const { return view / zoom + offset; }
    QPointF toView(const QPointF &image) const { return (image - offset) * zoom; }
    QRectF toView(const QRectF &image) const { return QRectF(toView(image.topLeft()), toView(image.bottomRight())); }
    QLineF toView(const QLineF &image) const { return QLineF(toView(image.p1()), toView(image.p2())); }
    // The image area in view, before clipping to the image.
    QRectF visibleImageRect() const
    {
        return QRectF(offset, QSizeF(viewSize.width() / zoom, viewSize.height() / zoom));
    }
};
