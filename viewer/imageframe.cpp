#include "viewer/imageframe.h"

#include <QHoverEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTouchEvent>
#include <QWheelEvent>

#include <cmath>
#include <cstring>
#include <new>

namespace {

QVector<QRgb> greyRamp()
{
    QVector<QRgb> table(256);
    for (int i = 0; i < 256; ++i)
        table[i] = qRgb(i, i, i);
    return table;
}

} // namespace

ImageFrame::ImageFrame(QWidget *parent) : QFrame(parent)
{
    setAttribute(Qt::WA_AcceptTouchEvents);
    setAttribute(Qt::WA_Hover, false);
}

ImageFrame::~ImageFrame()
{
    delete[] m_pixels;
}

bool ImageFrame::displayable() const
{
    return m_pixels && (m_bits == 8 || m_bits == 16 || m_bits == 24 || m_bits == 48);
}

void ImageFrame::slotSetImageData(unsigned char *data, int width, int height, int bits)
{
    const int bytesPerPixel = bits / 8;
    qsizetype total = qsizetype(width) * bytesPerPixel * height;
    if (!data || width <= 0 || height <= 0 || bytesPerPixel <= 0)
        total = 0;
    const bool sizeChanged = width != m_imageWidth || height != m_imageHeight;
    if (sizeChanged || bits != m_bits || total != m_pixelBytes || !m_pixels) {
        delete[] m_pixels;
        m_pixels = total > 0 ? new (std::nothrow) unsigned char[size_t(total)] : nullptr;
        m_pixelBytes = m_pixels ? total : 0;
        m_bits = bits;
    }
    if (m_pixels)
        std::memcpy(m_pixels, data, size_t(total));
    if (sizeChanged) {
        m_zoom = 1.0;
        m_imageWidth = width;
        m_imageHeight = height;
        m_overlay.imageSize = QSize(width, height);
        m_overlay.visibleSize = size();
        m_offsetX = m_offsetY = 0;
        updateOverlayViewport();
        m_sourceWidth = this->width();
        m_sourceHeight = this->height();
    }
    if (m_pixels && (bits == 16 || bits == 48))
        m_range = sampleRange(reinterpret_cast<const uint16_t *>(m_pixels), size_t(total / 2));

    m_message.clear();
    QImage image = displayImage();
    if (image.isNull()) {
        m_pixmap = QPixmap();
        m_message = total > 0 && !m_pixels
            ? tr("The image is too large to be shown.")
            : tr("Images with %1 bits per pixel cannot be shown.").arg(bits);
    } else {
        m_pixmap = QPixmap::fromImage(std::move(image));
    }
    update();
}

QImage ImageFrame::displayImage() const
{
    if (!displayable())
        return QImage();
    if (m_bits == 16 || m_bits == 48) {
        // Mapped straight into the screen's pixel layout: the pixmap then takes the
        // image as it is instead of converting 16 million pixels once more.
        QImage image(m_imageWidth, m_imageHeight, QImage::Format_RGB32);
        if (image.isNull())
            return image; // no memory for it
        const DisplayMap map(m_range);
        const auto *values = reinterpret_cast<const uint16_t *>(m_pixels);
        const qsizetype rowValues = qsizetype(m_imageWidth) * (m_bits == 48 ? 3 : 1);
        for (int y = 0; y < m_imageHeight; ++y) {
            auto *row = reinterpret_cast<uint32_t *>(image.scanLine(y));
            if (m_bits == 16)
                map.mapGrey(values + y * rowValues, size_t(m_imageWidth), row);
            else
                map.mapRgb(values + y * rowValues, size_t(m_imageWidth), row);
        }
        return image;
    }
    const bool grey = m_bits == 8;
    QImage image(m_imageWidth, m_imageHeight, grey ? QImage::Format_Indexed8 : QImage::Format_RGB888);
    if (image.isNull())
        return image;
    if (grey)
        image.setColorTable(greyRamp());
    const qsizetype rowBytes = qsizetype(m_imageWidth) * (grey ? 1 : 3);
    if (image.bytesPerLine() == rowBytes) {
        std::memcpy(image.bits(), m_pixels, size_t(rowBytes) * m_imageHeight);
    } else {
        for (int y = 0; y < m_imageHeight; ++y)
            std::memcpy(image.scanLine(y), m_pixels + y * rowBytes, size_t(rowBytes));
    }
    return image;
}

void ImageFrame::showMessage(const QString &text)
{
    delete[] m_pixels;
    m_pixels = nullptr;
    m_pixelBytes = 0;
    m_imageWidth = m_imageHeight = m_bits = 0;
    m_pixmap = QPixmap();
    m_zoom = 1.0;
    m_offsetX = m_offsetY = 0;
    m_sourceWidth = width();
    m_sourceHeight = height();
    m_showOverlay = false;
    m_dragging = false;
    m_message = text;
    update();
}

