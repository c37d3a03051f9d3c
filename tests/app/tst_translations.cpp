// The program in German: every text the sources pass through translation has a finished
// German translation (names those that have none), the desktop's language chooses the
// program's, and Qt's own German comes with it.
#include "common/translations.h"

#include <QtTest>
#include <QDialogButtonBox>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QXmlStreamReader>

namespace {

struct Message
{
    QString context;
    QString source;
    QString translationType; // "" when finished; "unfinished", "vanished", "obsolete"
    QString translation;
};

QList<Message> readTs(const QString &path, QString *error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = file.errorString();
        return {};
    }
    QList<Message> messages;
    QString context;
    Message message;
    QXmlStreamReader xml(&file);
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement())
            continue;
        const auto name = xml.name();
        if (name == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (name == QLatin1String("message")) {
            message = Message{context, QString(), QString(), QString()};
        } else if (name == QLatin1String("source")) {
            message.source = xml.readElementText();
        } else if (name == QLatin1String("translation")) {
            message.translationType = xml.attributes().value(QLatin1String("type")).toString();
            message.translation = xml.readElementText(QXmlStreamReader::IncludeChildElements);
            messages.append(message);
        }
    }
    if (xml.hasError())
        *error = xml.errorString();
    return messages;
}

QString describe(const Message &m)
{
    return QStringLiteral("  %1: \"%2\"").arg(m.context, m.source);
}

} // namespace

class tst_Translations : public QObject
{
    Q_OBJECT
private slots:
    void everyTextHasGerman();
    void qtAndProgramTranslationsLoad();
    void desktopLanguageChooses_data();
    void desktopLanguageChooses();
};

// The sources are read afresh by lupdate into a copy of the committed translations, so a
// text added or changed since shows up here by name; `cmake --build build --target
// tarvelo-lupdate` then brings it into translations/tarvelo_de.ts for translating.
void tst_Translations::everyTextHasGerman()
{
    QTemporaryDir work;
    QVERIFY(work.isValid());
    const QString committed = QStringLiteral(TARVELO_TS_FILE);
    const QString fresh = work.filePath(QStringLiteral("fresh.ts"));
    QVERIFY(QFile::copy(committed, fresh));

    QProcess lupdate;
    lupdate.setWorkingDirectory(QStringLiteral(TARVELO_SOURCE_DIR));
    lupdate.setProcessChannelMode(QProcess::MergedChannels);
    const QStringList arguments = QStringLiteral(TARVELO_LUPDATE_ARGUMENTS).split(QLatin1Char('|'))
                                  + QStringList{QStringLiteral("-ts"), fresh};
    lupdate.start(QStringLiteral(TARVELO_LUPDATE), arguments);
    QVERIFY2(lupdate.waitForFinished(120000), qPrintable(lupdate.errorString()));
    const QString log = QString::fromLocal8Bit(lupdate.readAll());
    QVERIFY2(lupdate.exitStatus() == QProcess::NormalExit && lupdate.exitCode() == 0, qPrintable(log));

    QString error;
    const QList<Message> before = readTs(committed, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    const QList<Message> after = readTs(fresh, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    QVERIFY(!after.isEmpty());

    QStringList untranslated;
    QSet<QString> inSources;
    for (const Message &m : after) {
        inSources.insert(m.context + QLatin1Char('\n') + m.source);
        if (!m.translationType.isEmpty() || m.translation.isEmpty())
            untranslated << describe(m);
    }
    QStringList obsolete;
    for (const Message &m : before) {
        if (!inSources.contains(m.context + QLatin1Char('\n') + m.source))
            obsolete << describe(m);
    }
    QVERIFY2(untranslated.isEmpty(),
             qPrintable(QStringLiteral("Texts without German (run the tarvelo-lupdate target, then "
                                       "translate them in translations/tarvelo_de.ts):\n")
                        + untranslated.join(QLatin1Char('\n'))));
    QVERIFY2(obsolete.isEmpty(),
             qPrintable(QStringLiteral("Texts in translations/tarvelo_de.ts the sources no longer "
                                       "have (run the tarvelo-lupdate target):\n")
                        + obsolete.join(QLatin1Char('\n'))));
}

void tst_Translations::qtAndProgramTranslationsLoad()
{
    QVERIFY(Translations::install(QCoreApplication::instance(), QStringLiteral("de")));
    QCOMPARE(QCoreApplication::translate("MainWindow", "&File"), QStringLiteral("&Datei"));
    {
        // Qt's own buttons, as the file chooser and message boxes show them.
        // (Qt 5's German gives it no shortcut key, Qt 6's does.)
        QDialogButtonBox box(QDialogButtonBox::Cancel);
        QCOMPARE(box.button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&')), QStringLiteral("Abbrechen"));
    }
    QVERIFY(Translations::install(QCoreApplication::instance(), QStringLiteral("en")));
    QCOMPARE(QCoreApplication::translate("MainWindow", "&File"), QStringLiteral("&File"));
    QDialogButtonBox box(QDialogButtonBox::Cancel);
    QCOMPARE(box.button(QDialogButtonBox::Cancel)->text().remove(QLatin1Char('&')), QStringLiteral("Cancel"));
}

void tst_Translations::desktopLanguageChooses_data()
{
    QTest::addColumn<QString>("lang");
    QTest::addColumn<QString>("language");
    QTest::newRow("German") << "de_DE.UTF-8" << "de";
    QTest::newRow("German, Austria") << "de_AT.UTF-8" << "de";
    QTest::newRow("English") << "en_US.UTF-8" << "en";
    QTest::newRow("French") << "fr_FR.UTF-8" << "en";
    QTest::newRow("C") << "C" << "en";
}

// The program itself, started as the desktop would, says which language it chose.
void tst_Translations::desktopLanguageChooses()
{
    QFETCH(QString, lang);
    QFETCH(QString, language);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"})
        environment.remove(QString::fromLatin1(name));
    environment.insert(QStringLiteral("LANG"), lang);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    environment.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("tarvelo.startup.info=true"));
    QProcess program;
    program.setProcessEnvironment(environment);
    program.setProcessChannelMode(QProcess::MergedChannels);
    program.start(QStringLiteral(TARVELO_PROGRAM), QStringList());
    QVERIFY2(program.waitForStarted(10000), qPrintable(program.errorString()));
    QString output;
    const auto seen = [&](const QString &line) {
        output += QString::fromLocal8Bit(program.readAll());
        return output.contains(line);
    };
    QTRY_VERIFY2_WITH_TIMEOUT(seen(QStringLiteral("main window shown")) || program.state() == QProcess::NotRunning,
                              qPrintable(output), 60000);
    program.kill();
    program.waitForFinished(5000);
    output += QString::fromLocal8Bit(program.readAll());
    QVERIFY2(output.contains(QStringLiteral("language: ") + language), qPrintable(output));
}

QTEST_MAIN(tst_Translations)
#include "tst_translations.moc"
