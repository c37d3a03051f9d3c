#pragma once
#include <QString>

#include <cstdint>

// The physical size of one pixel, and where it came from. Lengths and areas are given in
// `unit`; an uncalibrated image measures in pixels.
struct Calibration
{
    // In the order the sources are trusted: the resolution tags are the file's own
    // statement, an ImageJ description qualifies the tags with its unit, OME-XML is read
    // last; a scale the user set wins over all of them.
    enum class Source { None, Resolution, ImageJ, Ome, User };

    Source source = Source::None;
    double pixelWidth = 1;  // in unit
    double pixelHeight = 1;
    QString unit;           // "µm", "mm", "nm", "cm", "m", "in" or as the file wrote it
    double zSpacing = 0;    // ImageJ "spacing=", for the sheet only; 0 when not given

    bool valid() const { return source != Source::None && pixelWidth > 0 && pixelHeight > 0; }
    // The length of a step of (dx, dy) pixels, in unit (in pixels when uncalibrated).
    double length(double dx, double dy) const;
    double area(double pixels) const;
    QString unitText() const { return valid() ? unit : QStringLiteral("px"); }
    QString areaUnitText() const;
    // Pixels per metre, for the pHYs chunk of an exported PNG; 0 when not a length.
    double pixelsPerMetreX() const;
    double pixelsPerMetreY() const;
    // "0.65 µm per pixel (TIFF resolution tags)", or "uncalibrated".
    QString describe() const;
    QString sourceText() const;

    bool operator==(const Calibration &o) const
    {
        return source == o.source && pixelWidth == o.pixelWidth && pixelHeight == o.pixelHeight && unit == o.unit;
    }
};

// The usual spellings of a length unit brought to one ("micron", "um", "\u00b5m" are µm);
// other text is kept as written.
QString normalUnit(const QString &unit);
// Metres in one unit; 0 for a unit that is not a known length.
double metresPerUnit(const QString &unit);

// The sources, each on its own; each returns an invalid calibration when it says nothing.
// resolutionUnit: 1 none, 2 inch, 3 centimetre (the TIFF values).
Calibration calibrationFromResolution(double xResolution, double yResolution, int resolutionUnit);
Calibration calibrationFromImageJ(const QString &description, double xResolution, double yResolution);
Calibration calibrationFromOme(const QString &description);
// Picks the most trusted of the three.
Calibration calibrationFromTags(double xResolution, double yResolution, int resolutionUnit,
                                const QString &description);

// A known distance in pixels that is a length in unit, as "Set Scale…" takes it.
Calibration calibrationFromScale(double pixels, double length, const QString &unit);

// Reads page 0's resolution tags and the description of a TIFF file.
Calibration readCalibration(const QString &path);
