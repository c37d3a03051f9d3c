#include "viewer/contrastmodel.h"

#include <algorithm>
#include <cmath>

ContrastModel::ContrastModel(QObject *parent) : QObject(parent) {}

bool ContrastModel::adjustable() const
{
    return m_image && !m_image->palette && m_image->maxIndex() > 1;
}

DisplayRange ContrastModel::typeRange(const DecodedImage &image)
{
    DisplayRange r;
    r.low.fill(0);
    r.high.fill(image.maxIndex());
    if (image.bits == 32) // indices already span the data
        r.high.fill(65535);
    return r;
}

DisplayRange ContrastModel::fullData(const ImageStatistics &stats)
{
    DisplayRange r;
    for (int c = 0; c < 3; ++c) {
        const auto &ch = stats.channel[size_t(std::min(c, std::max(stats.channels - 1, 0)))];
        r.low[size_t(c)] = ch.min;
        r.high[size_t(c)] = ch.max;
    }
    return r;
}

DisplayRange ContrastModel::automatic(const DecodedImage &image, const ImageStatistics &stats,
                                      double saturatedPercent)
{
    DisplayRange r = fullData(stats);
    for (int c = 0; c < stats.channels; ++c) {
        const ImageStatistics::Channel &ch = stats.channel[size_t(c)];
        const double threshold = double(ch.counted) * saturatedPercent / 100.0 / 2.0;
        const int levels = int(ch.histogram.size());
        int low = 0, high = levels - 1;
        double below = 0;
        while (low < levels - 1 && below + ch.histogram[size_t(low)] <= threshold)
            below += ch.histogram[size_t(low++)];
        double above = 0;
        while (high > 0 && above + ch.histogram[size_t(high)] <= threshold)
            above += ch.histogram[size_t(high--)];
        if (low < high) {
            r.low[size_t(c)] = low;
            r.high[size_t(c)] = high;
        }
    }
    if (stats.channels == 1) {
        r.low.fill(r.low[0]);
        r.high.fill(r.high[0]);
    }
    // A flat image keeps the type's scale instead of a step at its only value.
    if (stats.channels >= 1 && r.low[0] >= r.high[0])
        return typeRange(image);
    return r;
}

void ContrastModel::setImage(std::shared_ptr<const DecodedImage> image, ImageStatistics statistics)
{
    m_image = std::move(image);
    m_statistics = std::move(statistics);
    emit imageChanged();
    if (!m_image) {
        setRange(DisplayRange());
        return;
    }
    if (!adjustable()) {
        setRange(typeRange(*m_image));
    } else if (m_autoPerImage || !m_haveChoice) {
        setRange(m_image->wide() ? automatic(*m_image, m_statistics) : typeRange(*m_image));
    } else {
        DisplayRange r;
        r.low.fill(m_image->indexOf(m_choiceLow));
        r.high.fill(m_image->indexOf(m_choiceHigh));
        setRange(r);
    }
    emit rangeChanged(); // listeners repaint for the new image even when the numbers stay
}

double ContrastModel::lowValue() const
{
    return m_image ? m_image->valueOf(m_range.low[0]) : 0;
}

double ContrastModel::highValue() const
{
    return m_image ? m_image->valueOf(m_range.high[0]) : 0;
}

double ContrastModel::dataMinValue() const
{
    return m_image ? m_image->valueOf(m_statistics.channel[0].min) : 0;
}

double ContrastModel::dataMaxValue() const
{
    return m_image ? m_image->valueOf(m_statistics.channel[0].max) : 0;
}

void ContrastModel::setAutoPerImage(bool on)
{
    m_autoPerImage = on;
    if (on && adjustable())
        applyAuto();
    else if (!on && adjustable())
        keepChoice(); // unticked: the range on screen is the one that stays
}

void ContrastModel::applyAuto()
{
    if (!adjustable())
        return;
    setRange(automatic(*m_image, m_statistics));
    keepChoice();
}

void ContrastModel::reset()
{
    if (!adjustable())
        return;
    setRange(fullData(m_statistics));
    keepChoice();
}

void ContrastModel::applyBits(int bits)
{
    if (!adjustable())
        return;
    DisplayRange r;
    r.low.fill(m_image->indexOf(0));
    r.high.fill(m_image->indexOf(std::ldexp(1.0, bits) - 1));
    setRange(r);
    keepChoice();
}

void ContrastModel::setValues(double low, double high)
{
    if (!adjustable())
        return;
    m_autoPerImage = false;
    DisplayRange r;
    r.low.fill(m_image->indexOf(std::min(low, high)));
    r.high.fill(m_image->indexOf(std::max(low, high)));
    setRange(r);
    keepChoice();
}

void ContrastModel::setRange(const DisplayRange &range)
{
    m_range = range;
}

void ContrastModel::keepChoice()
{
    m_haveChoice = true;
    m_choiceLow = lowValue();
    m_choiceHigh = highValue();
    emit rangeChanged();
}
