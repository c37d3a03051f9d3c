#include "viewer/contrastmodel.h"
#include "viewer/contrastpanel.h"
#include "viewer/imageattributedialog.h"
#include "viewer/imageframe.h"
#include "viewer/imageloaddialog.h"
#include "viewer/imageloaddialogui.h"
#include "viewer/tifffiles.h"
#include "common/gui.h"

#include <QCheckBox>
#include <QStyle>
#include <QStyleOptionButton>

#include <cmath>
#include <QLineEdit>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using TestTiff::Layout;

namespace {

// An 8-bit grey image whose width tells which file is shown.
bool writeImage(const QString &path, uint32_t width, const QByteArray &description = QByteArray(),
                int bits = 8, uint32_t height = 40)
{
    return TestTiff::write(path, TestTiff::grey(width, height, bits, description));
}

// A wheel turn over the frame. Qt passes an unaccepted wheel on to the parent only for
// events from the window system, so that step is taken here the same way.
void wheelOver(QWidget *frame, int delta)
{
    const QPoint at(100, 80);
    if (!Gui::wheel(frame, at, QPoint(0, delta)))
        Gui::wheel(frame->parentWidget(), frame->mapToParent(at), QPoint(0, delta));
}

} // namespace

class TestImageLoadDialog : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void paging_data();
    void paging();
    void arrowsForSingleFile_data();
    void arrowsForSingleFile();
    void refusedFileShownAsRefused_data();
    void refusedFileShownAsRefused();
    void pagingWithEmptyList();
    void zoomLabel();
    void attributeSheet();
    void keys_data();
    void keys();
    void fitsTheScreen();
    void stackPages();
    void contrastStaysWhilePaging();
    void presetsLeaveAutoOn();
    void largeImageLoadsWhileThePagePaints();
    void pixelReadOut_data();
    void pixelReadOut();
    void readOutLeavesTheImageStill();

private:
    QString file(const QString &name) const { return m_dir->filePath(name); }
    // Opens a file of the test's folder, as the main window does.
    void open(ImageLoadDialog &dialog, const QString &name) const
    {
        dialog.openImage(m_dir->path(), file(name), name);
    }
    QScopedPointer<QTemporaryDir> m_dir;
};

void TestImageLoadDialog::init()
{
    m_dir.reset(new QTemporaryDir);
    QVERIFY(m_dir->isValid());
}

void TestImageLoadDialog::paging_data()
{
    QTest::addColumn<QString>("steps"); // n: next, p: previous
    QTest::addColumn<QStringList>("names");
    QTest::newRow("next shows c.tif") << "n" << QStringList{"c.tif"};
    QTest::newRow("next again wraps to a.tif") << "nn" << QStringList{"c.tif", "a.tif"};
    QTest::newRow("previous from a.tif shows c.tif") << "nnp" << QStringList{"c.tif", "a.tif", "c.tif"};
    QTest::newRow("previous from B.tif") << "pp" << QStringList{"a.tif", "c.tif"};
    QTest::newRow("round trip") << "nnnp" << QStringList{"c.tif", "a.tif", "B.tif", "a.tif"};
}

void TestImageLoadDialog::paging()
{
    QFETCH(QString, steps);
    QFETCH(QStringList, names);
    const QMap<QString, int> widths{{"a.tif", 101}, {"B.tif", 102}, {"c.tif", 103}};
    for (auto it = widths.begin(); it != widths.end(); ++it)
        QVERIFY(writeImage(file(it.key()), uint32_t(it.value()), "Name: " + it.key().toLatin1()));
    QVERIFY(QDir(m_dir->path()).mkdir(QStringLiteral("folder.tif"))); // folders are not listed

    ImageLoadDialog dialog;
    open(dialog, "B.tif");
    dialog.setFileName("B.tif");
    QCOMPARE(dialog.files().size(), 3);
    QCOMPARE(dialog.index(), 1); // a.tif, B.tif, c.tif: by name, ignoring case
    QCOMPARE(dialog.frame()->imageSize().width(), 102);
    for (int i = 0; i < steps.size(); ++i) {
        QPushButton *button = steps[i] == 'n' ? dialog.form()->pushButton_2 : dialog.form()->pushButton;
        QVERIFY(button->isEnabled());
        button->click();
        QCOMPARE(dialog.form()->label->text(), names[i]);
        QCOMPARE(dialog.frame()->imageSize().width(), widths.value(names[i]));
        QCOMPARE(dialog.attributeDialog()->text(), "Name: " + names[i]);
        QCOMPARE(dialog.form()->label_2->text(), QStringLiteral("100%"));
    }
}

