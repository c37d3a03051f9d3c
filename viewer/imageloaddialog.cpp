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
#include <QPlainTextEdit>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>

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

void ImageLoadDialog::elideName()
{
    const QFontMetrics metrics(m_ui->label->font());
    m_ui->label->setText(metrics.elidedText(m_fileName, Qt::ElideMiddle, std::max(20, m_ui->label->width())));
}

bool ImageLoadDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_ui->label && event->type() == QEvent::Resize)
        elideName();
    return QDialog::eventFilter(watched, event);
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
    if (!result.ok) {
        m_contrast->setImage(nullptr, ImageStatistics());
        m_tools->clearImage();
        imageFrame->showMessage(tr("%1 cannot be shown.").arg(m_loadingName) + QLatin1Char('\n') + result.message);
        m_ui->label_2->clear();
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
    if (m_tools->model()->calibration().valid())
        m_attributeDialog->textEdit()->appendPlainText(tr("Pixel size: %1").arg(m_tools->model()->calibration().describe()));
    emit m_contrast->imageChanged();
    emit m_contrast->rangeChanged();
    showZoom();
    const auto &missing = result.image->missingRows;
    if (!missing.empty()) {
        QStringList ranges;
        for (const auto &r : missing)
            ranges << (r.first == r.second ? QString::number(r.first) : QStringLiteral("%1-%2").arg(r.first).arg(r.second));
        m_ui->labelNotice->setText((result.image->missingColumns
                                        ? tr("Stored rows %1 could not be read; they show black.")
                                        : tr("Rows %1 could not be read; they show black."))
                                       .arg(ranges.join(QStringLiteral(", "))));
        m_ui->labelNotice->setToolTip(m_ui->labelNotice->text());
    }
    if (first) {
        const bool single = m_files.size() == 1;
        m_ui->pushButton->setEnabled(!single);
        m_ui->pushButton_2->setEnabled(!single);
    }
}

void ImageLoadDialog::slotRangeChanged()
{
    if (m_ui->frame->image() && m_ui->frame->image() == m_contrast->image())
        m_ui->frame->setDisplayRange(m_contrast->range());
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

void ImageLoadDialog::on_pushButton_5_clicked()
{
    showMinimized();
}

void ImageLoadDialog::on_pushButton_4_clicked()
{
    close();
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

void ImageLoadDialog::keyPressEvent(QKeyEvent *event)
{
    ImageFrame *f = m_ui->frame;
    const int step = 64;
    if (m_tools->handleKey(event))
        return;
    switch (event->key()) {
    case Qt::Key_Escape:
        if (m_loader->busy()) {
            m_loader->cancel();
            f->showMessage(tr("Loading %1 was cancelled.").arg(m_loadingName));
            m_ui->labelNotice->clear();
        } else {
            close();
        }
        return;
    case Qt::Key_Plus:
    case Qt::Key_Equal:
        f->zoomStep(1);
        return;
    case Qt::Key_Minus:
        f->zoomStep(-1);
        return;
    case Qt::Key_0:
        f->fitToWindow();
        return;
    case Qt::Key_1:
        f->zoomOneToOne();
        return;
    case Qt::Key_Up:
        f->pan(0, -step);
        return;
    case Qt::Key_Down:
        f->pan(0, step);
        return;
    case Qt::Key_Left:
        if (f->image() && !f->wholeWidthVisible())
            f->pan(-step, 0);
        else
            on_pushButton_clicked();
        return;
    case Qt::Key_Right:
        if (f->image() && !f->wholeWidthVisible())
            f->pan(step, 0);
        else
            on_pushButton_2_clicked();
        return;
    case Qt::Key_PageUp:
        on_pushButton_clicked();
        return;
    case Qt::Key_PageDown:
        on_pushButton_2_clicked();
        return;
    case Qt::Key_Home:
        goToFile(0);
        return;
    case Qt::Key_End:
        goToFile(m_files.size() - 1);
        return;
    case Qt::Key_Comma:
    case Qt::Key_Less:
        goToPage(m_page - 1);
        return;
    case Qt::Key_Period:
    case Qt::Key_Greater:
        goToPage(m_page + 1);
        return;
    case Qt::Key_C:
        m_ui->pushButtonContrast->toggle();
        return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return; // no default button to press
    default:
        QDialog::keyPressEvent(event);
    }
}

void ImageLoadDialog::closeEvent(QCloseEvent *event)
{
    m_loader->cancel();
    m_attributeDialog->close();
    QDialog::closeEvent(event);
}

// The window keeps its designed size where the screen has room and shrinks to the
// screen it opens on otherwise, placed wholly on it.
void ImageLoadDialog::fitToScreen()
{
    QScreen *s = screen();
    if (!s)
        return;
    const QRect available = s->availableGeometry();
    const QSize wanted = size().boundedTo(available.size());
    if (wanted != size())
        resize(wanted);
    QRect g = frameGeometry();
    if (!available.contains(g)) {
        g.moveLeft(std::clamp(g.left(), available.left(), available.right() - g.width() + 1));
        g.moveTop(std::clamp(g.top(), available.top(), available.bottom() - g.height() + 1));
        move(g.topLeft());
    }
}

// A browser opened on an image is as large as the image needs at 1:1, within the screen
// (less a margin, so that the main window still shows around it) and never smaller than
// its controls need.
void ImageLoadDialog::sizeToImage(const QSize &image)
{
    QScreen *s = screen();
    if (!s || image.isEmpty())
        return;
    m_ui->verticalLayout->activate();
    const QSize chrome = size() - m_ui->frame->size();
    const QSize room = s->availableGeometry().size() * 0.9;
    const QSize wanted = (image + chrome).expandedTo(minimumSizeHint()).expandedTo(QSize(640, 400));
    resize(wanted.boundedTo(room.expandedTo(minimumSizeHint())));
    if (isVisible())
        fitToScreen();
    else
        m_placed = false; // placed on the screen again when shown
}

void ImageLoadDialog::showEvent(QShowEvent *event)
{
    if (!m_placed) {
        m_placed = true;
        fitToScreen();
    }
    QDialog::showEvent(event);
}

void ImageLoadDialog::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
}
