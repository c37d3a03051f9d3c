// Every TIFF layout the browser shows, written with libtiff, decoded, rendered with the
// display's defaults (type range for up to 8 bits, full data range set explicitly for
// wider samples) and compared pixel for pixel with the display expected from the values
// the test wrote.
#include "viewer/contrastmodel.h"
#include "viewer/displayimage.h"
#include "viewer/imagestatistics.h"
#include "viewer/pixelreadout.h"
#include "viewer/statisticsfollower.h"
#include "viewer/tiffdecoder.h"
#include "viewer/tiffimage.h"
#include "viewer/tifffiles.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using TestTiff::Layout;
Q_DECLARE_METATYPE(Layout)

namespace {

// The number a stored sample stands for, read the way the file's format says.
double numberOf(const Layout &l, uint32_t raw)
{
    if (l.sampleFormat == SAMPLEFORMAT_IEEEFP) {
        float f;
        std::memcpy(&f, &raw, 4);
        return f;
    }
    if (l.sampleFormat == SAMPLEFORMAT_INT)
        return l.bitsPerSample == 32 ? double(int32_t(raw)) : l.bitsPerSample == 16 ? double(int16_t(raw)) : double(int8_t(raw));
    return raw;
}

int level(double v, double low, double high)
{
    return high > low ? int(std::floor((v - low) * 255.0 / (high - low) + 0.5)) : 0;
}

// The colour a pixel of the stored image should show with.
QRgb expected(const Layout &l, uint32_t x, uint32_t y, int page, const double *low, const double *high)
{
    auto raw = [&](int c) { return TestTiff::rawSample(l, x, y, c, page); };
    const bool wide = l.bitsPerSample > 8;
    auto channel = [&](int c) {
        const double v = numberOf(l, raw(c));
        if (wide)
            return level(v, low[c], high[c]);
        return level(v, 0, (1 << (l.bitsPerSample ? l.bitsPerSample : 1)) - 1);
    };
    switch (l.photometric) {
    case PHOTOMETRIC_PALETTE: {
        uint16_t r, g, b;
        TestTiff::paletteEntry(int(raw(0)), r, g, b);
        return qRgb(r >> 8, g >> 8, b >> 8);
    }
    case PHOTOMETRIC_SEPARATED: { // libtiff's own CMYK to RGB
        const int k = 255 - int(raw(3));
        return qRgb(k * (255 - int(raw(0))) / 255, k * (255 - int(raw(1))) / 255, k * (255 - int(raw(2))) / 255);
    }
    case PHOTOMETRIC_YCBCR:
        return qRgb(channel(0), channel(1), channel(2));
    case PHOTOMETRIC_MINISWHITE: {
        const int v = 255 - channel(0);
        return qRgb(v, v, v);
    }
    default:
        if (l.samplesPerPixel >= 3)
            return qRgb(channel(0), channel(1), channel(2));
        return qRgb(channel(0), channel(0), channel(0));
    }
}

} // namespace

class TestTiffLayouts : public QObject
{
    Q_OBJECT
private slots:
    void shownAsStored_data();
    void shownAsStored();
    void refusedWithTheExactReason_data();
    void refusedWithTheExactReason();
    void statisticsFollowTheDecoding_data();
    void statisticsFollowTheDecoding();

private:
    QTemporaryDir m_dir;
};

