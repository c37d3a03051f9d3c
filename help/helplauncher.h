#pragma once
#include <QCoreApplication>
#include <QList>
#include <QString>

class QProcess;

// Starts the help viewer on demand, keeps it running between requests and ends it on exit.
class HelpLauncher
{
    Q_DECLARE_TR_FUNCTIONS(HelpLauncher)

public:
    static constexpr char kViewerName[] = "TARVELO_Help.exe";
    static constexpr char kCollection[] = "documentation/tarvelo_utility.qhc";
    // Preferred while the program speaks German (the English one where it is missing).
    static constexpr char kGermanCollection[] = "documentation/tarvelo_utility_de.qhc";
    // Must match the namespace compiled into the collection (help/doc/tarvelo_utility.qhp).
    static constexpr char kNamespace[] = "com.tarvelo.utility";

    // Where the viewer and the folder holding documentation/ sit in one layout of the files.
    struct Place
    {
        QString viewerFolder;
        QString helpFolder;
    };
    // What a start would use: the viewer program and the collection file.
    struct Found
    {
        QString viewer;
        QString collection;
        QString viewerExpectedAt; // named in the message when the viewer cannot be started
    };

    // programFolder: the folder of the program's executable (empty: the real one).
    // installPrefix: the prefix the program was built for (empty: the one compiled in).
    // Tests pass folders of their own for both.
    explicit HelpLauncher(const QString &programFolder = QString(),
                          const QString &installPrefix = QString());
    ~HelpLauncher();
    HelpLauncher(const HelpLauncher &) = delete;
    HelpLauncher &operator=(const HelpLauncher &) = delete;

    void showHelpPage(const QString &page);
    bool ensureRunning();

    bool isRunning() const;
    static QByteArray sourceCommand(const QString &page);

    // The layouts looked at, in order: beside the executable (the build folder), the
    // installed layout relative to the executable, then the installed layout at the prefix.
    QList<Place> places() const;
    Found locate() const;

private:
    QString programFolder() const;

    QString m_programFolder;
    QString m_installPrefix;
    QProcess *m_process = nullptr;
};
