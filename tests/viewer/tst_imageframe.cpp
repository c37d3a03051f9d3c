#include "viewer/imageframe.h"
#include "common/gui.h"

#include <QSignalSpy>
#include <QtTest>

#include <vector>

namespace {

// 8- or 24-bit pixels, or 16- or 48-bit values, in a pattern that differs per channel.
std::vector<unsigned char> pattern(int width, int height, int bits)
{
    const int channels = (bits == 24 || bits == 48) ? 3 : 1;
    const size_t count = size_t(width) * height * channels;
    if (bits == 16 || bits == 48) {
        std::vector<unsigned char> bytes(count * 2);
        auto *values = reinterpret_cast<uint16_t *>(bytes.data());
        for (size_t i = 0; i < count; ++i)
            values[i] = uint16_t(20000 + (i * 37) % 9000);
        return bytes;
    }
    std::vector<unsigned char> bytes(count);
    for (size_t i = 0; i < count; ++i)
        bytes[i] = uint8_t(i * 7 + i / 3);
    return bytes;
}

} // namespace

using Steps = QList<int>;
using Zooms = QList<double>;
using Flags = QList<bool>;

class TestImageFrame : public QObject
{
    Q_OBJECT
private slots:
    void wheelSteps_data();
    void wheelSteps();
    void wheelRecentresOnCursor();
    void pinch_data();
    void pinch();
    void panClamping_data();
    void panClamping();
    void showsWithoutSkew_data();
    void showsWithoutSkew();
    void sixteenBitShown_data();
    void sixteenBitShown();
    void unshowableDataReplacesPicture();
    void readOut_data();
    void readOut();
    void messageDropsImage();
    void viewShowsThePixelUnderEachCentre_data();
    void viewShowsThePixelUnderEachCentre();
};

void TestImageFrame::wheelSteps_data()
{
    QTest::addColumn<Steps>("deltas");
    QTest::addColumn<Zooms>("zooms");
    QTest::addColumn<Flags>("overlay");
    QTest::newRow("forward to 3.0, then no change")
        << Steps{120, 120, 120, 120, 120, 120, 120, 120, 120}
        << Zooms{1.25, 1.5, 1.75, 2.0, 2.25, 2.5, 2.75, 3.0, 3.0}
        << Flags{true, true, true, true, true, true, true, true, true};
    QTest::newRow("back through 1.0") << Steps{120, 120, -120, -120, -120}
                                      << Zooms{1.25, 1.5, 1.25, 1.0, 0.8}
                                      << Flags{true, true, true, true, true};
    // 800 x 600 in 200 x 150 fits at 0.25, where the whole image is in view.
    QTest::newRow("backward from 1.0 down to the fit, then no change")
        << Steps{-120, -120, -120, -120, -120, -120, -120, -120}
        << Zooms{0.8, 0.64, 0.512, 0.4096, 0.32768, 0.262144, 0.25, 0.25}
        << Flags{true, true, true, true, true, true, false, false};
    QTest::newRow("small forward step counts by its sign") << Steps{15} << Zooms{1.25} << Flags{true};
    QTest::newRow("no vertical delta does nothing") << Steps{0, 120, 0} << Zooms{1.0, 1.25, 1.25}
                                                    << Flags{true, true, true};
}

void TestImageFrame::wheelSteps()
{
    QFETCH(Steps, deltas);
    QFETCH(Zooms, zooms);
    QFETCH(Flags, overlay);
    ImageFrame frame;
    frame.resize(200, 150);
    std::vector<unsigned char> pixels = pattern(800, 600, 8);
    frame.slotSetImageData(pixels.data(), 800, 600, 8);
    QCOMPARE(frame.zoom(), 0.25); // opened fitted, top-left pixel in view
    QCOMPARE(frame.offset(), QPoint(0, 0));
    frame.zoomOneToOne();
    for (int i = 0; i < deltas.size(); ++i) {
        const QPoint before = frame.offset();
        // A purely horizontal wheel: same pixel count sideways, none up or down.
        QVERIFY2(!Gui::wheel(&frame, QPoint(100, 75), deltas[i] ? QPoint(0, deltas[i]) : QPoint(120, 0)),
                 "the wheel must travel on to the browser");
        QVERIFY2(qAbs(frame.zoom() - zooms[i]) < 1e-9, qPrintable(QString::number(frame.zoom())));
        QCOMPARE(frame.overlayShown(), overlay[i]);
        if (deltas[i] == 0)
            QCOMPARE(frame.offset(), before);
        if (overlay[i]) {
            QCOMPARE(frame.overlay().outline, QRect(0, 0, 100, 75)); // the image's proportions
            QCOMPARE(frame.overlay().color, QColor(255, 255, 0));
        }
    }
}

