#include "app/mainwindow.h"
#include "app/mainwindowui.h"
#include "viewer/imageloaddialogui.h"
#include "viewer/browsertools.h"
#include "viewer/imageframe.h"
#include "viewer/imagemenu.h"
#include "viewer/measurebar.h"
#include "viewer/measuremodel.h"
#include "viewer/profileplot.h"
#include "viewer/profilewindow.h"
#include "viewer/recentimages.h"
#include "viewer/setscaledialog.h"
#include "viewer/tifffiles.h"
#include "common/gui.h"

#include <QClipboard>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QTimer>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QtTest>

// Any local TIFF reaches the browser: dropped, chosen from the menu, recent, or named on
// the command line; and what the browser shows can be exported as it is shown.
class TestOpenImage : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void dropOpensTheBrowser_data();
    void dropOpensTheBrowser();
    void menuAndRecentImages();
    void commandLineOpensTheBrowser();
    void toolsOnTheFrame();
    void draggingRepaintsWhereTheToolsWere();
    void exportedPngIsTheShownView();
    void setScaleFromTheDrawnLine();

private:
    QString write(const QString &name, TestTiff::Layout layout = TestTiff::grey(300, 200, 16));
    QTemporaryDir m_dir;
};

QString TestOpenImage::write(const QString &name, TestTiff::Layout layout)
{
    const QString path = m_dir.filePath(name);
    return TestTiff::write(path, layout) ? path : QString();
}

void TestOpenImage::init()
{
    RecentImages::clear();
}

void TestOpenImage::dropOpensTheBrowser_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("onBrowser");
    QTest::addColumn<bool>("taken");
    QTest::newRow("tif on the main window") << "a.tif" << false << true;
    QTest::newRow("tiff on the browser") << "b.tiff" << true << true;
    QTest::newRow("not a TIFF") << "c.png" << false << false;
}

