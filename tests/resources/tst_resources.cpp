#include "common/style.h"

#include <QtTest>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QRegularExpression>
#include <cmath>

namespace {

const QColor kWindowBackground(88, 96, 109);

// What the user sees: the image over the window's background.
QImage onBackground(const QImage &image)
{
    QImage out(image.size(), QImage::Format_RGB32);
    out.fill(kWindowBackground);
    QPainter painter(&out);
    painter.drawImage(0, 0, image);
    return out;
}

double luminanceSpread(const QImage &image)
{
    double sum = 0, sumSq = 0;
    const int n = image.width() * image.height();
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const double l = qGray(image.pixel(x, y));
            sum += l;
            sumSq += l * l;
        }
    const double mean = sum / n;
    return std::sqrt(qMax(0.0, sumSq / n - mean * mean));
}

bool unlike(QRgb p, QRgb q)
{
    return qAbs(qRed(p) - qRed(q)) + qAbs(qGreen(p) - qGreen(q)) + qAbs(qBlue(p) - qBlue(q)) > 30;
}

// Share of the drawn pixels (those not plain background in either image) whose colour
// differs noticeably, so a small glyph on a transparent button counts as much as a face.
double differingShare(const QImage &a, const QImage &b, const QRect &area)
{
    const QRgb background = kWindowBackground.rgb();
    int drawn = 0, differing = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (!unlike(p, background) && !unlike(q, background))
                continue;
            ++drawn;
            if (unlike(p, q))
                ++differing;
        }
    return drawn ? double(differing) / drawn : 0.0;
}

} // namespace

class tst_Resources : public QObject
{
    Q_OBJECT
private slots:
    void imageSizes_data();
    void imageSizes();
    void buttonStates_data();
    void buttonStates();
    void imageButtonStyleNamesExistingImages_data();
    void imageButtonStyleNamesExistingImages();
    void tickedIconsAddABadge_data();
    void tickedIconsAddABadge();
    void fileTypesToldApart_data();
    void fileTypesToldApart();
};

void tst_Resources::imageSizes_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QSize>("size");
    const QSize title(23, 22), folder(128, 102), file(60, 73);
    QTest::newRow("window icon") << "download.png" << QSize(256, 256);
    for (const char *state : {" 1", " 2", "_d"}) {
        const QString s = QString::fromLatin1(state);
        QTest::addRow("download%s", state) << "download" + s + ".png" << QSize(138, 35);
        QTest::addRow("minimize%s", state) << "minimize" + s + ".png" << title;
        QTest::addRow("maximize%s", state) << "maximize" + s + ".png" << title;
        QTest::addRow("close%s", state) << "close" + s + ".png" << title;
        QTest::addRow("details%s", state) << "details" + s + ".png" << QSize(118, 41);
        QTest::addRow("left%s", state) << "left" + s + ".png" << QSize(56, 41);
        QTest::addRow("right%s", state) << "right" + s + ".png" << QSize(56, 41);
    }
    QTest::newRow("tree root") << "disk icon.png" << QSize(419, 312);
    QTest::newRow("folder") << "folder.png" << folder;
    QTest::newRow("folder ticked") << "folder_checked.png" << folder;
    QTest::newRow("parent entry") << "folder_128x102_5.png" << folder;
    QTest::newRow("spare folder 3") << "folder_128x102_3.png" << folder;
    QTest::newRow("spare folder 4") << "folder_128x102_4.png" << folder;
    QTest::newRow("file") << "file.png" << file;
    QTest::newRow("file ticked") << "file_checked.png" << file;
    for (const char *type : {"tiff", "pdf"}) {
        QTest::addRow("%s file", type) << QStringLiteral("file_%1.png").arg(type) << file;
        QTest::addRow("%s file ticked", type) << QStringLiteral("file_%1_checked.png").arg(type) << file;
    }
}

void tst_Resources::imageSizes()
{
    QFETCH(QString, name);
    QFETCH(QSize, size);
    // Window icons use ":/icon/", style sheets and item icons "://icon/": both must work.
    const QImage plain(":/icon/" + name);
    const QImage styled("://icon/" + name);
    QVERIFY2(!plain.isNull(), qPrintable(name));
    QVERIFY2(!styled.isNull(), qPrintable(name));
    QCOMPARE(plain.size(), size);
    QCOMPARE(styled, plain);
    QVERIFY(plain.hasAlphaChannel());
}

