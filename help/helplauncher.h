#pragma once
#include <QCoreApplication>
#include <QString>

class QProcess;

// Starts the help viewer on demand, keeps it running between requests and ends it on exit.
class HelpLauncher
{
    Q_DECLARE_TR_FUNCTIONS(HelpLauncher)

public:
    static constexpr char kViewerName[] = "TARVELO_Help.exe";
    static constexpr char kCollection[] = "documentation/tarvelo_utility.qhc";
    // Must match the namespace compiled into the collection (help/doc/tarvelo_utility.qhp).
    static constexpr char kNamespace[] = "com.tarvelo.utility";

    // The viewer and its collection are looked for in programFolder; empty means the folder
    // of the program's own executable (tests pass a folder of their own).
    explicit HelpLauncher(const QString &programFolder = QString());
    ~HelpLauncher();
    HelpLauncher(const HelpLauncher &) = delete;
    HelpLauncher &operator=(const HelpLauncher &) = delete;

    void showHelpPage(const QString &page);
    bool ensureRunning();

    bool isRunning() const;
    static QByteArray sourceCommand(const QString &page);

private:
    QString programFolder() const;
    QString viewerProgram() const;

    QString m_programFolder;
    QProcess *m_process = nullptr;
};
