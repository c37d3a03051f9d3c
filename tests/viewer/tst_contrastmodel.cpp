// The display range: lookup levels, statistics, the robust automatic range and the
// user's choice while paging.
#include "viewer/contrastmodel.h"
#include "viewer/displaymap.h"
#include "viewer/imagestatistics.h"

#include <QSignalSpy>
#include <QtTest>

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

using Values = std::vector<int>;

// A grey or RGB image of 16-bit values made by value(x, y, c).
template <typename F>
std::shared_ptr<DecodedImage> image16(uint32_t w, uint32_t h, int channels, F value)
{
    auto image = std::make_shared<DecodedImage>();
    image->width = w;
    image->height = h;
    image->channels = image->colourChannels = channels;
    image->bits = 16;
    image->values16.allocate(image->valueCount());
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x)
            for (int c = 0; c < channels; ++c)
                image->values16[(size_t(y) * w + x) * size_t(channels) + size_t(c)] = uint16_t(value(x, y, c));
    return image;
}

// A faint instrument frame: a smooth field of about 2000 levels with mild noise.
int faint(uint32_t x, uint32_t y, int c)
{
    const uint32_t noise = (x * 2654435761u ^ y * 40503u) >> 27;
    return 1000 + int((x * 3 + y * 2) % 1700) + int(noise) + c * 10;
}

} // namespace
Q_DECLARE_METATYPE(Values)

class TestContrastModel : public QObject
{
    Q_OBJECT
private slots:
    void valueRange_data();
    void valueRange();
    void levels_data();
    void levels();
    void monotonicAndFull();
    void hotPixelDoesNotDarkenTheImage_data();
    void hotPixelDoesNotDarkenTheImage();
    void dimChannelKeepsItsOwnRange();
    void choiceStaysWhilePaging();
    void signedValuesInOrder();
};

void TestContrastModel::valueRange_data()
{
    QTest::addColumn<Values>("values");
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");
    QTest::newRow("none") << Values{} << 0 << 0;
    QTest::newRow("one") << Values{1234} << 1234 << 1234;
    QTest::newRow("extremes at the ends") << Values{65535, 7, 9, 0} << 0 << 65535;
    QTest::newRow("minimum last, past a vector block")
        << Values{5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 40000, 32768, 32767, 2} << 2 << 40000;
}

void TestContrastModel::valueRange()
{
    QFETCH(Values, values);
    QFETCH(int, low);
    QFETCH(int, high);
    std::vector<uint16_t> samples(values.begin(), values.end());
    uint16_t l = 1, h = 1;
    ::valueRange(samples.data(), samples.size(), 1, l, h);
    QCOMPARE(int(l), low);
    QCOMPARE(int(h), high);
}

void TestContrastModel::levels_data()
{
    QTest::addColumn<double>("low");
    QTest::addColumn<double>("high");
    QTest::addColumn<bool>("inverted");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("level");
    QTest::newRow("low is black") << 1000.0 << 1200.0 << false << 1000 << 0;
    QTest::newRow("high is white") << 1000.0 << 1200.0 << false << 1200 << 255;
    QTest::newRow("middle is mid grey") << 1000.0 << 1200.0 << false << 1100 << 128; // 127.5 rounds up
    QTest::newRow("quarter") << 0.0 << 1020.0 << false << 255 << 64;                   // 63.75
    QTest::newRow("below range clamps") << 1000.0 << 1200.0 << false << 3 << 0;
    QTest::newRow("above range clamps") << 1000.0 << 1200.0 << false << 60000 << 255;
    QTest::newRow("full range near white") << 0.0 << 65535.0 << false << 65278 << 254;
    QTest::newRow("MinIsWhite: low is white") << 1000.0 << 1200.0 << true << 1000 << 255;
    QTest::newRow("MinIsWhite: high is black") << 1000.0 << 1200.0 << true << 1300 << 0;
    QTest::newRow("empty range is a step") << 500.0 << 500.0 << false << 500 << 255;
}

void TestContrastModel::levels()
{
    QFETCH(double, low);
    QFETCH(double, high);
    QFETCH(bool, inverted);
    QFETCH(int, value);
    QFETCH(int, level);
    QCOMPARE(int(DisplayMap(low, high, 65536, inverted)(uint32_t(value))), level);
}

void TestContrastModel::monotonicAndFull()
{
    // A range that does not divide evenly: every level is reached, none goes backwards.
    const DisplayMap map(517, 4133, 65536);
    std::vector<bool> seen(256, false);
    int previous = 0;
    for (int v = 517; v <= 4133; ++v) {
        const int level = map(uint32_t(v));
        QVERIFY2(level >= previous, qPrintable(QString::number(v)));
        previous = level;
        seen[size_t(level)] = true;
    }
    QVERIFY(std::all_of(seen.begin(), seen.end(), [](bool b) { return b; }));
}

