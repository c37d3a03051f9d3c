#pragma once
#include <QObject>

#include <functional>

class ImageLoadDialog;
class QMenu;
class QWidget;

// The main window's image entries: "Open Image…" (Ctrl+O), "Recent Images" and the view
// export, all acting on the image browser.
class ImageMenu : public QObject
{
    Q_OBJECT
public:
    // Adds the entries to menu; the browser outlives this object.
    ImageMenu(QMenu *menu, ImageLoadDialog *browser, QWidget *window);

    // Supplies a path for "Open Image…" and the exports; empty means cancelled. The
    // default asks with the platform's file dialogs.
    using Chooser = std::function<QString(bool save)>;
    void setChooser(Chooser chooser) { m_chooser = std::move(chooser); }
    QMenu *recentMenu() const { return m_recent; }

public slots:
    void openImage();
    void openRecent(const QString &path);
    void exportView(bool wholeImage);

private:
    void fillRecent();
    QString choose(bool save);

    ImageLoadDialog *m_browser;
    QWidget *m_window;
    QMenu *m_recent;
    Chooser m_chooser;
};
