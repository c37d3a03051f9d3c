#include "viewer/attributetext.h"
#include "viewer/tifffiles.h"

#include <QTemporaryDir>
#include <QtTest>

class TestAttributeText : public QObject
{
    Q_OBJECT
private slots:
    void replacements_data();
    void replacements();
    void description_data();
    void description();
};

void TestAttributeText::replacements_data()
{
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("text");
    QTest::newRow("three items")
        << "Software Version: 1.2.0, Min. F: 10, Max. F: 20"
        << "Software version: 1.2.0\nMinimum f: 10\nMaximum f: 20";
    QTest::newRow("decimal commas stay")
        << "Reference Position: X 12,5 Y 3,0, Gain: 2,5"
        << "Reference position: X 12,5 Y 3,0\nGain: 2,5";
    QTest::newRow("a list inside a value stays") << "Filters: red, green, Gain: 2"
                                                 << "Filters: red, green\nGain: 2";
    QTest::newRow("carriage returns dropped") << "Gain: 2,\r\nOffset: 5\r\n" << "Gain: 2\nOffset: 5\n";
    QTest::newRow("reference position") << "Reference Position: 3,Gain: 2"
                                        << "Reference position: 3\nGain: 2";
    QTest::newRow("lower case unchanged") << "software version: 1, min. f: 2"
                                          << "software version: 1\nmin. f: 2";
    QTest::newRow("upper case unchanged") << "SOFTWARE VERSION: 1,MAX. F: 2"
                                          << "SOFTWARE VERSION: 1\nMAX. F: 2";
    QTest::newRow("no commas: one line") << "Exposure 20 ms" << "Exposure 20 ms";
    QTest::newRow("every occurrence") << "Min. F: 1, Min. F: 2" << "Minimum f: 1\nMinimum f: 2";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("trailing comma") << "Gain: 2," << "Gain: 2";
}

void TestAttributeText::replacements()
{
    QFETCH(QString, description);
    QFETCH(QString, text);
    QCOMPARE(attributeText(description), text);
}

void TestAttributeText::description_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("tag");
    QTest::addColumn<bool>("tiff");
    QTest::addColumn<QString>("expected");
    QTest::newRow("TIFF with description") << "a.tif" << QByteArray("Software Version: 1.2.0, Gain: 2")
                                           << true << "Software Version: 1.2.0, Gain: 2";
    QTest::newRow("UTF-8 description") << "b.tif" << QByteArray("Operator: J\xc3\xb6rg") << true
                                       << QString::fromUtf8("Operator: J\xc3\xb6rg");
    QTest::newRow("Latin-1 description") << "l.tif" << QByteArray("Operator: J\xf6rg, Temp: 21\xb0" "C") << true
                                         << QString::fromUtf8("Operator: J\xc3\xb6rg, Temp: 21\xc2\xb0" "C");
    QTest::newRow("TIFF without description") << "c.tif" << QByteArray() << true << "";
    QTest::newRow("TIFF named .TIF is still described") << "d.TIF" << QByteArray("Gain: 3") << true
                                                        << "Gain: 3";
    QTest::newRow("not a TIFF") << "e.jpg" << QByteArray() << false << "";
    QTest::newRow("missing file") << "f.tif" << QByteArray() << false << "";
}

void TestAttributeText::description()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, tag);
    QFETCH(bool, tiff);
    QFETCH(QString, expected);
    QTemporaryDir dir;
    const QString file = dir.filePath(name);
    if (tiff) {
        TestTiff::Layout l;
        l.description = tag;
        QVERIFY(TestTiff::write(file, l));
    } else if (name != QLatin1String("f.tif")) {
        QVERIFY(TestTiff::writeText(file, "\xff\xd8\xff\xe0 not really a JPEG"));
    }
    QCOMPARE(readImageDescription(file), expected);
}

QTEST_GUILESS_MAIN(TestAttributeText)
#include "tst_attributetext.moc"