void TestTiffLayouts::shownAsStored_data()
{
    QTest::addColumn<Layout>("layout");
    QTest::addColumn<int>("page");
    QTest::addColumn<int>("tolerance"); // largest difference in any channel
    QTest::addColumn<QString>("readOut"); // stored values of upright pixel (69, 39)

    Layout base;
    base.width = 70; // tiles of 16 end part-way, both ways
    base.height = 40;
    auto with = [&](auto change) { Layout l = base; change(l); return l; };
    QTest::newRow("8-bit grey") << base << 0 << 0 << "Value 222";
    QTest::newRow("8-bit MinIsWhite") << with([](Layout &l) { l.photometric = PHOTOMETRIC_MINISWHITE; }) << 0 << 0 << "Value 222";
    QTest::newRow("1-bit MinIsWhite, no BitsPerSample tag")
        << with([](Layout &l) { l.bitsPerSample = 0; l.photometric = PHOTOMETRIC_MINISWHITE; }) << 0 << 0 << QString();
    QTest::newRow("1-bit grey") << with([](Layout &l) { l.bitsPerSample = 1; }) << 0 << 0 << QString();
    QTest::newRow("4-bit grey") << with([](Layout &l) { l.bitsPerSample = 4; }) << 0 << 0 << QString();
    QTest::newRow("12-bit grey, LZW") << with([](Layout &l) { l.bitsPerSample = 12; l.compression = COMPRESSION_LZW; }) << 0 << 0 << "Value 3621";
    QTest::newRow("16-bit grey") << with([](Layout &l) { l.bitsPerSample = 16; }) << 0 << 0 << "Value 57945";
    QTest::newRow("16-bit signed") << with([](Layout &l) { l.bitsPerSample = 16; l.sampleFormat = SAMPLEFORMAT_INT; }) << 0 << 0 << "Value -7591";
    QTest::newRow("32-bit float") << with([](Layout &l) { l.bitsPerSample = 32; l.sampleFormat = SAMPLEFORMAT_IEEEFP; }) << 0 << 1 << "Value 90.75";
    QTest::newRow("32-bit signed") << with([](Layout &l) { l.bitsPerSample = 32; l.sampleFormat = SAMPLEFORMAT_INT; }) << 0 << 1 << "Value 6850480";
    QTest::newRow("8-bit palette") << with([](Layout &l) { l.photometric = PHOTOMETRIC_PALETTE; }) << 0 << 0 << "Index 222 (R 22 G 33 B 138)";
    QTest::newRow("4-bit palette") << with([](Layout &l) { l.photometric = PHOTOMETRIC_PALETTE; l.bitsPerSample = 4; }) << 0 << 0 << QString();
    QTest::newRow("8-bit grey + alpha") << with([](Layout &l) { l.samplesPerPixel = 2; }) << 0 << 0 << "Value 222  Alpha 16";
    QTest::newRow("24-bit RGB") << with([](Layout &l) { l.samplesPerPixel = 3; }) << 0 << 0 << "R 222 G 16 B 66";
    QTest::newRow("32-bit RGBA") << with([](Layout &l) { l.samplesPerPixel = 4; }) << 0 << 0 << "R 222 G 16 B 66  Alpha 116";
    QTest::newRow("48-bit RGB") << with([](Layout &l) { l.samplesPerPixel = 3; l.bitsPerSample = 16; }) << 0 << 0 << "R 57945 G 62044 B 607";
    QTest::newRow("tiled 16-bit grey") << with([](Layout &l) { l.tiled = true; l.bitsPerSample = 16; }) << 0 << 0 << "Value 57945";
    QTest::newRow("tiled 24-bit RGB, Deflate") << with([](Layout &l) { l.tiled = true; l.samplesPerPixel = 3; l.compression = COMPRESSION_ADOBE_DEFLATE; }) << 0 << 0 << "R 222 G 16 B 66";
    QTest::newRow("planar 24-bit RGB") << with([](Layout &l) { l.planar = PLANARCONFIG_SEPARATE; l.samplesPerPixel = 3; }) << 0 << 0 << "R 222 G 16 B 66";
    QTest::newRow("tiled planar 48-bit RGB") << with([](Layout &l) { l.tiled = true; l.planar = PLANARCONFIG_SEPARATE; l.samplesPerPixel = 3; l.bitsPerSample = 16; }) << 0 << 0 << "R 57945 G 62044 B 607";
    // Lossy: judged by the mean difference (a negative tolerance) against the RGB written.
    QTest::newRow("YCbCr JPEG") << with([](Layout &l) { l.samplesPerPixel = 3; l.photometric = PHOTOMETRIC_YCBCR; l.compression = COMPRESSION_JPEG; l.rowsPerStrip = 16; }) << 0 << -4 << QString();
    QTest::newRow("8-bit CMYK") << with([](Layout &l) { l.samplesPerPixel = 4; l.photometric = PHOTOMETRIC_SEPARATED; }) << 0 << 1 << QString();
    QTest::newRow("Orientation 4 (bottom left)") << with([](Layout &l) { l.orientation = ORIENTATION_BOTLEFT; }) << 0 << 0 << QString();
    QTest::newRow("page 3 of 4") << with([](Layout &l) { l.pages = 4; l.bitsPerSample = 16; }) << 2 << 0 << QString();
}

