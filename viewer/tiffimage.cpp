#include "viewer/tiffimage.h"

#include <QCoreApplication>

#include <algorithm>

ImageFileType imageFileType(const std::wstring &path)
{
    const std::wstring::size_type dot = path.rfind(L'.');
    const std::wstring::size_type start = dot == std::wstring::npos ? 0 : dot + 1;
    const std::wstring extension = path.substr(start, 3);
    static const wchar_t *const names[] = {L"tif", L"jpg", L"png", L"bmp", L"raw"};
    for (int i = 0; i < 5; ++i) {
        if (extension == names[i])
            return static_cast<ImageFileType>(i);
    }
    return Unknown;
}

bool TiffImage::load(const std::wstring &path, int page, const TiffDecoder::Control &control)
{
    release();
    m_message.clear();
    m_status = RefusedName;
    if (imageFileType(path) != Tif) {
        m_message = QCoreApplication::translate("TiffImage", "Only TIFF files named \"*.tif\" are shown here.");
        return false;
    }
    auto decoded = std::make_shared<DecodedImage>();
    const TiffDecoder::Result result =
        TiffDecoder::decode(QString::fromStdWString(path), page, *decoded, control);
    m_width = result.width;
    m_height = result.height;
    m_bitsPerSample = result.bitsPerSample;
    m_samplesPerPixel = result.samplesPerPixel;
    m_photometric = result.photometric;
    m_compression = result.compression;
    // Both tags may hold up to 65535: the product is formed in 32 bits and capped.
    m_bitsPerPixel = uint16_t(std::min<uint32_t>(uint32_t(m_bitsPerSample) * m_samplesPerPixel, 65535u));
    m_pageCount = result.pageCount;
    m_message = result.message;
    switch (result.status) {
    case TiffDecoder::Loaded: m_status = Loaded; break;
    case TiffDecoder::NotReadable: m_status = NotReadable; break;
    case TiffDecoder::Unsupported: m_status = UnsupportedLayout; break;
    case TiffDecoder::TooLarge:
    case TiffDecoder::NoMemory: m_status = TooLarge; break;
    case TiffDecoder::Cancelled: m_status = Cancelled; break;
    }
    if (m_status != Loaded)
        return false;
    m_decoded = std::move(decoded);
    m_valueCount = int32_t(std::min<size_t>(m_decoded->valueCount(), INT32_MAX));
    m_pixels16 = m_decoded->wide() ? m_decoded->values16.data() : nullptr;
    m_pixels8 = m_decoded->wide() ? nullptr : m_decoded->values8.data();
    return true;
}

void *TiffImage::pixels(int bitsPerPixel) const
{
    return (bitsPerPixel == 16 || bitsPerPixel == 48) ? static_cast<void *>(m_pixels16)
                                                      : static_cast<void *>(m_pixels8);
}

std::shared_ptr<DecodedImage> TiffImage::take()
{
    m_pixels16 = nullptr;
    m_pixels8 = nullptr;
    return std::move(m_decoded);
}

void TiffImage::release()
{
    m_decoded.reset();
    m_pixels16 = nullptr;
    m_pixels8 = nullptr;
}
