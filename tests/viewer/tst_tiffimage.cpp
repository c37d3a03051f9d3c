#include "viewer/tiffimage.h"
#include "viewer/tifffiles.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QTemporaryDir>
#include <sys/resource.h>
#include <QtTest>

using TestTiff::Layout;

class TestTiffImage : public QObject
{
    Q_OBJECT
private slots:
    void fileType_data();
    void fileType();
    void readsLayout_data();
    void readsLayout();
    void noBitsPerSampleTag();
    void refusedWithoutOpening_data();
    void refusedWithoutOpening();
    void refusesAbsurdSizes_data();
    void refusesAbsurdSizes();
    void damagedRowsCleared();
    void truncatedFileShowsWhatIsThere_data();
    void libtiffMessagesQuietByDefault();
    void truncatedFileShowsWhatIsThere();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    QTemporaryDir m_dir;
};

void TestTiffImage::fileType_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<int>("type");
    QTest::newRow("tif") << "/data/image.tif" << int(Tif);
    QTest::newRow("tiff counts as tif") << "/data/scan.tiff" << int(Tif);
    QTest::newRow("jpg") << "a.jpg" << int(Jpg);
    QTest::newRow("png") << "a.png" << int(Png);
    QTest::newRow("bmp") << "a.bmp" << int(Bmp);
    QTest::newRow("raw") << "a.raw" << int(Raw);
    QTest::newRow("upper case TIF") << "scan.TIF" << int(Unknown);
    QTest::newRow("tif.bak") << "scan.tif.bak" << int(Unknown);
    QTest::newRow("no dot, name starts tif") << "tiffany" << int(Tif);
    QTest::newRow("no dot") << "image" << int(Unknown);
    QTest::newRow("dot at end") << "image." << int(Unknown);
    QTest::newRow("two letters") << "image.ti" << int(Unknown);
    QTest::newRow("empty") << "" << int(Unknown);
    QTest::newRow("last dot in a folder name") << "/data.tif/image" << int(Tif);
    QTest::newRow("last dot in a folder, other") << "/data.v2/image" << int(Unknown);
}

void TestTiffImage::fileType()
{
    QFETCH(QString, path);
    QFETCH(int, type);
    QCOMPARE(int(imageFileType(path.toStdWString())), type);
}

void TestTiffImage::readsLayout_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("samples");
    QTest::addColumn<int>("compression");
    QTest::addColumn<int>("width");
    const struct { const char *name; int compression; } methods[] = {
        {"none", COMPRESSION_NONE}, {"LZW", COMPRESSION_LZW}, {"Deflate", COMPRESSION_ADOBE_DEFLATE}};
    for (const auto &m : methods) {
        for (int bits : {8, 16}) {
            for (int samples : {1, 3}) {
                const QByteArray name = QByteArray::number(bits) + "-bit "
                    + (samples == 1 ? "grey " : "RGB ") + m.name;
                QTest::newRow(name.constData()) << bits << samples << m.compression << 300;
            }
        }
    }
    QTest::newRow("8-bit grey, odd width") << 8 << 1 << int(COMPRESSION_NONE) << 1001;
    QTest::newRow("16-bit RGB, odd width, LZW") << 16 << 3 << int(COMPRESSION_LZW) << 1001;
}