void TestTiffLayouts::shownAsStored()
{
    QFETCH(Layout, layout);
    QFETCH(int, page);
    QFETCH(int, tolerance);
    QFETCH(QString, readOut);
    const QString path = m_dir.filePath(QStringLiteral("%1.tif").arg(QTest::currentDataTag()));
    QVERIFY(TestTiff::write(path, layout));

    TiffImage tiff;
    QVERIFY2(tiff.load(path.toStdWString(), page), qPrintable(tiff.m_message));
    QCOMPARE(tiff.m_pageCount, layout.pages);
    std::shared_ptr<DecodedImage> image = tiff.take();
    QCOMPARE(image->width, layout.width);
    QCOMPARE(image->height, layout.height);

    // Wide samples are shown over their full data range here; the expected levels come
    // from the minimum and maximum of the values the test wrote.
    double low[3] = {1e300, 1e300, 1e300}, high[3] = {-1e300, -1e300, -1e300};
    for (uint32_t y = 0; y < layout.height; ++y)
        for (uint32_t x = 0; x < layout.width; ++x)
            for (int c = 0; c < std::min(layout.samplesPerPixel, 3); ++c) {
                const double v = numberOf(layout, TestTiff::rawSample(layout, x, y, c, page));
                low[c] = std::min(low[c], v);
                high[c] = std::max(high[c], v);
            }
    const ImageStatistics stats = ImageStatistics::of(*image);
    const DisplayRange range = image->wide() ? ContrastModel::fullData(stats) : ContrastModel::typeRange(*image);
    DisplayImage display;
    QVERIFY(display.render(*image, range));
    const QImage picture = display.picture(*image);
    QCOMPARE(picture.size(), QSize(int(layout.width), int(layout.height)));

    int worst = 0;
    double sum = 0;
    for (uint32_t y = 0; y < layout.height; ++y) {
        for (uint32_t x = 0; x < layout.width; ++x) {
            const uint32_t storedY = layout.orientation == ORIENTATION_BOTLEFT ? layout.height - 1 - y : y;
            const QRgb want = expected(layout, x, storedY, page, low, high);
            const QRgb got = picture.pixel(int(x), int(y));
            const int diff = std::max({std::abs(qRed(want) - qRed(got)), std::abs(qGreen(want) - qGreen(got)),
                                       std::abs(qBlue(want) - qBlue(got))});
            sum += diff;
            if (tolerance >= 0 && diff > tolerance)
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2 shows %3, expected %4")
                                     .arg(x).arg(y).arg(got, 8, 16).arg(want, 8, 16)));
            worst = std::max(worst, diff);
        }
    }
    const double mean = sum / (double(layout.width) * layout.height);
    if (tolerance < 0 && mean > -tolerance)
        QFAIL(qPrintable(QStringLiteral("mean difference %1, worst %2").arg(mean).arg(worst)));
    if (!readOut.isEmpty())
        QCOMPARE(storedValuesText(*image, 69, 39), readOut);
}

void TestTiffLayouts::refusedWithTheExactReason_data()
{
    QTest::addColumn<Layout>("layout");
    QTest::addColumn<QString>("reason");
    Layout l = TestTiff::grey(40, 20);
    l.tiled = true;
    l.bitsPerSample = 12;
    l.samplesPerPixel = 4;
    l.photometric = PHOTOMETRIC_SEPARATED;
    QTest::newRow("tiled 12-bit CMYK") << l << "tiled 12-bit CMYK images cannot be shown.";
    l = Layout();
    l.bitsPerSample = 16;
    l.sampleFormat = SAMPLEFORMAT_IEEEFP;
    QTest::newRow("16-bit float") << l << "16-bit floating-point grey images cannot be shown.";
    l = Layout();
    l.bitsPerSample = 64;
    l.sampleFormat = SAMPLEFORMAT_IEEEFP;
    QTest::newRow("64-bit float") << l << "64-bit floating-point grey images cannot be shown.";
}