void TestImageLoadDialog::arrowsForSingleFile_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("enabled");
    QTest::newRow("single file") << QStringList{"only.tif"} << false;
    QTest::newRow("single tif among other files") << QStringList{"only.tif", "notes.txt", "x.jpg"} << false;
    QTest::newRow("two files") << QStringList{"only.tif", "other.tif"} << true;
}

void TestImageLoadDialog::arrowsForSingleFile()
{
    QFETCH(QStringList, files);
    QFETCH(bool, enabled);
    for (const QString &name : files)
        QVERIFY(writeImage(file(name), 64));
    ImageLoadDialog dialog;
    open(dialog, "only.tif");
    QCOMPARE(dialog.form()->pushButton->isEnabled(), enabled);
    QCOMPARE(dialog.form()->pushButton_2->isEnabled(), enabled);
}

void TestImageLoadDialog::refusedFileShownAsRefused_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("listed");
    QTest::newRow("scan.TIF: listed, not shown") << "scan.TIF" << true;
    QTest::newRow("text file named notes.tif") << "notes.tif" << true;
    QTest::newRow("a JPEG") << "photo.jpg" << false;
    QTest::newRow("16-bit float TIFF") << "float16.tif" << true;
}

void TestImageLoadDialog::refusedFileShownAsRefused()
{
    QFETCH(QString, name);
    QFETCH(bool, listed);
    QVERIFY(writeImage(file("a.tif"), 64));
    if (name == QLatin1String("notes.tif")) {
        QVERIFY(TestTiff::writeText(file(name), "not an image\n"));
    } else if (name == QLatin1String("float16.tif")) {
        Layout l = TestTiff::grey(32, 32, 16);
        l.sampleFormat = SAMPLEFORMAT_IEEEFP;
        QVERIFY(TestTiff::write(file(name), l));
    } else {
        QVERIFY(writeImage(file(name), 80));
    }
    ImageLoadDialog dialog;
    open(dialog, "a.tif");
    dialog.setFileName("a.tif");
    QVERIFY(dialog.frame()->hasPicture());

    // Opened directly, as the main window does.
    open(dialog, name);
    dialog.setFileName(name);
    QCOMPARE(dialog.files().size(), listed ? 2 : 1);
    QCOMPARE(dialog.index(), listed ? dialog.files().size() - 1 - (name < "a.tif" ? 1 : 0) : -1);
    QVERIFY2(!dialog.frame()->hasPicture(), "the previous picture must not stay under the new name");
    QVERIFY(dialog.frame()->message().contains(name));
    QCOMPARE(dialog.attributeDialog()->filePath(), file(name));

    // Reached by paging: the name follows, the frame says it cannot be shown.
    if (listed) {
        open(dialog, "a.tif");
        QVERIFY(dialog.frame()->hasPicture());
        const int target = dialog.files().indexOf(QFileInfo(file(name)));
        while (dialog.index() != target)
            dialog.form()->pushButton_2->click();
        QCOMPARE(dialog.form()->label->text(), name);
        QVERIFY(!dialog.frame()->hasPicture());
        QVERIFY(dialog.frame()->message().contains(name));
        QVERIFY(dialog.form()->label_2->text().isEmpty());
    }
}

void TestImageLoadDialog::pagingWithEmptyList()
{
    QVERIFY(writeImage(file("photo.jpg"), 64));
    ImageLoadDialog dialog;
    open(dialog, "photo.jpg");
    dialog.setFileName("photo.jpg");
    QVERIFY(dialog.files().isEmpty());
    dialog.form()->pushButton_2->click();
    dialog.form()->pushButton->click();
    QCOMPARE(dialog.index(), -1);
    QCOMPARE(dialog.form()->label->text(), QStringLiteral("photo.jpg"));
}

