#include "viewer/calibration.h"

#include "viewer/attributetext.h"
#include "viewer/tifflog.h"

#include <QRegularExpression>
#include <QXmlStreamReader>

#include <cmath>

namespace {

const QString kMicro = QStringLiteral("\u00b5m");

// Writers that know nothing of the pixel size put 72 pixels per inch into the tags.
constexpr double kScreenDefault = 72.0;

QString shortNumber(double v)
{
    return QString::number(v, 'g', 5);
}

} // namespace

double Calibration::length(double dx, double dy) const
{
    if (!valid())
        return std::hypot(dx, dy);
    return std::hypot(dx * pixelWidth, dy * pixelHeight);
}

double Calibration::area(double pixels) const
{
    return valid() ? pixels * pixelWidth * pixelHeight : pixels;
}

QString Calibration::areaUnitText() const
{
    return valid() ? unit + QStringLiteral("\u00b2") : QStringLiteral("px\u00b2");
}

double Calibration::pixelsPerMetreX() const
{
    const double m = valid() ? metresPerUnit(unit) : 0;
    return m > 0 ? 1.0 / (pixelWidth * m) : 0;
}

double Calibration::pixelsPerMetreY() const
{
    const double m = valid() ? metresPerUnit(unit) : 0;
    return m > 0 ? 1.0 / (pixelHeight * m) : 0;
}

QString Calibration::sourceText() const
{
    switch (source) {
    case Source::Resolution: return QStringLiteral("TIFF resolution tags");
    case Source::ImageJ: return QStringLiteral("ImageJ description");
    case Source::Ome: return QStringLiteral("OME-XML");
    case Source::User: return QStringLiteral("Set Scale");
    case Source::None: break;
    }
    return QString();
}

QString Calibration::describe() const
{
    if (!valid())
        return QStringLiteral("uncalibrated");
    QString size = shortNumber(pixelWidth);
    if (pixelHeight != pixelWidth)
        size += QStringLiteral(" x ") + shortNumber(pixelHeight);
    return QStringLiteral("%1 %2 per pixel (%3)").arg(size, unit, sourceText());
}

QString normalUnit(const QString &unit)
{
    const QString u = unit.trimmed();
    const QString l = u.toLower();
    if (l == QLatin1String("micron") || l == QLatin1String("microns") || l == QLatin1String("um")
        || l == QLatin1String("\u03bcm") || l == kMicro || l == QLatin1String("\\u00b5m")
        || l == QLatin1String("micrometer") || l == QLatin1String("micrometre"))
        return kMicro;
    if (l == QLatin1String("nanometer") || l == QLatin1String("nanometre"))
        return QStringLiteral("nm");
    if (l == QLatin1String("millimeter") || l == QLatin1String("millimetre"))
        return QStringLiteral("mm");
    if (l == QLatin1String("inch") || l == QLatin1String("inches"))
        return QStringLiteral("in");
    if (l == QLatin1String("nm") || l == QLatin1String("mm") || l == QLatin1String("cm") || l == QLatin1String("m"))
        return l;
    return u;
}

double metresPerUnit(const QString &unit)
{
    const QString u = normalUnit(unit);
    if (u == kMicro) return 1e-6;
    if (u == QLatin1String("nm")) return 1e-9;
    if (u == QLatin1String("mm")) return 1e-3;
    if (u == QLatin1String("cm")) return 1e-2;
    if (u == QLatin1String("m")) return 1.0;
    if (u == QLatin1String("in")) return 0.0254;
    return 0;
}

Calibration calibrationFromResolution(double xResolution, double yResolution, int resolutionUnit)
{
    Calibration c;
    if (!(xResolution > 0) || !(yResolution > 0) || !std::isfinite(xResolution) || !std::isfinite(yResolution))
        return c;
    if (resolutionUnit != 2 && resolutionUnit != 3)
        return c; // no absolute unit: a description may say what the numbers mean
    if (resolutionUnit == 2 && xResolution == kScreenDefault && yResolution == kScreenDefault)
        return c;
    // Pixel sizes of lab images read best in micrometres, or millimetres for coarse ones.
    const double perUnitUm = resolutionUnit == 2 ? 25400.0 : 10000.0;
    const double w = perUnitUm / xResolution, h = perUnitUm / yResolution;
    const bool coarse = std::max(w, h) >= 1000;
    c.source = Calibration::Source::Resolution;
    c.unit = coarse ? QStringLiteral("mm") : kMicro;
    c.pixelWidth = coarse ? w / 1000 : w;
    c.pixelHeight = coarse ? h / 1000 : h;
    return c;
}

