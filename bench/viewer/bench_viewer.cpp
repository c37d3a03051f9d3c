// Run with QT_QPA_PLATFORM=offscreen [bench_viewer [--sample FILE]]. Each round measures the
// floor and the browser back to back (after a warm-up) and takes their ratio; the report is
// the median of the per-round ratios with their range, beside the median times.
// Goal: opening a 4096 x 4096 16-bit image with the automatic range, painted, within 1.1x
// of a bare libtiff read of the same file. The browser converts only what is visible, so
// the earlier floor's full-size QPixmap::fromImage flattered it; that ratio is printed
// beside, for comparison with earlier runs.
#include "viewer/imageframe.h"
#include "viewer/imageloader.h"
#include "viewer/imageloaddialog.h"
#include "viewer/imageloaddialogui.h"
#include "viewer/tifffiles.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QEventLoop>
#include <QElapsedTimer>
#include <QImage>
#include <QPixmap>
#include <QPushButton>
#include <QTemporaryDir>

#include <tiffio.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

constexpr uint32_t kSize = 4096;
constexpr int kFolderImages = 20;
constexpr int kRounds = 9;

// A plausible instrument frame: smooth background, a few bright spots, and noise, so
// LZW has something real to work on.
std::vector<uint16_t> makeImage(int seed)
{
    std::vector<uint16_t> values(size_t(kSize) * kSize);
    uint32_t noise = 2463534242u + uint32_t(seed);
    for (uint32_t y = 0; y < kSize; ++y) {
        for (uint32_t x = 0; x < kSize; ++x) {
            noise ^= noise << 13;
            noise ^= noise >> 17;
            noise ^= noise << 5;
            const int dx = int(x % 512) - 256, dy = int(y % 512) - 256;
            const int spot = dx * dx + dy * dy < 900 ? 9000 : 0;
            values[size_t(y) * kSize + x] =
                uint16_t(1200 + (x + y + seed * 97) / 4 + spot + (noise & 255));
        }
    }
    return values;
}

bool writeImage(const QString &path, const std::vector<uint16_t> &values, uint16_t compression)
{
    TestTiff::Layout l;
    l.width = l.height = kSize;
    l.bitsPerSample = 16;
    l.compression = compression;
    return TestTiff::write(path, l, values.data());
}

// The floor: what no viewer can avoid - decode every row. The earlier floor also turned one
// 8-bit picture of the same size into a pixmap (withPixmap).
void floorWork(const QString &path, const QImage &grey, bool withPixmap)
{
    TIFF *tif = TIFFOpen(QFile::encodeName(path).constData(), "r");
    if (!tif)
        qFatal("cannot open %s", qPrintable(path));
    const tmsize_t scanline = TIFFScanlineSize(tif);
    auto *buffer = new uint16_t[size_t(scanline) / 2 * kSize];
    for (uint32_t row = 0; row < kSize; ++row)
        TIFFReadScanline(tif, reinterpret_cast<unsigned char *>(buffer) + size_t(row) * size_t(scanline), row, 0);
    TIFFClose(tif);
    const QPixmap pixmap = withPixmap ? QPixmap::fromImage(grey) : QPixmap(1, 1);
    if (pixmap.isNull() || buffer[12345] == 0xffff)
        qFatal("floor failed");
    delete[] buffer;
}

