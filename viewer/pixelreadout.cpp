#include "viewer/pixelreadout.h"

#include <QCoreApplication>

QString valueText(const DecodedImage &image, double value)
{
    if (image.format == DecodedImage::Format::Float || (image.bits == 32 && value != double(qint64(value))))
        return QString::number(value, 'g', 6);
    return QString::number(qint64(value));
}

QString storedValuesText(const DecodedImage &image, uint32_t x, uint32_t y)
{
    if (x >= image.width || y >= image.height)
        return QString();
    const size_t first = (size_t(y) * image.width + x) * size_t(image.channels);
    auto value = [&](int c) { return valueText(image, image.storedValue(first + size_t(c))); };
    QString text;
    if (image.palette) {
        const size_t index = image.index(first);
        const uint32_t colour = index < image.colourMap.size() ? image.colourMap[index] : 0;
        text = QCoreApplication::translate("PixelReadOut", "Index %1 (R %2 G %3 B %4)")
                   .arg(index)
                   .arg((colour >> 16) & 0xff)
                   .arg((colour >> 8) & 0xff)
                   .arg(colour & 0xff);
    } else if (image.colourChannels == 3) {
        text = QCoreApplication::translate("PixelReadOut", "R %1 G %2 B %3").arg(value(0), value(1), value(2));
    } else {
        text = QCoreApplication::translate("PixelReadOut", "Value %1").arg(value(0));
    }
    if (image.channels > image.colourChannels)
        text += QCoreApplication::translate("PixelReadOut", "  Alpha %1").arg(value(image.colourChannels));
    return text;
}
