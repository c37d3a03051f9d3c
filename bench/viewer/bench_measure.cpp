// Run with QT_QPA_PLATFORM=offscreen bench_measure. On a 4096 x 4096 16-bit image:
// - a line profile of 4,096 pixels at width 10 (goal: under 5 ms, median of the rounds);
// - region statistics over the whole image against a plain single pass over the same
//   buffer (a sum of the values), paired in each round (goal: within 1.2x, median of the
//   per-round ratios, with their range);
// - where the opening of the image goes: decoding with its statistics, beside a bare read;
// - the frame time while a region and a line are dragged over the fitted image in the
//   browser: handling the move and everything it leaves to do on the window's thread
//   (the repaints of the frame, the measuring row and the profile window), worst and 99th
//   percentile (goal: 16 ms).
#include "viewer/browsertools.h"
#include "viewer/contrastmodel.h"
#include "viewer/displayimage.h"
#include "viewer/tiffdecoder.h"
#include "viewer/imageframe.h"
#include "viewer/imageloaddialog.h"
#include "viewer/lineprofile.h"
#include "viewer/measurebar.h"
#include "viewer/measuremodel.h"
#include "viewer/regionstatistics.h"
#include "viewer/statisticsfollower.h"
#include "viewer/tifffiles.h"

#include <QApplication>
#include <QFile>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include <tiffio.h>

