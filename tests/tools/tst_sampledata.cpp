// The sample data generator writes the tree the demo and the other tests rely on.
#include <QDir>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

#include <tiffio.h>

#include <cmath>
#include <vector>

namespace {

struct TiffFacts
{
    bool opened = false;
    quint32 width = 0, height = 0;
    quint16 bits = 0, samples = 0, compression = 0;
    QString description;
    quint32 min = 0xffffffff, max = 0;
    double meanStep = 0; // mean absolute difference of horizontal neighbours
};

TiffFacts readTiff(const QString &path)
{
    TiffFacts facts;
    TIFF *tiff = TIFFOpen(QFile::encodeName(path).constData(), "r");
    if (!tiff)
        return facts;
    facts.opened = true;
    char *text = nullptr;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &facts.width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &facts.height);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &facts.bits);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &facts.samples);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_COMPRESSION, &facts.compression);
    if (TIFFGetField(tiff, TIFFTAG_IMAGEDESCRIPTION, &text) && text)
        facts.description = QString::fromUtf8(text);
    std::vector<uchar> line(size_t(TIFFScanlineSize(tiff)));
    double steps = 0;
    qint64 count = 0;
    for (quint32 y = 0; y < facts.height; ++y) {
        if (TIFFReadScanline(tiff, line.data(), y, 0) != 1)
            break;
        const quint32 values = facts.width * facts.samples;
        for (quint32 i = 0; i < values; ++i) {
            const quint32 v = facts.bits == 16 ? reinterpret_cast<const quint16 *>(line.data())[i] : line[i];
            facts.min = qMin(facts.min, v);
            facts.max = qMax(facts.max, v);
            if (i >= facts.samples) {
                const quint32 left = facts.bits == 16
                    ? reinterpret_cast<const quint16 *>(line.data())[i - facts.samples]
                    : line[i - facts.samples];
                steps += std::abs(double(v) - double(left));
                ++count;
            }
        }
    }
    facts.meanStep = count ? steps / count : 0;
    TIFFClose(tiff);
    return facts;
}

} // namespace

class TestSampleData : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void images_data();
    void images();
    void everyRunHasEveryLayout_data();
    void everyRunHasEveryLayout();
    void otherEntries_data();
    void otherEntries();

private:
    QTemporaryDir m_dir;
    QString m_root;
};

void TestSampleData::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_root = m_dir.path() + QStringLiteral("/sample");
    QProcess generator;
    generator.start(QStringLiteral(TARVELO_SAMPLEDATA_PROGRAM), {m_root});
    QVERIFY(generator.waitForFinished(240000));
    QVERIFY2(generator.exitStatus() == QProcess::NormalExit && generator.exitCode() == 0,
             generator.readAllStandardError().constData());
}

void TestSampleData::images_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("samples");
    QTest::addColumn<bool>("lzw");
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("height");

    QTest::newRow("8-bit grey") << "Run_2024-03-11_001/cells_overview_grey8.tif" << 8 << 1 << false << 1024 << 768;
    QTest::newRow("8-bit RGB, LZW") << "Run_2024-03-11_001/cells_overview_rgb8.tif" << 8 << 3 << true << 1024 << 768;
    QTest::newRow("16-bit grey") << "Run_2024-03-11_001/cells_detail_grey16.tif" << 16 << 1 << false << 1024 << 768;
    QTest::newRow("16-bit RGB, LZW") << "Run_2024-03-12_002/tissue_detail_rgb16.tif" << 16 << 3 << true << 1024 << 768;
    QTest::newRow("16-bit grey, LZW, nested") << "Run_2024-03-12_002/Positions/Position 02/tile_02_grey16.tif"
                                              << 16 << 1 << true << 640 << 480;
    QTest::newRow("target in a folder with blanks") << "Calibration/Reference Targets/target_rgb16.tif"
                                                    << 16 << 3 << false << 1200 << 900;
    QTest::newRow("flat field") << "Calibration/Reference Targets/Flat Field/flat_field_grey16.tif"
                                << 16 << 1 << false << 1024 << 768;
    QTest::newRow("non-ASCII name") << QStringLiteral("Messreihe M\u00fcller/Probe \u00c41/probe_\u00e41_grey8.tif")
                                    << 8 << 1 << false << 800 << 600;
    QTest::newRow("large") << "Calibration/Large/target_4096x4096_grey16.tif" << 16 << 1 << false << 4096 << 4096;
}

