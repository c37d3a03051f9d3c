#include "app/mainwindow.h"
#include "common/translations.h"

#include <QApplication>
#include <QLoggingCategory>

// Quiet unless asked for (QT_LOGGING_RULES="tarvelo.startup.info=true"); the install test
// reads it to know the installed program got as far as its window.
Q_LOGGING_CATEGORY(lcStartup, "tarvelo.startup", QtWarningMsg)

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Lets the desktop match the window to the installed desktop entry and its icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("com.tarvelo.utility"));
    const QString language = Translations::desktopLanguage();
    Translations::install(&app, language);
    qCInfo(lcStartup, "language: %s", qPrintable(language));
    int code = 0;
    {
        MainWindow window;
        window.show();
        qCInfo(lcStartup, "main window shown");
        code = app.exec();
    }
    return code;
}