void TestTiffImage::readsLayout()
{
    QFETCH(int, bits);
    QFETCH(int, samples);
    QFETCH(int, compression);
    QFETCH(int, width);
    Layout l = TestTiff::grey(uint32_t(width), 200, bits);
    l.samplesPerPixel = samples;
    l.compression = uint16_t(compression);
    const QString file = path(QStringLiteral("image.tif"));
    QVERIFY(TestTiff::write(file, l));

    TiffImage image;
    QVERIFY(image.load(file.toStdWString()));
    QCOMPARE(image.m_status, TiffImage::Loaded);
    QCOMPARE(image.m_width, l.width);
    QCOMPARE(image.m_height, 200u);
    QCOMPARE(int(image.m_bitsPerSample), bits);
    QCOMPARE(int(image.m_samplesPerPixel), samples);
    QCOMPARE(int(image.m_bitsPerPixel), bits * samples);
    QCOMPARE(int(image.m_compression), compression);
    QCOMPARE(int(image.m_photometric), samples == 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK);
    QCOMPARE(image.m_valueCount, int32_t(width * 200 * samples));
    void *buffer = image.pixels(image.m_bitsPerPixel);
    QVERIFY(buffer);
    if (bits == 16) {
        QCOMPARE(buffer, static_cast<void *>(image.m_pixels16));
        QVERIFY(!image.m_pixels8);
    } else {
        QCOMPARE(buffer, static_cast<void *>(image.m_pixels8));
        QVERIFY(!image.m_pixels16);
    }
    // Every sample in place: interleaved R, G, B, rows packed without padding.
    for (uint32_t y = 0; y < l.height; ++y) {
        for (uint32_t x = 0; x < l.width; ++x) {
            for (int c = 0; c < samples; ++c) {
                const size_t i = (size_t(y) * l.width + x) * samples + c;
                if (bits == 16) {
                    if (image.m_pixels16[i] != TestTiff::sample16(x, y, c))
                        QFAIL(qPrintable(QStringLiteral("sample %1,%2,%3").arg(x).arg(y).arg(c)));
                } else if (image.m_pixels8[i] != TestTiff::sample8(x, y, c)) {
                    QFAIL(qPrintable(QStringLiteral("sample %1,%2,%3").arg(x).arg(y).arg(c)));
                }
            }
        }
    }
    image.release();
    QVERIFY(!image.m_pixels8 && !image.m_pixels16);
}

void TestTiffImage::noBitsPerSampleTag()
{
    const Layout l = TestTiff::grey(21, 5, 0);
    const QString file = path(QStringLiteral("nobits.tif"));
    QVERIFY(TestTiff::write(file, l));
    TiffImage image;
    QVERIFY(image.load(file.toStdWString()));
    QCOMPARE(int(image.m_bitsPerSample), 0);
    QCOMPARE(int(image.m_bitsPerPixel), 0);
    QVERIFY(image.m_pixels8);
    QVERIFY(!image.m_pixels16);
    QCOMPARE(image.pixels(0), static_cast<void *>(image.m_pixels8));
    QCOMPARE(image.m_valueCount, 21 * 5);
    // TIFF's default of 1 bit a sample: one value (0 or 1) a pixel.
    for (uint32_t x = 0; x < 21; ++x)
        QCOMPARE(int(image.m_pixels8[4 * 21 + x]), int(TestTiff::rawSample(l, x, 4, 0)));
}

void TestTiffImage::refusedWithoutOpening_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("validTiff");
    QTest::addColumn<int>("status");
    QTest::newRow("image.TIF, a valid TIFF") << "image.TIF" << true << int(TiffImage::RefusedName);
    QTest::newRow("image.jpg, a valid TIFF") << "image.jpg" << true << int(TiffImage::RefusedName);
    QTest::newRow("image.png") << "image.png" << true << int(TiffImage::RefusedName);
    QTest::newRow("text file notes.tif") << "notes.tif" << false << int(TiffImage::NotReadable);
    QTest::newRow("missing file") << "missing.tif" << false << int(TiffImage::NotReadable);
}

void TestTiffImage::refusedWithoutOpening()
{
    QFETCH(QString, name);
    QFETCH(bool, validTiff);
    QFETCH(int, status);
    const QString file = path(name);
    if (validTiff)
        QVERIFY(TestTiff::write(file, Layout()));
    else if (name != QLatin1String("missing.tif"))
        QVERIFY(TestTiff::writeText(file, "Measured on Tuesday.\nNothing to see.\n"));
    TiffImage image;
    QVERIFY(!image.load(file.toStdWString()));
    QCOMPARE(int(image.m_status), status);
    QVERIFY(!image.m_pixels8 && !image.m_pixels16);
    if (status == TiffImage::RefusedName)
        QCOMPARE(image.m_width, 0u); // not a tag read
}