double msSince(const QElapsedTimer &timer)
{
    return double(timer.nsecsElapsed()) / 1e6;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

struct Result
{
    double floor;   // median ms
    double browser; // median ms
    double ratio;   // median of per-round ratios
    double low;     // smallest per-round ratio
    double high;    // largest
    double oldRatio; // median of per-round ratios against the earlier floor
};

using Work = std::function<double(bool withPixmap)>;

// Warm-up, then the floor, the earlier floor and the browser back to back in every round.
Result measure(const Work &floor, const std::function<double()> &browser)
{
    // Twice: on a virtual machine the first images' memory may be new to the host as well,
    // which costs the first two opens (one image shown, the next arriving) several times
    // what any later one costs.
    floor(false);
    browser();
    browser();
    std::vector<double> f, b, r, o;
    for (int round = 0; round < kRounds; ++round) {
        f.push_back(floor(false));
        const double old = floor(true);
        b.push_back(browser());
        r.push_back(b.back() / f.back());
        o.push_back(b.back() / old);
    }
    const auto [low, high] = std::minmax_element(r.begin(), r.end());
    return {median(f), median(b), median(r), *low, *high, median(o)};
}

void report(const char *what, const Result &r)
{
    std::printf("%-46s read %7.1f ms  browser %7.1f ms  ratio %.2f (range %.2f-%.2f; %.2f against read + pixmap)\n",
                what, r.floor, r.browser, r.ratio, r.low, r.high, r.oldRatio);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption sampleOption(QStringLiteral("sample"),
                                          QStringLiteral("The 4096 x 4096 16-bit sample to open (default: one made here)."),
                                          QStringLiteral("FILE"));
    parser.addOption(sampleOption);
    const QCommandLineOption openOnlyOption(QStringLiteral("open-only"),
                                            QStringLiteral("Measure opening only, not paging (quicker to profile)."));
    parser.addOption(openOnlyOption);
    parser.addHelpOption();
    parser.process(app);
    QTemporaryDir dir;
    const QString single = dir.filePath(QStringLiteral("single"));
    const QString plainFolder = dir.filePath(QStringLiteral("plain"));
    const QString lzwFolder = dir.filePath(QStringLiteral("lzw"));
    QDir().mkpath(single);
    QDir().mkpath(plainFolder);
    QDir().mkpath(lzwFolder);

    const bool openOnly = parser.isSet(openOnlyOption);
    const int folderImages = openOnly ? 1 : kFolderImages;
    std::printf("Writing %d + %d images of %u x %u, 16-bit ...\n", folderImages, folderImages, kSize, kSize);
    std::fflush(stdout);
    for (int i = 0; i < folderImages; ++i) {
        const std::vector<uint16_t> values = makeImage(i);
        const QString name = QStringLiteral("img%1.tif").arg(i, 2, 10, QLatin1Char('0'));
        if (!writeImage(plainFolder + QLatin1Char('/') + name, values, COMPRESSION_NONE)
            || !writeImage(lzwFolder + QLatin1Char('/') + name, values, COMPRESSION_LZW))
            qFatal("cannot write test images");
        if (i == 0) {
            writeImage(single + QStringLiteral("/open.tif"), values, COMPRESSION_NONE);
            writeImage(single + QStringLiteral("/open_lzw.tif"), values, COMPRESSION_LZW);
        }
    }

    QImage grey{int(kSize), int(kSize), QImage::Format_Indexed8};
    QVector<QRgb> ramp(256);
    for (int i = 0; i < 256; ++i)
        ramp[i] = qRgb(i, i, i);
    grey.setColorTable(ramp);
    grey.fill(100);

    ImageLoadDialog dialog;
    dialog.show();
    QCoreApplication::processEvents();

    // Until the picture is painted: large files are read on a thread of their own.
    auto waitShown = [&] {
        if (dialog.loader()->busy()) {
            QEventLoop loop;
            QObject::connect(dialog.loader(), &ImageLoader::loaded, &loop, &QEventLoop::quit);
            loop.exec();
        }
        dialog.frame()->repaint();
        QCoreApplication::processEvents();
    };
    auto openOnce = [&](const QString &folder, const QString &name) {
        return [&, folder, name] {
            QElapsedTimer t;
            t.start();
            dialog.openImage(folder, folder + QLatin1Char('/') + name, name);
            dialog.setFileName(name);
            waitShown();
            if (!dialog.frame()->hasPicture())
                qFatal("the image was not shown");
            return msSince(t);
        };
    };
    auto floorOnce = [&](const QString &path) {
        return [&, path](bool withPixmap) {
            QElapsedTimer t;
            t.start();
            floorWork(path, grey, withPixmap);
            return msSince(t);
        };
    };
    std::printf("Goal: open with the automatic range, painted, within 1.1x of a bare libtiff read "
                "(median of %d per-round ratios)\n", kRounds);
    if (parser.isSet(sampleOption)) {
        const QFileInfo sample(parser.value(sampleOption));
        report("open the 4096x4096 16-bit sample", measure(floorOnce(sample.absoluteFilePath()),
                                                             openOnce(sample.absolutePath(), sample.fileName())));
    }
    report("open 4096x4096 16-bit", measure(floorOnce(single + QStringLiteral("/open.tif")),
                                            openOnce(single, QStringLiteral("open.tif"))));
    report("open 4096x4096 16-bit LZW", measure(floorOnce(single + QStringLiteral("/open_lzw.tif")),
                                                openOnce(single, QStringLiteral("open_lzw.tif"))));

    if (openOnly)
        return 0;
    // Paging: one pass over the folder per measurement, reported per image.
    for (const QString &folder : {plainFolder, lzwFolder}) {
        const bool lzw = folder == lzwFolder;
        for (const bool next : {true, false}) {
            const QString first = folder + QStringLiteral("/img00.tif");
            dialog.openImage(folder, first, QStringLiteral("img00.tif"));
            waitShown();
            QPushButton *button = next ? dialog.form()->pushButton_2 : dialog.form()->pushButton;
            auto page = [&] {
                QElapsedTimer t;
                t.start();
                for (int i = 0; i < kFolderImages; ++i) {
                    button->click();
                    waitShown();
                }
                if (!dialog.frame()->hasPicture())
                    qFatal("the image was not shown");
                return msSince(t) / kFolderImages;
            };
            auto floorPass = [&](bool withPixmap) {
                QElapsedTimer t;
                t.start();
                for (int i = 0; i < kFolderImages; ++i)
                    floorWork(folder + QStringLiteral("/img%1.tif").arg(i, 2, 10, QLatin1Char('0')), grey, withPixmap);
                return msSince(t) / kFolderImages;
            };
            const QByteArray what = QByteArray(next ? "next" : "previous") + " through 20 images"
                + (lzw ? ", LZW" : "") + ", per image";
            report(what.constData(), measure(floorPass, page));
        }
    }
    return 0;
}
