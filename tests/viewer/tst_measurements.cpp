#include "viewer/lineprofile.h"
#include "viewer/lookuptable.h"
#include "viewer/measuremodel.h"
#include "viewer/regionstatistics.h"

#include <QSignalSpy>
#include <QtTest>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <random>

// Profiles, region statistics and lookup tables on images with known answers.
class TestMeasurements : public QObject
{
    Q_OBJECT
private slots:
    void profile_data();
    void profile();
    void zeroLengthLine();
    void rgbProfileHasACurvePerChannel();
    void region_data();
    void region();
    void ellipseCountMatchesItsArea();
    void regionAgreesWithAPlainCount();
    void floatRegionLeavesNonFiniteOut();
    void regionTablePastesAsOneRow();
    void largeRegionIsMeasuredAside();
    void lookupTables();
};

using Fill = std::function<double(uint32_t x, uint32_t y, int c)>;
using Format = DecodedImage::Format;

static std::shared_ptr<DecodedImage> makeImage(uint32_t w, uint32_t h, int bits, Format format, const Fill &fill,
                                               int channels = 1)
{
    auto im = std::make_shared<DecodedImage>();
    im->width = w;
    im->height = h;
    im->bits = bits;
    im->format = format;
    im->channels = im->colourChannels = channels;
    const size_t n = im->valueCount();
    if (bits == 32)
        im->raw32.allocate(n);
    else if (bits == 16)
        im->values16.allocate(n);
    else
        im->values8.allocate(n);
    const double offset = format == Format::Signed ? (bits == 16 ? 32768 : 128) : 0;
    for (uint32_t y = 0; y < h; ++y)
        for (uint32_t x = 0; x < w; ++x)
            for (int c = 0; c < channels; ++c) {
                const size_t i = (size_t(y) * w + x) * size_t(channels) + size_t(c);
                const double v = fill(x, y, c);
                if (bits == 32) {
                    const float f = float(v);
                    std::memcpy(&im->raw32[i], &f, 4);
                } else if (bits == 16) {
                    im->values16[i] = uint16_t(v + offset);
                } else {
                    im->values8[i] = uint8_t(v + offset);
                }
            }
    return im;
}

static double ramp(uint32_t x, uint32_t, int) { return x * 10.0; }
static double checker(uint32_t x, uint32_t y, int) { return (x + y) % 2 ? 200 : 0; }

void TestMeasurements::profile_data()
{
    QTest::addColumn<int>("kind"); // 0 ramp 16-bit, 1 checkerboard 8-bit, 2 signed 16-bit ramp
    QTest::addColumn<QLineF>("line");
    QTest::addColumn<int>("width");
    QTest::addColumn<QVector<double>>("expected");
    QTest::newRow("ramp along a row") << 0 << QLineF(0.5, 2.5, 5.5, 2.5) << 1 << QVector<double>{0, 10, 20, 30, 40, 50};
    QTest::newRow("ramp, wide line averages the same") << 0 << QLineF(0.5, 4.5, 3.5, 4.5) << 9 << QVector<double>{0, 10, 20, 30};
    QTest::newRow("ramp between centres") << 0 << QLineF(1.0, 3.5, 3.0, 3.5) << 1 << QVector<double>{5, 15, 25};
    QTest::newRow("ramp, right to left") << 0 << QLineF(3.5, 1.5, 1.5, 1.5) << 3 << QVector<double>{30, 20, 10};
    QTest::newRow("ramp past the edge clamps") << 0 << QLineF(62.5, 1.5, 64.0, 1.5) << 1 << QVector<double>{620, 627.5, 630};
    QTest::newRow("checker on a boundary") << 1 << QLineF(1.0, 2.0, 4.0, 2.0) << 1 << QVector<double>{100, 100, 100, 100};
    QTest::newRow("checker, width 2 across") << 1 << QLineF(1.5, 3.0, 3.5, 3.0) << 2 << QVector<double>{100, 100, 100};
    QTest::newRow("signed ramp") << 2 << QLineF(0.5, 0.5, 0.5, 3.5) << 1 << QVector<double>{-3000, -2000, -1000, 0};
}

