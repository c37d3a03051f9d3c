#include "viewer/imageframe.h"

#include "viewer/contrastmodel.h"
#include "viewer/frametool.h"
#include "viewer/imagestatistics.h"
#include "viewer/pixelreadout.h"

#include <QHoverEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTouchEvent>
#include <QWheelEvent>

#include <cmath>
#include <cstring>

ImageFrame::ImageFrame(QWidget *parent) : QFrame(parent)
{
    setAttribute(Qt::WA_AcceptTouchEvents);
    setAttribute(Qt::WA_Hover, false);
    m_overlay.color = QColor(255, 255, 0);
    m_overlay.outline = QRect(0, 0, 100, 68);
}

ImageFrame::~ImageFrame() = default;

void ImageFrame::slotSetImageData(unsigned char *data, int width, int height, int bits)
{
    if (!data || width <= 0 || height <= 0 || (bits != 8 && bits != 16 && bits != 24 && bits != 48)) {
        showMessage(tr("Images with %1 bits per pixel cannot be shown.").arg(bits));
        return;
    }
    auto image = std::make_shared<DecodedImage>();
    image->width = uint32_t(width);
    image->height = uint32_t(height);
    image->channels = image->colourChannels = (bits == 24 || bits == 48) ? 3 : 1;
    image->bits = bits == 16 || bits == 48 ? 16 : 8;
    const size_t values = image->valueCount();
    const bool ok = image->bits == 16 ? image->values16.allocate(values) : image->values8.allocate(values);
    if (!ok) {
        showMessage(tr("The image is too large to be shown."));
        return;
    }
    std::memcpy(image->bits == 16 ? static_cast<void *>(image->values16.data()) : image->values8.data(),
                data, values * size_t(image->bits / 8));
    const DisplayRange range = image->wide()
        ? ContrastModel::automatic(*image, ImageStatistics::of(*image))
        : ContrastModel::typeRange(*image);
    setImage(std::move(image), range, true);
}

void ImageFrame::setImage(std::shared_ptr<const DecodedImage> image, const DisplayRange &range, bool keepView)
{
    m_image = std::move(image);
    m_range = range;
    m_message.clear();
    if (!m_image) {
        showMessage(QString());
        return;
    }
    if (!m_display.render(*m_image, m_range)) {
        const QSize size(int(m_image->width), int(m_image->height));
        m_image.reset();
        showMessage(tr("There is not enough memory to show an image of %1 x %2 pixels.")
                        .arg(size.width()).arg(size.height()));
        return;
    }
    const bool sizeChanged = int(m_image->width) != m_imageWidth || int(m_image->height) != m_imageHeight;
    m_imageWidth = int(m_image->width);
    m_imageHeight = int(m_image->height);
    if (sizeChanged || !keepView) {
        m_zoom = 1.0;
        m_offsetX = m_offsetY = 0;
        m_anchor = QPoint();
        fitToWindow();
    } else {
        setZoom(m_zoom, m_offsetX + m_sourceWidth / 2, m_offsetY + m_sourceHeight / 2);
    }
    update();
}

void ImageFrame::setDisplayRange(const DisplayRange &range)
{
    if (range == m_range && m_display.ready())
        return; // already shown so: a second pass over the image would change nothing
    m_range = range;
    if (m_image)
        m_display.render(*m_image, m_range);
    update();
}

void ImageFrame::showMessage(const QString &text)
{
    m_image.reset();
    m_display.clear();
    m_viewCache = QImage();
    m_imageWidth = m_imageHeight = 0;
    m_zoom = 1.0;
    m_offsetX = m_offsetY = 0;
    m_sourceWidth = width();
    m_sourceHeight = height();
    m_showOverlay = false;
    m_dragging = false;
    m_message = text;
    update();
}

double ImageFrame::fitZoom() const
{
    if (m_imageWidth <= 0 || m_imageHeight <= 0 || width() <= 0 || height() <= 0)
        return 1.0;
    return std::min({1.0, double(width()) / m_imageWidth, double(height()) / m_imageHeight});
}

void ImageFrame::fitToWindow()
{
    setZoom(fitZoom(), m_imageWidth / 2, m_imageHeight / 2);
    m_fitted = true;
}

void ImageFrame::zoomOneToOne()
{
    const QPoint c = viewCentre();
    setZoom(1.0, c.x(), c.y());
}

