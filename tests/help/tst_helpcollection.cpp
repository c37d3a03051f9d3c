#include "help/helplauncher.h"

#include <QtTest>
#include <QDir>
#include <QFile>
#include <QHelpEngineCore>
#include <QHelpLink>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <memory>

namespace {
const QString kNamespace = QString::fromLatin1(HelpLauncher::kNamespace);

QUrl pageUrl(const QString &page)
{
    return QUrl(QStringLiteral("qthelp://%1/doc/%2").arg(kNamespace, page));
}
} // namespace

class tst_HelpCollection : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase();
    void collectionNamesTheLauncherNamespace();
    void pages_data();
    void pages();
    void linksLeadToExistingPlaces();
    void keywords_data();
    void keywords();
    void germanPages_data();
    void germanPages();

private:
    QString pageText(const QString &page);
    QTemporaryDir m_dir;
    std::unique_ptr<QHelpEngineCore> m_engine;
};

void tst_HelpCollection::initTestCase()
{
    // Work on a copy in another folder: the collection must find its pages wherever the
    // program is installed.
    QVERIFY(m_dir.isValid());
    const QDir built(QStringLiteral(TARVELO_DOCUMENTATION_DIR));
    for (const QString &name : {QStringLiteral("tarvelo_utility.qhc"), QStringLiteral("tarvelo_utility.qch")})
        QVERIFY2(QFile::copy(built.filePath(name), m_dir.filePath(name)), qPrintable(built.filePath(name)));
    m_engine = std::make_unique<QHelpEngineCore>(m_dir.filePath(QStringLiteral("tarvelo_utility.qhc")));
    QVERIFY2(m_engine->setupData(), qPrintable(m_engine->error()));
}

void tst_HelpCollection::collectionNamesTheLauncherNamespace()
{
    QCOMPARE(m_engine->registeredDocumentations(), QStringList{kNamespace});
}

QString tst_HelpCollection::pageText(const QString &page)
{
    return QString::fromUtf8(m_engine->fileData(pageUrl(page)));
}

void tst_HelpCollection::pages_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QStringList>("mustQuote");
    // Each page quotes the program's own texts exactly, so a user can find what they see.
    QTest::newRow("index") << "index.html" << QStringList{"Help Contents", "About"};
    QTest::newRow("connecting") << "connecting.html"
                                << QStringList{"anonymous", "CONNECT", "CANCEL", "Connecting...", "30000",
                                               "Account or password incorrect.", "Disconnect"};
    QTest::newRow("browsing") << "browsing.html" << QStringList{"/TARVELO", "..", "Download the file to open."};
    QTest::newRow("downloading")
        << "downloading.html"
        << QStringList{"Set Download folder", "Start Download", "Select files to download",
                       "Do you want to replace the existing file?", "Stop",
                       "Are you sure you want to cancel the download?", "Check Condition.."};
    QTest::newRow("image browser") << "imagebrowser.html"
                                   << QStringList{"Details", "300%", "400%", "read-out", "16 bits"};
    QTest::newRow("settings") << "settings.html"
                              << QStringList{"~/AppData/Local/Halvorine/TARVELO/settings.ini", "[Download]",
                                             "[Last Connect]", "IP Address", "User", "Path"};
    QTest::newRow("troubleshooting")
        << "troubleshooting.html"
        << QStringList{"Connecting failed!", "Account or password incorrect.", "could not be stored",
                       "Unable to launch Qt Assistant", "TARVELO_Help.exe"};
}

void tst_HelpCollection::pages()
{
    QFETCH(QString, page);
    QFETCH(QStringList, mustQuote);
    const QString text = pageText(page);
    QVERIFY2(!text.isEmpty(), qPrintable(page + " is not in the collection"));
    QVERIFY(text.contains(QLatin1String("<title>")));
    QVERIFY(text.contains(QLatin1String("href=\"style.css\"")));
    for (const QString &quote : mustQuote)
        QVERIFY2(text.contains(quote), qPrintable(quote));
}

