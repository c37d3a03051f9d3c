#include "fetch/fetchoptions.h"
#include "fetch/pathfilter.h"

#include <QtTest>

class TestPathFilter : public QObject
{
    Q_OBJECT
private slots:
    void matches_data();
    void matches();
    void remotePaths_data();
    void remotePaths();
};

void TestPathFilter::matches_data()
{
    QTest::addColumn<QStringList>("includes");
    QTest::addColumn<QStringList>("excludes");
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("accepted");
    const QStringList none;
    const QStringList tif{QStringLiteral("*.tif")};
    const QStringList deepTif{QStringLiteral("**/*.tif")};
    QTest::newRow("no patterns") << none << none << "run1/a.pdf" << true;
    QTest::newRow("* at the top") << tif << none << "a.tif" << true;
    QTest::newRow("* does not cross /") << tif << none << "run1/a.tif" << false;
    QTest::newRow("**/ matches no folder") << deepTif << none << "a.tif" << true;
    QTest::newRow("**/ crosses folders") << deepTif << none << "run1/x/a.tif" << true;
    QTest::newRow("** inside a name") << QStringList{QStringLiteral("run**.tif")} << none << "run1/x/a.tif" << true;
    QTest::newRow("? is one character") << QStringList{QStringLiteral("a?.tif")} << none << "ab.tif" << true;
    QTest::newRow("? is not /") << QStringList{QStringLiteral("a?b")} << none << "a/b" << false;
    QTest::newRow("dots are plain") << tif << none << "atif" << false;
    QTest::newRow("brackets are plain") << QStringList{QStringLiteral("[a].tif")} << none << "[a].tif" << true;
    QTest::newRow("exclude wins") << deepTif << QStringList{QStringLiteral("tmp/**")} << "tmp/a.tif" << false;
    QTest::newRow("exclude alone") << none << QStringList{QStringLiteral("*.pdf")} << "a.tif" << true;
    QTest::newRow("case counts") << tif << none << "a.TIF" << false;
}

void TestPathFilter::matches()
{
    QFETCH(QStringList, includes);
    QFETCH(QStringList, excludes);
    QFETCH(QString, path);
    QFETCH(bool, accepted);
    QCOMPARE(PathFilter(includes, excludes).accepts(path), accepted);
}

void TestPathFilter::remotePaths_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("path");
    QTest::newRow("absolute") << "/TARVELO/data/run1" << "/TARVELO/data/run1";
    QTest::newRow("trailing slash") << "/TARVELO/data/" << "/TARVELO/data";
    QTest::newRow("relative") << "data/run1" << "/TARVELO/data/run1";
    QTest::newRow("slash is the root") << "/" << "/TARVELO";
    QTest::newRow("outside the root") << "/etc/passwd" << "";
    QTest::newRow("climbing out") << "data/../../etc" << "";
    QTest::newRow("empty segment") << "data//x" << "";
}

void TestPathFilter::remotePaths()
{
    QFETCH(QString, text);
    QFETCH(QString, path);
    QCOMPARE(normaliseRemotePath(text), path);
}

QTEST_GUILESS_MAIN(TestPathFilter)
#include "tst_pathfilter.moc"
