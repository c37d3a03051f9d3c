#include "help/helplauncher.h"
#include "help/viewer/assistantplaces.h"
#include "common/translations.h"
#include "fakeviewerlog.h"

#include <QtTest>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTimer>

#include <cerrno>
#include <csignal>
#include <memory>
#include <sys/types.h>

namespace {

const QString kIndexCommand = QStringLiteral("setSource qthelp://com.tarvelo.utility/doc/index.html");

// Gone for good, or dead and only waiting to be collected.
bool processEnded(qint64 pid)
{
    if (::kill(pid_t(pid), 0) != 0)
        return errno == ESRCH;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray text = stat.readAll();
    const int close = text.lastIndexOf(')');
    return close > 0 && text.mid(close + 2, 1) == "Z";
}

bool installViewer(const QString &folder)
{
    const QString target = folder + QStringLiteral("/TARVELO_Help.exe");
    return QDir().mkpath(folder) && QFile::copy(QStringLiteral(TARVELO_FAKE_VIEWER), target)
        && QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

// Answers the message boxes that a request brings up, noting what they said.
class BoxAnswerer : public QObject
{
public:
    struct Box
    {
        QString title;
        QString text;
        QMessageBox::Icon icon;
    };
    BoxAnswerer()
    {
        connect(&m_timer, &QTimer::timeout, this, [this] {
            if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
                boxes.append(Box{box->windowTitle(), box->text(), box->icon()});
                box->done(QMessageBox::Ok);
            }
        });
        m_timer.start(10);
    }
    QList<Box> boxes;

private:
    QTimer m_timer;
};

} // namespace

class tst_HelpLauncher : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void requestsReachOneViewer_data();
    void requestsReachOneViewer();
    void closedViewerStartsAgain_data();
    void closedViewerStartsAgain();
    void missingViewerIsReported_data();
    void missingViewerIsReported();
    void viewerLookup_data();
    void viewerLookup();
    void installedLayouts_data();
    void installedLayouts();
    void shutdownEndsViewer_data();
    void shutdownEndsViewer();
    void viewerPrefersAssistantOfItsQt();
    void collectionFollowsLanguage_data();
    void collectionFollowsLanguage();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    // Present in every test, so an unexpected message box fails the test instead of blocking it.
    std::unique_ptr<BoxAnswerer> m_boxes;
    QString m_programFolder;
    QString m_log;
    QString m_emptyFolder;
    QString m_savedCurrent;
    QByteArray m_savedPath;
};

void tst_HelpLauncher::init()
{
    m_boxes = std::make_unique<BoxAnswerer>();
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    m_programFolder = m_dir->filePath(QStringLiteral("program"));
    m_emptyFolder = m_dir->filePath(QStringLiteral("empty"));
    m_log = m_dir->filePath(QStringLiteral("viewer.log"));
    QVERIFY(QDir().mkpath(m_programFolder));
    QVERIFY(QDir().mkpath(m_emptyFolder));
    qputenv("TARVELO_FAKE_HELP_LOG", QFile::encodeName(m_log));
    qunsetenv("TARVELO_FAKE_HELP_IGNORE_TERM");
    // The program search must not find a viewer that a test did not put there.
    m_savedPath = qgetenv("PATH");
    qputenv("PATH", QFile::encodeName(m_emptyFolder));
    // Started from some other folder, as a desktop launcher does.
    m_savedCurrent = QDir::currentPath();
    QVERIFY(QDir::setCurrent(m_emptyFolder));
}

void tst_HelpLauncher::cleanup()
{
    QDir::setCurrent(m_savedCurrent);
    qputenv("PATH", m_savedPath);
    const QList<BoxAnswerer::Box> boxes = m_boxes->boxes;
    m_boxes.reset();
    m_dir.reset();
    const bool expectBoxes = QTest::currentTestFunction() == QByteArray("missingViewerIsReported");
    if (!expectBoxes && !boxes.isEmpty())
        QFAIL(qPrintable("unexpected message: " + boxes.first().text));
}

