// Installs the build into a temporary prefix, as a package or an administrator would, and
// checks that the installed copy stands on its own: the program starts from the prefix, finds
// its help there and not in the build folder, and the desktop files pass their validators.
#include "help/helplauncher.h"

#include <QtTest>
#include <QDir>
#include <QFile>
#include <QHelpEngineCore>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace {

const QString kAppId = QStringLiteral("com.tarvelo.utility");

struct Ran
{
    bool finished = false;
    int exitCode = -1;
    QString output;
};

Ran runTool(const QString &program, const QStringList &arguments, int timeoutMs = 120000)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    Ran ran;
    ran.finished = process.waitForStarted(10000) && process.waitForFinished(timeoutMs);
    if (!ran.finished)
        process.kill();
    process.waitForFinished(5000);
    ran.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    ran.output = QString::fromLocal8Bit(process.readAll());
    return ran;
}

} // namespace

class tst_Install : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void installedFiles_data();
    void installedFiles();
    void installedCollectionOpens();
    void installedHelpNamesNoSourceTree();
    void desktopEntryStartsInstalledProgram();
    void validators_data();
    void validators();

private:
    QString installed(const QString &relative) const { return m_prefix.filePath(relative); }
    QTemporaryDir m_prefix;
};

void tst_Install::initTestCase()
{
    QVERIFY(m_prefix.isValid());
    const Ran ran = runTool(QStringLiteral(TARVELO_CMAKE_COMMAND),
                            {QStringLiteral("--install"), QStringLiteral(TARVELO_BINARY_DIR),
                             QStringLiteral("--prefix"), m_prefix.path()});
    QVERIFY2(ran.finished && ran.exitCode == 0, qPrintable(ran.output));
}

void tst_Install::installedFiles_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("executable");
    for (const char *program : {"bin/tarvelo-utility", "bin/tarvelo-fetch", "bin/tarvelo-instrument-standin",
                                "bin/tarvelo-sampledata", "libexec/tarvelo-utility/TARVELO_Help.exe"})
        QTest::newRow(program) << QString::fromLatin1(program) << true;
    for (const char *file : {"share/tarvelo-utility/documentation/tarvelo_utility.qhc",
                             "share/tarvelo-utility/documentation/tarvelo_utility.qch",
                             "share/tarvelo-utility/documentation/tarvelo_utility_de.qhc",
                             "share/tarvelo-utility/documentation/tarvelo_utility_de.qch",
                             "share/applications/com.tarvelo.utility.desktop",
                             "share/man/man1/tarvelo-fetch.1",
                             "share/bash-completion/completions/tarvelo-fetch",
                             "share/metainfo/com.tarvelo.utility.metainfo.xml",
                             "share/icons/hicolor/16x16/apps/com.tarvelo.utility.png",
                             "share/icons/hicolor/256x256/apps/com.tarvelo.utility.png",
                             "share/icons/hicolor/scalable/apps/com.tarvelo.utility.svg"})
        QTest::newRow(file) << QString::fromLatin1(file) << false;
}

void tst_Install::installedFiles()
{
    QFETCH(QString, path);
    QFETCH(bool, executable);
    const QFileInfo info(installed(path));
    QVERIFY2(info.isFile(), qPrintable(info.filePath()));
    QCOMPARE(info.isExecutable(), executable);
}

// The collection names its pages file relatively: both must be installed side by side.
void tst_Install::installedCollectionOpens()
{
    QHelpEngineCore engine(installed(QStringLiteral("share/tarvelo-utility/documentation/tarvelo_utility.qhc")));
    QVERIFY2(engine.setupData(), qPrintable(engine.error()));
    const QUrl index(QStringLiteral("qthelp://%1/doc/index.html").arg(QLatin1String(HelpLauncher::kNamespace)));
    QVERIFY(!engine.fileData(index).isEmpty());
}

