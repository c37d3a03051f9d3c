#include "common/translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QLoggingCategory>
#include <QTranslator>

// Outside any namespace, as Q_INIT_RESOURCE requires; the reference also keeps the
// translations' library in the link.
static void initTranslationResources()
{
    Q_INIT_RESOURCE(tarvelo_translations);
}

namespace {
Q_LOGGING_CATEGORY(lcTranslations, "tarvelo.translations", QtWarningMsg)

QString qtTranslationsFolder()
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return QLibraryInfo::path(QLibraryInfo::TranslationsPath);
#else
    return QLibraryInfo::location(QLibraryInfo::TranslationsPath);
#endif
}

// Kept for the life of the program: an installed translator must outlive its use.
QTranslator &ownTranslator()
{
    static QTranslator translator;
    return translator;
}

QTranslator &qtTranslator()
{
    static QTranslator translator;
    return translator;
}

QString &currentLanguage()
{
    static QString language = QStringLiteral("en");
    return language;
}
} // namespace

QString Translations::current()
{
    return currentLanguage();
}

QString Translations::desktopLanguage()
{
    // The first language the desktop asks for decides (LANGUAGE, LC_ALL, LC_MESSAGES, LANG):
    // German in any of its countries gives German, everything else English.
    const QStringList wanted = QLocale::system().uiLanguages();
    const QLocale first(wanted.isEmpty() ? QString() : wanted.first());
    return first.language() == QLocale::German ? QStringLiteral("de") : QStringLiteral("en");
}

bool Translations::install(QCoreApplication *app, const QString &language)
{
    static const bool resourcesReady = (initTranslationResources(), true);
    Q_UNUSED(resourcesReady);
    app->removeTranslator(&ownTranslator());
    app->removeTranslator(&qtTranslator());
    currentLanguage() = QStringLiteral("en");
    if (language == QLatin1String("en"))
        return true;
    // Qt's own first, so that the program's own, searched first, has the last word.
    if (qtTranslator().load(QStringLiteral("qtbase_") + language, qtTranslationsFolder()))
        app->installTranslator(&qtTranslator());
    else
        qCWarning(lcTranslations) << "Qt's own translations for" << language << "not found in"
                                  << qtTranslationsFolder();
    if (!ownTranslator().load(QStringLiteral(":/i18n/tarvelo_") + language)) {
        qCWarning(lcTranslations) << "no translation of the program into" << language;
        return false;
    }
    app->installTranslator(&ownTranslator());
    currentLanguage() = language;
    return true;
}