void tst_HelpLauncher::requestsReachOneViewer_data()
{
    QTest::addColumn<QStringList>("pages");
    QTest::addColumn<QStringList>("commands");
    const QString prefix = QStringLiteral("setSource qthelp://com.tarvelo.utility/doc/");
    QTest::newRow("one request") << QStringList{"index.html"} << QStringList{kIndexCommand};
    QTest::newRow("two requests in a row")
        << QStringList{"index.html", "index.html"} << QStringList{kIndexCommand, kIndexCommand};
    QTest::newRow("another page while open")
        << QStringList{"index.html", "downloading.html#stop"}
        << QStringList{kIndexCommand, prefix + "downloading.html#stop"};
    QTest::newRow("page name with a line break sends nothing")
        << QStringList{"index.html", "index.html\nsetSource qthelp://elsewhere/x.html", "settings.html"}
        << QStringList{kIndexCommand, prefix + "settings.html"};
}

void tst_HelpLauncher::requestsReachOneViewer()
{
    QFETCH(QStringList, pages);
    QFETCH(QStringList, commands);
    QVERIFY(installViewer(m_programFolder));
    {
        HelpLauncher launcher(m_programFolder, m_emptyFolder);
        for (const QString &page : pages)
            launcher.showHelpPage(page);
        QTRY_COMPARE_WITH_TIMEOUT(allLines(m_log), commands, 10000);
        QVERIFY(launcher.isRunning());
    }
    const QList<ViewerRun> runs = readLog(m_log);
    QCOMPARE(runs.size(), 1);
    QCOMPARE(runs[0].program, m_programFolder + "/TARVELO_Help.exe");
    // The collection is found beside the program, not in the folder it was started from.
    QCOMPARE(runs[0].arguments,
             (QStringList{"-collectionFile", m_programFolder + "/documentation/tarvelo_utility.qhc",
                          "-enableRemoteControl"}));
}

void tst_HelpLauncher::closedViewerStartsAgain_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("closed by the user") << int(SIGTERM);
    QTest::newRow("crashed") << int(SIGKILL);
}

void tst_HelpLauncher::closedViewerStartsAgain()
{
    QFETCH(int, signalNumber);
    QVERIFY(installViewer(m_programFolder));
    HelpLauncher launcher(m_programFolder, m_emptyFolder);
    launcher.showHelpPage(QStringLiteral("index.html"));
    QTRY_COMPARE_WITH_TIMEOUT(allLines(m_log).size(), 1, 10000);
    const qint64 firstPid = readLog(m_log).first().pid;
    QCOMPARE(::kill(pid_t(firstPid), signalNumber), 0);
    QTRY_VERIFY_WITH_TIMEOUT(processEnded(firstPid), 10000);

    launcher.showHelpPage(QStringLiteral("index.html"));
    QTRY_COMPARE_WITH_TIMEOUT(readLog(m_log).size(), 2, 10000);
    QTRY_COMPARE_WITH_TIMEOUT(readLog(m_log).last().lines, QStringList{kIndexCommand}, 10000);
    QVERIFY(readLog(m_log).last().pid != firstPid);
    QVERIFY(launcher.isRunning());
}

void tst_HelpLauncher::missingViewerIsReported_data()
{
    QTest::addColumn<bool>("fileWithoutExecuteRight");
    QTest::newRow("no viewer anywhere") << false;
    QTest::newRow("viewer file not executable") << true;
}

void tst_HelpLauncher::missingViewerIsReported()
{
    QFETCH(bool, fileWithoutExecuteRight);
    const QString expectedAt = m_programFolder + "/TARVELO_Help.exe";
    if (fileWithoutExecuteRight) {
        QVERIFY(installViewer(m_programFolder));
        QVERIFY(QFile::setPermissions(expectedAt, QFile::ReadOwner | QFile::WriteOwner));
    }
    const BoxAnswerer &answerer = *m_boxes;
    HelpLauncher launcher(m_programFolder, m_emptyFolder);
    // Each request tries again and says so again.
    for (int request = 1; request <= 2; ++request) {
        launcher.showHelpPage(QStringLiteral("index.html"));
        QCOMPARE(answerer.boxes.size(), request);
        const BoxAnswerer::Box box = answerer.boxes.last();
        QCOMPARE(box.title, QStringLiteral("Simple Text Viewer"));
        QCOMPARE(box.text, QStringLiteral("Unable to launch Qt Assistant (%1)").arg(expectedAt));
        QCOMPARE(box.icon, QMessageBox::Critical);
        QVERIFY(!launcher.isRunning());
    }
    QVERIFY(!QFile::exists(m_log));
}

