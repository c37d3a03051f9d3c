// End to end: the real main window logged in to the stand-in instrument; a double click
// on a listed file whose local copy exists opens it without a word to the instrument.
#include "app/mainwindow.h"
#include "app/mainwindowui.h"
#include "tools/instrument/instrumentserver.h"
#include "viewer/imageframe.h"
#include "viewer/imageloaddialogui.h"
#include "viewer/tifffiles.h"

#include "common/clientlines.h"
#include "common/e2e.h"
#include "common/testaddress.h"

#include <QListWidget>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {
constexpr int kWaitMs = 15000;
} // namespace

class TestMainWindowOpen : public QObject
{
    Q_OBJECT
private slots:
    void doubleClick_data();
    void doubleClick();
};

void TestMainWindowOpen::doubleClick_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("localCopy");
    QTest::addColumn<bool>("browser");
    QTest::newRow("downloaded tif opens in the browser") << "scan.tif" << true << true;
    QTest::newRow("downloaded text file: offered for download") << "notes.txt" << true << false;
    QTest::newRow("tif not downloaded yet") << "scan.tif" << false << false;
}

void TestMainWindowOpen::doubleClick()
{
    QFETCH(QString, name);
    QFETCH(bool, localCopy);
    QFETCH(bool, browser);
    QTemporaryDir instrument, local;
    QVERIFY(QDir(instrument.path()).mkpath(QStringLiteral("run1")));
    QVERIFY(TestTiff::write(instrument.filePath(QStringLiteral("run1/scan.tif")),
                            TestTiff::grey(320, 240, 16, "Software Version: 1.2.0, Gain: 2")));
    QVERIFY(TestTiff::writeText(instrument.filePath(QStringLiteral("run1/notes.txt")), "3 samples\n"));
    if (localCopy) {
        QVERIFY(QDir(local.path()).mkpath(QStringLiteral("run1")));
        QVERIFY(QFile::copy(instrument.filePath(QStringLiteral("run1/") + name),
                            local.filePath(QStringLiteral("run1/") + name)));
    }

    InstrumentOptions options;
    options.root = instrument.path();
    options.quiet = true;
    InstrumentServer server(options);
    ClientLines::record(&server);
    const QString address = TestAddress::listen(
        [&](const QString &candidate) { return server.listen(QHostAddress(candidate), TestAddress::kPort); });
    QVERIFY2(!address.isEmpty(), qPrintable(server.errorString()));
    QSignalSpy lines(&server, &InstrumentServer::lineReceived);

    MainWindow window;
    window.setDownloadPath(local.path());
    QVERIFY(E2E::login(window, address));
    window.browser()->changeRemoteFolder(QStringLiteral("/TARVELO/run1"));
    QListWidget *list = window.form()->FILE_LISTWIDGET;
    QTRY_VERIFY_WITH_TIMEOUT(!list->findItems(name, Qt::MatchExactly).isEmpty(), kWaitMs);
    QTRY_COMPARE_WITH_TIMEOUT(window.currentRemotePath(), QStringLiteral("/TARVELO/run1"), kWaitMs);

    const int before = lines.count();
    window.on_FILE_LISTWIDGET_itemDoubleClicked(list->findItems(name, Qt::MatchExactly).first());
    QCoreApplication::processEvents();
    QCOMPARE(lines.count(), before); // nothing is sent to open a file
    QCOMPARE(window.imageDialog().isVisible(), browser);
    QCOMPARE(window.notDownloadedDialog().isVisible(), !browser);
    if (browser) {
        QCOMPARE(window.imageDialog().form()->label->text(), name);
        QVERIFY(window.imageDialog().frame()->hasPicture());
        QCOMPARE(window.imageDialog().frame()->imageSize(), QSize(320, 240));
        QVERIFY(window.opener()->openRequests().isEmpty());
    } else {
        QCOMPARE(window.opener()->openRequests(), QStringList{QStringLiteral("/TARVELO/run1/") + name});
    }
}

QTEST_MAIN(TestMainWindowOpen)
#include "tst_openfromlist.moc"