int ImageFrame::maxOffsetX() const
{
    return int(m_imageWidth - width() / m_zoom);
}

int ImageFrame::maxOffsetY() const
{
    return int(m_imageHeight - height() / m_zoom);
}

void ImageFrame::setZoom(double zoom, int centerX, int centerY)
{
    if (zoom == 1.0)
        m_showOverlay = false;
    if (zoom >= 1.0) {
        if (m_zoom < 1.0) { // the pixmap holds a reduced copy: back to full size
            if (!displayable())
                return;
            m_pixmap = QPixmap::fromImage(displayImage());
            m_overlay.imageSize = QSize(m_imageWidth, m_imageHeight);
        }
        m_zoom = zoom;
    } else {
        if (!displayable())
            return;
        // Reduce only while the reduced image still exceeds the frame both ways.
        if (width() >= m_imageWidth * zoom || height() >= m_imageHeight * zoom)
            return;
        m_zoom = zoom;
        m_pixmap = QPixmap::fromImage(displayImage().scaled(int(m_imageWidth * zoom),
                                                            int(m_imageHeight * zoom),
                                                            Qt::IgnoreAspectRatio,
                                                            Qt::FastTransformation));
        m_overlay.imageSize = QSize(int(width() / m_zoom), int(height() / m_zoom));
    }
    m_sourceWidth = int(width() / m_zoom);
    m_sourceHeight = int(height() / m_zoom);
    m_overlay.visibleSize = QSize(m_sourceWidth, m_sourceHeight);

    m_offsetX = qMin(centerX - m_sourceWidth / 2, maxOffsetX());
    if (m_offsetX < 0)
        m_offsetX = 0;
    m_offsetY = qMin(centerY - m_sourceHeight / 2, maxOffsetY());
    if (m_offsetY < 0)
        m_offsetY = 0;
    m_anchor = QPoint(int((centerX - m_offsetX) * m_zoom + 1.0),
                      int((centerY - m_offsetY) * m_zoom + 1.0));
    updateOverlayViewport();
    update();
}

void ImageFrame::updateOverlayViewport()
{
    const QRect &outline = m_overlay.outline;
    const QSize image = m_overlay.imageSize;
    const QSize visible = m_overlay.visibleSize;
    if (image.width() <= 0 || image.height() <= 0) {
        m_overlay.viewport = QRect();
        return;
    }
    const int left = outline.width() * m_offsetX / image.width();
    const int top = outline.height() * m_offsetY / image.height();
    const int w = outline.width() - outline.width() * (image.width() - visible.width()) / image.width();
    const int h = outline.height()
        - outline.height() * (image.height() - visible.height()) / image.height();
    m_overlay.viewport = QRect(left, top, w, h);
}

bool ImageFrame::event(QEvent *event)
{
    const int previous = m_lastEventType;
    m_lastEventType = event->type();
    switch (event->type()) {
    case QEvent::MouseMove:
        // Mouse moves synthesised from a touch would drag the view under the fingers.
        if (previous == QEvent::TouchBegin || previous == QEvent::TouchUpdate
            || previous == QEvent::TouchEnd)
            return false;
        return QFrame::event(event);
    case QEvent::HoverMove:
        if (m_dragging)
            return QFrame::event(event);
        readOut(static_cast<QHoverEvent *>(event)->pos());
        return true;
    case QEvent::HoverLeave:
        emit signalOutsideImage();
        return QFrame::event(event);
    case QEvent::TouchBegin:
        // Qt hands the rest of a touch sequence only to the widget that accepted its
        // beginning; without this the second finger would never arrive.
        event->accept();
        return true;
    case QEvent::TouchUpdate:
        return pinch(static_cast<QTouchEvent *>(event));
    case QEvent::TouchEnd:
        m_pinching = false;
        return false;
    case QEvent::Gesture:
        return true;
    default:
        return QFrame::event(event);
    }
}

void ImageFrame::readOut(const QPoint &pos)
{
    const int x = int(std::floor(pos.x() / m_zoom)) + m_offsetX;
    const int y = int(std::floor(pos.y() / m_zoom)) + m_offsetY;
    if (!displayable() || x < 0 || y < 0 || x >= m_imageWidth || y >= m_imageHeight) {
        emit signalOutsideImage();
        return;
    }
    emit signalCurrentPosition(x, y);
    const qsizetype index = qsizetype(y) * m_imageWidth + x;
    const auto *values = reinterpret_cast<const uint16_t *>(m_pixels);
    switch (m_bits) {
    case 8:
        emit signalIntensity(int(m_pixels[index]));
        break;
    case 24:
        emit signalIntensity(m_pixels[3 * index], m_pixels[3 * index + 1], m_pixels[3 * index + 2]);
        break;
    case 16:
        emit signalIntensity(int(values[index]));
        break;
    case 48:
        emit signalIntensity(values[3 * index], values[3 * index + 1], values[3 * index + 2]);
        break;
    }
}

