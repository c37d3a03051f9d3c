// ImageLoadDialog: loading a page and handing the result to the frame, the contrast
// control and the measuring tools.
#include "viewer/imageloaddialog.h"

#include "viewer/browsertools.h"
#include "viewer/contrastmodel.h"
#include "viewer/imageattributedialog.h"
#include "viewer/imageframe.h"
#include "viewer/imageloaddialogui.h"
#include "viewer/measuremodel.h"

#include <QPlainTextEdit>

void ImageLoadDialog::startLoad(const QString &filePath, const QString &fileName, int page)
{
    m_loadingPath = filePath;
    m_loadingName = fileName;
    m_ui->label_3->clear();
    if (!m_loader->load(filePath, page)) {
        m_ui->frame->showMessage(tr("Loading %1 ...").arg(fileName));
        m_ui->labelNotice->setText(tr("Loading ... (Esc cancels)"));
    }
}

void ImageLoadDialog::slotProgress(int percent)
{
    m_ui->frame->showMessage(tr("Loading %1 ... %2 %").arg(m_loadingName).arg(percent));
}

void ImageLoadDialog::slotLoaded(const ImageLoader::Loaded &result)
{
    ImageFrame *imageFrame = m_ui->frame;
    m_ui->labelNotice->clear();
    const bool first = m_openingFirst;
    m_openingFirst = false;
    m_page = result.page;
    m_pageCount = result.pageCount;
    showPageLabel();
    // The image shown until now is let go of once the new one has taken its place everywhere.
    std::shared_ptr<const DecodedImage> previous = m_contrast->sharedImage();
    if (!result.ok) {
        m_contrast->setImage(nullptr, ImageStatistics());
        m_tools->clearImage();
        imageFrame->showMessage(tr("%1 cannot be shown.").arg(m_loadingName) + QLatin1Char('\n') + result.message);
        m_ui->label_2->clear();
        m_loader->release(std::move(previous));
        return;
    }
    {
        const QSignalBlocker blocker(m_contrast); // the frame gets image and range together
        m_contrast->setImage(result.image, result.statistics);
    }
    if (m_sizeToImage) {
        m_sizeToImage = false;
        sizeToImage(QSize(int(result.image->width), int(result.image->height)));
    }
    m_tools->setImage(result.image, result.path);
    imageFrame->setImage(result.image, m_contrast->range(), m_keepView);
    m_loader->release(std::move(previous));
    if (m_tools->model()->calibration().valid())
        m_attributeDialog->textEdit()->appendPlainText(tr("Pixel size: %1").arg(m_tools->model()->calibration().describe()));
    emit m_contrast->imageChanged();
    emit m_contrast->rangeChanged();
    showZoom();
    showMissingRows(*result.image);
    if (first) {
        const bool single = m_files.size() == 1;
        m_ui->pushButton->setEnabled(!single);
        m_ui->pushButton_2->setEnabled(!single);
    }
}

void ImageLoadDialog::showMissingRows(const DecodedImage &image)
{
    const auto &missing = image.missingRows;
    if (missing.empty())
        return;
    QStringList ranges;
    for (const auto &r : missing)
        ranges << (r.first == r.second ? QString::number(r.first) : QStringLiteral("%1-%2").arg(r.first).arg(r.second));
    m_ui->labelNotice->setText((image.missingColumns ? tr("Stored rows %1 could not be read; they show black.")
                                                     : tr("Rows %1 could not be read; they show black."))
                                   .arg(ranges.join(QStringLiteral(", "))));
    m_ui->labelNotice->setToolTip(m_ui->labelNotice->text());
}

void ImageLoadDialog::slotRangeChanged()
{
    if (m_ui->frame->image() && m_ui->frame->image() == m_contrast->image())
        m_ui->frame->setDisplayRange(m_contrast->range());
}