void TestOpenImage::dropOpensTheBrowser()
{
    QFETCH(QString, name);
    QFETCH(bool, onBrowser);
    QFETCH(bool, taken);
    const QString path = write(name);
    QVERIFY(!path.isEmpty());
    MainWindow window;
    window.show();
    ImageLoadDialog &browser = window.imageDialog();
    QWidget *target = &window;
    if (onBrowser) {
        browser.openFile(write(QStringLiteral("first.tif")));
        target = &browser;
    }
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    const QPoint at(target->width() / 2, target->height() / 2);
    QDragEnterEvent enter(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QCOMPARE(enter.isAccepted(), taken);
    QDropEvent drop(at, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    QCOMPARE(drop.isAccepted(), taken);
    if (!taken) {
        QVERIFY(!browser.isVisible());
        return;
    }
    QTRY_VERIFY(browser.isVisible());
    QTRY_VERIFY(browser.frame()->hasPicture());
    QCOMPARE(browser.frame()->imageSize(), QSize(300, 200));
    QCOMPARE(browser.form()->label->toolTip(), name);
    QCOMPARE(RecentImages::list().first(), path);
}

void TestOpenImage::menuAndRecentImages()
{
    MainWindow window;
    QString next;
    window.imageMenu()->setChooser([&](bool) { return next; });
    QStringList paths;
    for (int i = 0; i < 12; ++i)
        paths << write(QStringLiteral("r%1.tif").arg(i), TestTiff::grey(8, 4));
    QAction *open = Gui::menuAction(window.form()->menuBar, QStringLiteral("Open Image\u2026"));
    QVERIFY(open);
    QCOMPARE(open->shortcut(), QKeySequence(QKeySequence::Open));
    for (const QString &path : paths) {
        next = path;
        open->trigger();
        QTRY_COMPARE(window.imageDialog().form()->label->toolTip(), QFileInfo(path).fileName());
    }
    const QStringList recent = RecentImages::list();
    QCOMPARE(recent.size(), RecentImages::kMaximum);
    QCOMPARE(recent.first(), paths.last());
    QCOMPARE(recent.last(), paths[2]);
    QMenu *menu = window.imageMenu()->recentMenu();
    emit menu->aboutToShow();
    QCOMPARE(menu->actions().first()->text(), paths.last());
    menu->actions().at(3)->trigger(); // r8.tif moves to the top
    QTRY_COMPARE(window.imageDialog().form()->label->toolTip(), QStringLiteral("r8.tif"));
    QCOMPARE(RecentImages::list().first(), paths[8]);
    // Cancelling the chooser opens nothing.
    next.clear();
    open->trigger();
    QCOMPARE(RecentImages::list().first(), paths[8]);
}

void TestOpenImage::commandLineOpensTheBrowser()
{
    const QString path = write(QStringLiteral("named, on the line.tif"));
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("tarvelo.viewer.open.info=true"));
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(qEnvironmentVariable("TARVELO_BUILD_DIR") + QStringLiteral("/app/tarvelo-utility"), {path});
    QVERIFY2(program.waitForStarted(10000), qPrintable(program.errorString()));
    QByteArray output;
    QTRY_VERIFY_WITH_TIMEOUT((output += program.readAll()).contains("image browser opened " + path.toUtf8()), 20000);
    program.kill();
    QVERIFY(program.waitForFinished(10000));
}

void TestOpenImage::toolsOnTheFrame()
{
    ImageLoadDialog browser;
    browser.resize(1000, 800);
    browser.show();
    QVERIFY(QTest::qWaitForWindowExposed(&browser));
    browser.openFile(write(QStringLiteral("tools.tif")));
    QTRY_VERIFY(browser.frame()->hasPicture());
    BrowserTools *tools = browser.tools();
    MeasureModel *model = tools->model();
    ImageFrame *frame = browser.frame();
    frame->zoomOneToOne();
    // A small image stands centred in the frame: pixel (x, y) is at (x, y) + at.
    const QPoint at = -frame->offset();
    const QSize frameSize = frame->size();
    // Shift-drag draws a line with any tool, and its profile window opens.
    QTest::mousePress(frame, Qt::LeftButton, Qt::ShiftModifier, at + QPoint(10, 20));
    QTest::mouseMove(frame, at + QPoint(60, 20));
    QTest::mouseRelease(frame, Qt::LeftButton, Qt::ShiftModifier, at + QPoint(110, 20));
    QVERIFY(model->hasLine());
    QCOMPARE(model->line(), QLineF(10, 20, 110, 20));
    // The read-out appearing must not shrink the frame, or the image would move under the pointer.
    QCoreApplication::processEvents();
    QCOMPARE(frame->size(), frameSize);
    QTRY_VERIFY(tools->profileWindow()->isVisible());
    QCOMPARE(int(model->profile().count()), 101);
    const QString csv = m_dir.filePath(QStringLiteral("profile.csv")), png = m_dir.filePath(QStringLiteral("profile.png"));
    QVERIFY(tools->profileWindow()->saveCsv(csv));
    QFile saved(csv);
    QVERIFY(saved.open(QIODevice::ReadOnly));
    QCOMPARE(QString::fromUtf8(saved.readAll()), model->profileCsv());
    QVERIFY(model->profileCsv().startsWith(QStringLiteral("Distance (px),Value\n0,")));
    QVERIFY(tools->profileWindow()->savePng(png));
    QCOMPARE(QImage(png).size(), tools->profileWindow()->plot()->size());
    // A rectangle from pixel (5, 6) to pixel (14, 15): 100 pixels, live while dragged.
    tools->bar()->toolButton(int(MeasureModel::Tool::Rectangle))->click();
    Gui::sendMouse(frame, QEvent::MouseButtonPress, at + QPoint(5, 6), Qt::LeftButton, Qt::LeftButton);
    Gui::sendMouse(frame, QEvent::MouseMove, at + QPoint(9, 10), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(model->regionStatistics().pixels, quint64(25));
    Gui::sendMouse(frame, QEvent::MouseButtonRelease, at + QPoint(14, 15), Qt::LeftButton, Qt::NoButton);
    QCOMPARE(model->regionStatistics().pixels, quint64(100));
    QVERIFY(tools->bar()->measureLabel()->text().contains(QStringLiteral("100 pixels")));
    const QPoint offset = frame->offset();
    // Keys: B the scale bar, S HiLo, which makes the picture colour.
    QTest::keyClick(&browser, Qt::Key_B);
    QVERIFY(model->scaleBar());
    QTest::keyClick(&browser, Qt::Key_S);
    QVERIFY(model->hiLo());
    QCOMPARE(frame->picture().format(), QImage::Format_RGB32);
    QTest::keyClick(&browser, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->image().size(), tools->viewImage(false).size());
    QCOMPARE(frame->offset(), offset); // the tools never panned the view
}

// A drag repaints only where the outlines were and are; what the window shows after it
// must still be what a full repaint draws, with no stale outline left behind.
void TestOpenImage::draggingRepaintsWhereTheToolsWere()
{
    ImageLoadDialog browser;
    browser.openFile(write(QStringLiteral("drag.tif"), TestTiff::grey(1500, 1100, 16)));
    QVERIFY(QTest::qWaitForWindowExposed(&browser));
    QTRY_VERIFY(browser.frame()->hasPicture());
    ImageFrame *frame = browser.frame();
    BrowserTools *tools = browser.tools();
    tools->model()->setScaleBar(true);
    tools->model()->setLineWidth(12);
    auto drag = [&](QPoint from, QPoint to, Qt::KeyboardModifiers modifiers) {
        auto send = [&](QEvent::Type type, QPoint pos, Qt::MouseButton button, Qt::MouseButtons buttons) {
            QMouseEvent event(type, pos, frame->mapToGlobal(pos), button, buttons, modifiers);
            QApplication::sendEvent(frame, &event);
            QCoreApplication::processEvents();
        };
        send(QEvent::MouseButtonPress, from, Qt::LeftButton, Qt::LeftButton);
        for (int i = 1; i <= 6; ++i)
            send(QEvent::MouseMove, from + (to - from) * i / 6, Qt::NoButton, Qt::LeftButton);
        send(QEvent::MouseButtonRelease, to, Qt::LeftButton, Qt::NoButton);
    };
    const QPoint c = frame->rect().center();
    tools->bar()->toolButton(int(MeasureModel::Tool::Rectangle))->click();
    drag(c - QPoint(150, 100), c + QPoint(60, 40), Qt::NoModifier);  // drawn
    drag(c, c - QPoint(70, 30), Qt::NoModifier);                      // moved by its inside
    tools->bar()->toolButton(int(MeasureModel::Tool::Ellipse))->click();
    drag(c + QPoint(20, 20), c + QPoint(-120, -90), Qt::NoModifier);
    drag(c - QPoint(200, 10), c + QPoint(150, 60), Qt::ShiftModifier); // a line, width 12
    drag(c + QPoint(100, -80), c - QPoint(100, -60), Qt::ShiftModifier);
    QVERIFY(tools->model()->hasLine() && tools->model()->hasRegion());
    const QPoint corner = frame->mapTo(&browser, QPoint(0, 0));
    const QImage onScreen = browser.screen()->grabWindow(browser.winId(), corner.x(), corner.y(), frame->width(),
                                                         frame->height()).toImage().convertToFormat(QImage::Format_RGB32);
    const QImage repainted = browser.grab(QRect(corner, frame->size())).toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(onScreen.size(), repainted.size());
    int differ = 0;
    for (int y = 0; y < repainted.height(); ++y)
        for (int x = 0; x < repainted.width(); ++x)
            differ += onScreen.pixel(x, y) != repainted.pixel(x, y);
    QCOMPARE(differ, 0);
}

void TestOpenImage::exportedPngIsTheShownView()
{
    TestTiff::Layout layout = TestTiff::grey(700, 500, 16);
    layout.xResolution = layout.yResolution = 20000; // 0.5 µm a pixel
    layout.resolutionUnit = RESUNIT_CENTIMETER;
    ImageLoadDialog browser;
    browser.resize(900, 700);
    browser.show();
    browser.openFile(write(QStringLiteral("export.tif"), layout));
    QTRY_VERIFY(browser.frame()->hasPicture());
    ImageFrame *frame = browser.frame();
    MeasureModel *model = browser.tools()->model();
    frame->setZoom(2.0, 350, 250);
    model->setLookupTable(LookupTable::Fire);
    model->setHiLo(true);
    model->setScaleBar(true);
    model->setLine(QLineF(300, 220, 340, 260));
    model->setRegion({RegionShape::Kind::Ellipse, QRectF(330, 230, 30, 20)});
    const QString path = m_dir.filePath(QStringLiteral("view.png"));
    QString error;
    QVERIFY2(browser.tools()->exportView(path, false, &error), qPrintable(error));
    const QImage saved(path);
    const QImage shown = frame->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QCOMPARE(saved.size(), frame->size());
    const QRect miniMap = frame->overlay().outline.adjusted(0, 0, 1, 1);
    int differ = 0;
    for (int y = 0; y < saved.height(); ++y)
        for (int x = 0; x < saved.width(); ++x)
            if (!miniMap.contains(x, y) && saved.pixel(x, y) != shown.pixel(x, y)) // the mini-map is left out
                ++differ;
    QCOMPARE(differ, 0);
    // 0.5 µm a pixel shown at 2x: 4,000,000 view pixels a metre.
    QCOMPARE(saved.dotsPerMeterX(), 4000000);
    QVERIFY2(browser.tools()->exportView(path, true, &error), qPrintable(error));
    const QImage whole(path);
    QCOMPARE(whole.size(), QSize(700, 500));
    QCOMPARE(whole.dotsPerMeterY(), 2000000);
    QVERIFY(!browser.tools()->exportView(m_dir.filePath(QStringLiteral("no/such/folder/x.png")), false, &error));
    QVERIFY(!error.isEmpty());
}

void TestOpenImage::setScaleFromTheDrawnLine()
{
    ImageLoadDialog browser;
    browser.openFile(write(QStringLiteral("scale.tif"), TestTiff::grey(64, 48)));
    QTRY_VERIFY(browser.frame()->hasPicture());
    MeasureModel *model = browser.tools()->model();
    model->setLine(QLineF(2, 10, 42, 40)); // 50 pixels long
    QString seen;
    // The dialog is modal: it is answered once it shows, by what the user would type.
    auto answer = [&](const QString &unit, bool remove) {
        QTimer::singleShot(0, [&seen, unit, remove] {
            auto *dialog = qobject_cast<SetScaleDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            seen = QString::number(dialog->pixelsBox()->value());
            dialog->lengthBox()->setValue(20);
            dialog->unitEdit()->setText(unit);
            if (remove)
                dialog->findChild<QPushButton *>(QStringLiteral("remove"))->click();
            else
                dialog->accept();
        });
        browser.tools()->setScale();
    };
    answer(QStringLiteral("um"), false);
    QCOMPARE(seen, QStringLiteral("50"));
    QCOMPARE(model->calibration().source, Calibration::Source::User);
    QCOMPARE(model->calibration().pixelWidth, 0.4);
    QVERIFY(browser.tools()->bar()->findChild<QLabel *>(QStringLiteral("calibration"))->text().startsWith(
        QStringLiteral("0.4 \u00b5m per pixel (Set Scale)")));
    // Another image of the folder gets the same scale.
    browser.openFile(write(QStringLiteral("scale2.tif"), TestTiff::grey(64, 48)));
    QTRY_COMPARE(browser.form()->label->toolTip(), QStringLiteral("scale2.tif"));
    QCOMPARE(model->calibration().pixelWidth, 0.4);
    answer(QString(), true);
    QVERIFY(!model->calibration().valid());
    QCOMPARE(browser.tools()->bar()->findChild<QLabel *>(QStringLiteral("calibration"))->text(), QStringLiteral("uncalibrated"));
}

QTEST_MAIN(TestOpenImage)
#include "tst_openimage.moc"
