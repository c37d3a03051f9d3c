#include "viewer/attributetext.h"

#include "common/utf8text.h"
#include "viewer/tifflog.h"

#include <QRegularExpression>

QString attributeText(const QString &description)
{
    QString text = description;
    text.remove(QLatin1Char('\r'));
    // Items are separated by ", " before the next "Key:"; a comma inside a value (a
    // decimal comma, "X 12,5 Y 3,0") stays where it is.
    static const QRegularExpression separator(QStringLiteral(",[ \\t]*(?=[^,:\\n]+:)"));
    text.replace(separator, QStringLiteral("\n"));
    static const QRegularExpression trailing(QStringLiteral(",[ \\t]*$"), QRegularExpression::MultilineOption);
    text.remove(trailing);
    text.replace(QLatin1String("Software Version"), QLatin1String("Software version"));
    text.replace(QLatin1String("Reference Position"), QLatin1String("Reference position"));
    text.replace(QLatin1String("Min. F"), QLatin1String("Minimum f"));
    text.replace(QLatin1String("Max. F"), QLatin1String("Maximum f"));
    return text;
}

QString decodeDescription(const QByteArray &bytes)
{
    // Older instruments and tools write Latin-1; bytes that are not UTF-8 are read so.
    return Utf8Text::decodeOrLatin1(bytes);
}

QString readImageDescription(const QString &path)
{
    TIFF *tif = TiffLog::open(path, nullptr);
    if (!tif)
        return QString();
    const char *description = nullptr;
    QString text;
    if (TIFFGetField(tif, TIFFTAG_IMAGEDESCRIPTION, &description) && description)
        text = decodeDescription(QByteArray(description));
    TIFFClose(tif);
    return text;
}
