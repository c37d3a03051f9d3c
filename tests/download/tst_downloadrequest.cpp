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
    void requestGroups_data();
    void requestGroups();
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

void TestDownloadRequest::requestGroups_data()
{
    // Every line, line feed included, fits the bound exactly or with room to spare.
    QTest::addColumn<QStringList>("paths");
    QTest::addColumn<int>("limit");
    QTest::addColumn<QList<int>>("sizes"); // paths on each line
    const QString p10 = QStringLiteral("/TARVELO/a"); // a line of one: 18 + 12 + 1 = 31 bytes
    QTest::newRow("nothing") << QStringList{} << 100 << QList<int>{};
    QTest::newRow("all on one line") << QStringList{p10, p10, p10} << 100 << QList<int>{3};
    // Each further path costs 13 bytes: 31, 44, 57.
    QTest::newRow("exactly full") << QStringList{p10, p10, p10} << 57 << QList<int>{3};
    QTest::newRow("one byte short") << QStringList{p10, p10, p10} << 56 << QList<int>{2, 1};
    QTest::newRow("too long for any line goes alone")
        << QStringList{p10, QStringLiteral("/TARVELO/") + QString(60, 'x'), p10} << 40 << QList<int>{1, 1, 1};
    // Two bytes a letter in UTF-8: 18 + 2 + 9 + 2 * 10 + 1 = 50.
    QTest::newRow("counted in UTF-8 bytes")
        << QStringList{QStringLiteral("/TARVELO/") + QString(10, QChar(0xe4)), p10} << 62 << QList<int>{1, 1};
}

void TestDownloadRequest::requestGroups()
{
    QFETCH(QStringList, paths);
    QFETCH(int, limit);
    QFETCH(QList<int>, sizes);
    const QList<QStringList> groups = DownloadRequest::requestGroups(paths, limit);
    QList<int> got;
    QStringList joined;
    for (const QStringList &group : groups) {
        got.append(int(group.size()));
        joined += group;
        if (group.size() > 1)
            QVERIFY(DownloadRequest::requestLine(group).size() <= limit);
    }
    QCOMPARE(got, sizes);
    QCOMPARE(joined, paths); // nothing lost, nothing reordered
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
