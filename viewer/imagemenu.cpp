#include "viewer/imagemenu.h"

#include "viewer/browsertools.h"
#include "viewer/imageframe.h"
#include "viewer/imageloaddialog.h"
#include "viewer/recentimages.h"

#include <QAction>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>

ImageMenu::ImageMenu(QMenu *menu, ImageLoadDialog *browser, QWidget *window)
    : QObject(window), m_browser(browser), m_window(window)
{
    menu->addSeparator();
    QAction *open = menu->addAction(tr("Open Image\u2026"), this, &ImageMenu::openImage);
    open->setShortcut(QKeySequence::Open);
    open->setShortcutContext(Qt::ApplicationShortcut);
    m_recent = menu->addMenu(tr("Recent Images"));
    m_recent->setStyleSheet(menu->styleSheet());
    connect(m_recent, &QMenu::aboutToShow, this, &ImageMenu::fillRecent);
    fillRecent();
    menu->addAction(tr("Export View as PNG\u2026"), this, [this] { exportView(false); });
    menu->addAction(tr("Export Whole Image as PNG\u2026"), this, [this] { exportView(true); });
}

QString ImageMenu::choose(bool save)
{
    if (m_chooser)
        return m_chooser(save);
    if (save)
        return QFileDialog::getSaveFileName(m_window, tr("Export View as PNG"), QString(), tr("PNG images (*.png)"));
    const QStringList recent = RecentImages::list();
    const QString start = recent.isEmpty() ? QString() : QFileInfo(recent.first()).absolutePath();
    return QFileDialog::getOpenFileName(m_window, tr("Open Image"), start,
                                        tr("TIFF images (*.tif *.tiff *.TIF *.TIFF);;All files (*)"));
}

void ImageMenu::openImage()
{
    const QString path = choose(false);
    if (!path.isEmpty())
        m_browser->openFile(path);
}

void ImageMenu::openRecent(const QString &path)
{
    if (!QFileInfo(path).isFile()) {
        QMessageBox::warning(m_window, tr("Recent Images"), tr("%1 is no longer there.").arg(path));
        return;
    }
    m_browser->openFile(path);
}

void ImageMenu::fillRecent()
{
    m_recent->clear();
    const QStringList paths = RecentImages::list();
    for (const QString &path : paths)
        m_recent->addAction(path, this, [this, path] { openRecent(path); });
    if (paths.isEmpty()) {
        m_recent->addAction(tr("No images yet"))->setEnabled(false);
        return;
    }
    m_recent->addSeparator();
    m_recent->addAction(tr("Clear Recent Images"), this, [] { RecentImages::clear(); });
}

void ImageMenu::exportView(bool wholeImage)
{
    if (!m_browser->frame()->hasPicture()) {
        QMessageBox::information(m_window, tr("Export View"), tr("Open an image first: there is no view to export."));
        return;
    }
    QString path = choose(true);
    if (path.isEmpty())
        return;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".png");
    QString error;
    if (!m_browser->tools()->exportView(path, wholeImage, &error))
        QMessageBox::warning(m_window, tr("Export View"), tr("%1 could not be written.\n%2").arg(path, error));
}
