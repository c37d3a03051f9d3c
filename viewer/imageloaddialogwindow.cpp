// ImageLoadDialog: the frameless window itself - its title, dragging it, its buttons,
// and its size and place on the screen.
#include "viewer/imageloaddialog.h"

#include "viewer/imageattributedialog.h"
#include "viewer/imageframe.h"
#include "viewer/imageloaddialogui.h"

#include <QMouseEvent>
#include <QScreen>

#include <algorithm>

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