void TestImageLoadDialog::zoomLabel()
{
    QVERIFY(writeImage(file("a.tif"), 3000));
    ImageLoadDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    open(dialog, "a.tif");
    // Wider than the frame: opened whole, from its first pixel.
    const double fit = dialog.frame()->zoom();
    QVERIFY(fit < 1.0);
    QCOMPARE(dialog.frame()->offset().x(), 0); // and centred from top to bottom
    QVERIFY(dialog.frame()->offset().y() < 0);
    QCOMPARE(dialog.form()->label_2->text(), QString::number(qRound(fit * 1000) / 10.0) + "%");
    QTest::keyClick(&dialog, Qt::Key_1);
    QCOMPARE(dialog.form()->label_2->text(), QStringLiteral("100%"));
    wheelOver(dialog.frame(), 120);
    QCOMPARE(dialog.form()->label_2->text(), QStringLiteral("125%"));
    wheelOver(dialog.frame(), 120);
    QCOMPARE(dialog.form()->label_2->text(), QStringLiteral("150%"));
    for (int i = 0; i < 5; ++i)
        wheelOver(dialog.frame(), 120);
    QCOMPARE(dialog.form()->label_2->text(), QStringLiteral("275%"));
    // A new image starts fitted again.
    open(dialog, "a.tif");
    QCOMPARE(dialog.frame()->zoom(), fit);
}

void TestImageLoadDialog::attributeSheet()
{
    QVERIFY(writeImage(file("a.tif"), 64, "Software Version: 1.2.0, Min. F: 10, Max. F: 20"));
    QVERIFY(writeImage(file("b.tif"), 64));
    ImageLoadDialog dialog;
    open(dialog, "a.tif");
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    ImageAttributeDialog *sheet = dialog.attributeDialog();
    QVERIFY(!sheet->isVisible());
    QCOMPARE(sheet->text(), QStringLiteral("Software version: 1.2.0\nMinimum f: 10\nMaximum f: 20"));

    dialog.form()->pushButton_3->click();
    QVERIFY(sheet->isVisible());
    // Beside the image, wholly inside the browser whatever the screen made of its size.
    QVERIFY(sheet->geometry().left() > dialog.frame()->geometry().right());
    QVERIFY(dialog.rect().contains(sheet->geometry()));
    dialog.form()->pushButton_3->click();
    QVERIFY(!sheet->isVisible());

    // A page turn with the sheet open: it stays open and says the new file has no text.
    dialog.form()->pushButton_3->click();
    dialog.form()->pushButton_2->click();
    QVERIFY(sheet->isVisible());
    QCOMPARE(sheet->text(), QStringLiteral("This image has no description."));

    // With the contrast panel open as well, the two stand side by side.
    QTest::keyClick(&dialog, Qt::Key_C);
    ContrastPanel *panel = dialog.contrastPanel();
    QVERIFY(panel->isVisible());
    QVERIFY(sheet->isVisible());
    QVERIFY2(!sheet->geometry().intersects(panel->geometry()),
             qPrintable(QStringLiteral("sheet %1, panel %2").arg(sheet->geometry().left()).arg(panel->geometry().left())));
    QVERIFY(!sheet->geometry().intersects(dialog.frame()->geometry()));
    QTest::keyClick(&dialog, Qt::Key_C);

    // Closing the browser hides the sheet; it stays hidden for the next image.
    dialog.form()->pushButton_4->click();
    QVERIFY(!dialog.isVisible());
    QVERIFY(!sheet->isVisible());
    open(dialog, "a.tif");
    dialog.show();
    QVERIFY(!sheet->isVisible());
}