void TestImageFrame::wheelRecentresOnCursor()
{
    // The image point under the pointer stays under it, zooming in and out.
    ImageFrame frame;
    frame.resize(200, 150);
    std::vector<unsigned char> pixels = pattern(1000, 800, 8);
    frame.slotSetImageData(pixels.data(), 1000, 800, 8);
    frame.setZoom(2.0, 500, 400);
    for (int delta : {120, 120, -120, -120, -120, -120}) {
        const QPoint cursor(130, 60);
        const double beforeX = cursor.x() / frame.zoom() + frame.offset().x();
        const double beforeY = cursor.y() / frame.zoom() + frame.offset().y();
        Gui::wheel(&frame, cursor, QPoint(0, delta));
        QVERIFY(qAbs(cursor.x() / frame.zoom() + frame.offset().x() - beforeX) <= 1.5);
        QVERIFY(qAbs(cursor.y() / frame.zoom() + frame.offset().y() - beforeY) <= 1.5);
    }
    QCOMPARE(frame.zoom(), 1.5);
}

void TestImageFrame::pinch_data()
{
    QTest::addColumn<int>("opening");
    QTest::addColumn<int>("closing");
    QTest::addColumn<double>("zoom");
    QTest::newRow("five opening steps") << 5 << 0 << 1.25;
    QTest::newRow("opening stops at 4.0") << 70 << 0 << 4.0;
    QTest::newRow("closing comes down to the fit") << 10 << 30 << 1.0 / 3;
    QTest::newRow("closing below 1.0") << 0 << 5 << 0.75;
    QTest::newRow("open, then close a little") << 8 << 3 << 1.25;
}

void TestImageFrame::pinch()
{
    QFETCH(int, opening);
    QFETCH(int, closing);
    QFETCH(double, zoom);
    static auto *device = QTest::createTouchDevice(); // QTouchDevice in Qt 5, QPointingDevice in 6
    ImageFrame frame;
    frame.resize(400, 300);
    std::vector<unsigned char> pixels = pattern(1200, 900, 24);
    frame.slotSetImageData(pixels.data(), 1200, 900, 24);
    frame.show();
    QVERIFY(QTest::qWaitForWindowExposed(&frame));
    frame.zoomOneToOne();

    int gap = 40;
    QTest::touchEvent(&frame, device).press(0, QPoint(200 - gap, 150), &frame);
    QTest::touchEvent(&frame, device).move(0, QPoint(200 - gap, 150), &frame).press(1, QPoint(200 + gap, 150), &frame);
    QCOMPARE(frame.zoom(), 1.0); // the second finger only sets the anchor
    for (int i = 0; i < opening + closing; ++i) {
        gap += i < opening ? 1 : -1;
        QTest::touchEvent(&frame, device).move(0, QPoint(200 - gap, 150), &frame).move(1, QPoint(200 + gap, 150), &frame);
    }
    QTest::touchEvent(&frame, device).release(0, QPoint(200 - gap, 150), &frame).release(1, QPoint(200 + gap, 150), &frame);
    QVERIFY(qAbs(frame.zoom() - zoom) < 1e-9);
    QCOMPARE(frame.overlayShown(), zoom > 1.0 / 3 + 1e-9); // the mini-map while part is out of view
}

void TestImageFrame::panClamping_data()
{
    QTest::addColumn<QSize>("image");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QPoint>("drag");
    QTest::addColumn<QPoint>("offset");
    // Frame 200 x 150; at 2.0 the view covers 100 x 75 image pixels, starting at (50, 50).
    const QSize big(400, 300);
    QTest::newRow("10 frame pixels move 10 image pixels") << big << 2.0 << QPoint(-10, 0) << QPoint(60, 50);
    QTest::newRow("down and right") << big << 2.0 << QPoint(20, 30) << QPoint(30, 20);
    QTest::newRow("clamped at 0") << big << 2.0 << QPoint(500, 500) << QPoint(0, 0);
    QTest::newRow("clamped at image minus view") << big << 2.0 << QPoint(-900, -900) << QPoint(300, 225);
    // Smaller than the view along an axis: centred there, whatever the drag.
    QTest::newRow("image smaller than the frame stays put, centred")
        << QSize(120, 90) << 1.0 << QPoint(-50, -50) << QPoint(-40, -30);
    QTest::newRow("image narrower than the view at 2.0")
        << QSize(80, 300) << 2.0 << QPoint(-50, -400) << QPoint(-10, 225);
}