void TestTiffImage::refusesAbsurdSizes_data()
{
    QTest::addColumn<uint>("width");
    QTest::addColumn<uint>("height");
    QTest::addColumn<int>("bits");
    QTest::addColumn<int>("samples");
    QTest::addColumn<int>("fileBytes"); // padded to this size; 0: as written
    QTest::newRow("70000 x 70000 grey") << 70000u << 70000u << 8 << 1 << 0;
    QTest::newRow("65536 x 65536, wraps to 0 in 32 bits") << 65536u << 65536u << 8 << 1 << 0;
    QTest::newRow("4e9 pixels wide") << 4000000000u << 3u << 8 << 1 << 0;
    QTest::newRow("30000 x 30000 16-bit RGB") << 30000u << 30000u << 16 << 3 << 0;
    QTest::newRow("4294967295 x 4294967295") << 4294967295u << 4294967295u << 16 << 1 << 0;
    QTest::newRow("40000 x 40000 in a 197 KB file") << 40000u << 40000u << 8 << 1 << 197 * 1024;
    QTest::newRow("300 bytes, no BitsPerSample, 8000 samples") << 3000u << 3000u << 0 << 8000 << 0;
    QTest::newRow("300 bytes, no BitsPerSample, 65535 samples") << 9000u << 9000u << 0 << 65535 << 0;
    QTest::newRow("bits x samples beyond 32 bits signed") << 5000u << 5000u << 65535 << 65535 << 0;
}

void TestTiffImage::refusesAbsurdSizes()
{
    QFETCH(uint, width);
    QFETCH(uint, height);
    QFETCH(int, bits);
    QFETCH(int, samples);
    QFETCH(int, fileBytes);
    Layout l = TestTiff::grey(width, height, bits);
    l.samplesPerPixel = samples;
    const QString file = path(QStringLiteral("huge.tif"));
    QVERIFY(TestTiff::writeHeaderOnly(file, l));
    if (fileBytes) {
        QFile f(file);
        QVERIFY(f.open(QIODevice::Append));
        QVERIFY(f.write(QByteArray(fileBytes - int(f.size()), 0)) > 0);
    }
    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    QElapsedTimer timer;
    timer.start();
    TiffImage image;
    QVERIFY(!image.load(file.toStdWString()));
    QVERIFY2(image.m_status == TiffImage::TooLarge || image.m_status == TiffImage::UnsupportedLayout
                 || image.m_status == TiffImage::NotReadable,
             qPrintable(image.m_message));
    QVERIFY(!image.m_message.isEmpty());
    QVERIFY(!image.m_pixels8 && !image.m_pixels16 && !image.m_decoded);
    // Refused before anything large was allocated: the peak barely moves.
    rusage after{};
    getrusage(RUSAGE_SELF, &after);
    QVERIFY2(after.ru_maxrss - before.ru_maxrss < 64 * 1024, qPrintable(QString::number(after.ru_maxrss - before.ru_maxrss)));
    QVERIFY(timer.elapsed() < 1000);
}

void TestTiffImage::damagedRowsCleared()
{
    // One Deflate strip a row; the strips from row 10 on are overwritten with garbage.
    Layout l = TestTiff::grey(64, 64);
    l.compression = COMPRESSION_ADOBE_DEFLATE;
    l.rowsPerStrip = 1;
    const QString file = path(QStringLiteral("damaged.tif"));
    QVERIFY(TestTiff::write(file, l));
    TIFF *tif = TIFFOpen(QFile::encodeName(file).constData(), "r");
    QVERIFY(tif);
    uint64_t *offsets = nullptr, *counts = nullptr;
    QVERIFY(TIFFGetField(tif, TIFFTAG_STRIPOFFSETS, &offsets));
    QVERIFY(TIFFGetField(tif, TIFFTAG_STRIPBYTECOUNTS, &counts));
    QCOMPARE(TIFFNumberOfStrips(tif), 64u);
    const qint64 from = qint64(offsets[10]);
    const qint64 to = qint64(offsets[63] + counts[63]);
    TIFFClose(tif);
    QVERIFY(to > from);
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.seek(from));
    QCOMPARE(f.write(QByteArray(int(to - from), '\xff')), to - from);
    f.close();

    // A previous image of the same size, so a recycled allocation would show through.
    std::vector<unsigned char> stale(64 * 64, 0xab);
    Layout plain;
    plain.width = plain.height = 64;
    const QString staleFile = path(QStringLiteral("stale.tif"));
    QVERIFY(TestTiff::write(staleFile, plain, stale.data()));
    TiffImage image;
    QVERIFY(image.load(staleFile.toStdWString()));
    QVERIFY(image.load(file.toStdWString()));
    QCOMPARE(image.m_decoded->missingRows.size(), size_t(1));
    QCOMPARE(image.m_decoded->missingRows.front(), std::make_pair(10u, 63u));
    for (uint32_t y = 0; y < 64; ++y) {
        for (uint32_t x = 0; x < 64; ++x) {
            const unsigned char expected = y < 10 ? TestTiff::sample8(x, y, 0) : 0;
            if (image.m_pixels8[y * 64 + x] != expected)
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
        }
    }
}