void TestMeasurements::profile()
{
    QFETCH(int, kind);
    QFETCH(QLineF, line);
    QFETCH(int, width);
    QFETCH(QVector<double>, expected);
    auto image = kind == 0 ? makeImage(64, 8, 16, Format::Unsigned, ramp)
               : kind == 1 ? makeImage(8, 8, 8, Format::Unsigned, checker)
                           : makeImage(4, 8, 16, Format::Signed, [](uint32_t, uint32_t y, int) { return y * 1000.0 - 3000; });
    const LineProfile p = LineProfile::of(*image, line.p1(), line.p2(), width);
    QVERIFY2(p.ok(), qPrintable(p.error));
    QCOMPARE(int(p.count()), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        QVERIFY2(qAbs(p.value(size_t(i), 0) - expected[i]) < 1e-9,
                 qPrintable(QStringLiteral("%1: %2").arg(i).arg(p.value(size_t(i), 0))));
    QCOMPARE(p.position.back(), line.length());
}

void TestMeasurements::zeroLengthLine()
{
    auto image = makeImage(8, 8, 8, Format::Unsigned, ramp);
    const LineProfile p = LineProfile::of(*image, QPointF(2.5, 2.5), QPointF(2.5, 2.5));
    QVERIFY(!p.ok());
    QVERIFY(p.error.contains(QStringLiteral("no length")));
    QVERIFY(p.values.empty());
    MeasureModel model;
    model.setImage(image, Calibration(), QString());
    model.setLine(QLineF(1, 1, 1, 1));
    QVERIFY(model.profileCsv().isEmpty()); // nothing to copy or save
}

void TestMeasurements::rgbProfileHasACurvePerChannel()
{
    auto image = makeImage(16, 4, 8, Format::Unsigned, [](uint32_t x, uint32_t, int c) { return x * (c + 1); }, 3);
    const LineProfile p = LineProfile::of(*image, QPointF(2.5, 1.5), QPointF(4.5, 1.5));
    QCOMPARE(p.channels, 3);
    QCOMPARE(p.value(1, 0), 3.0);
    QCOMPARE(p.value(1, 1), 6.0);
    QCOMPARE(p.value(1, 2), 9.0);
}

void TestMeasurements::region_data()
{
    QTest::addColumn<int>("kind"); // 0 ramp 16-bit 64x8, 1 signed 16-bit constant, 2 checker 8-bit
    QTest::addColumn<QRectF>("rect");
    QTest::addColumn<quint64>("pixels");
    QTest::addColumn<double>("mean");
    QTest::addColumn<double>("sd");
    QTest::addColumn<double>("min");
    QTest::addColumn<double>("max");
    QTest::newRow("one pixel") << 0 << QRectF(7, 3, 1, 1) << quint64(1) << 70.0 << 0.0 << 70.0 << 70.0;
    QTest::newRow("over the top-left edge") << 0 << QRectF(-5, -5, 7, 6) << quint64(2) << 5.0 << std::sqrt(50.0) << 0.0 << 10.0;
    QTest::newRow("over the bottom-right edge") << 0 << QRectF(62, 6, 10, 10) << quint64(4) << 625.0 << std::sqrt(100.0 / 3) << 620.0 << 630.0;
    QTest::newRow("outside") << 0 << QRectF(70, 1, 3, 3) << quint64(0) << 0.0 << 0.0 << 0.0 << 0.0;
    QTest::newRow("signed constant patch") << 1 << QRectF(1, 1, 3, 2) << quint64(6) << -1234.0 << 0.0 << -1234.0 << -1234.0;
    QTest::newRow("checkerboard") << 2 << QRectF(0, 0, 8, 8) << quint64(64) << 100.0 << std::sqrt(640000.0 / 63) << 0.0 << 200.0;
}

void TestMeasurements::region()
{
    QFETCH(int, kind);
    QFETCH(QRectF, rect);
    QFETCH(quint64, pixels);
    QFETCH(double, mean);
    QFETCH(double, sd);
    QFETCH(double, min);
    QFETCH(double, max);
    auto image = kind == 0 ? makeImage(64, 8, 16, Format::Unsigned, ramp)
               : kind == 1 ? makeImage(6, 6, 16, Format::Signed, [](uint32_t, uint32_t, int) { return -1234.0; })
                           : makeImage(8, 8, 8, Format::Unsigned, checker);
    const RegionStatistics s = RegionStatistics::of(*image, {RegionShape::Kind::Rectangle, rect});
    QCOMPARE(s.pixels, pixels);
    QCOMPARE(s.channel.size(), size_t(1));
    const RegionStatistics::Channel &c = s.channel[0];
    QCOMPARE(c.count, pixels);
    QVERIFY(qAbs(c.mean - mean) < 1e-9);
    QVERIFY2(qAbs(c.stdDev - sd) < 1e-9, qPrintable(QString::number(c.stdDev)));
    QCOMPARE(c.min, min);
    QCOMPARE(c.max, max);
    QVERIFY(qAbs(c.sum - mean * double(pixels)) < 1e-6);
}

void TestMeasurements::ellipseCountMatchesItsArea()
{
    auto image = makeImage(400, 300, 8, Format::Unsigned, [](uint32_t, uint32_t, int) { return 1; });
    for (const QRectF &r : {QRectF(10, 20, 80, 50), QRectF(100.3, 50.7, 201, 149), QRectF(0, 0, 40, 40)}) {
        const RegionStatistics s = RegionStatistics::of(*image, {RegionShape::Kind::Ellipse, r});
        const double area = M_PI * r.width() * r.height() / 4;
        QVERIFY2(qAbs(double(s.pixels) - area) < 0.01 * area, qPrintable(QStringLiteral("%1 vs %2").arg(s.pixels).arg(area)));
    }
    // Cut by the image's edge: a quarter of the ellipse remains.
    const RegionStatistics quarter = RegionStatistics::of(*image, {RegionShape::Kind::Ellipse, QRectF(-100, -100, 200, 200)});
    QVERIFY(qAbs(double(quarter.pixels) - M_PI * 10000 / 4) < 0.01 * M_PI * 10000 / 4);
}

void TestMeasurements::regionAgreesWithAPlainCount()
{
    std::mt19937 random(7);
    auto image = makeImage(97, 61, 16, Format::Unsigned, [&](uint32_t, uint32_t, int) { return double(random() % 65536); }, 3);
    const QRectF r(10.2, 5.9, 60.4, 40.3);
    const RegionStatistics s = RegionStatistics::of(*image, {RegionShape::Kind::Ellipse, r});
    for (int c = 0; c < 3; ++c) {
        double sum = 0, squares = 0, lo = 1e9, hi = -1;
        uint64_t n = 0;
        for (uint32_t y = 0; y < 61; ++y)
            for (uint32_t x = 0; x < 97; ++x) {
                const double tx = (x + 0.5 - r.center().x()) / (r.width() / 2), ty = (y + 0.5 - r.center().y()) / (r.height() / 2);
                if (tx * tx + ty * ty >= 1)
                    continue;
                const double v = image->values16[(y * 97 + x) * 3 + uint32_t(c)];
                ++n, sum += v, squares += v * v, lo = std::min(lo, v), hi = std::max(hi, v);
            }
        const auto &ch = s.channel[size_t(c)];
        QCOMPARE(ch.count, n);
        QCOMPARE(ch.sum, sum);
        QCOMPARE(ch.min, lo);
        QCOMPARE(ch.max, hi);
        QVERIFY(qAbs(ch.stdDev - std::sqrt((squares - sum * sum / n) / (n - 1))) < 1e-6);
    }
}

void TestMeasurements::floatRegionLeavesNonFiniteOut()
{
    const double nan = std::numeric_limits<double>::quiet_NaN(), inf = std::numeric_limits<double>::infinity();
    auto image = makeImage(4, 4, 32, Format::Float, [&](uint32_t x, uint32_t y, int) {
        return x == 1 && y == 1 ? nan : x == 2 && y == 1 ? -inf : x == 3 && y == 3 ? inf : 0.5 + x;
    });
    const RegionStatistics s = RegionStatistics::of(*image, {RegionShape::Kind::Rectangle, QRectF(0, 0, 4, 4)});
    QCOMPARE(s.pixels, quint64(16));
    QCOMPARE(s.channel[0].count, quint64(13));
    QCOMPARE(s.channel[0].nonFinite, quint64(3));
    QCOMPARE(s.channel[0].min, 0.5);
    QCOMPARE(s.channel[0].max, 3.5);
    QVERIFY(qIsFinite(s.channel[0].mean) && qIsFinite(s.channel[0].stdDev));
    // A profile through the NaN keeps the finite neighbours of a wide line, and is NaN on a thin one.
    QVERIFY(std::isnan(LineProfile::of(*image, QPointF(0.5, 1.5), QPointF(1.5, 1.5)).value(1, 0)));
    QCOMPARE(LineProfile::of(*image, QPointF(0.5, 1.5), QPointF(1.5, 1.5), 3).value(1, 0), 1.5);
}

void TestMeasurements::regionTablePastesAsOneRow()
{
    MeasureModel model;
    model.setImage(makeImage(8, 8, 8, Format::Unsigned, checker), calibrationFromScale(2, 1, QStringLiteral("um")), QString());
    model.setRegion({RegionShape::Kind::Rectangle, QRectF(0, 0, 2, 2)});
    const QStringList lines = model.regionTable().split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[0].split(QLatin1Char('\t')).size(), lines[1].split(QLatin1Char('\t')).size());
    QVERIFY(lines[0].startsWith(QStringLiteral("Pixels\tArea (\u00b5m\u00b2)\tMean")));
    QVERIFY(lines[1].startsWith(QStringLiteral("4\t1\t100\t")));
    QVERIFY(model.regionSummary().contains(QStringLiteral("area 1 \u00b5m\u00b2")));
}

