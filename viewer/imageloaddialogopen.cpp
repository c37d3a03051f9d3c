// ImageLoadDialog: opening a file from the disk rather than from a download.
#include "viewer/imageloaddialog.h"

#include "viewer/recentimages.h"

#include <QFileInfo>
#include <QLoggingCategory>

// Quiet unless asked for; tests of the command line read it.
Q_LOGGING_CATEGORY(lcBrowserOpen, "tarvelo.viewer.open", QtWarningMsg)

void ImageLoadDialog::openFile(const QString &path)
{
    const QFileInfo info(path);
    if (info.isFile())
        RecentImages::add(info.absoluteFilePath());
    openImage(info.absolutePath(), info.absoluteFilePath(), info.fileName());
    setFileName(info.fileName());
    show();
    qCInfo(lcBrowserOpen, "image browser opened %s", qUtf8Printable(info.absoluteFilePath()));
    raise();
    activateWindow();
}