bool ImageFrame::pinch(QTouchEvent *event)
{
    const QList<QTouchEvent::TouchPoint> points = event->touchPoints();
    if (points.size() != 2)
        return true;
    const QPointF a = points.first().pos();
    const QPointF b = points.last().pos();
    if (!m_pinching) { // the second finger has just come down
        m_pinching = true;
        m_anchor = QPoint(int((a.x() + b.x()) * 0.5), int((a.y() + b.y()) * 0.5));
        m_lastPinchLine = QLineF(a, b);
        return false;
    }
    const QLineF line(a, b);
    double zoom = m_zoom;
    if (m_lastPinchLine.length() > line.length()) {
        if (zoom > 1.0)
            zoom -= 0.05;
        zoom = qMax(zoom, 1.0);
    } else {
        if (zoom < 4.0)
            zoom += 0.05;
        zoom = qMin(zoom, 4.0);
    }
    if (zoom != m_zoom)
        setZoom(zoom, int(m_anchor.x() / m_zoom + m_offsetX), int(m_anchor.y() / m_zoom + m_offsetY));
    m_lastPinchLine = line;
    return true;
}

void ImageFrame::mousePressEvent(QMouseEvent *event)
{
    // The press is kept even when it starts no drag, so it never moves the window.
    if (m_pinching || !m_pixels)
        return;
    m_dragging = true;
    m_lastMousePos = event->pos();
}

void ImageFrame::mouseReleaseEvent(QMouseEvent *)
{
    m_dragging = false;
}

void ImageFrame::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_dragging)
        return;
    const QPoint p = event->pos();
    const int nx = m_offsetX + (m_lastMousePos.x() - p.x());
    const int ny = m_offsetY + (m_lastMousePos.y() - p.y());
    m_offsetX = nx < 0 ? 0 : qMax(0, qMin(nx, maxOffsetX()));
    m_offsetY = ny < 0 ? 0 : qMax(0, qMin(ny, maxOffsetY()));
    updateOverlayViewport();
    m_lastMousePos = p;
    update();
}

void ImageFrame::wheelEvent(QWheelEvent *event)
{
    event->ignore(); // travels on: the browser refreshes its zoom label from it
    const int delta = event->angleDelta().y();
    if (delta == 0)
        return; // a purely horizontal wheel has no zoom direction
    double zoom = m_zoom;
    bool stepped = false;
    if (delta > 0) {
        if (m_zoom == 3.0)
            return;
        if (m_zoom < 3.0) {
            zoom = m_zoom + 0.25;
            stepped = true;
        }
    } else if (m_zoom > 1.0) {
        zoom = m_zoom - 0.25;
        stepped = true;
    }
    if (stepped) {
        if (zoom == 1.0) {
            m_showOverlay = false;
        } else {
            m_showOverlay = true;
            m_overlay.color = QColor(255, 255, 0);
            m_overlay.outline = QRect(0, 0, 100, 68);
        }
    }
    const QPointF cursor = event->position();
    setZoom(zoom, int(cursor.x() / m_zoom + m_offsetX), int(cursor.y() / m_zoom + m_offsetY));
}

void ImageFrame::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event); // the panel shows where no picture covers it
    QPainter painter(this);
    if (m_pixmap.isNull()) {
        if (!m_message.isEmpty()) {
            QFont font(QStringLiteral("Arial"), 11);
            font.setBold(true);
            painter.setFont(font);
            painter.setPen(QColor(225, 225, 225));
            painter.drawText(rect().adjusted(24, 24, -24, -24), Qt::AlignCenter | Qt::TextWordWrap,
                             m_message);
        }
        return;
    }
    if (m_sourceWidth > 0 && m_sourceHeight > 0) {
        // Only the part of the source rectangle inside the pixmap, at the same scale.
        const QRectF source(m_offsetX, m_offsetY, m_sourceWidth, m_sourceHeight);
        const QRectF inside = source.intersected(QRectF(m_pixmap.rect()));
        if (!inside.isEmpty()) {
            const double sx = width() / double(m_sourceWidth);
            const double sy = height() / double(m_sourceHeight);
            const QRectF target((inside.x() - source.x()) * sx, (inside.y() - source.y()) * sy,
                                inside.width() * sx, inside.height() * sy);
            painter.drawPixmap(target, m_pixmap, inside);
        }
    }
    if (m_showOverlay) {
        painter.setPen(m_overlay.color);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(m_overlay.outline);
        painter.drawRect(m_overlay.viewport);
    }
}

void ImageFrame::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    setZoom(m_zoom, int(m_anchor.x() / m_zoom + m_offsetX), int(m_anchor.y() / m_zoom + m_offsetY));
}