QPoint ImageFrame::viewCentre() const
{
    return QPoint(m_sourceWidth >= m_imageWidth ? m_imageWidth / 2 : m_offsetX + m_sourceWidth / 2,
                  m_sourceHeight >= m_imageHeight ? m_imageHeight / 2 : m_offsetY + m_sourceHeight / 2);
}

// An image narrower (or lower) than the view sits in its middle: the offset goes negative
// by half the room to spare. Otherwise the view stays within the image.
static int placeOffset(int wanted, int maxOffset)
{
    return maxOffset < 0 ? maxOffset / 2 : std::clamp(wanted, 0, maxOffset);
}

// Steps of 0.25 from 1.0 up, of a factor 1.25 below 1.0 down to the fit.
static double nextZoom(double zoom, int direction, double fit)
{
    if (direction > 0) {
        if (zoom < 1.0)
            return std::min(zoom * 1.25, 1.0);
        return std::min(zoom + 0.25, ImageFrame::kMaxWheelZoom);
    }
    if (zoom > 1.0)
        return std::max(zoom - 0.25, 1.0);
    return std::max(zoom / 1.25, fit);
}

void ImageFrame::zoomStep(int direction)
{
    const QPoint c = viewCentre();
    setZoom(nextZoom(m_zoom, direction, fitZoom()), c.x(), c.y());
}

bool ImageFrame::pan(int dx, int dy)
{
    const QPoint before(m_offsetX, m_offsetY);
    m_offsetX = placeOffset(m_offsetX + int(dx / m_zoom), maxOffsetX());
    m_offsetY = placeOffset(m_offsetY + int(dy / m_zoom), maxOffsetY());
    updateOverlay();
    update();
    return QPoint(m_offsetX, m_offsetY) != before;
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
    m_fitted = false;
    m_zoom = std::clamp(zoom, std::min(minZoom(), 1.0), kMaxZoom);
    m_sourceWidth = int(width() / m_zoom);
    m_sourceHeight = int(height() / m_zoom);
    m_offsetX = placeOffset(centerX - m_sourceWidth / 2, maxOffsetX());
    m_offsetY = placeOffset(centerY - m_sourceHeight / 2, maxOffsetY());
    m_anchor = QPoint(int((centerX - m_offsetX) * m_zoom + 1.0), int((centerY - m_offsetY) * m_zoom + 1.0));
    updateOverlay();
    update();
    emit signalZoomChanged();
}

