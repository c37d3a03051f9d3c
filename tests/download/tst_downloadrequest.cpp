#include "transfer/downloadrequest.h"

#include <QTemporaryDir>
#include <QtTest>

using DownloadRequest::ListCheck;
Q_DECLARE_METATYPE(DownloadRequest::ListCheck)

class TestDownloadRequest : public QObject
{
    Q_OBJECT
private slots:
    void requestLine_data();
    void requestLine();
    void listSelection_data();
    void listSelection();
    void treeFolder_data();
    void treeFolder();
};

void TestDownloadRequest::requestLine_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QByteArray>("line");

    QTest::newRow("three entries in selection order")
        << "/TARVELO/data" << QStringList{"b.pdf", "a.tif", "run"}
        << QByteArray("$DOWNLOAD REQUEST </TARVELO/data/b.pdf>,</TARVELO/data/a.tif>,</TARVELO/data/run>\n");
    QTest::newRow("top folder") << "/TARVELO" << QStringList{"x"} << QByteArray("$DOWNLOAD REQUEST </TARVELO/x>\n");
    QTest::newRow("blanks and non-ASCII kept as UTF-8")
        << "/TARVELO" << QStringList{QStringLiteral("a b \u00e4.tif")}
        << QByteArray("$DOWNLOAD REQUEST </TARVELO/a b \xc3\xa4.tif>\n");
    QTest::newRow("no path, no line") << "/TARVELO" << QStringList{} << QByteArray();
}

void TestDownloadRequest::requestLine()
{
    QFETCH(QString, folder);
    QFETCH(QStringList, names);
    QFETCH(QByteArray, line);
    QCOMPARE(DownloadRequest::requestLine(DownloadRequest::requestPaths(folder, names)), line);
}

void TestDownloadRequest::listSelection_data()
{
    QTest::addColumn<QStringList>("localFiles");   // made before the check
    QTest::addColumn<QStringList>("localFolders");
    QTest::addColumn<QStringList>("selection");
    QTest::addColumn<ListCheck>("expected");

    const QStringList none;
    QTest::newRow("nothing selected") << none << none << QStringList{} << ListCheck::Empty;
    QTest::newRow("nothing local") << none << none << QStringList{"a.tif", "run"} << ListCheck::Send;
    QTest::newRow("file with a dot exists") << QStringList{"a.tif"} << none << QStringList{"a.tif"} << ListCheck::Exists;
    QTest::newRow("file without a dot exists") << QStringList{"README"} << none << QStringList{"README"} << ListCheck::Exists;
    QTest::newRow("hidden file exists") << QStringList{".cfg"} << none << QStringList{".cfg"} << ListCheck::Exists;
    QTest::newRow("folder exists") << none << QStringList{"run1"} << QStringList{"x", "run1"} << ListCheck::Exists;
    QTest::newRow("folder of a selected file's name") << none << QStringList{"a.tif"} << QStringList{"a.tif"} << ListCheck::Exists;
    QTest::newRow("case differs") << QStringList{"A.TIF"} << none << QStringList{"a.tif"} << ListCheck::Send;
    QTest::newRow("wildcard name matches only itself") << QStringList{"ab.tif"} << none << QStringList{"a*.tif", "a?.tif"} << ListCheck::Send;
    QTest::newRow("parent entry alone") << none << none << QStringList{".."} << ListCheck::ParentEntry;
    QTest::newRow("parent entry with an existing file after it") << QStringList{"f"} << none << QStringList{"..", "f"} << ListCheck::Exists;
    QTest::newRow("existing folder before the parent entry") << none << QStringList{"d"} << QStringList{"d", ".."} << ListCheck::Exists;
    QTest::newRow("existing folder after the parent entry") << none << QStringList{"d"} << QStringList{"..", "d"} << ListCheck::ParentEntry;
}

void TestDownloadRequest::listSelection()
{
    QFETCH(QStringList, localFiles);
    QFETCH(QStringList, localFolders);
    QFETCH(QStringList, selection);
    QFETCH(ListCheck, expected);

    QTemporaryDir dir;
    for (const QString &f : localFiles) {
        QFile file(dir.filePath(f));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    for (const QString &d : localFolders)
        QVERIFY(QDir(dir.path()).mkdir(d));
    QCOMPARE(DownloadRequest::checkListSelection(selection, dir.path()), expected);
    QCOMPARE(DownloadRequest::checkListSelection(selection, dir.filePath("missing")),
             selection.isEmpty() ? ListCheck::Empty
                                 : selection.contains("..") ? ListCheck::ParentEntry : ListCheck::Send);
}

void TestDownloadRequest::treeFolder_data()
{
    QTest::addColumn<QString>("local");  // "d:name" folder, "f:name" file
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("exists");
    QTest::newRow("folder exists") << "d:run1" << "run1" << true;
    QTest::newRow("file of the name is no folder") << "f:run1" << "run1" << false;
    QTest::newRow("other case") << "d:RUN1" << "run1" << false;
    QTest::newRow("pattern characters") << "d:run1" << "run*" << false;
    QTest::newRow("nothing local") << "" << "run1" << false;
}

void TestDownloadRequest::treeFolder()
{
    QFETCH(QString, local);
    QFETCH(QString, name);
    QFETCH(bool, exists);
    QTemporaryDir dir;
    if (local.startsWith("d:"))
        QVERIFY(QDir(dir.path()).mkdir(local.mid(2)));
    if (local.startsWith("f:")) {
        QFile file(dir.filePath(local.mid(2)));
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QCOMPARE(DownloadRequest::localFolderExists(dir.path(), name), exists);
}

QTEST_GUILESS_MAIN(TestDownloadRequest)
#include "tst_downloadrequest.moc"
