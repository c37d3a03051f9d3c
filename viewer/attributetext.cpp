#include "viewer/attributetext.h"

#include <QFile>

#include <tiffio.h>

QString attributeText(const QString &description)
{
    QString text = description;
    text.replace(QLatin1Char(','), QLatin1Char('\n'));
    text.replace(QLatin1String("Software Version"), QLatin1String("Software version"));
    text.replace(QLatin1String("Reference Position"), QLatin1String("Reference position"));
    text.replace(QLatin1String("Min. F"), QLatin1String("Minimum f"));
    text.replace(QLatin1String("Max. F"), QLatin1String("Maximum f"));
    return text;
}

QString readImageDescription(const QString &path)
{
    TIFF *tif = TIFFOpen(QFile::encodeName(path).constData(), "r");
    if (!tif)
        return QString();
    const char *description = nullptr;
    QString text;
    if (TIFFGetField(tif, TIFFTAG_IMAGEDESCRIPTION, &description) && description)
        text = QString::fromUtf8(description);
    TIFFClose(tif);
    return text;
}