void TestImageFrame::panClamping()
{
    QFETCH(QSize, image);
    QFETCH(double, zoom);
    QFETCH(QPoint, drag);
    QFETCH(QPoint, offset);
    ImageFrame frame;
    frame.resize(200, 150);
    std::vector<unsigned char> pixels = pattern(image.width(), image.height(), 8);
    frame.slotSetImageData(pixels.data(), image.width(), image.height(), 8);
    frame.setZoom(zoom, 100, 87);
    if (image == QSize(400, 300))
        QCOMPARE(frame.offset(), QPoint(50, 50));
    // Dragged in two moves, so the offset is clamped at each step.
    const QPoint start(100, 75);
    Gui::drag(&frame, {start, start + drag / 2, start + drag});
    QCOMPARE(frame.offset(), offset);
    // No drag after the release, even from a move that says the button is down.
    Gui::sendMouse(&frame, QEvent::MouseMove, start, Qt::NoButton, Qt::LeftButton);
    QCOMPARE(frame.offset(), offset);
}

void TestImageFrame::showsWithoutSkew_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("bits");
    QTest::newRow("RGB 1001 wide, row of 3003 bytes") << 1001 << 24;
    QTest::newRow("RGB 4 wide, one-piece copy") << 4 << 24;
    QTest::newRow("grey 1003 wide") << 1003 << 8;
    QTest::newRow("grey 8 wide") << 8 << 8;
}

void TestImageFrame::showsWithoutSkew()
{
    QFETCH(int, width);
    QFETCH(int, bits);
    const int height = 37;
    ImageFrame frame;
    frame.resize(1100, 100);
    const std::vector<unsigned char> pixels = pattern(width, height, bits);
    frame.slotSetImageData(const_cast<unsigned char *>(pixels.data()), width, height, bits);
    frame.setZoom(1.0, frame.width() / 2, frame.height() / 2);
    const QImage shot = frame.grab().toImage();
    const QPoint at = -frame.offset(); // where the image's corner is drawn
    const int bytes = bits / 8;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const unsigned char *p = pixels.data() + (size_t(y) * width + x) * bytes;
            const QRgb expected = bytes == 3 ? qRgb(p[0], p[1], p[2]) : qRgb(p[0], p[0], p[0]);
            if (shot.pixel(at.x() + x, at.y() + y) != expected)
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2").arg(x).arg(y)));
        }
    }
}

void TestImageFrame::sixteenBitShown_data()
{
    QTest::addColumn<int>("bits");
    QTest::newRow("16-bit grey") << 16;
    QTest::newRow("48-bit RGB") << 48;
}

void TestImageFrame::sixteenBitShown()
{
    QFETCH(int, bits);
    const int width = 301, height = 20;
    ImageFrame frame;
    frame.resize(400, 100);
    // First an 8-bit picture, which must not stay on screen.
    const std::vector<unsigned char> old = pattern(width, height, 8);
    frame.slotSetImageData(const_cast<unsigned char *>(old.data()), width, height, 8);
    std::vector<unsigned char> bytes = pattern(width, height, bits);
    frame.slotSetImageData(bytes.data(), width, height, bits);
    frame.setZoom(1.0, 200, 50);
    QVERIFY(frame.hasPicture());
    QVERIFY(frame.message().isEmpty());

    // Shown through the image's own range: brighter values never show darker, per channel.
    const auto *values = reinterpret_cast<const uint16_t *>(bytes.data());
    const int channels = bits == 48 ? 3 : 1;
    const QImage shot = frame.grab().toImage();
    int darkest = 255, brightest = 0;
    std::vector<std::tuple<int, uint16_t, int>> shown; // channel, value, level
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint16_t *v = values + (size_t(y) * width + x) * channels;
            const QRgb p = shot.pixel(x - frame.offset().x(), y - frame.offset().y());
            const int levels[3] = {qRed(p), qGreen(p), qBlue(p)};
            for (int c = 0; c < channels; ++c)
                shown.emplace_back(c, v[c], levels[c]);
            if (channels == 1)
                QVERIFY(qRed(p) == qGreen(p) && qGreen(p) == qBlue(p));
            darkest = qMin(darkest, qRed(p));
            brightest = qMax(brightest, qRed(p));
        }
    }
    std::sort(shown.begin(), shown.end());
    for (size_t i = 1; i < shown.size(); ++i)
        QVERIFY(std::get<0>(shown[i]) != std::get<0>(shown[i - 1]) || std::get<2>(shown[i]) >= std::get<2>(shown[i - 1]));
    // The image's own range fills the grey scale.
    QCOMPARE(darkest, 0);
    QCOMPARE(brightest, 255);
}

