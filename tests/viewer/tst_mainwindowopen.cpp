#include "app/mainwindow.h"
#include "browser/browserpanel.h"
#include "link/instrumentlink.h"
#include "app/fileopener.h"
#include "viewer/imageframe.h"
#include "viewer/imageloaddialogui.h"
#include "viewer/listfileopen.h"
#include "viewer/tifffiles.h"

#include <QImage>
#include <QPushButton>
#include <QPixmap>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Makes the named local file; kind is "tif", "tif16", "png", "jpg", "text", "empty",
// "truncated" (a TIFF cut after its header), "folder" or "none".
bool makeFile(const QString &path, const QString &kind)
{
    if (kind == QLatin1String("tif") || kind == QLatin1String("tif16"))
        return TestTiff::write(path, TestTiff::grey(40, 30, kind == QLatin1String("tif") ? 8 : 16));
    if (kind == QLatin1String("png") || kind == QLatin1String("jpg")) {
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(qRgb(10, 120, 200));
        return image.save(path, kind.toLatin1().constData());
    }
    if (kind == QLatin1String("text"))
        return TestTiff::writeText(path, "Run 12: 3 samples\n");
    if (kind == QLatin1String("empty"))
        return TestTiff::writeText(path, QByteArray());
    if (kind == QLatin1String("truncated"))
        return TestTiff::writeText(path, QByteArray("II*\0", 4));
    if (kind == QLatin1String("folder"))
        return QDir().mkpath(path);
    return kind == QLatin1String("none");
}

} // namespace

class TestMainWindowOpen : public QObject
{
    Q_OBJECT
private slots:
    void loadsAsImage_data();
    void loadsAsImage();
    void openListFile_data();
    void openListFile();
    void requestsGrowEachTime();
    void unsafePathOpensNothing();
    void pdfWithoutViewer_data();
    void pdfWithoutViewer();
};

void TestMainWindowOpen::loadsAsImage_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("image");
    QTest::newRow("8-bit TIFF") << "a.tif" << "tif" << true;
    QTest::newRow("16-bit TIFF") << "b.tif" << "tif16" << true;
    QTest::newRow("TIFF named .TIF") << "c.TIF" << "tif" << true;
    QTest::newRow("PNG") << "d.png" << "png" << true;
    QTest::newRow("JPEG") << "e.jpg" << "jpg" << true;
    QTest::newRow("PNG named .tif") << "f.tif" << "png" << true;
    QTest::newRow("text named .tif") << "notes.tif" << "text" << false;
    QTest::newRow("text named .png") << "notes.png" << "text" << false;
    QTest::newRow("empty .tif") << "empty.tif" << "empty" << false;
    QTest::newRow("TIFF header only") << "cut.tif" << "truncated" << false;
    QTest::newRow("folder named .tif") << "dir.tif" << "folder" << false;
    QTest::newRow("missing") << "missing.tif" << "none" << false;
}

void TestMainWindowOpen::loadsAsImage()
{
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(bool, image);
    QTemporaryDir dir;
    const QString path = dir.filePath(name);
    QVERIFY(makeFile(path, kind));
    QCOMPARE(::loadsAsImage(path), image);
    // The header check answers as a full decode does.
    QCOMPARE(::loadsAsImage(path), !QPixmap(path).isNull());
}

void TestMainWindowOpen::openListFile_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("browser");  // the image browser opens
    QTest::addColumn<bool>("shown");    // and shows the picture
    QTest::newRow("local tif") << "scan.tif" << "tif" << true << true;
    QTest::newRow("local 16-bit tif") << "scan16.tif" << "tif16" << true << true;
    QTest::newRow("local jpg: browser says it cannot show it") << "photo.jpg" << "jpg" << true << false;
    QTest::newRow("local text file") << "notes.txt" << "text" << false << false;
    QTest::newRow("text file named .tif") << "notes.tif" << "text" << false << false;
    QTest::newRow("missing tif") << "later.tif" << "none" << false << false;
    QTest::newRow("missing pdf") << "report.pdf" << "none" << false << false;
    QTest::newRow("folder named .pdf") << "old.pdf" << "folder" << false << false;
}

void TestMainWindowOpen::openListFile()
{
    QFETCH(QString, name);
    QFETCH(QString, kind);
    QFETCH(bool, browser);
    QFETCH(bool, shown);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("run1")));
    QVERIFY(makeFile(dir.filePath(QStringLiteral("run1/") + name), kind));
    MainWindow window;
    window.setDownloadPath(dir.path());
    window.browser()->applyPwdAnswer(QStringLiteral("$PWD:") + QStringLiteral("/TARVELO/run1"));

    window.openListFile(name);
    QCOMPARE(window.imageDialog().isVisible(), browser);
    QCOMPARE(window.notDownloadedDialog().isVisible(), !browser);
    if (browser) {
        QVERIFY(window.opener()->openRequests().isEmpty());
        QCOMPARE(window.imageDialog().form()->label->text(), name);
        QCOMPARE(window.imageDialog().frame()->hasPicture(), shown);
        if (!shown)
            QVERIFY(window.imageDialog().frame()->message().contains(name));
    } else {
        QCOMPARE(window.opener()->openRequests(), QStringList{QStringLiteral("/TARVELO/run1/") + name});
    }
}

