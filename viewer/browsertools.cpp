#include "viewer/browsertools.h"

#include "viewer/calibration.h"
#include "viewer/histogramview.h"
#include "viewer/imageframe.h"
#include "viewer/measurebar.h"
#include "viewer/measuremodel.h"
#include "viewer/measuretools.h"
#include "viewer/profilewindow.h"
#include "viewer/setscaledialog.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFileInfo>
#include <QKeyEvent>
#include <QSaveFile>

#include <cmath>

BrowserTools::BrowserTools(ImageFrame *frame, QWidget *browser)
    : QObject(browser), m_frame(frame), m_browser(browser), m_model(new MeasureModel(this)),
      m_tools(new MeasureTools(m_model))
{
    m_bar = new MeasureBar(m_model, browser);
    m_profile = new ProfileWindow(m_model, browser);
    m_frame->setTool(m_tools.get());
    connect(m_model, &MeasureModel::displayChanged, this, &BrowserTools::applyDisplay);
    connect(m_model, &MeasureModel::calibrationChanged, this, &BrowserTools::applyCalibration);
    connect(m_model, &MeasureModel::lineChanged, this, &BrowserTools::lineChanged);
    connect(m_model, &MeasureModel::regionChanged, m_frame, &ImageFrame::toolChanged);
    connect(m_bar, &MeasureBar::setScaleRequested, this, &BrowserTools::setScale);
    connect(m_bar, &MeasureBar::profileRequested, this, &BrowserTools::showProfile);
}

BrowserTools::~BrowserTools()
{
    if (m_frame)
        m_frame->setTool(nullptr);
}

void BrowserTools::setImage(std::shared_ptr<const DecodedImage> image, const QString &path)
{
    const QFileInfo info(path);
    m_model->setImage(std::move(image), readCalibration(path), info.absolutePath());
    applyCalibration();
    m_bar->refresh();
}

void BrowserTools::clearImage()
{
    m_model->setImage(nullptr, Calibration(), m_model->folder());
    m_bar->refresh();
}

void BrowserTools::setHistogram(HistogramView *histogram)
{
    m_histogram = histogram;
    applyDisplay();
}

bool BrowserTools::handleKey(QKeyEvent *event)
{
    if (event->matches(QKeySequence::Copy)) {
        copyView(); // without an image there is nothing to copy, but the key is still taken
        return true;
    }
    if (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    switch (event->key()) {
    case Qt::Key_B:
        m_model->setScaleBar(!m_model->scaleBar());
        return true;
    case Qt::Key_S:
        if (m_model->colourable())
            m_model->setHiLo(!m_model->hiLo());
        return true;
    default:
        return false;
    }
}

void BrowserTools::applyDisplay()
{
    m_frame->setColouring(m_model->colourable() ? m_model->lookupTable() : LookupTable::Grey,
                          m_model->colourable() && m_model->hiLo());
    m_frame->update();
    if (m_histogram)
        m_histogram->setLookupTable(m_model->lookupTable(), m_model->hiLo());
}

void BrowserTools::applyCalibration()
{
    m_frame->setCalibration(m_model->calibration());
    applyDisplay();
}

void BrowserTools::lineChanged()
{
    m_frame->toolChanged();
    if (m_model->hasLine() && !m_profile->isVisible())
        showProfile();
}

void BrowserTools::showProfile()
{
    m_profile->show();
    m_profile->raise();
    m_profile->refresh();
}

void BrowserTools::setScale()
{
    const QLineF line = m_model->line();
    SetScaleDialog dialog(m_model->hasLine() ? line.length() : 0, m_model->calibration(), m_browser);
    if (dialog.exec() != QDialog::Accepted)
        return;
    m_model->setUserScale(dialog.scale());
}

QImage BrowserTools::viewImage(bool wholeImage) const
{
    QImage image = m_frame->renderView(wholeImage);
    const Calibration c = m_model->calibration();
    if (!image.isNull() && c.pixelsPerMetreX() > 0) {
        const double zoom = wholeImage ? 1.0 : m_frame->zoom();
        image.setDotsPerMeterX(int(std::lround(c.pixelsPerMetreX() * zoom)));
        image.setDotsPerMeterY(int(std::lround(c.pixelsPerMetreY() * zoom)));
    }
    return image;
}

bool BrowserTools::exportView(const QString &path, bool wholeImage, QString *error) const
{
    const QImage image = viewImage(wholeImage);
    if (image.isNull()) {
        *error = tr("There is no image to export.");
        return false;
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) {
        *error = tr("The view could not be encoded as PNG.");
        return false;
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        *error = file.errorString();
        return false;
    }
    return true;
}

bool BrowserTools::copyView() const
{
    const QImage image = viewImage(false);
    if (image.isNull())
        return false;
    QApplication::clipboard()->setImage(image);
    return true;
}
