#pragma once
// Finding what a window shows and handing widgets the mouse events a user makes.
#include <QAction>
#include <QApplication>
#include <QHoverEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QWheelEvent>

#include <initializer_list>

namespace Gui {

// The item of one of the bar's menus with this text, or null.
inline QAction *menuAction(QMenuBar *bar, const QString &text)
{
    for (QAction *menu : bar->actions())
        for (QAction *action : menu->menu()->actions())
            if (action->text() == text)
                return action;
    return nullptr;
}

// The shown top-level widget of this object name, or null.
inline QWidget *visibleTopLevel(const QString &objectName)
{
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == objectName && w->isVisible())
            return w;
    return nullptr;
}

// A mouse event at pos, in the widget's own coordinates.
inline void sendMouse(QWidget *to, QEvent::Type type, QPoint pos, Qt::MouseButton button,
                      Qt::MouseButtons buttons)
{
    QMouseEvent event(type, pos, to->mapToGlobal(pos), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(to, &event);
}

// A left-button drag along the points: pressed at the first, released at the last.
inline void drag(QWidget *to, std::initializer_list<QPoint> path)
{
    const QPoint *p = path.begin();
    sendMouse(to, QEvent::MouseButtonPress, *p, Qt::LeftButton, Qt::LeftButton);
    while (++p != path.end())
        sendMouse(to, QEvent::MouseMove, *p, Qt::NoButton, Qt::LeftButton);
    sendMouse(to, QEvent::MouseButtonRelease, *(path.end() - 1), Qt::LeftButton, Qt::NoButton);
}

// A vertical wheel turn at pos; true if the widget took it.
inline bool wheel(QWidget *to, QPoint pos, QPoint angle)
{
    QWheelEvent event(QPointF(pos), QPointF(to->mapToGlobal(pos)), QPoint(), angle, Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(to, &event);
    return event.isAccepted();
}

// The pointer moving over the widget from one point to another.
inline void hover(QWidget *to, QPoint pos, QPoint from)
{
    QHoverEvent event(QEvent::HoverMove, QPointF(pos), QPointF(from));
    QApplication::sendEvent(to, &event);
}

} // namespace Gui