void TestMainWindowOpen::requestsGrowEachTime()
{
    QTemporaryDir dir;
    MainWindow window;
    window.setDownloadPath(dir.path());
    window.browser()->applyPwdAnswer(QStringLiteral("$PWD:") + QStringLiteral("/TARVELO"));
    window.openListFile(QStringLiteral("report.pdf"));
    window.notDownloadedDialog().hide();
    window.openListFile(QStringLiteral("report.pdf"));
    QCOMPARE(window.opener()->openRequests(),
             (QStringList{QStringLiteral("/TARVELO/report.pdf"), QStringLiteral("/TARVELO/report.pdf")}));
    QVERIFY(window.notDownloadedDialog().isVisible());
    QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
}

void TestMainWindowOpen::unsafePathOpensNothing()
{
    QTemporaryDir dir;
    QVERIFY(makeFile(dir.filePath(QStringLiteral("secret.tif")), QStringLiteral("tif")));
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("inside/run1")));
    MainWindow window;
    window.setDownloadPath(dir.filePath(QStringLiteral("inside")));
    window.browser()->applyPwdAnswer(QStringLiteral("$PWD:") + QStringLiteral("/TARVELO/run1"));
    window.openListFile(QStringLiteral("../../secret.tif"));
    window.browser()->applyPwdAnswer(QStringLiteral("$PWD:") + QStringLiteral("/elsewhere"));
    window.openListFile(QStringLiteral("secret.tif"));
    QVERIFY(!window.imageDialog().isVisible());
    QVERIFY(!window.notDownloadedDialog().isVisible());
    QVERIFY(window.opener()->openRequests().isEmpty());
    QVERIFY(window.noticeDialog().isVisible());
}

void TestMainWindowOpen::pdfWithoutViewer_data()
{
    QTest::addColumn<bool>("viewer");       // the desktop opens PDF files
    QTest::addColumn<bool>("folderOpens");  // and folders
    QTest::newRow("a viewer: opened, nothing asked") << true << true;
    QTest::newRow("no viewer: shown in its folder") << false << true;
    QTest::newRow("no viewer, the folder not shown either") << false << false;
}

// A downloaded PDF that nothing on the desktop opens is not offered for download again:
// the user is told why and can have its folder shown.
void TestMainWindowOpen::pdfWithoutViewer()
{
    QFETCH(bool, viewer);
    QFETCH(bool, folderOpens);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("run1")));
    const QString file = dir.filePath(QStringLiteral("run1/report.pdf"));
    QVERIFY(makeFile(file, QStringLiteral("text")));
    MainWindow window;
    window.setDownloadPath(dir.path());
    window.browser()->applyPwdAnswer(QStringLiteral("$PWD:/TARVELO/run1"));
    QStringList asked;
    window.opener()->setUrlOpener([&](const QUrl &url) {
        asked.append(url.toLocalFile());
        return QFileInfo(url.toLocalFile()).isDir() ? folderOpens : viewer;
    });

    window.openListFile(QStringLiteral("report.pdf"));
    NoViewerDialog &question = window.opener()->noViewerDialog();
    QVERIFY(!window.notDownloadedDialog().isVisible());
    QVERIFY(window.opener()->openRequests().isEmpty());
    QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
    QCOMPARE(question.isVisible(), !viewer);
    if (viewer) {
        QCOMPARE(asked, QStringList{file});
        return;
    }
    QVERIFY2(question.text().startsWith(QStringLiteral("No application is set up to open PDF files")),
             qPrintable(question.text()));
    QVERIFY(question.text().contains(QStringLiteral("report.pdf")));
    QTest::mouseClick(question.findChild<QPushButton *>(QStringLiteral("pushButton")), Qt::LeftButton);
    QVERIFY(!question.isVisible());
    QCOMPARE(asked, (QStringList{file, QFileInfo(file).absolutePath()}));
    QCOMPARE(window.noticeDialog().isVisible(), !folderOpens);
    if (!folderOpens)
        QVERIFY(window.noticeDialog().text().contains(QDir::toNativeSeparators(file)));
}

QTEST_MAIN(TestMainWindowOpen)
#include "tst_mainwindowopen.moc"
