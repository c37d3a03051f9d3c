#include "viewer/calibration.h"
#include "viewer/measuremodel.h"
#include "viewer/scalebar.h"
#include "viewer/tifffiles.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

// Pixel sizes read from files written here with libtiff, from each source and in the
// order the sources are trusted, and the scale the user sets.
class TestCalibration : public QObject
{
    Q_OBJECT
private slots:
    void fromFile_data();
    void fromFile();
    void setScaleIsRememberedPerFolder();
    void scaleBar_data();
    void scaleBar();

private:
    QTemporaryDir m_dir;
};

using Source = Calibration::Source;

void TestCalibration::fromFile_data()
{
    QTest::addColumn<QByteArray>("description");
    QTest::addColumn<float>("xres");
    QTest::addColumn<float>("yres");
    QTest::addColumn<int>("unit");
    QTest::addColumn<int>("source");
    QTest::addColumn<double>("width");
    QTest::addColumn<double>("height");
    QTest::addColumn<QString>("unitText");

    const QByteArray ij("ImageJ=1.54f\nimages=1\nunit=micron\nspacing=2.5\n");
    const QByteArray ome(
        "<?xml version=\"1.0\"?><OME xmlns=\"http://www.openmicroscopy.org/Schemas/OME/2016-06\">"
        "<Image ID=\"Image:0\"><Pixels ID=\"Pixels:0\" DimensionOrder=\"XYZCT\" Type=\"uint16\" SizeX=\"8\" "
        "SizeY=\"4\" SizeZ=\"1\" SizeC=\"1\" SizeT=\"1\" PhysicalSizeX=\"0.325\" PhysicalSizeXUnit=\"\xc2\xb5m\" "
        "PhysicalSizeY=\"650\" PhysicalSizeYUnit=\"nm\"/></Image></OME>");
    const QString um = QStringLiteral("\u00b5m");
    // 20000 pixels per cm are 0.5 µm a pixel.
    QTest::newRow("tags in cm") << QByteArray() << 20000.f << 10000.f << int(RESUNIT_CENTIMETER)
                                << int(Source::Resolution) << 0.5 << 1.0 << um;
    QTest::newRow("tags in inch, coarse") << QByteArray() << 10.f << 10.f << int(RESUNIT_INCH)
                                          << int(Source::Resolution) << 2.54 << 2.54 << QStringLiteral("mm");
    QTest::newRow("72 dpi is a writer's default") << QByteArray() << 72.f << 72.f << int(RESUNIT_INCH)
                                                  << int(Source::None) << 1.0 << 1.0 << QString();
    QTest::newRow("ImageJ unit with tags") << ij << 4.f << 4.f << int(RESUNIT_NONE)
                                           << int(Source::ImageJ) << 0.25 << 0.25 << um;
    QTest::newRow("ImageJ without a unit") << QByteArray("ImageJ=1.54f\nunit=pixel\n") << 4.f << 4.f
                                           << int(RESUNIT_NONE) << int(Source::None) << 1.0 << 1.0 << QString();
    QTest::newRow("tags in cm win over ImageJ") << ij << 10000.f << 10000.f << int(RESUNIT_CENTIMETER)
                                                << int(Source::Resolution) << 1.0 << 1.0 << um;
    QTest::newRow("OME-XML, units mixed") << ome << 0.f << 0.f << int(RESUNIT_NONE)
                                          << int(Source::Ome) << 0.325 << 0.65 << um;
    QTest::newRow("OME-XML under tags in cm") << ome << 5000.f << 5000.f << int(RESUNIT_CENTIMETER)
                                              << int(Source::Resolution) << 2.0 << 2.0 << um;
    QTest::newRow("broken OME-XML") << QByteArray("<OME><Pixels PhysicalSizeX=\"abc\"") << 0.f << 0.f
                                    << int(RESUNIT_NONE) << int(Source::None) << 1.0 << 1.0 << QString();
    QTest::newRow("nothing") << QByteArray("Software Version: 1.2") << 0.f << 0.f << int(RESUNIT_NONE)
                             << int(Source::None) << 1.0 << 1.0 << QString();
}