void TestImageFrame::unshowableDataReplacesPicture()
{
    ImageFrame frame;
    frame.resize(100, 100);
    std::vector<unsigned char> old(50 * 50, 200);
    frame.slotSetImageData(old.data(), 50, 50, 8);
    QVERIFY(frame.hasPicture());
    std::vector<unsigned char> odd(50 * 50 * 4, 10);
    frame.slotSetImageData(odd.data(), 50, 50, 32);
    QVERIFY(!frame.hasPicture());
    QVERIFY(!frame.message().isEmpty());
    QVERIFY(frame.grab().toImage().pixel(10, 10) != qRgb(200, 200, 200));
}

void TestImageFrame::readOut_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<QPoint>("pixel"); // (-1, -1): none
    QTest::newRow("8-bit") << 8 << 1.0 << QPoint(12, 7) << QPoint(12, 7);
    QTest::newRow("24-bit") << 24 << 1.0 << QPoint(0, 0) << QPoint(0, 0);
    QTest::newRow("16-bit, raw value") << 16 << 1.0 << QPoint(49, 29) << QPoint(49, 29);
    QTest::newRow("48-bit, raw values") << 48 << 1.0 << QPoint(3, 4) << QPoint(3, 4);
    QTest::newRow("past the right edge") << 8 << 1.0 << QPoint(50, 5) << QPoint(-1, -1);
    QTest::newRow("past the bottom edge") << 16 << 1.0 << QPoint(5, 30) << QPoint(-1, -1);
    QTest::newRow("far outside, 48-bit") << 48 << 1.0 << QPoint(199, 149) << QPoint(-1, -1);
    QTest::newRow("zoomed 2.0") << 8 << 2.0 << QPoint(21, 13) << QPoint(10, 6);
    QTest::newRow("zoomed 2.0, past the edge") << 24 << 2.0 << QPoint(101, 10) << QPoint(-1, -1);
}

void TestImageFrame::readOut()
{
    QFETCH(int, bits);
    QFETCH(double, zoom);
    QFETCH(QPoint, pointer);
    QFETCH(QPoint, pixel);
    const int width = 50, height = 30;
    ImageFrame frame;
    frame.resize(200, 150);
    frame.setAttribute(Qt::WA_Hover);
    std::vector<unsigned char> bytes = pattern(width, height, bits);
    frame.slotSetImageData(bytes.data(), width, height, bits);
    frame.setZoom(zoom, 0, 0);
    QSignalSpy position(&frame, SIGNAL(signalCurrentPosition(int,int)));
    QSignalSpy grey(&frame, SIGNAL(signalIntensity(int)));
    QSignalSpy colour(&frame, SIGNAL(signalIntensity(int,int,int)));
    QSignalSpy outside(&frame, SIGNAL(signalOutsideImage()));
    QSignalSpy text(&frame, SIGNAL(signalReadOut(QString)));
    // The pointer is given from the image's corner, which sits centred in the frame.
    const QPoint at = pointer - QPoint(int(frame.offset().x() * zoom), int(frame.offset().y() * zoom));
    Gui::hover(&frame, at, at);
    if (pixel.x() < 0) {
        QCOMPARE(outside.count(), 1);
        QCOMPARE(position.count() + grey.count() + colour.count(), 0);
        return;
    }
    QCOMPARE(outside.count(), 0);
    QCOMPARE(position.count(), 1);
    QCOMPARE(position.at(0).at(0).toInt(), pixel.x());
    QCOMPARE(position.at(0).at(1).toInt(), pixel.y());
    QCOMPARE(text.count(), 1);
    QVERIFY2(text.at(0).at(0).toString().contains(QStringLiteral("shown ")), qPrintable(text.at(0).at(0).toString()));
    const size_t index = size_t(pixel.y()) * width + pixel.x();
    const auto *values = reinterpret_cast<const uint16_t *>(bytes.data());
    switch (bits) {
    case 8:
        QCOMPARE(grey.at(0).at(0).toInt(), int(bytes[index]));
        break;
    case 16:
        QCOMPARE(grey.at(0).at(0).toInt(), int(values[index]));
        QVERIFY(values[index] > 255);
        break;
    case 24:
        QCOMPARE(colour.at(0).at(2).toInt(), int(bytes[3 * index + 2]));
        break;
    case 48:
        QCOMPARE(colour.at(0).at(0).toInt(), int(values[3 * index]));
        QCOMPARE(colour.at(0).at(2).toInt(), int(values[3 * index + 2]));
        break;
    }
}

