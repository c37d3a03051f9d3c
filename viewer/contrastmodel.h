#pragma once
#include "viewer/decodedimage.h"
#include "viewer/displaymap.h"
#include "viewer/imagestatistics.h"

#include <QObject>

#include <memory>

// The contrast choice of the image browser. Each new image gets, while "auto per image"
// is on, its own robust range: 0.35 % of the pixels saturated, split between both ends,
// per colour channel, for samples wider than 8 bits, and the full range of its type
// otherwise. Reset and the bit presets apply to the image shown: with "auto per image" on,
// the next image gets its own range again, as the ticked box says. A range the user types or
// drags turns "auto per image" off, and that range stays, in stored values, while paging.
class ContrastModel : public QObject
{
    Q_OBJECT
public:
    static constexpr double kSaturatedPercent = 0.35;

    explicit ContrastModel(QObject *parent = nullptr);

    void setImage(std::shared_ptr<const DecodedImage> image, ImageStatistics statistics);
    const DecodedImage *image() const { return m_image.get(); }
    std::shared_ptr<const DecodedImage> sharedImage() const { return m_image; }
    const ImageStatistics &statistics() const { return m_statistics; }
    const DisplayRange &range() const { return m_range; }
    // Palette and 1-bit images have nothing to adjust.
    bool adjustable() const;

    // The range of the first colour channel, in stored values.
    double lowValue() const;
    double highValue() const;
    double dataMinValue() const;
    double dataMaxValue() const;
    bool autoPerImage() const { return m_autoPerImage; }

    // Ranges computed from statistics alone, in index values.
    static DisplayRange automatic(const DecodedImage &image, const ImageStatistics &stats,
                                  double saturatedPercent = kSaturatedPercent);
    static DisplayRange fullData(const ImageStatistics &stats);
    static DisplayRange typeRange(const DecodedImage &image);

public slots:
    void setAutoPerImage(bool on);
    void applyAuto();
    void reset();
    void applyBits(int bits);
    void setValues(double low, double high);

signals:
    void rangeChanged();
    void imageChanged();

private:
    void setRange(const DisplayRange &range);
    void keepChoice();

    std::shared_ptr<const DecodedImage> m_image;
    ImageStatistics m_statistics;
    DisplayRange m_range;
    bool m_autoPerImage = true;
    bool m_haveChoice = false;
    double m_choiceLow = 0;  // the user's range, in stored values
    double m_choiceHigh = 0;
};
