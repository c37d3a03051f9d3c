#include "viewer/imagestatistics.h"

#include <algorithm>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

constexpr size_t kHistogramSamples = size_t(1) << 21;

#ifdef __SSE2__
// SSE2 has only signed 16-bit min/max: flipping the top bit maps unsigned order onto it.
void rangeSse2(const uint16_t *values, size_t count, uint16_t &low, uint16_t &high)
{
    const __m128i flip = _mm_set1_epi16(short(0x8000));
    __m128i lo = _mm_set1_epi16(0x7fff), hi = _mm_set1_epi16(short(0x8000));
    size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m128i v = _mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i *>(values + i)), flip);
        lo = _mm_min_epi16(lo, v);
        hi = _mm_max_epi16(hi, v);
    }
    alignas(16) uint16_t l[8], h[8];
    _mm_store_si128(reinterpret_cast<__m128i *>(l), _mm_xor_si128(lo, flip));
    _mm_store_si128(reinterpret_cast<__m128i *>(h), _mm_xor_si128(hi, flip));
    low = *std::min_element(l, l + 8);
    high = *std::max_element(h, h + 8);
    for (; i < count; ++i) {
        low = std::min(low, values[i]);
        high = std::max(high, values[i]);
    }
}
#endif

// Lowest and highest of one channel's values, every stride-th from values.
void byteRange(const uint8_t *values, size_t count, size_t stride, uint16_t &low, uint16_t &high)
{
    uint8_t lo = 255, hi = 0;
    for (size_t p = 0; p < count; ++p) {
        const uint8_t x = values[p * stride];
        lo = x < lo ? x : lo;
        hi = x > hi ? x : hi;
    }
    low = lo;
    high = hi;
}

} // namespace

void valueRange(const uint16_t *values, size_t count, size_t stride, uint16_t &low, uint16_t &high)
{
    low = high = 0;
    if (count == 0)
        return;
#ifdef __SSE2__
    if (stride == 1) {
        rangeSse2(values, count, low, high);
        return;
    }
#endif
    low = high = values[0];
    for (size_t i = 0; i < count; ++i) {
        const uint16_t v = values[i * stride];
        low = v < low ? v : low;
        high = v > high ? v : high;
    }
}

ImageStatistics ImageStatistics::of(const DecodedImage &image)
{
    StatisticsGatherer gatherer(image);
    gatherer.addRows(image, 0, image.height);
    return gatherer.take();
}

StatisticsGatherer::StatisticsGatherer(const DecodedImage &image)
    : m_width(image.width), m_height(image.height), m_channels(image.channels), m_wide(image.wide())
{
    m_stats.channels = image.colourChannels;
    const size_t pixels = size_t(image.width) * image.height;
    // An odd step, so a pattern repeating every few pixels is not sampled in step with it.
    m_step = std::max<size_t>(1, pixels / kHistogramSamples);
    if (m_step > 1 && m_step % 2 == 0)
        ++m_step;
    if (pixels == 0)
        return;
    for (int c = 0; c < m_stats.channels; ++c) {
        ImageStatistics::Channel &ch = m_stats.channel[size_t(c)];
        ch.histogram.assign(size_t(image.indexLevels()), 0);
        ch.min = m_wide ? 0xffff : 0xff;
        ch.max = 0;
    }
}

void StatisticsGatherer::addRows(const DecodedImage &image, uint32_t first, uint32_t end)
{
    end = std::min(end, m_height);
    if (first != m_nextRow || first >= end || m_broken) {
        m_broken = m_broken || first != m_nextRow;
        return;
    }
    m_nextRow = end;
    const size_t from = size_t(first) * m_width, to = size_t(end) * m_width;
    const size_t stride = size_t(m_channels);
    const size_t sampled = (from + m_step - 1) / m_step * m_step;
    for (int c = 0; c < m_stats.channels; ++c) {
        ImageStatistics::Channel &ch = m_stats.channel[size_t(c)];
        uint32_t *bins = ch.histogram.data();
        const size_t step = m_step;
        uint64_t counted = 0;
        uint16_t low = 0, high = 0;
        if (m_wide) {
            const uint16_t *v = image.values16.data() + c;
            for (size_t p = sampled; p < to; p += step, ++counted)
                ++bins[v[p * stride]];
            valueRange(v + from * stride, to - from, stride, low, high);
        } else {
            const uint8_t *v = image.values8.data() + c;
            for (size_t p = sampled; p < to; p += step, ++counted)
                ++bins[v[p * stride]];
            byteRange(v + from * stride, to - from, stride, low, high);
        }
        ch.counted += counted;
        ch.min = std::min(ch.min, low);
        ch.max = std::max(ch.max, high);
    }
}

bool StatisticsGatherer::complete(const DecodedImage &image) const
{
    return !m_broken && m_nextRow == m_height && image.width == m_width && image.height == m_height
        && image.channels == m_channels && image.wide() == m_wide && image.colourChannels == m_stats.channels;
}
