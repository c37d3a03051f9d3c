#include "viewer/imageloaddialog.h"

#include "viewer/browsertools.h"
#include "viewer/contrastmodel.h"
#include "viewer/contrastpanel.h"
#include "viewer/imageattributedialog.h"
#include "viewer/imagedrop.h"
#include "viewer/imageframe.h"
#include "viewer/imageloaddialogui.h"
#include "viewer/measurebar.h"
#include "viewer/measuremodel.h"

#include <QDir>

ImageLoadDialog::ImageLoadDialog(QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint), m_ui(new Ui::ImageLoadDialog)
{
    m_ui->setupUi(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setFocusPolicy(Qt::StrongFocus);

    // Beside the image, like the contrast panel: laid over the image it hid the image, or
    // the panel, whichever it covered.
    m_attributeDialog = new ImageAttributeDialog(this);
    m_attributeDialog->close();
    m_attributeDialog->setFixedWidth(300);
    m_ui->imageLayout->addWidget(m_attributeDialog);

    m_contrast = new ContrastModel(this);
    m_contrastPanel = new ContrastPanel(m_contrast, this);
    m_contrastPanel->hide();
    m_ui->imageLayout->addWidget(m_contrastPanel);
    m_loader = new ImageLoader(this);
    m_tools = new BrowserTools(m_ui->frame, this);
    m_ui->verticalLayout->insertWidget(2, m_tools->bar());
    m_tools->setHistogram(m_contrastPanel->histogram());
    connect(new ImageDrop(this), &ImageDrop::filesDropped, this, [this](const QStringList &paths) { openFile(paths.first()); });
    m_ui->label->installEventFilter(this);
    m_ui->labelPage->hide();
    m_ui->pushButtonPagePrevious->hide();
    m_ui->pushButtonPageNext->hide();

    ImageFrame *imageFrame = m_ui->frame;
    imageFrame->setAttribute(Qt::WA_Hover, true);
    bool ok = true;
    ok &= bool(connect(imageFrame, SIGNAL(signalReadOut(QString)), m_ui->label_3, SLOT(setText(QString))));
    ok &= bool(connect(imageFrame, SIGNAL(signalOutsideImage()), m_ui->label_3, SLOT(clear())));
    ok &= bool(connect(imageFrame, SIGNAL(signalZoomChanged()), this, SLOT(showZoom())));
    ok &= bool(connect(m_loader, SIGNAL(loaded(ImageLoader::Loaded)), this, SLOT(slotLoaded(ImageLoader::Loaded))));
    ok &= bool(connect(m_loader, SIGNAL(progress(int)), this, SLOT(slotProgress(int))));
    ok &= bool(connect(m_contrast, SIGNAL(rangeChanged()), this, SLOT(slotRangeChanged())));
    if (!ok)
        qWarning("ImageLoadDialog: a connection could not be made");

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
    m_fileName = name;
    m_ui->label->setToolTip(name);
    elideName();
}

void ImageLoadDialog::openImage(const QString &folder, const QString &filePath, const QString &fileName)
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
    m_openingFirst = true;
    m_sizeToImage = !isVisible();
    m_keepView = false;
    startLoad(filePath, fileName, 0);
}

void ImageLoadDialog::showPageLabel()
{
    const bool stack = m_pageCount > 1;
    m_ui->labelPage->setVisible(stack);
    m_ui->pushButtonPagePrevious->setVisible(stack);
    m_ui->pushButtonPageNext->setVisible(stack);
    m_ui->labelPage->setText(tr("page %1 of %2").arg(m_page + 1).arg(m_pageCount));
    m_ui->pushButtonPagePrevious->setEnabled(m_page > 0);
    m_ui->pushButtonPageNext->setEnabled(m_page + 1 < m_pageCount);
}

void ImageLoadDialog::showZoom()
{
    const double percent = m_ui->frame->zoom() * 100;
    m_ui->label_2->setText(QString::number(percent >= 10 ? qRound(percent * 10) / 10.0 : percent, 'g', 4)
                           + QLatin1Char('%'));
}

void ImageLoadDialog::goToFile(int index)
{
    if (m_files.isEmpty())
        return; // the opened file was not among the folder's "*.tif" files
    m_index = (index % m_files.size() + m_files.size()) % m_files.size();
    showImageAt();
}

void ImageLoadDialog::on_pushButton_2_clicked()
{
    goToFile(m_index + 1);
}

void ImageLoadDialog::on_pushButton_clicked()
{
    goToFile(m_index < 0 ? m_files.size() - 1 : m_index - 1);
}

void ImageLoadDialog::showImageAt()
{
    const QString name = m_files.at(m_index).fileName();
    m_attributeDialog->showAttributes(m_folder, name);
    // The name follows the page even when the file is refused, next to the frame saying so.
    setFileName(name);
    m_keepView = true;
    startLoad(m_folder + QLatin1Char('/') + name, name, 0);
}

void ImageLoadDialog::goToPage(int page)
{
    if (page < 0 || page >= m_pageCount || page == m_page || m_loadingPath.isEmpty())
        return;
    m_keepView = true;
    startLoad(m_loadingPath, m_loadingName, page);
}

void ImageLoadDialog::on_pushButtonPagePrevious_clicked()
{
    goToPage(m_page - 1);
}

void ImageLoadDialog::on_pushButtonPageNext_clicked()
{
    goToPage(m_page + 1);
}

void ImageLoadDialog::on_pushButtonContrast_toggled(bool on)
{
    m_contrastPanel->setVisible(on);
}

void ImageLoadDialog::on_pushButton_3_clicked()
{
    m_attributeDialog->setVisible(!m_attributeDialog->isVisible());
}