void TestImageLoadDialog::keys_data()
{
    // Keys typed in order; then the file shown, the zoom (0: the fit) and the view offset.
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<double>("zoom");
    QTest::addColumn<int>("lastKeyPans"); // -1: not checked
    QTest::newRow("Page Down") << "D" << "b.tif" << 0.0 << -1;
    QTest::newRow("Page Up wraps to the last") << "U" << "c.tif" << 0.0 << -1;
    QTest::newRow("End, then Home") << "EH" << "a.tif" << 0.0 << -1;
    QTest::newRow("End") << "E" << "c.tif" << 0.0 << -1;
    QTest::newRow("Right pages while the whole width is in view") << ">" << "b.tif" << 0.0 << -1;
    QTest::newRow("Left pages back") << "<" << "c.tif" << 0.0 << -1;
    QTest::newRow("1 shows 1:1") << "1" << "a.tif" << 1.0 << -1;
    QTest::newRow("+ from 1:1") << "1++" << "a.tif" << 1.5 << -1;
    QTest::newRow("+ then - then 0 fits") << "1+-0" << "a.tif" << 0.0 << -1;
    QTest::newRow("- at the fit stays") << "--" << "a.tif" << 0.0 << 0;
    QTest::newRow("Right pans at 1:1") << "1>>" << "a.tif" << 1.0 << 1;
    QTest::newRow("Up pans at 2x") << "1++++^" << "a.tif" << 2.0 << 1;
    QTest::newRow("Right at the right edge stays on the file")
        << "1>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>>" << "a.tif" << 1.0 << 0;
}

void TestImageLoadDialog::keys()
{
    QFETCH(QString, keys);
    QFETCH(QString, shown);
    QFETCH(double, zoom);
    QFETCH(int, lastKeyPans);
    QVERIFY(writeImage(file("a.tif"), 2400, QByteArray(), 8, 1600));
    QVERIFY(writeImage(file("b.tif"), 64));
    QVERIFY(writeImage(file("c.tif"), 65));
    ImageLoadDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.activateWindow();
    open(dialog, "a.tif");
    dialog.setFileName("a.tif");
    const double fit = dialog.frame()->zoom();
    const QHash<QChar, Qt::Key> map{{'D', Qt::Key_PageDown}, {'U', Qt::Key_PageUp}, {'H', Qt::Key_Home},
                                    {'E', Qt::Key_End}, {'>', Qt::Key_Right}, {'<', Qt::Key_Left},
                                    {'v', Qt::Key_Down}, {'^', Qt::Key_Up}, {'1', Qt::Key_1},
                                    {'0', Qt::Key_0}, {'+', Qt::Key_Plus}, {'-', Qt::Key_Minus}};
    QPoint before;
    for (QChar k : keys) {
        before = dialog.frame()->offset();
        QTest::keyClick(&dialog, map.value(k));
    }
    QCOMPARE(dialog.form()->label->text(), shown);
    QCOMPARE(dialog.frame()->zoom(), zoom == 0.0 ? (shown == "a.tif" ? fit : 1.0) : zoom);
    if (lastKeyPans >= 0)
        QCOMPARE(dialog.frame()->offset() != before, bool(lastKeyPans));
    QVERIFY(dialog.isVisible());

    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.isVisible());
}

void TestImageLoadDialog::pixelReadOut_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<QString>("text");
    QTest::newRow("8-bit, shown as stored") << 8 << QPoint(3, 2) << QStringLiteral("X 3  Y 2  Value %1  (shown %1)")
                                                       .arg(TestTiff::sample8(3, 2, 0));
    QTest::newRow("16-bit, stored value and shown level") << 16 << QPoint(5, 7)
                                       << QStringLiteral("X 5  Y 7  Value %1  (shown ").arg(TestTiff::sample16(5, 7, 0));
    QTest::newRow("past the edge clears") << 16 << QPoint(500, 7) << QString();
}

void TestImageLoadDialog::pixelReadOut()
{
    QFETCH(int, bits);
    QFETCH(QPoint, pointer);
    QFETCH(QString, text);
    QVERIFY(writeImage(file("a.tif"), 64, QByteArray(), bits));
    ImageLoadDialog dialog;
    open(dialog, "a.tif");
    QVERIFY(dialog.frame()->testAttribute(Qt::WA_Hover));
    Gui::hover(dialog.frame(), QPoint(1, 1), QPoint(0, 0));
    const QPoint at = pointer - dialog.frame()->offset(); // the small image sits centred
    Gui::hover(dialog.frame(), at, QPoint(1, 1));
    if (text.endsWith(QLatin1Char('(')) || text.endsWith(QLatin1Char(' ')))
        QVERIFY2(dialog.form()->label_3->text().startsWith(text), qPrintable(dialog.form()->label_3->text()));
    else
        QCOMPARE(dialog.form()->label_3->text(), text);
}

