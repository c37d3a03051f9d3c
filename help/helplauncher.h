#pragma once
#include <QString>

class QProcess;

// Starts the help viewer on demand, keeps it running between requests and ends it on exit.
class HelpLauncher
{
public:
    HelpLauncher() = default;
    ~HelpLauncher();
    HelpLauncher(const HelpLauncher &) = delete;
    HelpLauncher &operator=(const HelpLauncher &) = delete;

    void showHelpPage(const QString &page);
    bool ensureRunning();

private:
    QProcess *m_process = nullptr;
};
