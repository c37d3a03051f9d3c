// Sets the image browser up for the screenshots in docs/ and stays open until closed:
//   shots_viewer profile|region|scalebar|fire
// on a calibrated 4096 x 4096 16-bit image of bright round cells (0.325 µm a pixel).
#include "viewer/browsertools.h"
#include "viewer/contrastmodel.h"
#include "viewer/imageframe.h"
#include "viewer/imageloaddialog.h"
#include "viewer/imageloaddialogui.h"
#include "viewer/measurebar.h"
#include "viewer/measuremodel.h"
#include "viewer/profilewindow.h"
#include "viewer/tifffiles.h"

#include <QApplication>
#include <QEventLoop>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <cmath>
#include <vector>

namespace {

constexpr uint32_t kSize = 4096;

std::vector<uint16_t> cells()
{
    std::vector<uint16_t> v(size_t(kSize) * kSize);
    uint32_t noise = 88172645u;
    struct Cell { double x, y, r, peak; };
    std::vector<Cell> list;
    for (int i = 0; i < 160; ++i) {
        noise ^= noise << 13; noise ^= noise >> 17; noise ^= noise << 5;
        list.push_back({double(noise % kSize), double((noise / kSize) % kSize), 40.0 + noise % 90, 6000.0 + noise % 30000});
    }
    for (uint32_t y = 0; y < kSize; ++y)
        for (uint32_t x = 0; x < kSize; ++x) {
            noise ^= noise << 13; noise ^= noise >> 17; noise ^= noise << 5;
            v[size_t(y) * kSize + x] = uint16_t(1500 + (x + y) / 8 + (noise & 511));
        }
    for (const Cell &c : list)
        for (int y = int(c.y - 3 * c.r); y < int(c.y + 3 * c.r); ++y)
            for (int x = int(c.x - 3 * c.r); x < int(c.x + 3 * c.r); ++x) {
                if (x < 0 || y < 0 || x >= int(kSize) || y >= int(kSize))
                    continue;
                const double d2 = ((x - c.x) * (x - c.x) + (y - c.y) * (y - c.y)) / (c.r * c.r);
                uint16_t &p = v[size_t(y) * kSize + size_t(x)];
                p = uint16_t(std::min(65535.0, p + c.peak * std::exp(-d2)));
            }
    return v;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString scene = argc > 1 ? QString::fromLatin1(argv[1]) : QStringLiteral("scalebar");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cells_0042.tif"));
    TestTiff::Layout l = TestTiff::grey(kSize, kSize, 16);
    l.xResolution = l.yResolution = float(10000 / 0.325); // pixels per cm
    l.resolutionUnit = RESUNIT_CENTIMETER;
    const std::vector<uint16_t> values = cells();
    if (!TestTiff::write(path, l, values.data()))
        qFatal("cannot write");
    ImageLoadDialog browser;
    browser.move(0, 0);
    browser.openFile(path);
    if (browser.loader()->busy()) {
        QEventLoop loop;
        QObject::connect(browser.loader(), &ImageLoader::loaded, &loop, &QEventLoop::quit);
        QTimer::singleShot(120000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    BrowserTools *tools = browser.tools();
    MeasureModel *model = tools->model();
    ImageFrame *frame = browser.frame();
    if (scene == QLatin1String("profile")) {
        browser.resize(1250, 1000);
        frame->setZoom(0.5, 2048, 2048);
        model->setTool(MeasureModel::Tool::Line);
        model->setLineWidth(5);
        const QPointF c = frame->viewTransform().toImage(QPointF(frame->width() / 2.0, frame->height() / 2.0));
        model->setLine(QLineF(c - QPointF(700, 250), c + QPointF(700, 250)));
        tools->profileWindow()->move(1255, 120);
        tools->profileWindow()->resize(660, 400);
    } else if (scene == QLatin1String("region")) {
        frame->setZoom(1.0, 2048, 2048);
        model->setTool(MeasureModel::Tool::Ellipse);
        const QPointF c = frame->viewTransform().toImage(QPointF(frame->width() / 2.0, frame->height() / 2.0));
        model->setRegion({RegionShape::Kind::Ellipse, QRectF(c.x() - 160, c.y() + 60, 300, 220)});
        model->setScaleBar(true);
    } else if (scene == QLatin1String("fire")) {
        model->setLookupTable(LookupTable::Fire);
        model->setHiLo(true);
        browser.contrast()->setValues(3000, 30000);
        browser.form()->pushButtonContrast->setChecked(true);
        model->setScaleBar(true);
    } else {
        model->setScaleBar(true);
    }
    browser.show();
    return app.exec();
}