// The read-out and the notice come and go with the pointer and with every load; the
// fitted image above them must not move, or be fitted and drawn again, each time.
void TestImageLoadDialog::readOutLeavesTheImageStill()
{
    QVERIFY(writeImage(file("wide.tif"), 3000, QByteArray(), 16, 2000));
    ImageLoadDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    open(dialog, "wide.tif");
    QTRY_VERIFY(dialog.frame()->hasPicture());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    const QSize frame = dialog.frame()->size();
    const double zoom = dialog.frame()->zoom();
    QVERIFY(zoom < 1);
    const QPoint middle(frame.width() / 2, frame.height() / 2);
    Gui::hover(dialog.frame(), middle, middle - QPoint(1, 0));
    QVERIFY(!dialog.form()->label_3->text().isEmpty());
    dialog.form()->labelNotice->setText(QStringLiteral("Rows 1-2 could not be read; they show black."));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QCOMPARE(dialog.frame()->size(), frame);
    QCOMPARE(dialog.frame()->zoom(), zoom);
}

void TestImageLoadDialog::fitsTheScreen()
{
    QVERIFY(writeImage(file("a.tif"), 64));
    ImageLoadDialog dialog;
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    open(dialog, "a.tif");
    dialog.setFileName("a.tif");
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QVERIFY(available.contains(dialog.frameGeometry()));
    // A small image opens a small browser, the image in the middle of its frame.
    QVERIFY2(dialog.width() <= 700 && dialog.height() <= 500,
             qPrintable(QStringLiteral("%1 x %2").arg(dialog.width()).arg(dialog.height())));
    QCOMPARE(dialog.frame()->zoom(), 1.0);
    const QSize frame = dialog.frame()->size();
    const QPoint offset = dialog.frame()->offset();
    QCOMPARE(offset, QPoint((64 - frame.width()) / 2, (40 - frame.height()) / 2));
    const QImage shot = dialog.frame()->grab().toImage();
    const QPoint middle(frame.width() / 2, frame.height() / 2);
    QCOMPARE(shot.pixel(middle), dialog.frame()->picture().pixel(middle + offset));
    // A large one opens it as large as the screen allows, and no larger.
    QVERIFY(writeImage(file("wide.tif"), 4000, QByteArray(), 8, 3000));
    ImageLoadDialog large;
    large.openImage(m_dir->path(), file("wide.tif"), "wide.tif");
    large.show();
    QVERIFY(QTest::qWaitForWindowExposed(&large));
    QVERIFY(available.contains(large.frameGeometry()));
    QVERIFY(large.width() >= available.width() * 0.85 || large.height() >= available.height() * 0.85);
    // A long name is elided, in full as tool tip, and never widens the window.
    const QSize size = dialog.size();
    const QString name = QString(300, QLatin1Char('n')) + QStringLiteral(".tif");
    dialog.setFileName(name);
    QCoreApplication::processEvents();
    QCOMPARE(dialog.size(), size);
    QVERIFY(dialog.form()->label->text().contains(QChar(0x2026)));
    QCOMPARE(dialog.form()->label->toolTip(), name);
    // It can be made smaller (the frame keeps showing the whole image) and larger again.
    dialog.resize(700, 500);
    QCoreApplication::processEvents();
    QCOMPARE(dialog.size(), QSize(700, 500));
}

