#include "tools/sampledata/tiffout.h"

#include <QFile>
#include <QVector>

#include <tiffio.h>

#include <algorithm>
#include <cmath>

namespace {

bool isRgb(Layout layout) { return layout == Layout::Rgb8 || layout == Layout::Rgb16; }
bool is16(Layout layout) { return layout == Layout::Grey16 || layout == Layout::Rgb16; }

quint16 quantise(float v, const TiffFormat &format)
{
    if (!is16(format.layout))
        return quint16(std::lround(std::clamp(v, 0.0f, 1.0f) * 255.0f));
    return quint16(std::lround(format.low + double(std::clamp(v, 0.0f, 1.0f)) * (format.high - format.low)));
}

// One row of samples, interleaved R, G, B for colour.
void row(const Canvas &canvas, const TiffFormat &format, int y, QVector<quint16> *out)
{
    const int spp = isRgb(format.layout) ? 3 : 1;
    out->resize(canvas.width * spp);
    for (int x = 0; x < canvas.width; ++x) {
        if (spp == 3) {
            const float *p = canvas.at(x, y);
            for (int c = 0; c < 3; ++c)
                (*out)[x * 3 + c] = quantise(p[c], format);
        } else {
            (*out)[x] = quantise(canvas.luminance(x, y), format);
        }
    }
}

} // namespace

QString layoutName(Layout layout)
{
    switch (layout) {
    case Layout::Grey8: return QStringLiteral("8-bit grey");
    case Layout::Rgb8: return QStringLiteral("8-bit RGB");
    case Layout::Grey16: return QStringLiteral("16-bit grey");
    case Layout::Rgb16: return QStringLiteral("16-bit RGB");
    }
    return QString();
}

void sampleRange(const Canvas &canvas, const TiffFormat &format, quint16 *min, quint16 *max)
{
    *min = 65535;
    *max = 0;
    QVector<quint16> samples;
    for (int y = 0; y < canvas.height; ++y) {
        row(canvas, format, y, &samples);
        const auto range = std::minmax_element(samples.cbegin(), samples.cend());
        *min = std::min(*min, *range.first);
        *max = std::max(*max, *range.second);
    }
}

bool writeTiff(const QString &path, const Canvas &canvas, const TiffFormat &format,
               const QByteArray &description, QString *error)
{
    TIFF *tiff = TIFFOpen(QFile::encodeName(path).constData(), "w");
    if (!tiff) {
        *error = QStringLiteral("cannot create %1").arg(path);
        return false;
    }
    const quint16 spp = isRgb(format.layout) ? 3 : 1;
    const quint16 bps = is16(format.layout) ? 16 : 8;
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, quint32(canvas.width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, quint32(canvas.height));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, bps);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, spp);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, spp == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_ORIENTATION, ORIENTATION_TOPLEFT);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, format.lzw ? COMPRESSION_LZW : COMPRESSION_NONE);
    if (format.lzw)
        TIFFSetField(tiff, TIFFTAG_PREDICTOR, PREDICTOR_HORIZONTAL);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, TIFFDefaultStripSize(tiff, 0));
    TIFFSetField(tiff, TIFFTAG_IMAGEDESCRIPTION, description.constData());
    TIFFSetField(tiff, TIFFTAG_SOFTWARE, "TARVELO 1.2.0");

    bool ok = true;
    QVector<quint16> samples;
    QVector<uchar> bytes;
    for (int y = 0; ok && y < canvas.height; ++y) {
        row(canvas, format, y, &samples);
        void *line = samples.data();
        if (bps == 8) {
            bytes.resize(samples.size());
            std::copy(samples.cbegin(), samples.cend(), bytes.begin());
            line = bytes.data();
        }
        ok = TIFFWriteScanline(tiff, line, quint32(y), 0) == 1;
    }
    TIFFClose(tiff);
    if (!ok) {
        *error = QStringLiteral("cannot write %1 (disk full?)").arg(path);
        QFile::remove(path);
    }
    return ok;
}
