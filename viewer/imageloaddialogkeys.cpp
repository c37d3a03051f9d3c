// ImageLoadDialog: the keys of the browser (the measuring tools take theirs first).
#include "viewer/imageloaddialog.h"

#include "viewer/browsertools.h"
#include "viewer/imageframe.h"
#include "viewer/imageloaddialogui.h"

#include <QKeyEvent>

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
