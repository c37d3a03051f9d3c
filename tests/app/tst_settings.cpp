#include "common/settings.h"

#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

using Settings::readSetting;
using Settings::writeSetting;

class tst_Settings : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void pathUnderHome_data();
    void pathUnderHome();
    void roundTrip_data();
    void roundTrip();
    void fileLayout();
    void handWrittenFile_data();
    void handWrittenFile();
    void missingFileGivesDefault();

private:
    std::string freshFile();
    QTemporaryDir m_dir;
    int m_files = 0;
};

static QByteArray readAll(const std::string &path)
{
    QFile file(QString::fromStdString(path));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

std::string tst_Settings::freshFile()
{
    return QStringLiteral("%1/f%2/settings.ini").arg(m_dir.path()).arg(++m_files).toStdString();
}

void tst_Settings::init()
{
    QVERIFY(m_dir.isValid());
}

void tst_Settings::pathUnderHome_data()
{
    QTest::addColumn<QByteArray>("homeName"); // UTF-8, as the file system holds it
    QTest::newRow("plain") << QByteArray("plain");
    QTest::newRow("blank") << QByteArray("with blank");
    QTest::newRow("german umlauts") << QByteArray("J\xc3\xbcrgen M\xc3\xbcller");
    QTest::newRow("cyrillic") << QByteArray("\xd0\xae\xd0\xbb\xd0\xb8\xd1\x8f");
    QTest::newRow("japanese") << QByteArray("\xe6\x97\xa5\xe6\x9c\xac");
}

void tst_Settings::pathUnderHome()
{
    QFETCH(QByteArray, homeName);
    const QByteArray home = QFile::encodeName(m_dir.path()) + "/home-" + homeName;
    QVERIFY(QDir().mkpath(QFile::decodeName(home)));
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", home);
    const std::string path = Settings::settingsFilePath();
    qputenv("HOME", oldHome);

    const QByteArray suffix = "/AppData/Local/Halvorine/TARVELO/settings.ini";
    QCOMPARE(QByteArray::fromStdString(path), home + suffix);

    // The file must land where the bytes of the home folder say, letters intact.
    writeSetting("Download", "Path", "/x", path);
    struct stat info;
    QCOMPARE(::stat((home + suffix).constData(), &info), 0);
    std::string value;
    QVERIFY(readSetting("Download", "Path", "", value, path));
    QCOMPARE(value, std::string("/x"));
}

void tst_Settings::roundTrip_data()
{
    QTest::addColumn<QString>("group");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<bool>("found"); // else the default comes back
    QTest::newRow("address") << "Last Connect" << "IP Address" << "192.168.0.10" << true;
    QTest::newRow("anonymous user") << "Last Connect" << "User" << "anonymous" << true;
    QTest::newRow("empty user is not found") << "Last Connect" << "User" << "" << false;
    QTest::newRow("folder with blanks") << "Download" << "Path" << "/home/u/my results dir" << true;
    QTest::newRow("percent twenty kept in value") << "Download" << "Path" << "/home/u/a%20b" << true;
    QTest::newRow("percent twenty at the end") << "Download" << "Path" << "/d/x%20" << true;
    QTest::newRow("comma in value") << "Download" << "Path" << "/d/a, b,c" << true;
    QTest::newRow("non-ascii value") << "Download" << "Path"
                                     << QString::fromUtf8("/home/J\xc3\xbcrgen/\xe6\x97\xa5") << true;
    QTest::newRow("equals, semicolon, quote") << "Download" << "Path" << "/d/a=b;c\"d" << true;
    QTest::newRow("backslash") << "Download" << "Path" << "C:\\data\\x" << true;
    QTest::newRow("blank in key and value") << "Group A" << "Key B" << "v a l" << true;
}

void tst_Settings::roundTrip()
{
    QFETCH(QString, group);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(bool, found);
    const std::string file = freshFile();
    writeSetting("Other", "Before", "kept", file);
    writeSetting(group.toStdString(), key.toStdString(), value.toStdString(), file);
    writeSetting("Other", "After", "kept too", file);

    std::string out = "garbage";
    QCOMPARE(readSetting(group.toStdString(), key.toStdString(), "DEFAULT", out, file), found);
    QCOMPARE(QString::fromStdString(out), found ? value : QStringLiteral("DEFAULT"));

    // A plain INI reader sees the same, so the file stays what the format promises.
    QSettings plain(QString::fromStdString(file), QSettings::IniFormat);
    QCOMPARE(plain.value(group + QLatin1Char('/') + key).toString(), value);
    QCOMPARE(plain.value(QStringLiteral("Other/Before")).toString(), QStringLiteral("kept"));
    QCOMPARE(plain.value(QStringLiteral("Other/After")).toString(), QStringLiteral("kept too"));
}

void tst_Settings::fileLayout()
{
    const std::string file = freshFile();
    writeSetting("Download", "Path", "/home/u/a%20b c", file);
    writeSetting("Last Connect", "IP Address", "10.0.0.7", file);
    writeSetting("Last Connect", "User", "anonymous", file);
    const QByteArray content = readAll(file);
    const QList<QByteArray> lines = content.split('\n');
    QVERIFY2(lines.size() >= 6, content.constData());
    QCOMPARE(lines.at(0), QByteArray("[Download]"));
    QCOMPARE(lines.at(1), QByteArray("Path=/home/u/a%20b c"));
    QCOMPARE(lines.at(2), QByteArray());
    QCOMPARE(lines.at(3), QByteArray("[Last Connect]"));
    QCOMPARE(lines.at(4), QByteArray("IP Address=10.0.0.7"));
    QCOMPARE(lines.at(5), QByteArray("User=anonymous"));
}

void tst_Settings::handWrittenFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QString>("expected");
    QTest::newRow("unquoted list joined") << QByteArray("[G]\nK=a,b\n") << true << "a, b";
    QTest::newRow("escaped names") << QByteArray("[Last%20Connect]\nIP%20Address=1.2.3.4\n")
                                   << true << "1.2.3.4";
    QTest::newRow("crlf lines") << QByteArray("[Last Connect]\r\nIP Address=1.2.3.4\r\n") << true
                                << "1.2.3.4";
    QTest::newRow("empty value") << QByteArray("[Last Connect]\nIP Address=\n") << false
                                 << "DEFAULT";
    QTest::newRow("missing key") << QByteArray("[Last Connect]\nUser=\n") << false << "DEFAULT";
}

void tst_Settings::handWrittenFile()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, found);
    QFETCH(QString, expected);
    const std::string file = freshFile();
    QVERIFY(QDir().mkpath(QFileInfo(QString::fromStdString(file)).path()));
    QFile out(QString::fromStdString(file));
    QVERIFY(out.open(QIODevice::WriteOnly));
    out.write(content);
    out.close();

    const bool lastConnect = content.contains("Connect");
    const std::string group = lastConnect ? "Last Connect" : "G";
    const std::string key = lastConnect ? "IP Address" : "K";
    std::string value;
    QCOMPARE(readSetting(group, key, "DEFAULT", value, file), found);
    QCOMPARE(QString::fromStdString(value), expected);
}

void tst_Settings::missingFileGivesDefault()
{
    const std::string file = freshFile();
    std::string value = "garbage";
    QVERIFY(!readSetting("Last Connect", "User", "anonymous", value, file));
    QCOMPARE(value, std::string("anonymous"));
    QVERIFY(!QFile::exists(QString::fromStdString(file))); // reading creates nothing
}

QTEST_GUILESS_MAIN(tst_Settings)
#include "tst_settings.moc"
