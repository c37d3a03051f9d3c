#pragma once
#include "viewer/decodedimage.h"
#include "viewer/displayimage.h"
#include "viewer/calibration.h"
#include "viewer/displaymap.h"
#include "viewer/lookuptable.h"
#include "viewer/viewtransform.h"

#include <QColor>
#include <QFrame>
#include <QImage>
#include <QLineF>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <memory>

class FrameTool;

// The mini-map: outline stands for the whole image, viewport for the part in view.
struct ViewportOverlay
{
    QColor color;
    QRect outline;
    QRect viewport;
    QSize imageSize;
    QSize visibleSize;
};

// Shows one decoded image under a display range. Zooms from "fit to the frame" up to
// 4x (wheel and keys up to 3x), pans by dragging or by the owner's keys, shows a
// mini-map while part of the image is out of view, and reads out the stored values and
// the shown level of the pixel under the pointer while hover events are on.
class ImageFrame : public QFrame
{
    Q_OBJECT
public:
    static constexpr double kMaxWheelZoom = 3.0;
    static constexpr double kMaxZoom = 4.0;

    explicit ImageFrame(QWidget *parent = nullptr);
    ~ImageFrame() override;

    // Takes the image without copying it. Images larger than the frame are fitted into
    // it, smaller ones shown at 1:1; with keepView an image of the same size keeps the
    // zoom and position, so paging compares the same region.
    void setImage(std::shared_ptr<const DecodedImage> image, const DisplayRange &range, bool keepView = false);
    void setDisplayRange(const DisplayRange &range);
    const DecodedImage *image() const { return m_image.get(); }
    // The whole image as shown, at 1:1 (made on request: the frame itself makes only what is in view).
    QImage picture() const { return m_image ? m_display.picture(*m_image) : QImage(); }

    void setZoom(double zoom, int centerX, int centerY);
    double zoom() const { return m_zoom; }
    // The factor at which the whole image fits the frame; never above 1.0.
    double fitZoom() const;
    void fitToWindow();
    void zoomOneToOne();
    void zoomStep(int direction); // around the middle of the view
    // Moves the view by frame pixels; false when it could not move that way.
    bool pan(int dx, int dy);
    bool wholeWidthVisible() const { return m_sourceWidth >= m_imageWidth; }
    bool wholeHeightVisible() const { return m_sourceHeight >= m_imageHeight; }

    // Drops the picture and shows text in its place: a file that cannot be shown must
    // never leave the previous image on screen under the new name.
    void showMessage(const QString &text);
    QString message() const { return m_message; }

    bool hasPicture() const { return m_image && m_display.ready() && m_message.isEmpty(); }
    QSize imageSize() const { return QSize(m_imageWidth, m_imageHeight); }
    QPoint offset() const { return QPoint(m_offsetX, m_offsetY); }
    QSize sourceSize() const { return QSize(m_sourceWidth, m_sourceHeight); }
    bool overlayShown() const { return m_showOverlay; }
    const ViewportOverlay &overlay() const { return m_overlay; }
    // The read-out for image pixel (x, y): stored values, then the shown level.
    QString readOutText(int x, int y) const;

    void setColouring(LookupTable table, bool hiLo);
    // The read-out adds the position in units where the image is calibrated.
    void setCalibration(const Calibration &calibration) { m_calibration = calibration; }
    // Takes mouse presses first and draws over the picture; not owned.
    void setTool(FrameTool *tool) { m_tool = tool; update(); }
    ViewTransform viewTransform() const;
    // What the frame shows without its mini-map: the visible part at the current zoom,
    // or the whole image at 1:1; overlays included. Null without a picture.
    QImage renderView(bool wholeImage) const;

signals:
    void signalCurrentPosition(int x, int y);
    void signalIntensity(int intensity);
    void signalIntensity(int r, int g, int b);
    void signalReadOut(const QString &text);
    // The pointer is over no pixel of the image (past its edge, or it left the frame).
    void signalOutsideImage();
    void signalZoomChanged();

public slots:
    // The tool's overlays changed: repaints where they were and where they are now.
    void toolChanged();
    // Copies a packed buffer: 8 bits grey, 24 RGB, 16 grey or 48 RGB of 16-bit values.
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
    void updateOverlay();
    // cached: the scaled picture is kept while view and picture stay, so dragging a tool
    // repaints only its overlay.
    void paintView(QPainter &painter, const ViewTransform &view, bool cached = false) const;
    void readOut(const QPoint &pos);
    bool pinch(class QTouchEvent *event);
    int maxOffsetX() const;
    int maxOffsetY() const;
    double minZoom() const { return fitZoom(); }
    QPoint viewCentre() const;

    std::shared_ptr<const DecodedImage> m_image;
    DisplayImage m_display;
    DisplayRange m_range;
    bool m_dragging = false;
    int m_offsetX = 0;
    int m_offsetY = 0;
    QPoint m_lastMousePos;
    QPoint m_anchor;
    int m_imageWidth = 0;
    int m_imageHeight = 0;
    double m_zoom = 1.0;
    ViewportOverlay m_overlay;
    bool m_showOverlay = false;
    int m_sourceWidth = 0;
    int m_sourceHeight = 0;
    int m_lastEventType = 0;
    bool m_pinching = false;
    QLineF m_lastPinchLine;
    QString m_message;
    bool m_fitted = false; // showing the image fitted: a resize fits it again
    bool m_toolDragging = false;
    FrameTool *m_tool = nullptr;
    Calibration m_calibration;
    mutable QImage m_viewCache;
    mutable quint64 m_viewCacheKey = 0; // the display's generation it was made for
    mutable ViewTransform m_viewCacheView;
    QRegion m_toolArea; // where the tool's moving overlays were last drawn
};