void TestImageLoadDialog::stackPages()
{
    Layout l = TestTiff::grey(30, 20);
    l.pages = 3;
    QVERIFY(TestTiff::write(file("stack.tif"), l));
    QVERIFY(writeImage(file("z.tif"), 64));
    ImageLoadDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    open(dialog, "stack.tif");
    QCOMPARE(dialog.form()->labelPage->text(), QStringLiteral("page 1 of 3"));
    QVERIFY(dialog.form()->labelPage->isVisible());
    auto shown = [&] { return dialog.frame()->readOutText(2, 1); };
    const QString first = shown();
    QTest::keyClick(&dialog, Qt::Key_Period);
    QCOMPARE(dialog.form()->labelPage->text(), QStringLiteral("page 2 of 3"));
    QVERIFY(shown().contains(QStringLiteral("Value %1").arg(TestTiff::rawSample(l, 2, 1, 0, 1))));
    dialog.form()->pushButtonPageNext->click();
    QCOMPARE(dialog.page(), 2);
    QVERIFY(!dialog.form()->pushButtonPageNext->isEnabled());
    QTest::keyClick(&dialog, Qt::Key_Period); // past the last page: stays
    QCOMPARE(dialog.page(), 2);
    QTest::keyClick(&dialog, Qt::Key_Comma);
    QTest::keyClick(&dialog, Qt::Key_Comma);
    QCOMPARE(dialog.page(), 0);
    QCOMPARE(shown(), first);
    // Paging through the folder is separate: the next file starts at its first page.
    QCOMPARE(dialog.index(), 0);
    QTest::keyClick(&dialog, Qt::Key_PageDown);
    QCOMPARE(dialog.form()->label->text(), QStringLiteral("z.tif"));
    QVERIFY(!dialog.form()->labelPage->isVisible());
}

namespace {
double luminance(QRgb c)
{
    auto lin = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(qRed(c)) + 0.7152 * lin(qGreen(c)) + 0.0722 * lin(qBlue(c));
}

// Darkest against lightest pixel inside a check box's indicator.
double indicatorContrast(QCheckBox *box)
{
    QStyleOptionButton option;
    option.initFrom(box);
    const QRect r = box->style()->subElementRect(QStyle::SE_CheckBoxIndicator, &option, box)
                        .adjusted(2, 2, -2, -2);
    const QImage shot = box->grab().toImage();
    double low = 1, high = 0;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x) {
            const double l = luminance(shot.pixel(x, y));
            low = std::min(low, l);
            high = std::max(high, l);
        }
    return (high + 0.05) / (low + 0.05);
}
} // namespace

// A bit preset clicked with "Auto for each new image" ticked is for this image: the box
// stays ticked and the next image gets its own range. A typed range unticks it, in words too.
void TestImageLoadDialog::presetsLeaveAutoOn()
{
    QVERIFY(writeImage(file("a.tif"), 64, QByteArray(), 16));
    QVERIFY(writeImage(file("b.tif"), 65, QByteArray(), 16));
    ImageLoadDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    open(dialog, "a.tif");
    QTest::keyClick(&dialog, Qt::Key_C);
    ContrastPanel *panel = dialog.contrastPanel();
    QCheckBox *box = panel->autoPerImageBox();
    QVERIFY(box->isChecked());
    // Ticked shows a tick that stands out from its box; unticked shows none.
    QVERIFY2(indicatorContrast(box) >= 3.0, qPrintable(QString::number(indicatorContrast(box))));

    for (QPushButton *preset : {panel->bitsButton(12), panel->resetButton()}) {
        QTest::mouseClick(preset, Qt::LeftButton);
        QVERIFY(box->isChecked());
        QVERIFY(panel->autoNote()->text().contains("this image"));
    }
    QCOMPARE(dialog.contrast()->highValue(), dialog.contrast()->dataMaxValue());
    dialog.setFocus();
    QTest::keyClick(&dialog, Qt::Key_PageDown);
    QVERIFY(dialog.contrast()->highValue() < dialog.contrast()->dataMaxValue()); // its own auto range

    QLineEdit *maximum = panel->maximumEdit();
    QTest::mouseClick(maximum, Qt::LeftButton);
    maximum->selectAll();
    QTest::keyClicks(maximum, "9000");
    QTest::keyClick(maximum, Qt::Key_Return);
    QVERIFY(!box->isChecked());
    QVERIFY(panel->autoNote()->isVisible());
    QVERIFY(panel->autoNote()->text().startsWith("Off"));
    QVERIFY(indicatorContrast(box) < 1.5);
}

