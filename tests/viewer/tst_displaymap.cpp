#include "viewer/displaymap.h"

#include <QtTest>

#include <vector>

class TestDisplayMap : public QObject
{
    Q_OBJECT
private slots:
    void range_data();
    void range();
    void levels_data();
    void levels();
    void monotonicAndFull();
    void mapMatchesTable();
    void screenPixels_data();
    void screenPixels();
};

using Values = std::vector<int>;
Q_DECLARE_METATYPE(Values)

void TestDisplayMap::range_data()
{
    QTest::addColumn<Values>("values");
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");
    QTest::newRow("none") << Values{} << 0 << 0;
    QTest::newRow("one") << Values{1234} << 1234 << 1234;
    QTest::newRow("extremes at the ends") << Values{65535, 7, 9, 0} << 0 << 65535;
    QTest::newRow("faint image") << Values{1000, 1200, 1100, 1001} << 1000 << 1200;
    QTest::newRow("minimum last") << Values{5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 2}
                                  << 2 << 17;
}

void TestDisplayMap::range()
{
    QFETCH(Values, values);
    QFETCH(int, low);
    QFETCH(int, high);
    std::vector<uint16_t> samples(values.begin(), values.end());
    const SampleRange r = sampleRange(samples.data(), samples.size());
    QCOMPARE(int(r.low), low);
    QCOMPARE(int(r.high), high);
}

void TestDisplayMap::levels_data()
{
    QTest::addColumn<int>("low");
    QTest::addColumn<int>("high");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("level");
    QTest::newRow("low is black") << 1000 << 1200 << 1000 << 0;
    QTest::newRow("high is white") << 1000 << 1200 << 1200 << 255;
    QTest::newRow("middle is mid grey") << 1000 << 1200 << 1100 << 128; // 127.5 rounds up
    QTest::newRow("quarter") << 0 << 1020 << 255 << 64;                  // 63.75
    QTest::newRow("below range clamps") << 1000 << 1200 << 3 << 0;
    QTest::newRow("above range clamps") << 1000 << 1200 << 60000 << 255;
    QTest::newRow("full range middle") << 0 << 65535 << 32768 << 128;
    QTest::newRow("full range near white") << 0 << 65535 << 65278 << 254;
    QTest::newRow("two values") << 40 << 41 << 41 << 255;
    QTest::newRow("flat image keeps its level") << 30000 << 30000 << 30000 << 117;
    QTest::newRow("flat black image") << 0 << 0 << 0 << 0;
}

void TestDisplayMap::levels()
{
    QFETCH(int, low);
    QFETCH(int, high);
    QFETCH(int, value);
    QFETCH(int, level);
    const DisplayMap map({uint16_t(low), uint16_t(high)});
    QCOMPARE(int(map(uint16_t(value))), level);
}

void TestDisplayMap::monotonicAndFull()
{
    // A range that does not divide evenly: every level is reached, none goes backwards.
    const DisplayMap map({uint16_t(517), uint16_t(4133)});
    std::vector<bool> seen(256, false);
    int previous = 0;
    for (int v = 517; v <= 4133; ++v) {
        const int level = map(uint16_t(v));
        QVERIFY2(level >= previous, qPrintable(QString::number(v)));
        previous = level;
        seen[size_t(level)] = true;
    }
    QVERIFY(std::all_of(seen.begin(), seen.end(), [](bool b) { return b; }));
}

void TestDisplayMap::mapMatchesTable()
{
    std::vector<uint16_t> values(1000);
    for (size_t i = 0; i < values.size(); ++i)
        values[i] = uint16_t(i * 65 + 11);
    const SampleRange r = sampleRange(values.data(), values.size());
    const DisplayMap map(r);
    std::vector<unsigned char> out(values.size() + 1, 0x5a);
    map.map(values.data(), values.size(), out.data());
    for (size_t i = 0; i < values.size(); ++i)
        QCOMPARE(out[i], map(values[i]));
    QCOMPARE(int(out.front()), 0);
    QCOMPARE(int(out[values.size() - 1]), 255);
    QCOMPARE(int(out.back()), 0x5a); // nothing written past the end
}

void TestDisplayMap::screenPixels_data()
{
    QTest::addColumn<bool>("colour");
    QTest::newRow("grey, one value a pixel") << false;
    QTest::newRow("colour, R G B a pixel") << true;
}

void TestDisplayMap::screenPixels()
{
    QFETCH(bool, colour);
    const std::vector<uint16_t> values{100, 200, 300, 400, 500, 600};
    const DisplayMap map({100, 600});
    const size_t pixels = colour ? 2 : 6;
    std::vector<uint32_t> out(pixels + 1, 0x12345678u);
    if (colour)
        map.mapRgb(values.data(), pixels, out.data());
    else
        map.mapGrey(values.data(), pixels, out.data());
    for (size_t i = 0; i < pixels; ++i) {
        const uint32_t r = colour ? map(values[3 * i]) : map(values[i]);
        const uint32_t g = colour ? map(values[3 * i + 1]) : r;
        const uint32_t b = colour ? map(values[3 * i + 2]) : r;
        QCOMPARE(out[i], 0xff000000u | r << 16 | g << 8 | b);
    }
    // 100, 200, 300 over 100..600 give 0, 51, 102, with R in the high byte.
    QCOMPARE(out[0] & 0xffffffu, colour ? 0x003366u : 0u);
    QCOMPARE(out[pixels], 0x12345678u); // nothing written past the end
}

QTEST_GUILESS_MAIN(TestDisplayMap)
#include "tst_displaymap.moc"