void tst_HelpCollection::linksLeadToExistingPlaces()
{
    const QList<QUrl> files = m_engine->files(kNamespace, QString());
    QStringList names;
    for (const QUrl &url : files)
        names << url.fileName();
    QVERIFY(names.contains(QStringLiteral("style.css")));

    const QRegularExpression link(QStringLiteral("href=\"([^\"]+)\""));
    int checked = 0;
    for (const QString &page : names) {
        if (!page.endsWith(QLatin1String(".html")))
            continue;
        const QString text = pageText(page);
        for (auto it = link.globalMatch(text); it.hasNext(); ++checked) {
            const QString target = it.next().captured(1);
            const QString file = target.section(QLatin1Char('#'), 0, 0);
            const QString anchor = target.section(QLatin1Char('#'), 1);
            const QString where = page + " -> " + target;
            QVERIFY2(!target.contains(QLatin1String("://")), qPrintable(where + ": leaves the help"));
            QVERIFY2(names.contains(file), qPrintable(where + ": no such page"));
            if (!anchor.isEmpty())
                QVERIFY2(pageText(file).contains(QStringLiteral("name=\"%1\"").arg(anchor)),
                         qPrintable(where + ": no such place"));
        }
    }
    QVERIFY(checked > 40);
}

void tst_HelpCollection::keywords_data()
{
    QTest::addColumn<QString>("keyword");
    QTest::addColumn<QString>("page");
    QTest::newRow("settings file") << "settings.ini" << "settings.html";
    QTest::newRow("replace question") << "replace" << "downloading.html";
    QTest::newRow("stopping") << "stop a download" << "downloading.html";
    QTest::newRow("zoom") << "zoom" << "imagebrowser.html";
    QTest::newRow("read-out") << "pixel value" << "imagebrowser.html";
    QTest::newRow("refused login") << "Account or password incorrect." << "troubleshooting.html";
    QTest::newRow("not stored") << "files that could not be stored" << "troubleshooting.html";
}

void tst_HelpCollection::keywords()
{
    QFETCH(QString, keyword);
    QFETCH(QString, page);
    const QList<QHelpLink> links = m_engine->documentsForKeyword(keyword);
    QCOMPARE(links.size(), 1);
    QCOMPARE(links.first().url.fileName(), page);
    const QString anchor = links.first().url.fragment();
    if (!anchor.isEmpty())
        QVERIFY(pageText(page).contains(QStringLiteral("name=\"%1\"").arg(anchor)));
}

void tst_HelpCollection::germanPages_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QStringList>("mustQuote");
    // The German pages quote the program's German texts, and link where the English ones do.
    QTest::newRow("index") << "index.html" << QStringList{"Hilfethemen", "VERBINDEN", "connecting.html"};
    QTest::newRow("connecting") << "connecting.html"
                                << QStringList{"anonym", "ABBRECHEN", "Verbinde...", "Konto oder Passwort falsch.",
                                               "Trennen", "troubleshooting.html#refused"};
    QTest::newRow("browsing") << "browsing.html" << QStringList{"Laden Sie die Datei zum Öffnen herunter.", "Im Ordner zeigen"};
    QTest::newRow("downloading")
        << "downloading.html"
        << QStringList{"Download-Ordner festlegen", "Download starten", "Dateien zum Herunterladen auswählen",
                       "Möchten Sie die vorhandene Datei ersetzen?", "Möchten Sie den Download wirklich abbrechen?",
                       "Zustand wird geprüft..", "Stopp"};
    QTest::newRow("image browser") << "imagebrowser.html" << QStringList{"Details", "16-Bit"};
    QTest::newRow("settings") << "settings.html" << QStringList{"settings.ini", "[Last Connect]"};
    QTest::newRow("troubleshooting") << "troubleshooting.html"
                                     << QStringList{"Verbindung fehlgeschlagen!", "Qt Assistant kann nicht gestartet werden",
                                                    "TARVELO_Help.exe"};
}

void tst_HelpCollection::germanPages()
{
    QFETCH(QString, page);
    QFETCH(QStringList, mustQuote);
    const QDir built(QStringLiteral(TARVELO_DOCUMENTATION_DIR));
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    for (const QString &name : {QStringLiteral("tarvelo_utility_de.qhc"), QStringLiteral("tarvelo_utility_de.qch")})
        QVERIFY2(QFile::copy(built.filePath(name), dir.filePath(name)), qPrintable(built.filePath(name)));
    QHelpEngineCore engine(dir.filePath(QStringLiteral("tarvelo_utility_de.qhc")));
    QVERIFY2(engine.setupData(), qPrintable(engine.error()));
    QCOMPARE(engine.registeredDocumentations(), QStringList{kNamespace});
    const QString text = QString::fromUtf8(engine.fileData(pageUrl(page)));
    QVERIFY2(text.contains(QLatin1String("lang=\"de\"")), qPrintable(page));
    QVERIFY(text.contains(QLatin1String("href=\"style.css\"")));
    for (const QString &quote : mustQuote)
        QVERIFY2(text.contains(quote), qPrintable(quote));
}

QTEST_GUILESS_MAIN(tst_HelpCollection)
#include "tst_helpcollection.moc"