void TestTiffLayouts::refusedWithTheExactReason()
{
    QFETCH(Layout, layout);
    QFETCH(QString, reason);
    const QString path = m_dir.filePath(QStringLiteral("refused.tif"));
    QVERIFY(TestTiff::write(path, layout));
    TiffImage tiff;
    QVERIFY(!tiff.load(path.toStdWString()));
    QCOMPARE(tiff.m_status, TiffImage::UnsupportedLayout);
    QCOMPARE(tiff.m_message, reason);
    QVERIFY(!tiff.m_decoded);
}

// The statistics gathered band by band while decoding (a large image's on a thread of
// their own) are those of the finished image, including the histogram's sampling across
// band boundaries; layouts whose values change after reading report no bands at all.
void TestTiffLayouts::statisticsFollowTheDecoding_data()
{
    QTest::addColumn<Layout>("layout");
    QTest::addColumn<bool>("banded");
    auto make = [](uint32_t width, uint32_t height, int bits, auto change) {
        Layout l = TestTiff::grey(width, height, bits);
        change(l);
        return l;
    };
    // Over 2^21 pixels: the histogram takes every third one, across strips of 4 rows.
    QTest::newRow("16-bit, sampled, 4 rows a strip")
        << make(2300, 2000, 16, [](Layout &l) { l.rowsPerStrip = 4; }) << true;
    QTest::newRow("24-bit RGB, LZW, 5 rows a strip")
        << make(301, 203, 8, [](Layout &l) { l.samplesPerPixel = 3; l.compression = COMPRESSION_LZW; l.rowsPerStrip = 5; }) << true;
    QTest::newRow("12-bit, one strip") << make(90, 70, 12, [](Layout &l) { l.rowsPerStrip = 70; }) << true;
    QTest::newRow("16-bit signed") << make(90, 70, 16, [](Layout &l) { l.sampleFormat = SAMPLEFORMAT_INT; }) << false;
    QTest::newRow("tiled") << make(90, 70, 16, [](Layout &l) { l.tiled = true; }) << false;
    QTest::newRow("upside down") << make(90, 70, 8, [](Layout &l) { l.orientation = ORIENTATION_BOTLEFT; }) << false;
    // Large enough for the values to live in memory of their own, turned upright into another.
    QTest::newRow("16-bit upside down, over 4 MiB")
        << make(2300, 1000, 16, [](Layout &l) { l.orientation = ORIENTATION_BOTLEFT; }) << false;
}

void TestTiffLayouts::statisticsFollowTheDecoding()
{
    QFETCH(Layout, layout);
    QFETCH(bool, banded);
    const QString path = m_dir.filePath(QStringLiteral("bands-%1.tif").arg(QTest::currentDataTag()));
    QVERIFY(TestTiff::write(path, layout));
    DecodedImage image;
    StatisticsFollower follower;
    TiffDecodeControl control;
    follower.follow(control);
    int bands = 0;
    control.rowsDone = [&bands, follow = control.rowsDone](const DecodedImage &decoded, uint32_t first, uint32_t end) {
        ++bands;
        follow(decoded, first, end);
    };
    QCOMPARE(TiffDecoder::decode(path, 0, image, control).status, TiffDecoder::Loaded);
    if (!banded) {
        QCOMPARE(bands, 0);
        QVERIFY(!follower.complete(image));
        return;
    }
    QVERIFY(bands > 1 || layout.rowsPerStrip == layout.height);
    QVERIFY(follower.complete(image));
    const ImageStatistics gathered = follower.take();
    const ImageStatistics whole = ImageStatistics::of(image);
    QCOMPARE(gathered.channels, whole.channels);
    for (int c = 0; c < whole.channels; ++c) {
        const ImageStatistics::Channel &a = gathered.channel[size_t(c)], &b = whole.channel[size_t(c)];
        QCOMPARE(a.min, b.min);
        QCOMPARE(a.max, b.max);
        QCOMPARE(a.counted, b.counted);
        QVERIFY(a.histogram == b.histogram);
    }
    // Every third pixel, when sampled: the histogram neither misses nor doubles any.
    const uint64_t pixels = uint64_t(layout.width) * layout.height;
    QCOMPARE(gathered.channel[0].counted, pixels > (uint64_t(1) << 21) ? (pixels + 2) / 3 : pixels);
}

QTEST_MAIN(TestTiffLayouts)
#include "tst_tifflayouts.moc"