void tst_Resources::buttonStates_data()
{
    QTest::addColumn<QString>("base");
    for (const char *base : {"download", "minimize", "maximize", "close", "details", "left", "right"})
        QTest::newRow(base) << QString::fromLatin1(base);
}

void tst_Resources::buttonStates()
{
    QFETCH(QString, base);
    const QImage normal = onBackground(QImage("://icon/" + base + " 1.png"));
    const QImage pressed = onBackground(QImage("://icon/" + base + " 2.png"));
    const QImage disabled = onBackground(QImage("://icon/" + base + "_d.png"));
    const QRect all = normal.rect();
    // Each state must be told apart at a glance, not by a few pixels.
    QVERIFY2(differingShare(normal, pressed, all) > 0.5, "pressed looks like normal");
    QVERIFY2(differingShare(normal, disabled, all) > 0.5, "disabled looks like normal");
    QVERIFY2(differingShare(pressed, disabled, all) > 0.5, "disabled looks like pressed");
    // Disabled is greyed: its glyph stands out less than the normal one does.
    QVERIFY2(luminanceSpread(disabled) < 0.7 * luminanceSpread(normal), "disabled not greyed");
}

void tst_Resources::imageButtonStyleNamesExistingImages_data()
{
    buttonStates_data();
}

void tst_Resources::imageButtonStyleNamesExistingImages()
{
    QFETCH(QString, base);
    const QString style = Style::imageButtonStyle("QPushButton", base);
    const QRegularExpression url("url\\(([^)]*)\\)");
    int count = 0;
    for (auto it = url.globalMatch(style); it.hasNext(); ++count) {
        const QString path = it.next().captured(1);
        QVERIFY2(!QImage(path).isNull(), qPrintable(path));
    }
    QCOMPARE(count, 3);
}

void tst_Resources::tickedIconsAddABadge_data()
{
    QTest::addColumn<QString>("plain");
    QTest::addColumn<QString>("ticked");
    QTest::newRow("folder") << "folder.png" << "folder_checked.png";
    QTest::newRow("file") << "file.png" << "file_checked.png";
    QTest::newRow("tiff file") << "file_tiff.png" << "file_tiff_checked.png";
    QTest::newRow("pdf file") << "file_pdf.png" << "file_pdf_checked.png";
}

void tst_Resources::tickedIconsAddABadge()
{
    QFETCH(QString, plain);
    QFETCH(QString, ticked);
    const QImage a = onBackground(QImage("://icon/" + plain));
    const QImage b = onBackground(QImage("://icon/" + ticked));
    const int w = a.width(), h = a.height();
    // Same drawing, with a badge large enough to read when shown at 100 x 100.
    QCOMPARE(differingShare(a, b, QRect(0, 0, w / 2, h / 2)), 0.0);
    QVERIFY(differingShare(a, b, QRect(w / 2, h / 2, w - w / 2, h - h / 2)) > 0.4);
}

void tst_Resources::fileTypesToldApart_data()
{
    QTest::addColumn<QString>("a");
    QTest::addColumn<QString>("b");
    QTest::newRow("tiff, other") << "file_tiff" << "file";
    QTest::newRow("pdf, other") << "file_pdf" << "file";
    QTest::newRow("tiff, pdf") << "file_tiff" << "file_pdf";
}

// A run folder is read at a glance: the page of an image, of a report and of anything else
// differ in the part the tick leaves free, not just in a corner.
void tst_Resources::fileTypesToldApart()
{
    QFETCH(QString, a);
    QFETCH(QString, b);
    for (const char *tick : {"", "_checked"}) {
        const QImage x = onBackground(QImage("://icon/" + a + tick + ".png"));
        const QImage y = onBackground(QImage("://icon/" + b + tick + ".png"));
        QCOMPARE(x.size(), y.size());
        QVERIFY2(differingShare(x, y, QRect(0, 0, x.width(), x.height() / 2)) > 0.2, tick);
    }
}

QTEST_MAIN(tst_Resources)
#include "tst_resources.moc"