void TestTiffImage::truncatedFileShowsWhatIsThere_data()
{
    QTest::addColumn<int>("rowsPerStrip");
    QTest::addColumn<qint64>("cutAfterRow");
    QTest::addColumn<uint>("firstMissing");
    QTest::newRow("strips of 8 rows, cut in row 37") << 8 << qint64(37) << 32u;
    QTest::newRow("one strip a row, cut after row 20") << 1 << qint64(21) << 21u;
    QTest::newRow("one strip, cut in half") << 64 << qint64(32) << 0u;
}

void TestTiffImage::truncatedFileShowsWhatIsThere()
{
    QFETCH(int, rowsPerStrip);
    QFETCH(qint64, cutAfterRow);
    QFETCH(uint, firstMissing);
    const QString file = path(QStringLiteral("cut.tif"));
    QVERIFY(TestTiff::writeDirectoryFirst(file, 64, 64, uint32_t(rowsPerStrip)));
    QVERIFY(TestTiff::truncate(file, QFileInfo(file).size() - (64 - cutAfterRow) * 64));
    TiffImage image;
    QVERIFY2(image.load(file.toStdWString()), qPrintable(image.m_message));
    QCOMPARE(image.m_decoded->missingRows.size(), size_t(1));
    QCOMPARE(image.m_decoded->missingRows.front(), std::make_pair(uint32_t(firstMissing), 63u));
    for (uint32_t y = 0; y < 64; ++y)
        for (uint32_t x = 0; x < 64; ++x)
            QCOMPARE(int(image.m_pixels8[y * 64 + x]), y < firstMissing ? int(TestTiff::sample8(x, y, 0)) : 0);
}

namespace {
QStringList g_messages;
void keepMessage(QtMsgType, const QMessageLogContext &context, const QString &text)
{
    g_messages << QLatin1String(context.category) + QStringLiteral(": ") + text;
}
} // namespace

void TestTiffImage::libtiffMessagesQuietByDefault()
{
    // A damaged file makes libtiff complain; the terminal stays quiet unless asked.
    const QString file = path(QStringLiteral("noisy.tif"));
    QVERIFY(TestTiff::writeDirectoryFirst(file, 64, 64, 8));
    QVERIFY(TestTiff::truncate(file, QFileInfo(file).size() - 2000));
    g_messages.clear();
    const QtMessageHandler previous = qInstallMessageHandler(keepMessage);
    TiffImage quiet;
    QVERIFY(quiet.load(file.toStdWString()));
    const QStringList byDefault = g_messages;
    QLoggingCategory::setFilterRules(QStringLiteral("tarvelo.tiff.warning=true"));
    TiffImage noisy;
    QVERIFY(noisy.load(file.toStdWString()));
    QLoggingCategory::setFilterRules(QString());
    qInstallMessageHandler(previous);
    QVERIFY2(byDefault.isEmpty(), qPrintable(byDefault.join('\n')));
    QVERIFY(!g_messages.isEmpty());
    QVERIFY(g_messages.first().startsWith(QStringLiteral("tarvelo.tiff: ")));
}

QTEST_GUILESS_MAIN(TestTiffImage)
#include "tst_tiffimage.moc"