Calibration calibrationFromImageJ(const QString &description, double xResolution, double yResolution)
{
    Calibration c;
    if (!description.startsWith(QLatin1String("ImageJ=")))
        return c;
    QString unit;
    double spacing = 0;
    const QStringList lines = description.split(QLatin1Char('\n'));
    for (const QString &line : lines) {
        const int eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0)
            continue;
        const QString key = line.left(eq).trimmed();
        const QString value = line.mid(eq + 1).trimmed();
        if (key == QLatin1String("unit"))
            unit = value;
        else if (key == QLatin1String("spacing"))
            spacing = value.toDouble();
    }
    unit = normalUnit(unit);
    if (unit.isEmpty() || unit == QLatin1String("pixel") || unit == QLatin1String("pixels"))
        return c;
    if (!(xResolution > 0) || !std::isfinite(xResolution))
        return c;
    if (!(yResolution > 0) || !std::isfinite(yResolution))
        yResolution = xResolution;
    c.source = Calibration::Source::ImageJ;
    c.unit = unit;
    c.pixelWidth = 1.0 / xResolution;
    c.pixelHeight = 1.0 / yResolution;
    c.zSpacing = spacing > 0 ? spacing : 0;
    return c;
}

Calibration calibrationFromOme(const QString &description)
{
    Calibration c;
    if (!description.contains(QLatin1String("<OME")))
        return c;
    QXmlStreamReader xml(description);
    while (!xml.atEnd() && !xml.hasError()) {
        xml.readNext();
        if (xml.isStartElement() && xml.name() == QLatin1String("Pixels")) {
            const QXmlStreamAttributes a = xml.attributes();
            const double w = a.value(QLatin1String("PhysicalSizeX")).toDouble();
            double h = a.value(QLatin1String("PhysicalSizeY")).toDouble();
            if (!(w > 0) || !std::isfinite(w))
                return c;
            if (!(h > 0) || !std::isfinite(h))
                h = w;
            // OME's default unit is the micrometre.
            const QString unitX = a.value(QLatin1String("PhysicalSizeXUnit")).toString();
            const QString unitY = a.value(QLatin1String("PhysicalSizeYUnit")).toString();
            const QString unit = normalUnit(unitX.isEmpty() ? kMicro : unitX);
            const QString other = normalUnit(unitY.isEmpty() ? kMicro : unitY);
            if (other != unit) {
                const double mx = metresPerUnit(unit), my = metresPerUnit(other);
                if (mx <= 0 || my <= 0)
                    return c;
                h = h * my / mx;
            }
            c.source = Calibration::Source::Ome;
            c.unit = unit;
            c.pixelWidth = w;
            c.pixelHeight = h;
            return c;
        }
    }
    return c;
}

Calibration calibrationFromTags(double xResolution, double yResolution, int resolutionUnit,
                                const QString &description)
{
    Calibration c = calibrationFromResolution(xResolution, yResolution, resolutionUnit);
    if (!c.valid())
        c = calibrationFromImageJ(description, xResolution, yResolution);
    if (!c.valid())
        c = calibrationFromOme(description);
    return c;
}

Calibration calibrationFromScale(double pixels, double length, const QString &unit)
{
    Calibration c;
    if (!(pixels > 0) || !(length > 0) || !std::isfinite(pixels) || !std::isfinite(length)
        || unit.trimmed().isEmpty())
        return c;
    c.source = Calibration::Source::User;
    c.unit = normalUnit(unit);
    c.pixelWidth = c.pixelHeight = length / pixels;
    return c;
}

Calibration readCalibration(const QString &path)
{
    TIFF *tif = TiffLog::open(path, nullptr);
    if (!tif)
        return Calibration();
    float xres = 0, yres = 0;
    uint16_t unit = RESUNIT_INCH;
    if (!TIFFGetField(tif, TIFFTAG_XRESOLUTION, &xres))
        xres = 0;
    if (!TIFFGetField(tif, TIFFTAG_YRESOLUTION, &yres))
        yres = 0;
    TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
    const char *text = nullptr;
    QString description;
    if (TIFFGetField(tif, TIFFTAG_IMAGEDESCRIPTION, &text) && text)
        description = decodeDescription(QByteArray(text));
    TIFFClose(tif);
    return calibrationFromTags(xres, yres, unit, description);
}
