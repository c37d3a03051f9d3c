#pragma once
#include "viewer/decodedimage.h"

#include <QCoreApplication>
#include <QString>

#include <atomic>
#include <functional>

// Reads one page of a TIFF file into a DecodedImage, with libtiff's own decoders, for
// every layout a lab is likely to meet: grey, MinIsWhite, palette, RGB, with or without
// alpha; 1 to 16-bit, 32-bit integer and float samples, signed or not; strips or tiles,
// contiguous or planar; JPEG in YCbCr; and, through libtiff's RGBA reader, the rest it
// can convert (CMYK, CIE L*a*b*, subsampled YCbCr). Sizes are checked against what the
// file can hold before anything large is allocated.
// Lets a caller on another thread stop a long decode and follow its progress.
struct TiffDecodeControl
{
    const std::atomic<bool> *cancel = nullptr;
    std::function<void(int percent)> progress;
    uint64_t maxDecodedBytes = 0; // 0: TiffDecoder::kMaxDecodedBytes
    // Told as rows [first, end) of the image reach their final values, top to bottom, so
    // work on them can follow while they are still in the cache. Only for layouts whose
    // values need nothing more once read (upright strips of unsigned samples up to 16
    // bits, one plane); never for the others.
    std::function<void(const DecodedImage &image, uint32_t first, uint32_t end)> rowsDone;
    // After the last rowsDone, when no more rows will come (read, failed or cancelled),
    // before the decoder changes or drops the image.
    std::function<void()> rowsEnd;
};

class TiffDecoder
{
    Q_DECLARE_TR_FUNCTIONS(TiffDecoder)

public:
    enum Status { Loaded, NotReadable, Unsupported, TooLarge, NoMemory, Cancelled };
    using Control = TiffDecodeControl;

    struct Result
    {
        Status status = NotReadable;
        QString message; // why it failed, in the user's words; empty on success
        int pageCount = 0;
        // The header as stored, for the caller's fields.
        uint32_t width = 0;
        uint32_t height = 0;
        uint16_t bitsPerSample = 0; // 0 when the tag is absent
        uint16_t samplesPerPixel = 1;
        uint16_t photometric = 0;
        uint16_t compression = 0;
    };

    // The largest decoded image accepted, in bytes of values.
    static constexpr uint64_t kMaxDecodedBytes = (uint64_t(2) << 30) - 1;

    static Result decode(const QString &path, int page, DecodedImage &out,
                         const Control &control = Control());
};
