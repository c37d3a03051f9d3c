#pragma once
#include <QList>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QString>

class QSizeGrip;
class QSplitter;
class QWidget;

// The frame the main window draws without: a resize grip at the bottom right, resizing from
// the edges of its margin, moves that keep the title strip (and with it the window's own
// buttons) on a screen, and the window's place and splitter kept in the settings file.
class WindowFrame : public QObject
{
    Q_OBJECT
public:
    // Height of the strip that holds the window buttons and is dragged to move the window.
    static constexpr int kTitleHeight = 40;

    WindowFrame(QWidget *window, QWidget *surface, QSplitter *splitter,
                const QString &settingsPath);

    // Before the window is first shown: size, place and maximised state from the settings
    // file; the splitter's sizes follow once the window has its size.
    void restore();
    void restoreSplitter();
    void save() const;

    // Where a window of `frame` may go when dragged to `wanted`: its title strip stays on
    // one of the screens, at least a grip's width of it across.
    static QPoint keepTitleOnScreen(const QRect &frame, QPoint wanted);
    QSizeGrip *sizeGrip() const { return m_grip; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Qt::Edges edgesAt(const QPoint &pos) const;
    void placeGrip();

    QWidget *m_window;
    QWidget *m_surface; // takes the presses in the window's margin
    QSplitter *m_splitter;
    QString m_settingsPath;
    QSizeGrip *m_grip;
    Qt::Edges m_resizing;
    QPoint m_pressGlobal;
    QRect m_pressGeometry;
    QList<int> m_storedSplitter;
};
