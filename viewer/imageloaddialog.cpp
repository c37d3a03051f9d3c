#include "viewer/imageloaddialog.h"

#include "viewer/imageattributedialog.h"
#include "viewer/imageframe.h"
#include "viewer/imageloaddialogui.h"
#include "viewer/tiffimage.h"

#include <QDir>
#include <QMouseEvent>

ImageLoadDialog::ImageLoadDialog(QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint), m_ui(new Ui::ImageLoadDialog)
{
    m_ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);

    m_attributeDialog = new ImageAttributeDialog(this);
    m_attributeDialog->close();
    m_attributeDialog->setAttribute(Qt::WA_TransparentForMouseEvents);

    // The pixel read-out under the pointer.
    ImageFrame *imageFrame = m_ui->frame;
    imageFrame->setAttribute(Qt::WA_Hover, true);
    bool ok = true;
    ok &= bool(connect(imageFrame, SIGNAL(signalCurrentPosition(int,int)),
                       this, SLOT(slotPixelPosition(int,int))));
    ok &= bool(connect(imageFrame, SIGNAL(signalIntensity(int)), this, SLOT(slotPixelValue(int))));
    ok &= bool(connect(imageFrame, SIGNAL(signalIntensity(int,int,int)),
                       this, SLOT(slotPixelValue(int,int,int))));
    ok &= bool(connect(imageFrame, SIGNAL(signalOutsideImage()), this, SLOT(slotPixelNone())));
    if (!ok)
        qWarning("ImageLoadDialog: the pixel read-out could not be connected");

    QMetaObject::connectSlotsByName(this);
}

ImageLoadDialog::~ImageLoadDialog()
{
    delete m_ui;
}

ImageFrame *ImageLoadDialog::frame() const
{
    return m_ui->frame;
}

void ImageLoadDialog::setFileName(const QString &name)
{
    m_ui->label->setText(name);
}

void ImageLoadDialog::openImage(const QString &folder, const QString &filePath,
                                const QString &fileName)
{
    m_folder = folder;
    m_files = QDir(folder).entryInfoList(QStringList(QStringLiteral("*.tif")), QDir::Files,
                                         QDir::Name | QDir::IgnoreCase);
    m_index = -1;
    for (int i = 0; i < m_files.size(); ++i) {
        if (m_files.at(i).fileName() == fileName) {
            m_index = i;
            break;
        }
    }
    m_attributeDialog->showAttributes(folder, fileName);
    if (showFile(filePath, fileName)) {
        const bool single = m_files.size() == 1;
        m_ui->pushButton->setEnabled(!single);
        m_ui->pushButton_2->setEnabled(!single);
    }
}

bool ImageLoadDialog::showFile(const QString &filePath, const QString &fileName)
{
    m_ui->label_3->clear();
    TiffImage image;
    ImageFrame *imageFrame = m_ui->frame;
    if (!image.load(filePath.toStdWString())) {
        QString reason;
        switch (image.m_status) {
        case TiffImage::RefusedName:
            reason = tr("Only TIFF files named \"*.tif\" are shown here.");
            break;
        case TiffImage::UnsupportedLayout:
            reason = tr("This kind of TIFF image (%1 bits per sample, %2 samples per pixel, "
                        "tiled or planar layouts) is not supported.")
                         .arg(image.m_bitsPerSample)
                         .arg(image.m_samplesPerPixel);
            break;
        case TiffImage::TooLarge:
            reason = tr("The image is too large to be shown (%1 x %2 pixels).")
                         .arg(image.m_width)
                         .arg(image.m_height);
            break;
        default:
            reason = tr("The file cannot be read as a TIFF image.");
            break;
        }
        imageFrame->showMessage(tr("%1 cannot be shown.").arg(fileName) + QLatin1Char('\n') + reason);
        m_ui->label_2->clear();
        return false;
    }
    const int bits = image.m_bitsPerSample * image.m_samplesPerPixel;
    imageFrame->slotSetImageData(static_cast<unsigned char *>(image.pixels(bits)),
                                 int(image.m_width), int(image.m_height), bits);
    imageFrame->setZoom(1.0, imageFrame->width() / 2, imageFrame->height() / 2);
    showZoom();
    return true;
}

void ImageLoadDialog::showZoom()
{
    m_ui->label_2->setText(QString::number(m_ui->frame->zoom() * 100) + QLatin1Char('%'));
}

void ImageLoadDialog::on_pushButton_2_clicked()
{
    if (m_files.isEmpty())
        return; // the opened file was not among the folder's "*.tif" files
    m_index += 1;
    if (m_index >= m_files.size())
        m_index = 0;
    showImageAt();
}

void ImageLoadDialog::on_pushButton_clicked()
{
    if (m_files.isEmpty())
        return;
    m_index -= 1;
    if (m_index < 0)
        m_index = m_files.size() - 1;
    showImageAt();
}

void ImageLoadDialog::showImageAt()
{
    const QString name = m_files.at(m_index).fileName();
    m_attributeDialog->showAttributes(m_folder, name);
    showFile(m_folder + QLatin1Char('/') + name, name);
    // The name follows the page even when the file is refused, next to the frame saying so.
    m_ui->label->setText(name);
}

void ImageLoadDialog::on_pushButton_3_clicked()
{
    if (m_attributeDialog->isVisible()) {
        m_attributeDialog->close();
    } else {
        m_attributeDialog->setGeometry(891, 75, 400, 300);
        m_attributeDialog->show();
    }
}

void ImageLoadDialog::on_pushButton_5_clicked()
{
    showMinimized();
}

void ImageLoadDialog::on_pushButton_4_clicked()
{
    close();
}

void ImageLoadDialog::slotPixelPosition(int x, int y)
{
    m_pixelPos = QPoint(x, y);
    m_ui->label_3->setText(tr("X %1  Y %2").arg(x).arg(y));
}

void ImageLoadDialog::slotPixelValue(int value)
{
    m_ui->label_3->setText(tr("X %1  Y %2  Value %3").arg(m_pixelPos.x()).arg(m_pixelPos.y()).arg(value));
}

void ImageLoadDialog::slotPixelValue(int r, int g, int b)
{
    m_ui->label_3->setText(tr("X %1  Y %2  R %3  G %4  B %5")
                               .arg(m_pixelPos.x())
                               .arg(m_pixelPos.y())
                               .arg(r)
                               .arg(g)
                               .arg(b));
}

void ImageLoadDialog::slotPixelNone()
{
    m_ui->label_3->clear();
}

void ImageLoadDialog::mousePressEvent(QMouseEvent *event)
{
    m_pressPos = event->pos();
}

void ImageLoadDialog::mouseMoveEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        move(mapToParent(event->pos() - m_pressPos));
}

void ImageLoadDialog::wheelEvent(QWheelEvent *)
{
    showZoom();
}

void ImageLoadDialog::keyPressEvent(QKeyEvent *)
{
    // No key has an effect; in particular Escape must not close the browser.
}

void ImageLoadDialog::closeEvent(QCloseEvent *event)
{
    m_attributeDialog->close();
    QDialog::closeEvent(event);
}
