#include "link/remotepath.h"

#include <QtTest>

class tst_RemotePath : public QObject
{
    Q_OBJECT
private slots:
    void toLocalPath_data();
    void toLocalPath();
};

void tst_RemotePath::toLocalPath_data()
{
    QTest::addColumn<QString>("remote");
    QTest::addColumn<QString>("local");
    QTest::addColumn<bool>("ok");
    QTest::newRow("root") << "/TARVELO" << "/dl" << true;
    QTest::newRow("file in root") << "/TARVELO/a.tif" << "/dl/a.tif" << true;
    QTest::newRow("nested root name kept") << "/TARVELO/a/TARVELO/b" << "/dl/a/TARVELO/b" << true;
    QTest::newRow("blank and non-ascii") << QString::fromUtf8("/TARVELO/r un/Ü.tif")
                                         << QString::fromUtf8("/dl/r un/Ü.tif") << true;
    QTest::newRow("outside root") << "/etc/x" << "" << false;
    QTest::newRow("root prefix only") << "/TARVELOX/a" << "" << false;
    QTest::newRow("dot dot") << "/TARVELO/../../x" << "" << false;
    QTest::newRow("inner dot dot") << "/TARVELO/a/../b" << "" << false;
    QTest::newRow("dot") << "/TARVELO/./a" << "" << false;
    QTest::newRow("empty segment") << "/TARVELO//a" << "" << false;
    QTest::newRow("trailing slash") << "/TARVELO/a/" << "" << false;
    QTest::newRow("relative") << "TARVELO/a" << "" << false;
    QTest::newRow("empty") << "" << "" << false;
    QTest::newRow("lower case root") << "/tarvelo/a" << "" << false;
}

void tst_RemotePath::toLocalPath()
{
    QFETCH(QString, remote);
    QFETCH(QString, local);
    QFETCH(bool, ok);
    bool mapped = !ok;
    QCOMPARE(RemotePath::toLocalPath(remote, QStringLiteral("/dl"), &mapped), local);
    QCOMPARE(mapped, ok);
    QCOMPARE(RemotePath::isSafe(remote), ok);
}

QTEST_APPLESS_MAIN(tst_RemotePath)
#include "tst_remotepath.moc"
