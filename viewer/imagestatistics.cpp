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

template <typename T>
void gather(const T *values, size_t pixels, int channels, int colour, ImageStatistics &stats)
{
    // An odd step, so a pattern repeating every few pixels is not sampled in step with it.
    size_t step = std::max<size_t>(1, pixels / kHistogramSamples);
    if (step > 1 && step % 2 == 0)
        ++step;
    for (int c = 0; c < colour; ++c) {
        ImageStatistics::Channel &ch = stats.channel[size_t(c)];
        uint32_t *bins = ch.histogram.data();
        uint64_t counted = 0;
        for (size_t p = 0; p < pixels; p += step, ++counted)
            ++bins[values[p * size_t(channels) + size_t(c)]];
        ch.counted = counted;
    }
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
    ImageStatistics stats;
    stats.channels = image.colourChannels;
    const size_t pixels = size_t(image.width) * image.height;
    if (pixels == 0)
        return stats;
    const int levels = image.indexLevels();
    for (int c = 0; c < stats.channels; ++c)
        stats.channel[size_t(c)].histogram.assign(size_t(levels), 0);
    if (image.wide()) {
        gather(image.values16.data(), pixels, image.channels, stats.channels, stats);
        for (int c = 0; c < stats.channels; ++c) {
            Channel &ch = stats.channel[size_t(c)];
            valueRange(image.values16.data() + c, pixels, size_t(image.channels), ch.min, ch.max);
        }
        return stats;
    }
    gather(image.values8.data(), pixels, image.channels, stats.channels, stats);
    // Byte values: the extremes from every pixel, not only the sampled ones.
    for (int c = 0; c < stats.channels; ++c) {
        Channel &ch = stats.channel[size_t(c)];
        uint8_t low = 255, high = 0;
        const uint8_t *v = image.values8.data() + c;
        for (size_t p = 0; p < pixels; ++p) {
            const uint8_t x = v[p * size_t(image.channels)];
            low = x < low ? x : low;
            high = x > high ? x : high;
        }
        ch.min = low;
        ch.max = high;
    }
    return stats;
}