void TestMeasurements::largeRegionIsMeasuredAside()
{
    MeasureModel model;
    model.setImage(makeImage(1200, 1000, 16, Format::Unsigned, ramp), Calibration(), QString());
    QSignalSpy ready(&model, &MeasureModel::statisticsReady);
    model.setRegion({RegionShape::Kind::Rectangle, QRectF(0, 0, 1200, 1000)});
    QVERIFY(!model.currentStatistics());
    // Moved on while the first is measured: only the region as it is last is reported.
    model.setRegion({RegionShape::Kind::Rectangle, QRectF(0, 0, 1100, 1000)});
    QVERIFY(!model.currentStatistics());
    QTRY_VERIFY(model.currentStatistics());
    QCOMPARE(model.currentStatistics()->pixels, quint64(1100 * 1000));
    QCOMPARE(model.currentStatistics()->channel[0].max, 10990.0);
    QVERIFY(ready.count() >= 1);
    model.setRegion({RegionShape::Kind::Rectangle, QRectF(0, 0, 10, 10)}); // small: at once
    QCOMPARE(model.currentStatistics()->pixels, quint64(100));
}

void TestMeasurements::lookupTables()
{
    QCOMPARE(lookupColours(LookupTable::Grey)[0], 0xff000000u);
    QCOMPARE(lookupColours(LookupTable::Inverted)[0], 0xffffffffu);
    QCOMPARE(lookupColours(LookupTable::Fire)[0], 0xff000000u);
    QCOMPARE(lookupColours(LookupTable::Fire)[255], 0xffffffffu);
    QCOMPARE(lookupColours(LookupTable::Viridis)[255], 0xfffde725u);
    // 16-bit range 1000..3000 through fire with HiLo.
    const std::vector<uint32_t> t = colourTable(1000, 3000, 65536, false, LookupTable::Fire, true);
    QCOMPARE(t[0], kHiLoLow);
    QCOMPARE(t[1000], kHiLoLow);
    QCOMPARE(t[1001], lookupColours(LookupTable::Fire)[0]);
    QCOMPARE(t[2999], lookupColours(LookupTable::Fire)[255]);
    QCOMPARE(t[3000], kHiLoHigh);
    QCOMPARE(t[65535], kHiLoHigh);
    QCOMPARE(t[2000], lookupColours(LookupTable::Fire)[128]);
    const std::vector<uint32_t> plain = colourTable(1000, 3000, 65536, true, LookupTable::Grey, false);
    QCOMPARE(plain[0], 0xffffffffu); // MinIsWhite: low shows white
    QCOMPARE(plain[65535], 0xff000000u);
}

QTEST_GUILESS_MAIN(TestMeasurements)
#include "tst_measurements.moc"
