// ImageLoadDialog: opening a file from the disk rather than from a download.
#include "viewer/imageloaddialog.h"

#include "viewer/recentimages.h"

#include <QFileInfo>

void ImageLoadDialog::openFile(const QString &path)
{
    const QFileInfo info(path);
    RecentImages::add(info.absoluteFilePath());
    openImage(info.absolutePath(), info.absoluteFilePath(), info.fileName());
    setFileName(info.fileName());
    show();
    raise();
    activateWindow();
}
