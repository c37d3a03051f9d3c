#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <vector>

// Memory for decoded values. Large blocks are asked for in huge pages where the system
// has them: a 4096 x 4096 16-bit image otherwise costs eight thousand page faults before
// its first value is read, about as long again as reading it.
namespace ValueMemory {
void *allocate(size_t bytes); // nullptr when there is not enough memory
void release(void *data, size_t bytes);
} // namespace ValueMemory

// An owned array that is not cleared on allocation: decoded images run to hundreds of
// MiB and every value is written by the decoder anyway.
template <typename T>
class ValueBuffer
{
public:
    ValueBuffer() = default;
    ~ValueBuffer() { clear(); }
    ValueBuffer(ValueBuffer &&other) noexcept { swap(other); }
    ValueBuffer &operator=(ValueBuffer &&other) noexcept
    {
        ValueBuffer gone(std::move(*this));
        swap(other);
        return *this;
    }
    ValueBuffer(const ValueBuffer &) = delete;
    ValueBuffer &operator=(const ValueBuffer &) = delete;

    bool allocate(size_t count)
    {
        clear();
        if (count == 0)
            return true;
        if (count > SIZE_MAX / sizeof(T))
            return false;
        m_data = static_cast<T *>(ValueMemory::allocate(count * sizeof(T)));
        m_size = m_data ? count : 0;
        return m_data != nullptr;
    }
    void clear()
    {
        if (m_data)
            ValueMemory::release(m_data, m_size * sizeof(T));
        m_data = nullptr;
        m_size = 0;
    }
    T *data() { return m_data; }
    const T *data() const { return m_data; }
    size_t size() const { return m_size; }
    bool empty() const { return m_size == 0; }
    T &operator[](size_t i) { return m_data[i]; }
    const T &operator[](size_t i) const { return m_data[i]; }

private:
    void swap(ValueBuffer &other) noexcept
    {
        std::swap(m_data, other.m_data);
        std::swap(m_size, other.m_size);
    }

    T *m_data = nullptr;
    size_t m_size = 0;
};

// One decoded page: the values as stored in the file, in a form the display and the
// read-out share. Samples are interleaved pixel by pixel, rows packed, top row first,
// already turned upright according to the Orientation tag.
//
// Values of up to 8 bits are kept in values8, wider ones in values16 ("index" values).
// Signed samples are kept offset by half their range (0x80 or 0x8000), so that sorting,
// histograms and lookup tables work on them unchanged; 32-bit samples (float, signed or
// unsigned) are kept as stored in raw32 and also scaled onto 0..65535 in values16 for the
// display, over the finite range found in the image.
struct DecodedImage
{
    enum class Format { Unsigned, Signed, Float };

    uint32_t width = 0;
    uint32_t height = 0;
    int channels = 1;       // values per pixel: 1 grey or palette index, 2 grey + alpha, 3 RGB, 4 RGBA
    int colourChannels = 1; // 1 or 3; a further channel is alpha
    int bits = 8;           // bits per sample as stored
    Format format = Format::Unsigned;
    bool minIsWhite = false;
    bool palette = false;
    std::vector<uint32_t> colourMap; // 0xffRRGGBB per palette index
    ValueBuffer<uint8_t> values8;
    ValueBuffer<uint16_t> values16;
    ValueBuffer<uint32_t> raw32;
    double scaleLow = 0;  // 32-bit samples: index i stands for scaleLow + i * scaleStep
    double scaleStep = 1;
    // Rows that could not be decoded, as [first, last] pairs in upright coordinates.
    std::vector<std::pair<uint32_t, uint32_t>> missingRows;
    bool missingColumns = false; // a quarter turn made the missing stored rows columns

    bool wide() const { return !values16.empty(); }
    size_t valueCount() const { return size_t(width) * height * size_t(channels); }
    // Number of distinct index values: 256 for byte values, 65536 for wide ones.
    int indexLevels() const { return wide() ? 65536 : 256; }
    // The largest index a stored value can have (e.g. 4095 for 12-bit, 1 for 1-bit).
    int maxIndex() const;
    uint16_t index(size_t i) const { return wide() ? values16[i] : values8[i]; }
    // The stored value an index stands for.
    double valueOf(double index) const;
    // The index nearest to a stored value, clamped to the indices that exist.
    double indexOf(double value) const;
    // The stored value of sample i, as a number (float and 32-bit samples exactly).
    double storedValue(size_t i) const;
};