void TestImageFrame::messageDropsImage()
{
    ImageFrame frame;
    frame.resize(200, 150);
    frame.setAttribute(Qt::WA_Hover);
    std::vector<unsigned char> bytes = pattern(50, 30, 8);
    frame.slotSetImageData(bytes.data(), 50, 30, 8);
    frame.setZoom(2.0, 0, 0);
    frame.showMessage(QStringLiteral("scan.jpg cannot be shown."));
    QVERIFY(!frame.hasPicture());
    QCOMPARE(frame.zoom(), 1.0);
    QSignalSpy grey(&frame, SIGNAL(signalIntensity(int)));
    Gui::hover(&frame, QPoint(5, 5), QPoint(5, 5));
    QCOMPARE(grey.count(), 0); // no read-out of the image that was dropped
    // The same size again afterwards is a new image, shown from the start.
    frame.slotSetImageData(bytes.data(), 50, 30, 8);
    QVERIFY(frame.hasPicture());
    QVERIFY(frame.message().isEmpty());
}

void TestImageFrame::viewShowsThePixelUnderEachCentre_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<double>("zoom");
    QTest::newRow("grey, fitted to a quarter") << 8 << 0.0;
    QTest::newRow("16-bit, 0.37") << 16 << 0.37;
    QTest::newRow("RGB, enlarged 2.75 times") << 24 << 2.75;
}

// The frame draws only what is in view: each view pixel shows the image pixel under its
// centre, as the whole picture at 1:1 shows it, and the panel past the image's edges.
void TestImageFrame::viewShowsThePixelUnderEachCentre()
{
    QFETCH(int, bits);
    QFETCH(double, zoom);
    const int width = 803, height = 601;
    ImageFrame frame;
    frame.resize(240, 150);
    std::vector<unsigned char> pixels = pattern(width, height, bits);
    frame.slotSetImageData(pixels.data(), width, height, bits);
    if (zoom > 0)
        frame.setZoom(zoom, 500, 300);
    const QImage whole = frame.picture();
    QCOMPARE(whole.size(), QSize(width, height));
    frame.setStyleSheet(QStringLiteral("background-color: rgb(1, 2, 3);"));
    const QImage shot = frame.grab().toImage();
    const ViewTransform view = frame.viewTransform();
    int inside = 0;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            const QPointF at = view.toImage(QPointF(x + 0.5, y + 0.5));
            const int ix = int(std::floor(at.x())), iy = int(std::floor(at.y()));
            const bool in = ix >= 0 && iy >= 0 && ix < width && iy < height;
            const QRgb expected = in ? whole.pixel(ix, iy) : qRgb(1, 2, 3);
            if (shot.pixel(x, y) != expected && !(frame.overlayShown() && frame.overlay().outline.adjusted(0, 0, 1, 1).contains(x, y)))
                QFAIL(qPrintable(QStringLiteral("view pixel %1,%2 (image %3,%4)").arg(x).arg(y).arg(ix).arg(iy)));
            inside += in;
        }
    }
    QVERIFY(inside > 0);
}

QTEST_MAIN(TestImageFrame)
#include "tst_imageframe.moc"
