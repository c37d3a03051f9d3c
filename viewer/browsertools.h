#pragma once
#include "viewer/decodedimage.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <memory>

class HistogramView;
class ImageFrame;
class MeasureBar;
class MeasureModel;
class MeasureTools;
class ProfileWindow;
class QKeyEvent;
class QWidget;

// The image browser's measuring side: the model, the tools on the frame, the measuring
// row, the profile window, "Set Scale…" and the export of the view. The browser hands
// it each new image and the keys it does not use itself.
class BrowserTools : public QObject
{
    Q_OBJECT
public:
    BrowserTools(ImageFrame *frame, QWidget *browser);
    ~BrowserTools() override;

    MeasureModel *model() const { return m_model; }
    MeasureBar *bar() const { return m_bar; }
    ProfileWindow *profileWindow() const { return m_profile; }

    void setImage(std::shared_ptr<const DecodedImage> image, const QString &path);
    void clearImage();
    // Shows the colour table under the contrast histogram.
    void setHistogram(HistogramView *histogram);
    // B toggles the scale bar, S HiLo, Ctrl+C copies the view; true when the key was taken.
    bool handleKey(QKeyEvent *event);

    // What the frame shows, at its zoom, or the whole image at 1:1; carries the pixel
    // size for a PNG's pHYs chunk when calibrated. Null without an image.
    QImage viewImage(bool wholeImage) const;
    bool exportView(const QString &path, bool wholeImage, QString *error) const;
    bool copyView() const;

public slots:
    void setScale();
    void showProfile();

private slots:
    void applyDisplay();
    void applyCalibration();
    void lineChanged();

private:
    QPointer<ImageFrame> m_frame; // may go first when the browser is taken down
    QWidget *m_browser;
    MeasureModel *m_model;
    std::unique_ptr<MeasureTools> m_tools;
    MeasureBar *m_bar;
    ProfileWindow *m_profile;
    QPointer<HistogramView> m_histogram;
};
