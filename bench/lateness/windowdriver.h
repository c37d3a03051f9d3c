#pragma once
// Drives the real main window as a user does: the "Connect" menu entry, the login dialog's
// boxes and "CONNECT", a click on an entry of the file list, "Download", "Yes" to a replace
// question. Widgets are found by their object names and texts only, so that the same driver
// runs against earlier trees whose window kept those names.
#include <QString>
#include <QStringList>

#include <functional>

class MainWindow;
class QWidget;

namespace lateness {

// Runs the event loop until done() holds or limitMs have passed; true if it held.
bool waitUntil(const std::function<bool()> &done, int limitMs);

class WindowDriver
{
public:
    explicit WindowDriver(MainWindow &window);

    void logIn(const QString &address);
    void waitForEntries(const QStringList &names);
    void select(const QString &name);
    // Presses "Download" and answers a replace question with "Yes"; fails unless a download
    // has begun.
    void startDownload();
    // Selects the folder entry and presses Enter on it, as the user opens a folder.
    void open(const QString &name);
    // Entries the file list shows.
    int entryCount() const;
    // The progress dialog is up or the window is still closed to input.
    bool downloading() const;
    // The text of the notice box while one is shown, else empty.
    QString notice() const;
    // The progress dialog's bar, 0 when it is not shown.
    int progressPercent() const;
    // Presses the notice box's button, when one is shown.
    void dismissNotice();

private:
    QWidget *shownTopLevel(const QString &objectName) const;

    MainWindow &m_window;
};

} // namespace lateness