void TestCalibration::fromFile()
{
    QFETCH(QByteArray, description);
    QFETCH(float, xres);
    QFETCH(float, yres);
    QFETCH(int, unit);
    QFETCH(int, source);
    QFETCH(double, width);
    QFETCH(double, height);
    QFETCH(QString, unitText);
    TestTiff::Layout l = TestTiff::grey(8, 4, 16, description);
    l.xResolution = xres;
    l.yResolution = yres;
    l.resolutionUnit = uint16_t(unit);
    const QString path = m_dir.filePath(QStringLiteral("cal.tif"));
    QVERIFY(TestTiff::write(path, l));
    const Calibration c = readCalibration(path);
    QCOMPARE(int(c.source), source);
    if (source == int(Source::None)) {
        QVERIFY(!c.valid());
        QCOMPARE(c.describe(), QStringLiteral("uncalibrated"));
        QCOMPARE(c.length(3, 4), 5.0); // in pixels
        return;
    }
    QVERIFY(qAbs(c.pixelWidth - width) < 1e-6 * width);
    QVERIFY(qAbs(c.pixelHeight - height) < 1e-6 * height);
    QCOMPARE(c.unit, unitText);
    QVERIFY(c.describe().contains(c.sourceText()));
    if (source == int(Source::ImageJ))
        QCOMPARE(c.zSpacing, 2.5);
}

void TestCalibration::setScaleIsRememberedPerFolder()
{
    auto image = std::make_shared<DecodedImage>();
    image->width = image->height = 4;
    QVERIFY(image->values8.allocate(16));
    const QString folderA = m_dir.filePath(QStringLiteral("a b")), folderB = m_dir.filePath(QStringLiteral("b"));
    const Calibration file = calibrationFromResolution(20000, 20000, RESUNIT_CENTIMETER);

    MeasureModel model;
    model.setImage(image, file, folderA);
    QCOMPARE(model.calibration().source, Source::Resolution);
    QSignalSpy changed(&model, &MeasureModel::calibrationChanged);
    // 200 pixels are 50 mm: 0.25 mm a pixel, which outranks the file's tags.
    model.setUserScale(calibrationFromScale(200, 50, QStringLiteral("millimeter")));
    QCOMPARE(changed.count(), 1);
    QCOMPARE(model.calibration().source, Source::User);
    QCOMPARE(model.calibration().unit, QStringLiteral("mm"));
    QCOMPARE(model.calibration().length(30, 40), 12.5);

    MeasureModel again; // as after a restart
    again.setImage(image, file, folderA);
    QCOMPARE(again.calibration().source, Source::User);
    QCOMPARE(again.calibration().pixelWidth, 0.25);
    again.setImage(image, file, folderB);
    QCOMPARE(again.calibration().source, Source::Resolution);
    again.setImage(image, file, folderA);
    again.setUserScale(Calibration()); // forgotten
    MeasureModel third;
    third.setImage(image, Calibration(), folderA);
    QVERIFY(!third.calibration().valid());
    QVERIFY(!calibrationFromScale(0, 5, QStringLiteral("mm")).valid());
    QVERIFY(!calibrationFromScale(10, 5, QString()).valid());
}

void TestCalibration::scaleBar_data()
{
    QTest::addColumn<double>("pixelSize");
    QTest::addColumn<QString>("unit");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QString>("label");
    QTest::addColumn<double>("viewLength");
    // 1000-pixel view: a fifth is 200 view pixels.
    QTest::newRow("µm, 1:1") << 0.5 << QStringLiteral("\u00b5m") << 1.0 << QStringLiteral("100 \u00b5m") << 200.0;
    QTest::newRow("µm, fitted 4096") << 0.5 << QStringLiteral("\u00b5m") << 0.25 << QStringLiteral("200 \u00b5m") << 100.0;
    QTest::newRow("into mm") << 10.0 << QStringLiteral("\u00b5m") << 0.5 << QStringLiteral("2 mm") << 100.0;
    QTest::newRow("into nm") << 0.002 << QStringLiteral("\u00b5m") << 1.0 << QStringLiteral("200 nm") << 100.0;
    QTest::newRow("unknown unit") << 3.0 << QStringLiteral("furlong") << 1.0 << QStringLiteral("500 furlong")
                                  << 500.0 / 3.0;
    QTest::newRow("pixels") << 0.0 << QString() << 2.0 << QStringLiteral("100 px") << 200.0;
}

void TestCalibration::scaleBar()
{
    QFETCH(double, pixelSize);
    QFETCH(QString, unit);
    QFETCH(double, zoom);
    QFETCH(QString, label);
    QFETCH(double, viewLength);
    const Calibration c = pixelSize > 0 ? calibrationFromScale(1, pixelSize, unit) : Calibration();
    const ScaleBar bar = ScaleBar::choose(c, zoom, 1000);
    QCOMPARE(bar.label, label);
    QVERIFY(qAbs(bar.viewLength - viewLength) < 1e-6);
    QVERIFY(bar.viewLength > 1000 / 5.0 / 2.5 - 1e-9 && bar.viewLength <= 200.0 + 1e-9);
}

QTEST_GUILESS_MAIN(TestCalibration)
#include "tst_calibration.moc"