// An installation has no scripts folder: its programs' help must not send users to one.
void tst_Install::installedHelpNamesNoSourceTree()
{
    const Ran ran = runTool(installed(QStringLiteral("bin/tarvelo-instrument-standin")),
                            {QStringLiteral("--help")});
    QVERIFY2(ran.finished && ran.exitCode == 0, qPrintable(ran.output));
    QVERIFY2(ran.output.contains(QLatin1String("--root")), qPrintable(ran.output));
    QVERIFY2(!ran.output.contains(QLatin1String("scripts/")), qPrintable(ran.output));
}

// Started the way the desktop starts it (the entry's Exec through PATH, from the home folder),
// the installed program gets as far as its main window and finds its help in the prefix.
void tst_Install::desktopEntryStartsInstalledProgram()
{
    QSettings entry(installed(QStringLiteral("share/applications/com.tarvelo.utility.desktop")),
                    QSettings::IniFormat);
    // The entry hands the program the files a file manager opens with it (%F).
    const QStringList command = entry.value(QStringLiteral("Desktop Entry/Exec")).toString().split(QLatin1Char(' '));
    QCOMPARE(command, QStringList({QStringLiteral("tarvelo-utility"), QStringLiteral("%F")}));
    // (The INI reader takes the closing ";" for a comment.)
    QCOMPARE(entry.value(QStringLiteral("Desktop Entry/MimeType")).toString(), QStringLiteral("image/tiff"));
    const QString exec = command.first();

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("PATH"), installed(QStringLiteral("bin")) + ":/usr/bin:/bin");
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("QT_LOGGING_RULES"),
                       QStringLiteral("tarvelo.startup.info=true;tarvelo.help.info=true"));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setWorkingDirectory(QDir::homePath());
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(QStandardPaths::findExecutable(exec, {installed(QStringLiteral("bin"))}), QStringList());
    QVERIFY2(program.waitForStarted(10000), qPrintable(program.errorString()));

    QString output;
    const QString helpLine = QStringLiteral("help viewer: %1 collection: %2")
        .arg(installed(QStringLiteral("libexec/tarvelo-utility/TARVELO_Help.exe")),
             installed(QStringLiteral("share/tarvelo-utility/documentation/tarvelo_utility.qhc")));
    const auto seen = [&](const QString &line) {
        output += QString::fromLocal8Bit(program.readAll());
        return output.contains(line);
    };
    QTRY_VERIFY2_WITH_TIMEOUT(seen(QStringLiteral("main window shown")) || program.state() == QProcess::NotRunning,
                              qPrintable(output), 60000);
    const bool shown = seen(QStringLiteral("main window shown"));
    program.kill();
    program.waitForFinished(5000);
    output += QString::fromLocal8Bit(program.readAll());
    QVERIFY2(shown, qPrintable(output));
    QVERIFY2(output.contains(helpLine), qPrintable(output));
}

void tst_Install::validators_data()
{
    QTest::addColumn<QString>("tool");
    QTest::addColumn<QString>("package");
    QTest::addColumn<QStringList>("arguments");
    QTest::newRow("desktop entry") << "desktop-file-validate" << "desktop-file-utils"
        << QStringList{installed(QStringLiteral("share/applications/com.tarvelo.utility.desktop"))};
    QTest::newRow("AppStream metainfo") << "appstreamcli" << "appstream"
        << QStringList{"validate", "--no-net",
                       installed(QStringLiteral("share/metainfo/com.tarvelo.utility.metainfo.xml"))};
}

void tst_Install::validators()
{
    QFETCH(QString, tool);
    QFETCH(QString, package);
    QFETCH(QStringList, arguments);
    const QString program = QStandardPaths::findExecutable(tool);
    if (program.isEmpty())
        QSKIP(qPrintable(QStringLiteral("%1 is not installed (Debian package %2; "
                                        "bash scripts/deps.sh installs it)").arg(tool, package)));
    const Ran ran = runTool(program, arguments);
    QVERIFY2(ran.finished && ran.exitCode == 0, qPrintable(ran.output));
    // desktop-file-validate passes with hints; a hint here is a fault we want to hear about.
    QVERIFY2(!ran.output.contains(QLatin1String("hint:")) && !ran.output.contains(QLatin1String("warning")),
             qPrintable(ran.output));
}

QTEST_GUILESS_MAIN(tst_Install)
#include "tst_install.moc"
