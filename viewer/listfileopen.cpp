#include "viewer/listfileopen.h"

#include <QFileInfo>
#include <QImageReader>

bool loadsAsImage(const QString &localFile)
{
    if (!QFileInfo(localFile).isFile())
        return false;
    QImageReader reader(localFile);
    if (!reader.canRead())
        return false;
    return !reader.supportsOption(QImageIOHandler::Size) || reader.size().isValid();
}

ListFileKind listFileKind(const QString &localFile, const QString &name)
{
    if (loadsAsImage(localFile))
        return ListFileKind::Image;
    // A missing PDF would still "open" on desktops that hand the request to a helper
    // program without waiting, and the user would see nothing at all.
    if (name.contains(QLatin1String(".pdf")) && QFileInfo(localFile).isFile())
        return ListFileKind::Pdf;
    return ListFileKind::Other;
}