void tst_HelpLauncher::viewerLookup_data()
{
    QTest::addColumn<bool>("inOwnFolder");
    QTest::addColumn<bool>("onSearchPath");
    QTest::newRow("own folder before the program search") << true << true;
    QTest::newRow("program search when not in own folder") << false << true;
}

void tst_HelpLauncher::viewerLookup()
{
    QFETCH(bool, inOwnFolder);
    QFETCH(bool, onSearchPath);
    const QString searchFolder = m_dir->filePath(QStringLiteral("bin"));
    if (inOwnFolder)
        QVERIFY(installViewer(m_programFolder));
    if (onSearchPath) {
        QVERIFY(installViewer(searchFolder));
        qputenv("PATH", QFile::encodeName(m_emptyFolder + ':' + searchFolder));
    }
    HelpLauncher launcher(m_programFolder, m_emptyFolder);
    launcher.showHelpPage(QStringLiteral("index.html"));
    QTRY_COMPARE_WITH_TIMEOUT(allLines(m_log), QStringList{kIndexCommand}, 10000);
    const QString expected = (inOwnFolder ? m_programFolder : searchFolder) + "/TARVELO_Help.exe";
    QCOMPARE(readLog(m_log).first().program, expected);
}

// Folders below the test's own folder: "program" is where the executable runs from.
void tst_HelpLauncher::installedLayouts_data()
{
    QTest::addColumn<QString>("programAt");
    QTest::addColumn<QString>("prefix");
    QTest::addColumn<QStringList>("viewersIn");
    QTest::addColumn<QStringList>("helpIn");
    QTest::addColumn<QString>("expectedViewerIn");
    QTest::addColumn<QString>("expectedHelpIn");
    const QString libexec = QStringLiteral("usr/libexec/tarvelo-utility");
    const QString share = QStringLiteral("usr/share/tarvelo-utility");
    QTest::newRow("installed, found from the executable")
        << "usr/bin" << "elsewhere" << QStringList{libexec} << QStringList{share} << libexec << share;
    QTest::newRow("installed at the prefix, program copied elsewhere")
        << "program" << "usr" << QStringList{libexec} << QStringList{share} << libexec << share;
    QTest::newRow("build folder before the installed copy")
        << "program" << "usr" << QStringList{"program", libexec} << QStringList{"program", share}
        << "program" << "program";
    QTest::newRow("viewer and help in different layouts")
        << "usr/bin" << "usr" << QStringList{"usr/bin"} << QStringList{share} << "usr/bin" << share;
}

void tst_HelpLauncher::installedLayouts()
{
    QFETCH(QString, programAt);
    QFETCH(QString, prefix);
    QFETCH(QStringList, viewersIn);
    QFETCH(QStringList, helpIn);
    QFETCH(QString, expectedViewerIn);
    QFETCH(QString, expectedHelpIn);
    const QDir root(m_dir->path());
    for (const QString &folder : viewersIn)
        QVERIFY(installViewer(root.filePath(folder)));
    for (const QString &folder : helpIn) {
        const QString collection = root.filePath(folder) + "/documentation/tarvelo_utility.qhc";
        QVERIFY(QDir().mkpath(QFileInfo(collection).path()));
        QFile file(collection);
        QVERIFY(file.open(QIODevice::WriteOnly));
    }
    QVERIFY(QDir().mkpath(root.filePath(programAt)));
    HelpLauncher launcher(root.filePath(programAt), root.filePath(prefix));
    launcher.showHelpPage(QStringLiteral("index.html"));
    QTRY_COMPARE_WITH_TIMEOUT(allLines(m_log), QStringList{kIndexCommand}, 10000);
    const ViewerRun run = readLog(m_log).first();
    QCOMPARE(run.program, root.filePath(expectedViewerIn) + "/TARVELO_Help.exe");
    QCOMPARE(run.arguments,
             (QStringList{"-collectionFile",
                          root.filePath(expectedHelpIn) + "/documentation/tarvelo_utility.qhc",
                          "-enableRemoteControl"}));
}