void TestImageLoadDialog::contrastStaysWhilePaging()
{
    QVERIFY(writeImage(file("a.tif"), 64, QByteArray(), 16));
    QVERIFY(writeImage(file("b.tif"), 65, QByteArray(), 16));
    ImageLoadDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    open(dialog, "a.tif");
    QTest::keyClick(&dialog, Qt::Key_C);
    ContrastPanel *panel = dialog.contrastPanel();
    QVERIFY(panel->isVisible());
    QVERIFY(panel->autoPerImageBox()->isChecked());

    // Typed: the shown levels follow at once.
    QLineEdit *minimum = panel->minimumEdit();
    QLineEdit *maximum = panel->maximumEdit();
    minimum->setFocus();
    minimum->selectAll();
    QTest::keyClicks(minimum, "1000");
    QTest::keyClick(minimum, Qt::Key_Tab);
    maximum->selectAll();
    QTest::keyClicks(maximum, "9000");
    QTest::keyClick(maximum, Qt::Key_Return);
    QCOMPARE(dialog.contrast()->lowValue(), 1000.0);
    QCOMPARE(dialog.contrast()->highValue(), 9000.0);
    QVERIFY(!panel->autoPerImageBox()->isChecked());
    const uint16_t v = TestTiff::sample16(5, 7, 0);
    const int level = qRound(qBound(0.0, (v - 1000.0) * 255.0 / 8000.0, 255.0));
    QCOMPARE(qRed(dialog.frame()->picture().pixel(5, 7)), level);

    // The next file keeps the range; with "auto for each new image" it gets its own.
    dialog.setFocus();
    QTest::keyClick(&dialog, Qt::Key_PageDown);
    QCOMPARE(dialog.contrast()->highValue(), 9000.0);
    panel->bitsButton(12)->click();
    QCOMPARE(dialog.contrast()->highValue(), 4095.0);
    panel->resetButton()->click();
    QCOMPARE(dialog.contrast()->highValue(), dialog.contrast()->dataMaxValue());
    panel->autoPerImageBox()->click();
    QTest::keyClick(&dialog, Qt::Key_PageDown);
    QVERIFY(dialog.contrast()->highValue() < dialog.contrast()->dataMaxValue());
    QVERIFY(dialog.contrast()->lowValue() > dialog.contrast()->dataMinValue());
}

void TestImageLoadDialog::largeImageLoadsWhileThePagePaints()
{
    // 16384 x 16384 16-bit: 512 MiB of values, read on a thread of its own.
    Layout l = TestTiff::grey(16384, 16384, 16);
    l.rowsPerStrip = 64;
    QVERIFY(TestTiff::write(file("big.tif"), l));
    ImageLoadDialog dialog;
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QSignalSpy progress(dialog.loader(), SIGNAL(progress(int)));
    QSignalSpy loaded(dialog.loader(), SIGNAL(loaded(ImageLoader::Loaded)));
    int ticks = 0;
    QTimer timer;
    timer.setInterval(10);
    connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start();

    // Esc cancels a load under way; nothing is delivered and the browser stays open.
    open(dialog, "big.tif");
    QVERIFY(dialog.loader()->busy());
    QVERIFY(dialog.frame()->message().contains(QStringLiteral("Loading big.tif")));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    QVERIFY(!dialog.loader()->busy());
    QVERIFY(dialog.isVisible());
    QVERIFY(dialog.frame()->message().contains(QStringLiteral("cancelled")));

    open(dialog, "big.tif");
    QVERIFY(loaded.wait(60000));
    QCOMPARE(loaded.count(), 1);
    QVERIFY(progress.count() > 1);
    QVERIFY2(ticks > 5, qPrintable(QString::number(ticks))); // the event loop kept running
    QVERIFY(dialog.frame()->hasPicture());
    QCOMPARE(dialog.frame()->imageSize(), QSize(16384, 16384));
    QVERIFY(dialog.frame()->zoom() < 0.1);
    QVERIFY(dialog.frame()->readOutText(5, 7).contains(QStringLiteral("Value %1").arg(TestTiff::sample16(5, 7, 0))));
}

QTEST_MAIN(TestImageLoadDialog)
#include "tst_imageloaddialog.moc"