namespace {

constexpr uint32_t kSize = 4096;
constexpr int kRounds = 15;

std::shared_ptr<DecodedImage> makeImage()
{
    auto image = std::make_shared<DecodedImage>();
    image->width = image->height = kSize;
    image->bits = 16;
    if (!image->values16.allocate(size_t(kSize) * kSize))
        qFatal("no memory");
    uint32_t noise = 2463534242u;
    for (size_t i = 0; i < image->values16.size(); ++i) {
        noise ^= noise << 13;
        noise ^= noise >> 17;
        noise ^= noise << 5;
        image->values16[i] = uint16_t(1000 + (i % kSize) / 2 + (noise & 1023));
    }
    return image;
}

double msSince(const QElapsedTimer &t)
{
    return double(t.nsecsElapsed()) / 1e6;
}

double percentile(std::vector<double> v, double p)
{
    std::sort(v.begin(), v.end());
    return v[std::min(v.size() - 1, size_t(p * double(v.size() - 1) + 0.5))];
}

// The plain pass the statistics are held against: every value read once and summed.
uint64_t plainPass(const DecodedImage &image)
{
    uint64_t sum = 0;
    const uint16_t *v = image.values16.data();
    for (size_t i = 0, n = image.values16.size(); i < n; ++i)
        sum += v[i];
    return sum;
}

void send(QWidget *to, QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons,
          Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QMouseEvent event(type, pos, to->mapToGlobal(pos), button, buttons, modifiers);
    QApplication::sendEvent(to, &event);
}

// Frame times of a drag: each step is the move's handling and all it leaves to do.
std::vector<double> dragFrames(ImageFrame *frame, QPoint from, QPoint to, int steps, Qt::KeyboardModifiers modifiers)
{
    std::vector<double> times;
    send(frame, QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton, modifiers);
    for (int i = 1; i <= steps; ++i) {
        const QPoint p = from + (to - from) * i / steps;
        QElapsedTimer t;
        t.start();
        send(frame, QEvent::MouseMove, p, Qt::NoButton, Qt::LeftButton, modifiers);
        QApplication::processEvents();
        times.push_back(msSince(t));
    }
    send(frame, QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton, modifiers);
    return times;
}

void reportFrames(const char *what, const std::vector<double> &times)
{
    std::printf("%-52s frames %zu  worst %6.2f ms  99th percentile %6.2f ms  median %6.2f ms\n", what, times.size(),
                percentile(times, 1.0), percentile(times, 0.99), percentile(times, 0.5));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const std::shared_ptr<DecodedImage> image = makeImage();

    std::vector<double> profile;
    for (int round = 0; round < kRounds; ++round) {
        QElapsedTimer t;
        t.start();
        const LineProfile p = LineProfile::of(*image, QPointF(0, 100.3), QPointF(4096, 100.3 + 37), 10);
        profile.push_back(msSince(t));
        if (!p.ok() || p.count() < 4096)
            qFatal("no profile");
    }
    std::printf("%-52s median %6.2f ms  (range %.2f-%.2f)\n", "line profile, 4,096 pixels at width 10",
                percentile(profile, 0.5), percentile(profile, 0), percentile(profile, 1));

    const RegionShape whole{RegionShape::Kind::Rectangle, QRectF(0, 0, kSize, kSize)};
    std::vector<double> plain, stats, ratio;
    volatile uint64_t sink = plainPass(*image); // warm-up
    for (int round = 0; round < kRounds; ++round) {
        QElapsedTimer t;
        t.start();
        sink = sink + plainPass(*image);
        plain.push_back(msSince(t));
        t.restart();
        const RegionStatistics s = RegionStatistics::of(*image, whole);
        stats.push_back(msSince(t));
        ratio.push_back(stats.back() / plain.back());
        if (s.pixels != uint64_t(kSize) * kSize)
            qFatal("wrong count");
    }
    std::printf("%-52s plain %6.2f ms  statistics %6.2f ms  ratio %.2f (range %.2f-%.2f)\n",
                "region statistics, whole 4096x4096 16-bit", percentile(plain, 0.5), percentile(stats, 0.5),
                percentile(ratio, 0.5), percentile(ratio, 0), percentile(ratio, 1));

    // The browser: write the image, open it fitted, drag tools over it.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("drag.tif"));
    TestTiff::Layout l = TestTiff::grey(kSize, kSize, 16);
    if (!TestTiff::write(path, l, image->values16.data()))
        qFatal("cannot write");
    // Where opening the browser's image goes, beside the bare read of the same file: the
    // decoding with the statistics following it (as the browser reads), the same decoding
    // alone, and the display tables for the range.
    {
        std::vector<double> bare, followed, decode, tables;
        for (int round = 0; round < 5; ++round) {
            QElapsedTimer t;
            t.start();
            TIFF *tif = TIFFOpen(QFile::encodeName(path).constData(), "r");
            std::vector<uint16_t> rows(size_t(kSize) * kSize);
            for (uint32_t row = 0; row < kSize; ++row)
                TIFFReadScanline(tif, rows.data() + size_t(row) * kSize, row, 0);
            TIFFClose(tif);
            bare.push_back(msSince(t));
            t.restart();
            DecodedImage decoded;
            StatisticsFollower follower;
            TiffDecodeControl control;
            follower.follow(control);
            TiffDecoder::decode(path, 0, decoded, control);
            if (!follower.complete(decoded))
                qFatal("the statistics did not follow the decoding");
            const DisplayRange range = ContrastModel::automatic(decoded, follower.take());
            followed.push_back(msSince(t));
            t.restart();
            DecodedImage alone;
            TiffDecoder::decode(path, 0, alone);
            decode.push_back(msSince(t));
            t.restart();
            DisplayImage display;
            display.render(decoded, range);
            tables.push_back(msSince(t));
        }
        std::printf("opening, medians: bare read %.1f ms, decode with statistics %.1f ms (alone %.1f ms), display tables %.1f ms\n",
                    percentile(bare, 0.5), percentile(followed, 0.5), percentile(decode, 0.5), percentile(tables, 0.5));
    }

    ImageLoadDialog browser;
    browser.resize(1298, 1044);
    browser.show();
    browser.openFile(path);
    if (browser.loader()->busy()) { // read on a thread of its own: wait for it, a minute at most
        QEventLoop loop;
        QObject::connect(browser.loader(), &ImageLoader::loaded, &loop, &QEventLoop::quit);
        QTimer::singleShot(60000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    QApplication::processEvents();
    if (!browser.frame()->hasPicture())
        qFatal("not shown: %s", qPrintable(browser.frame()->message()));
    ImageFrame *frame = browser.frame();
    {
        std::vector<double> open;
        for (int round = 0; round < 5; ++round) {
            QElapsedTimer t;
            t.start();
            browser.openImage(dir.path(), path, QStringLiteral("drag.tif"));
            if (browser.loader()->busy()) {
                QEventLoop loop;
                QObject::connect(browser.loader(), &ImageLoader::loaded, &loop, &QEventLoop::quit);
                loop.exec();
            }
            frame->repaint();
            open.push_back(msSince(t));
        }
        std::printf("opening in the browser to the first painted frame, median %.1f ms\n", percentile(open, 0.5));
    }
    std::printf("browser frame %d x %d, zoom %.3f\n", frame->width(), frame->height(), frame->zoom());
    BrowserTools *tools = browser.tools();
    tools->model()->setScaleBar(true);
    tools->bar()->toolButton(int(MeasureModel::Tool::Rectangle))->click();
    reportFrames("drawing a rectangle to the whole view", dragFrames(frame, QPoint(2, 2), QPoint(frame->width() - 3, frame->height() - 3), 300, Qt::NoModifier));
    reportFrames("moving a region of half the image", [&] {
        tools->model()->setRegion({RegionShape::Kind::Rectangle, QRectF(0, 0, kSize / 2, kSize / 2)});
        return dragFrames(frame, QPoint(50, 50), QPoint(frame->width() / 2, frame->height() / 2), 300, Qt::NoModifier);
    }());
    tools->bar()->toolButton(int(MeasureModel::Tool::Ellipse))->click();
    reportFrames("drawing an ellipse", dragFrames(frame, QPoint(100, 100), QPoint(frame->width() - 50, frame->height() - 80), 300, Qt::NoModifier));
    tools->showProfile();
    tools->model()->setLineWidth(10);
    reportFrames("drawing a line (width 10), profile window shown", dragFrames(frame, QPoint(10, 10), QPoint(frame->width() - 10, frame->height() - 20), 300, Qt::ShiftModifier));
    return 0;
}
