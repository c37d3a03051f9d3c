#include "help/helplauncher.h"

// Stub: filled in by the help work.
HelpLauncher::~HelpLauncher() = default;
void HelpLauncher::showHelpPage(const QString &) {}
bool HelpLauncher::ensureRunning() { return false; }
