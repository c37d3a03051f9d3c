#pragma once
#include "viewer/displaymap.h"

#include <QColor>
#include <QFrame>
#include <QImage>
#include <QLineF>
#include <QPixmap>
#include <QPoint>
#include <QRect>
#include <QSize>

// The mini-map: outline stands for the whole image, viewport for the part in view.
struct ViewportOverlay
{
    QColor color;
    QRect outline;
    QRect viewport;
    QSize imageSize;
    QSize visibleSize;
};

// Shows one raw pixel buffer unscaled at factor 1.0 (cropped, top-left aligned); zooms
// with the wheel and two fingers, pans by dragging, and reads out the pixel under the
// pointer while hover events are on. 16-bit samples are shown mapped to 8 bits.
class ImageFrame : public QFrame
{
    Q_OBJECT
public:
    explicit ImageFrame(QWidget *parent = nullptr);
    ~ImageFrame() override;

    void setZoom(double zoom, int centerX, int centerY);
    double zoom() const { return m_zoom; }

    // Drops the picture and shows text in its place: a file that cannot be shown must
    // never leave the previous image on screen under the new name.
    void showMessage(const QString &text);
    QString message() const { return m_message; }

    // Read access for the owner and tests.
    bool hasPicture() const { return !m_pixmap.isNull(); }
    QSize imageSize() const { return QSize(m_imageWidth, m_imageHeight); }
    QPoint offset() const { return QPoint(m_offsetX, m_offsetY); }
    QSize sourceSize() const { return QSize(m_sourceWidth, m_sourceHeight); }
    bool overlayShown() const { return m_showOverlay; }
    const ViewportOverlay &overlay() const { return m_overlay; }

signals:
    void signalCurrentPosition(int x, int y);
    void signalIntensity(int intensity);
    void signalIntensity(int r, int g, int b);
    // The pointer is over no pixel of the image (past its edge, or it left the frame).
    void signalOutsideImage();

public slots:
    void slotSetImageData(unsigned char *data, int width, int height, int bits);

protected:
    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    bool displayable() const;
    QImage displayImage() const;
    void updateOverlayViewport();
    void readOut(const QPoint &pos);
    bool pinch(class QTouchEvent *event);
    int maxOffsetX() const;
    int maxOffsetY() const;

    QPixmap m_pixmap;
    bool m_dragging = false;
    int m_offsetX = 0;
    int m_offsetY = 0;
    QPoint m_lastMousePos;
    QPoint m_anchor;
    int m_imageWidth = 0;
    int m_imageHeight = 0;
    int m_bits = 0;
    unsigned char *m_pixels = nullptr;
    double m_zoom = 1.0;
    ViewportOverlay m_overlay;
    bool m_showOverlay = false;
    int m_sourceWidth = 0;
    int m_sourceHeight = 0;
    int m_lastEventType = 0;
    bool m_pinching = false;
    QLineF m_lastPinchLine;
    qsizetype m_pixelBytes = 0;
    SampleRange m_range; // of 16-bit data, found once per image
    QString m_message;
};
