// MeasureModel: the measurements as text, for the read-out, the clipboard and CSV files.
#include "viewer/measuremodel.h"

#include <QCoreApplication>
#include <QStringList>

#include <cmath>

namespace {

QString number(double v)
{
    if (std::isnan(v))
        return QStringLiteral("NaN");
    return QString::number(v, 'g', 7);
}

QString channelName(int c, int channels)
{
    static const char *const names[] = {"Red", "Green", "Blue"};
    return channels == 3 ? QString::fromLatin1(names[c]) + QLatin1Char(' ') : QString();
}

} // namespace

QString MeasureModel::lineText() const
{
    if (!m_hasLine)
        return QString();
    const Calibration c = calibration();
    const double dx = m_line.dx(), dy = m_line.dy();
    const double angle = std::atan2(-dy, dx) * 180.0 / M_PI;
    return tr("Line %1 %2, angle %3\u00b0").arg(number(c.length(dx, dy)), c.unitText(), QString::number(angle, 'f', 1));
}

QString MeasureModel::regionSummary()
{
    if (!m_hasRegion)
        return QString();
    const RegionStatistics *current = currentStatistics();
    if (!current)
        return tr("Measuring the region\u2026");
    const RegionStatistics &s = *current;
    const Calibration c = calibration();
    QString text = tr("%1 pixels, area %2 %3").arg(s.pixels).arg(number(c.area(double(s.pixels))), c.areaUnitText());
    const int channels = int(s.channel.size());
    for (int i = 0; i < channels; ++i) {
        const RegionStatistics::Channel &ch = s.channel[size_t(i)];
        text += QLatin1Char('\n') + channelName(i, channels)
                + tr("mean %1  sd %2  min %3  max %4  sum %5")
                      .arg(number(ch.mean), number(ch.stdDev), number(ch.min), number(ch.max), number(ch.sum));
        if (ch.nonFinite)
            text += tr("  (%1 NaN or infinite left out)").arg(ch.nonFinite);
    }
    return text;
}

QString MeasureModel::regionTable()
{
    if (!m_hasRegion)
        return QString();
    const RegionStatistics &s = regionStatistics();
    const Calibration c = calibration();
    QStringList head{tr("Pixels"), tr("Area (%1)").arg(c.areaUnitText())};
    QStringList row{QString::number(s.pixels), number(c.area(double(s.pixels)))};
    const int channels = int(s.channel.size());
    const bool floats = m_image && m_image->format == DecodedImage::Format::Float;
    for (int i = 0; i < channels; ++i) {
        const RegionStatistics::Channel &ch = s.channel[size_t(i)];
        const QString p = channelName(i, channels);
        head << p + tr("Mean") << p + tr("StdDev") << p + tr("Min") << p + tr("Max") << p + tr("Sum");
        row << number(ch.mean) << number(ch.stdDev) << number(ch.min) << number(ch.max) << number(ch.sum);
        if (floats) {
            head << p + tr("NaN/Inf");
            row << QString::number(ch.nonFinite);
        }
    }
    return head.join(QLatin1Char('\t')) + QLatin1Char('\n') + row.join(QLatin1Char('\t')) + QLatin1Char('\n');
}

QString MeasureModel::profileCsv()
{
    const LineProfile &p = profile();
    if (!p.ok())
        return QString();
    const Calibration c = calibration();
    const double perPixel = p.length > 0 ? c.length(m_line.dx(), m_line.dy()) / p.length : 1;
    QStringList head{tr("Distance (%1)").arg(c.unitText())};
    for (int i = 0; i < p.channels; ++i)
        head << (p.channels == 3 ? channelName(i, 3).trimmed() : tr("Value"));
    QString out = head.join(QLatin1Char(',')) + QLatin1Char('\n');
    for (size_t i = 0; i < p.count(); ++i) {
        QStringList row{number(p.position[i] * perPixel)};
        for (int ch = 0; ch < p.channels; ++ch)
            row << number(p.value(i, ch));
        out += row.join(QLatin1Char(',')) + QLatin1Char('\n');
    }
    return out;
}