void ImageFrame::updateOverlay()
{
    // The mini-map shows while part of the image is out of view.
    m_showOverlay = m_imageWidth > 0 && (m_sourceWidth < m_imageWidth || m_sourceHeight < m_imageHeight);
    m_overlay.imageSize = QSize(m_imageWidth, m_imageHeight);
    m_overlay.visibleSize = QSize(std::min(m_sourceWidth, m_imageWidth), std::min(m_sourceHeight, m_imageHeight));
    // The outline keeps the image's proportions within 100 x 100 pixels.
    if (m_imageWidth > 0 && m_imageHeight > 0) {
        const double scale = 100.0 / std::max(m_imageWidth, m_imageHeight);
        m_overlay.outline = QRect(0, 0, std::max(4, int(m_imageWidth * scale)), std::max(4, int(m_imageHeight * scale)));
    }
    const QRect &outline = m_overlay.outline;
    const QSize image = m_overlay.imageSize;
    const QSize visible = m_overlay.visibleSize;
    if (image.width() <= 0 || image.height() <= 0) {
        m_overlay.viewport = QRect();
        return;
    }
    const int left = outline.width() * std::max(0, m_offsetX) / image.width();
    const int top = outline.height() * std::max(0, m_offsetY) / image.height();
    const int w = std::max(1, outline.width() * visible.width() / image.width());
    const int h = std::max(1, outline.height() * visible.height() / image.height());
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

QString ImageFrame::readOutText(int x, int y) const
{
    if (!m_image || x < 0 || y < 0 || x >= m_imageWidth || y >= m_imageHeight)
        return QString();
    const QRgb shown = m_display.shown(*m_image, uint32_t(x), uint32_t(y));
    const bool grey = !m_image->palette && m_image->colourChannels == 1 && !m_display.coloured();
    QString where;
    if (m_calibration.valid())
        where = tr("(%1, %2 %3)  ").arg((x + 0.5) * m_calibration.pixelWidth, 0, 'g', 5)
                    .arg((y + 0.5) * m_calibration.pixelHeight, 0, 'g', 5).arg(m_calibration.unit);
    const QString level = grey ? tr("shown %1").arg(qRed(shown))
                               : tr("shown %1, %2, %3").arg(qRed(shown)).arg(qGreen(shown)).arg(qBlue(shown));
    return tr("X %1  Y %2  %3%4  (%5)").arg(x).arg(y).arg(where, storedValuesText(*m_image, uint32_t(x), uint32_t(y)), level);
}

void ImageFrame::readOut(const QPoint &pos)
{
    const int x = int(std::floor(pos.x() / m_zoom)) + m_offsetX;
    const int y = int(std::floor(pos.y() / m_zoom)) + m_offsetY;
    if (!m_image || x < 0 || y < 0 || x >= m_imageWidth || y >= m_imageHeight) {
        emit signalOutsideImage();
        return;
    }
    emit signalCurrentPosition(x, y);
    const size_t first = (size_t(y) * m_image->width + size_t(x)) * size_t(m_image->channels);
    if (m_image->colourChannels == 3)
        emit signalIntensity(int(m_image->storedValue(first)), int(m_image->storedValue(first + 1)),
                             int(m_image->storedValue(first + 2)));
    else
        emit signalIntensity(int(m_image->storedValue(first)));
    emit signalReadOut(readOutText(x, y));
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
    const double low = std::min(1.0, minZoom());
    double zoom = m_zoom;
    if (m_lastPinchLine.length() > line.length())
        zoom = std::max(zoom - 0.05, low);
    else
        zoom = std::min(zoom + 0.05, kMaxZoom);
    if (zoom != m_zoom)
        setZoom(zoom, int(m_anchor.x() / m_zoom + m_offsetX), int(m_anchor.y() / m_zoom + m_offsetY));
    m_lastPinchLine = line;
    return true;
}

void ImageFrame::mousePressEvent(QMouseEvent *event)
{
    // The press is kept even when it starts no drag, so it never moves the window.
    if (m_pinching || !m_image)
        return;
    if (m_tool && m_tool->press(event, viewTransform())) {
        m_toolDragging = true;
        toolChanged();
        return;
    }
    m_dragging = true;
    m_lastMousePos = event->pos();
}

void ImageFrame::mouseReleaseEvent(QMouseEvent *event)
{
    m_dragging = false;
    const bool tool = m_toolDragging && m_tool;
    if (tool)
        m_tool->release(event, viewTransform());
    m_toolDragging = false;
    if (tool)
        toolChanged();
    else
        update();
}

void ImageFrame::mouseMoveEvent(QMouseEvent *event)
{
    if (m_toolDragging && m_tool) {
        m_tool->move(event, viewTransform());
        readOut(event->pos());
        toolChanged();
        return;
    }
    if (!m_dragging)
        return;
    const QPoint p = event->pos();
    const int nx = m_offsetX + (m_lastMousePos.x() - p.x());
    const int ny = m_offsetY + (m_lastMousePos.y() - p.y());
    m_offsetX = placeOffset(nx, maxOffsetX());
    m_offsetY = placeOffset(ny, maxOffsetY());
    updateOverlay();
    m_lastMousePos = p;
    update();
}

void ImageFrame::wheelEvent(QWheelEvent *event)
{
    event->ignore(); // travels on: the browser refreshes its zoom label from it
    const int delta = event->angleDelta().y();
    if (delta == 0 || !m_image)
        return; // a purely horizontal wheel has no zoom direction
    const double zoom = nextZoom(m_zoom, delta > 0 ? 1 : -1, fitZoom());
    const QPointF cursor = event->position();
    // The image point under the pointer stays under it.
    const double ix = cursor.x() / m_zoom + m_offsetX, iy = cursor.y() / m_zoom + m_offsetY;
    setZoom(zoom, int(ix - cursor.x() / zoom + width() / zoom / 2),
            int(iy - cursor.y() / zoom + height() / zoom / 2));
}

void ImageFrame::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    // A view fitted to the frame stays fitted when the window is resized.
    if (m_fitted && m_imageWidth > 0)
        fitToWindow();
    else
        setZoom(m_zoom, int(m_anchor.x() / m_zoom + m_offsetX), int(m_anchor.y() / m_zoom + m_offsetY));
}
