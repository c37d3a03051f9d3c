#include "viewer/imageattributedialog.h"
#include "viewer/imageframe.h"
#include "viewer/imageloaddialog.h"
#include "viewer/imageloaddialogui.h"
#include "viewer/tifffiles.h"

#include <QTemporaryDir>
#include <QtTest>

using TestTiff::Layout;

namespace {

// An 8-bit grey image whose width tells which file is shown.
bool writeImage(const QString &path, uint32_t width, const QByteArray &description = QByteArray(),
                int bits = 8)
{
    Layout l;
    l.width = width;
    l.height = 40;
    l.bitsPerSample = bits;
    l.description = description;
    return TestTiff::write(path, l);
}

// A wheel turn over the frame. Qt passes an unaccepted wheel on to the parent only for
// events from the window system, so that step is taken here the same way.
void wheelOver(QWidget *frame, int delta)
{
    const QPointF global(frame->mapToGlobal(QPoint(100, 80)));
    QWheelEvent event(QPointF(100, 80), global, QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(frame, &event);
    if (event.isAccepted())
        return;
    QWidget *parent = frame->parentWidget();
    QWheelEvent passed(QPointF(frame->mapToParent(QPoint(100, 80))), global, QPoint(), QPoint(0, delta),
                       Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(parent, &passed);
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
    void keysDoNothing_data();
    void keysDoNothing();
    void pixelReadOut_data();
    void pixelReadOut();

private:
    QString file(const QString &name) const { return m_dir->filePath(name); }
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
    dialog.openImage(m_dir->path(), file("B.tif"), "B.tif");
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
    dialog.openImage(m_dir->path(), file("only.tif"), "only.tif");
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
    QTest::newRow("tiled TIFF") << "tiled.tif" << true;
}

void TestImageLoadDialog::refusedFileShownAsRefused()
{
    QFETCH(QString, name);
    QFETCH(bool, listed);
    QVERIFY(writeImage(file("a.tif"), 64));
    if (name == QLatin1String("notes.tif")) {
        QVERIFY(TestTiff::writeText(file(name), "not an image\n"));
    } else if (name == QLatin1String("tiled.tif")) {
        Layout l;
        l.width = l.height = 32;
        l.tiled = true;
        QVERIFY(TestTiff::write(file(name), l));
    } else {
        QVERIFY(writeImage(file(name), 80));
    }
    ImageLoadDialog dialog;
    dialog.openImage(m_dir->path(), file("a.tif"), "a.tif");
    dialog.setFileName("a.tif");
    QVERIFY(dialog.frame()->hasPicture());

    // Opened directly, as the main window does.
    dialog.openImage(m_dir->path(), file(name), name);
    dialog.setFileName(name);
    QCOMPARE(dialog.files().size(), listed ? 2 : 1);
    QCOMPARE(dialog.index(), listed ? dialog.files().size() - 1 - (name < "a.tif" ? 1 : 0) : -1);
    QVERIFY2(!dialog.frame()->hasPicture(), "the previous picture must not stay under the new name");
    QVERIFY(dialog.frame()->message().contains(name));
    QCOMPARE(dialog.attributeDialog()->filePath(), file(name));

    // Reached by paging: the name follows, the frame says it cannot be shown.
    if (listed) {
        dialog.openImage(m_dir->path(), file("a.tif"), "a.tif");
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
    dialog.openImage(m_dir->path(), file("photo.jpg"), "photo.jpg");
    dialog.setFileName("photo.jpg");
    QVERIFY(dialog.files().isEmpty());
    dialog.form()->pushButton_2->click();
    dialog.form()->pushButton->click();
    QCOMPARE(dialog.index(), -1);
    QCOMPARE(dialog.form()->label->text(), QStringLiteral("photo.jpg"));
}

void TestImageLoadDialog::zoomLabel()
{
    QVERIFY(writeImage(file("a.tif"), 2000));
    ImageLoadDialog dialog;
    dialog.openImage(m_dir->path(), file("a.tif"), "a.tif");
    QCOMPARE(dialog.form()->label_2->text(), QStringLiteral("100%"));
    wheelOver(dialog.frame(), 120);
    QCOMPARE(dialog.form()->label_2->text(), QStringLiteral("125%"));
    wheelOver(dialog.frame(), 120);
    QCOMPARE(dialog.form()->label_2->text(), QStringLiteral("150%"));
    for (int i = 0; i < 5; ++i)
        wheelOver(dialog.frame(), 120);
    QCOMPARE(dialog.form()->label_2->text(), QStringLiteral("275%"));
    // A new image starts at 100% again.
    dialog.openImage(m_dir->path(), file("a.tif"), "a.tif");
    QCOMPARE(dialog.form()->label_2->text(), QStringLiteral("100%"));
}

void TestImageLoadDialog::attributeSheet()
{
    QVERIFY(writeImage(file("a.tif"), 64, "Software Version: 1.2.0, Min. F: 10, Max. F: 20"));
    QVERIFY(writeImage(file("b.tif"), 64));
    ImageLoadDialog dialog;
    dialog.openImage(m_dir->path(), file("a.tif"), "a.tif");
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    ImageAttributeDialog *sheet = dialog.attributeDialog();
    QVERIFY(!sheet->isVisible());
    QCOMPARE(sheet->text(), QStringLiteral("Software version: 1.2.0\n Minimum f: 10\n Maximum f: 20"));

    dialog.form()->pushButton_3->click();
    QVERIFY(sheet->isVisible());
    QCOMPARE(sheet->geometry(), QRect(891, 75, 400, 300));
    dialog.form()->pushButton_3->click();
    QVERIFY(!sheet->isVisible());

    // A page turn with the sheet open: it stays open and shows the new (empty) text.
    dialog.form()->pushButton_3->click();
    dialog.form()->pushButton_2->click();
    QVERIFY(sheet->isVisible());
    QCOMPARE(sheet->text(), QString());

    // Closing the browser hides the sheet; it stays hidden for the next image.
    dialog.form()->pushButton_4->click();
    QVERIFY(!dialog.isVisible());
    QVERIFY(!sheet->isVisible());
    dialog.openImage(m_dir->path(), file("a.tif"), "a.tif");
    dialog.show();
    QVERIFY(!sheet->isVisible());
}

void TestImageLoadDialog::keysDoNothing_data()
{
    QTest::addColumn<int>("key");
    QTest::newRow("Escape") << int(Qt::Key_Escape);
    QTest::newRow("Enter") << int(Qt::Key_Return);
    QTest::newRow("Space") << int(Qt::Key_Space);
    QTest::newRow("Right arrow") << int(Qt::Key_Right);
}

void TestImageLoadDialog::keysDoNothing()
{
    QFETCH(int, key);
    QVERIFY(writeImage(file("a.tif"), 64));
    QVERIFY(writeImage(file("b.tif"), 65));
    ImageLoadDialog dialog;
    dialog.openImage(m_dir->path(), file("a.tif"), "a.tif");
    dialog.setFileName("a.tif");
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    dialog.activateWindow();
    QTest::keyClick(&dialog, Qt::Key(key));
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.index(), 0);
    QCOMPARE(dialog.form()->label->text(), QStringLiteral("a.tif"));
}

void TestImageLoadDialog::pixelReadOut_data()
{
    QTest::addColumn<int>("bits");
    QTest::addColumn<QPoint>("pointer");
    QTest::addColumn<QString>("text");
    QTest::newRow("8-bit") << 8 << QPoint(3, 2) << QStringLiteral("X 3  Y 2  Value %1")
                                                       .arg(TestTiff::sample8(3, 2, 0));
    QTest::newRow("16-bit, as stored") << 16 << QPoint(5, 7)
                                       << QStringLiteral("X 5  Y 7  Value %1").arg(TestTiff::sample16(5, 7, 0));
    QTest::newRow("past the edge clears") << 16 << QPoint(500, 7) << QString();
}

void TestImageLoadDialog::pixelReadOut()
{
    QFETCH(int, bits);
    QFETCH(QPoint, pointer);
    QFETCH(QString, text);
    QVERIFY(writeImage(file("a.tif"), 64, QByteArray(), bits));
    ImageLoadDialog dialog;
    dialog.openImage(m_dir->path(), file("a.tif"), "a.tif");
    QVERIFY(dialog.frame()->testAttribute(Qt::WA_Hover));
    QHoverEvent first(QEvent::HoverMove, QPointF(1, 1), QPointF(0, 0));
    QApplication::sendEvent(dialog.frame(), &first);
    QHoverEvent hover(QEvent::HoverMove, QPointF(pointer), QPointF(1, 1));
    QApplication::sendEvent(dialog.frame(), &hover);
    QCOMPARE(dialog.form()->label_3->text(), text);
}

QTEST_MAIN(TestImageLoadDialog)
#include "tst_imageloaddialog.moc"
