#pragma once
class QWidget;
class QPoint;

// Where the program's own top-level dialogs appear. They have no parent (each stays usable
// while the main window is disabled), so Qt would centre them on the screen; instead each
// opens centred over its anchor, and steps aside when it would land on another visible
// dialog and hide it.
namespace DialogPlacement {

enum class Others {
    StepAside, // moved down and right while it would lie on another visible dialog
    Ignore     // for a dialog that follows on a question, shown while the question still is
};

// From now on, every time `dialog` is shown it is placed over `anchor`'s window; without an
// anchor, over the program's visible main window (or the active window) at that moment.
void follow(QWidget *dialog, Others others = Others::StepAside, QWidget *anchor = nullptr);

// The place follow() gives `dialog` now.
QPoint place(const QWidget *dialog, const QWidget *anchor, Others others = Others::StepAside);

} // namespace DialogPlacement