void tst_HelpLauncher::shutdownEndsViewer_data()
{
    QTest::addColumn<bool>("closeViewerFirst");
    QTest::addColumn<bool>("viewerIgnoresClose");
    QTest::addColumn<int>("maxMs");
    QTest::newRow("running viewer") << false << false << 2500;
    QTest::newRow("viewer ignoring the close request") << false << true << 8000;
    QTest::newRow("viewer already closed") << true << false << 2500;
}

void tst_HelpLauncher::shutdownEndsViewer()
{
    QFETCH(bool, closeViewerFirst);
    QFETCH(bool, viewerIgnoresClose);
    QFETCH(int, maxMs);
    QVERIFY(installViewer(m_programFolder));
    if (viewerIgnoresClose)
        qputenv("TARVELO_FAKE_HELP_IGNORE_TERM", "1");

    auto launcher = std::make_unique<HelpLauncher>(m_programFolder, m_emptyFolder);
    launcher->showHelpPage(QStringLiteral("index.html"));
    QTRY_COMPARE_WITH_TIMEOUT(allLines(m_log).size(), 1, 10000);
    const qint64 pid = readLog(m_log).first().pid;
    if (closeViewerFirst) {
        QCOMPARE(::kill(pid_t(pid), SIGKILL), 0);
        QTRY_VERIFY_WITH_TIMEOUT(processEnded(pid), 10000);
    }
    // What the main window's close does.
    QElapsedTimer clock;
    clock.start();
    launcher.reset();
    QVERIFY2(clock.elapsed() < maxMs, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(processGone(pid));
}

// The collection is made by this Qt's qhelpgenerator; an Assistant of the other major, the one
// the program search may well find first, is not the one to open it.
void tst_HelpLauncher::viewerPrefersAssistantOfItsQt()
{
    const QString major = QStringLiteral("qt%1").arg(QT_VERSION_MAJOR);
    QString found;
    for (const QString &place : AssistantPlaces::candidates()) {
        const QFileInfo info(place);
        if (place.contains(QLatin1Char('/')) && info.isFile() && info.isExecutable()) {
            found = info.canonicalFilePath();
            break;
        }
    }
    if (found.isEmpty())
        QSKIP("Qt Assistant for this Qt is not installed");
    QVERIFY2(found.contains(major), qPrintable(found));
}

void tst_HelpLauncher::collectionFollowsLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("germanThere");
    QTest::addColumn<QString>("expected");
    QTest::newRow("German") << "de" << true << "tarvelo_utility_de.qhc";
    QTest::newRow("German, German help missing") << "de" << false << "tarvelo_utility.qhc";
    QTest::newRow("English") << "en" << true << "tarvelo_utility.qhc";
}

void tst_HelpLauncher::collectionFollowsLanguage()
{
    QFETCH(QString, language);
    QFETCH(bool, germanThere);
    QFETCH(QString, expected);
    const QDir documentation(m_programFolder + QStringLiteral("/documentation"));
    QVERIFY(QDir().mkpath(documentation.path()));
    QStringList names{QStringLiteral("tarvelo_utility.qhc")};
    if (germanThere)
        names << QStringLiteral("tarvelo_utility_de.qhc");
    for (const QString &name : names)
        QVERIFY(QFile(documentation.filePath(name)).open(QIODevice::WriteOnly));
    QVERIFY(Translations::install(QCoreApplication::instance(), language));
    const QString collection = HelpLauncher(m_programFolder, m_emptyFolder).locate().collection;
    Translations::install(QCoreApplication::instance(), QStringLiteral("en"));
    QCOMPARE(collection, documentation.filePath(expected));
}

QTEST_MAIN(tst_HelpLauncher)
#include "tst_helplauncher.moc"
