#include "app/mainwindow.h"
#include "common/translations.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QLoggingCategory>
#include <QUrl>

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
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Browses an instrument's folders, downloads files and views TIFF images."));
    parser.addHelpOption();
    parser.addPositionalArgument(QStringLiteral("files"), QStringLiteral("TIFF images to open in the image browser."),
                                 QStringLiteral("[FILE.tif...]"));
    parser.process(app);
    int code = 0;
    {
        MainWindow window;
        window.show();
        qCInfo(lcStartup, "main window shown");
        // Local paths or file:// addresses, as file managers pass them.
        QStringList files;
        for (const QString &argument : parser.positionalArguments())
            files << (argument.startsWith(QLatin1String("file:")) ? QUrl(argument).toLocalFile() : argument);
        window.openImageFiles(files);
        code = app.exec();
    }
    return code;
}