void TestSampleData::images()
{
    QFETCH(QString, path);
    QFETCH(int, bits);
    QFETCH(int, samples);
    QFETCH(bool, lzw);
    QFETCH(int, width);
    QFETCH(int, height);

    const TiffFacts facts = readTiff(m_root + QLatin1Char('/') + path);
    QVERIFY(facts.opened);
    QCOMPARE(int(facts.bits), bits);
    QCOMPARE(int(facts.samples), samples);
    QCOMPARE(facts.compression == COMPRESSION_LZW, lzw);
    QCOMPARE(int(facts.width), width);
    QCOMPARE(int(facts.height), height);

    // The instrument's style: "Name: value" items joined by ", ", values without commas.
    const QStringList items = facts.description.split(QStringLiteral(", "));
    QVERIFY2(items.size() >= 4, qPrintable(facts.description));
    for (const QString &item : items)
        QVERIFY2(item.contains(QStringLiteral(": ")) && !item.contains(QLatin1Char(',')), qPrintable(item));
    QCOMPARE(items.first(), QStringLiteral("Software Version: 1.2.0"));
    QVERIFY(facts.description.contains(QRegularExpression(QStringLiteral("Reference Position: X -?\\d+\\.\\d Y -?\\d+\\.\\d"))));
    // Min. F and Max. F tell the real range of the samples.
    QVERIFY(items.contains(QStringLiteral("Min. F: %1").arg(facts.min)));
    QVERIFY(items.contains(QStringLiteral("Max. F: %1").arg(facts.max)));
    QVERIFY(facts.max > facts.min);
    // A smooth picture, not noise: neighbours differ little compared with the range.
    QVERIFY2(facts.meanStep < 0.06 * (facts.max - facts.min), qPrintable(QString::number(facts.meanStep)));
}

void TestSampleData::everyRunHasEveryLayout_data()
{
    QTest::addColumn<QString>("folder");
    QTest::newRow("cells run") << "Run_2024-03-11_001";
    QTest::newRow("tissue run") << "Run_2024-03-12_002";
    QTest::newRow("reference targets") << "Calibration/Reference Targets";
}

void TestSampleData::everyRunHasEveryLayout()
{
    QFETCH(QString, folder);
    QSet<QString> layouts;
    bool anyLzw = false;
    const QStringList names = QDir(m_root + QLatin1Char('/') + folder).entryList({QStringLiteral("*.tif")}, QDir::Files);
    QVERIFY(names.size() >= 4);
    for (const QString &name : names) {
        const TiffFacts facts = readTiff(m_root + QLatin1Char('/') + folder + QLatin1Char('/') + name);
        layouts.insert(QStringLiteral("%1x%2").arg(facts.bits).arg(facts.samples));
        anyLzw = anyLzw || facts.compression == COMPRESSION_LZW;
    }
    QCOMPARE(layouts, (QSet<QString>{"8x1", "8x3", "16x1", "16x3"}));
    QVERIFY(anyLzw);
}

void TestSampleData::otherEntries_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("begins"); // empty: a folder that must be empty

    QTest::newRow("run report") << "Run_2024-03-11_001/report.pdf" << QByteArray("%PDF-");
    QTest::newRow("report with a non-ASCII name") << QStringLiteral("Messreihe M\u00fcller/\u00dcbersicht.pdf")
                                                  << QByteArray("%PDF-");
    QTest::newRow("run log") << "Run_2024-03-12_002/acquisition.log" << QByteArray("2024-03-12 ");
    QTest::newRow("system log") << "system.log" << QByteArray("2024-03-10 ");
    QTest::newRow("empty folder") << "Exports" << QByteArray();
}

void TestSampleData::otherEntries()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, begins);
    const QString full = m_root + QLatin1Char('/') + path;
    if (begins.isEmpty()) {
        QVERIFY(QFileInfo(full).isDir());
        QVERIFY(QDir(full).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden));
        return;
    }
    QFile file(full);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QVERIFY(file.size() > 1000 || path.endsWith(QLatin1String(".log")));
    QVERIFY(file.read(begins.size()) == begins);
}

QTEST_GUILESS_MAIN(TestSampleData)
#include "tst_sampledata.moc"