void TestContrastModel::hotPixelDoesNotDarkenTheImage_data()
{
    QTest::addColumn<uint32_t>("width");
    QTest::addColumn<uint32_t>("height");
    QTest::newRow("512 x 384, every pixel counted") << 512u << 384u;
    QTest::newRow("2600 x 2000, sampled histogram") << 2600u << 2000u;
}

void TestContrastModel::hotPixelDoesNotDarkenTheImage()
{
    QFETCH(uint32_t, width);
    QFETCH(uint32_t, height);
    auto image = image16(width, height, 1, [&](uint32_t x, uint32_t y, int c) {
        return x == width / 3 && y == height / 2 ? 65535 : faint(x, y, c);
    });
    ContrastModel model;
    model.setImage(image, ImageStatistics::of(*image));
    const DisplayRange range = model.range();

    // The reference: 0.35 % saturated, half at each end, from the sorted values.
    std::vector<uint16_t> sorted(image->values16.data(), image->values16.data() + image->values16.size());
    std::sort(sorted.begin(), sorted.end());
    const size_t cut = size_t(double(sorted.size()) * 0.0035 / 2);
    const double refLow = sorted[cut], refHigh = sorted[sorted.size() - 1 - cut];
    const DisplayMap shown(range.low[0], range.high[0], 65536);
    const DisplayMap reference(refLow, refHigh, 65536);
    std::vector<bool> used(256, false);
    double mean = 0, refMean = 0;
    for (uint16_t v : sorted) {
        used[shown(v)] = true;
        mean += shown(v);
        refMean += reference(v);
    }
    mean /= double(sorted.size());
    refMean /= double(sorted.size());
    const int levels = int(std::count(used.begin(), used.end(), true));
    QVERIFY2(levels >= 200, qPrintable(QString::number(levels)));
    QVERIFY2(std::abs(mean - refMean) <= 0.1 * refMean,
             qPrintable(QStringLiteral("mean %1, reference %2").arg(mean).arg(refMean)));
    QCOMPARE(model.dataMaxValue(), 65535.0); // Reset would still reach the hot pixel
}

void TestContrastModel::dimChannelKeepsItsOwnRange()
{
    // Blue at a tenth of red and green: pooled, it would show almost black.
    auto image = image16(300, 200, 3, [](uint32_t x, uint32_t y, int c) {
        return c == 2 ? faint(x, y, 0) / 10 : faint(x, y, c) * 20;
    });
    ContrastModel model;
    model.setImage(image, ImageStatistics::of(*image));
    const DisplayRange r = model.range();
    for (int c = 0; c < 3; ++c) {
        const DisplayMap map(r.low[size_t(c)], r.high[size_t(c)], 65536);
        double mean = 0;
        for (size_t i = size_t(c); i < image->values16.size(); i += 3)
            mean += map(image->values16[i]);
        mean /= double(image->values16.size() / 3);
        QVERIFY2(mean > 80 && mean < 180, qPrintable(QStringLiteral("channel %1: mean %2").arg(c).arg(mean)));
    }
}

void TestContrastModel::choiceStaysWhilePaging()
{
    auto first = image16(64, 64, 1, faint);
    auto second = image16(64, 64, 1, [](uint32_t x, uint32_t y, int) { return 20000 + int(x * y); });
    ContrastModel model;
    QSignalSpy changed(&model, &ContrastModel::rangeChanged);
    model.setImage(first, ImageStatistics::of(*first));
    QVERIFY(model.autoPerImage());

    model.setValues(1200, 2400);
    QVERIFY(!model.autoPerImage());
    model.setImage(second, ImageStatistics::of(*second));
    QCOMPARE(model.lowValue(), 1200.0);
    QCOMPARE(model.highValue(), 2400.0);

    model.applyBits(12);
    model.setImage(first, ImageStatistics::of(*first));
    QCOMPARE(model.highValue(), 4095.0);

    model.reset();
    QCOMPARE(model.lowValue(), model.dataMinValue());
    QCOMPARE(model.highValue(), model.dataMaxValue());

    model.setAutoPerImage(true);
    model.setImage(second, ImageStatistics::of(*second));
    QVERIFY(model.lowValue() > 19999 && model.highValue() < 24000);
    QVERIFY(changed.count() >= 6);
}

void TestContrastModel::signedValuesInOrder()
{
    // Values around zero, stored offset by 0x8000: -3 must sit just below +3.
    auto image = image16(16, 1, 1, [](uint32_t x, uint32_t, int) { return (int(x) - 8) ^ 0x8000; });
    image->format = DecodedImage::Format::Signed;
    ContrastModel model;
    model.setImage(image, ImageStatistics::of(*image));
    QCOMPARE(model.dataMinValue(), -8.0);
    QCOMPARE(model.dataMaxValue(), 7.0);
    const DisplayMap map(model.range().low[0], model.range().high[0], 65536);
    int previous = -1;
    for (uint32_t x = 0; x < 16; ++x) {
        const int level = map(image->values16[x]);
        QVERIFY(level >= previous);
        previous = level;
    }
}

QTEST_GUILESS_MAIN(TestContrastModel)
#include "tst_contrastmodel.moc"
