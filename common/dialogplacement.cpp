#include "common/dialogplacement.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QMainWindow>
#include <QPointer>
#include <QScreen>

namespace {

// A dialog closer than this to another one would read as lying on top of it.
constexpr int kNear = 24;
// Far enough down that the covered dialog's first lines (a progress bar, a question) stay
// in sight.
const QPoint kStep(32, 112);

const QWidget *defaultAnchor(const QWidget *dialog)
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w != dialog && w->isVisible() && qobject_cast<QMainWindow *>(w))
            return w;
    }
    const QWidget *active = QApplication::activeWindow();
    return active != dialog ? active : nullptr;
}

bool covers(const QRect &candidate, const QWidget *dialog, const QWidget *anchor)
{
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (w == dialog || w == anchor || !w->isVisible() || !qobject_cast<QDialog *>(w))
            continue;
        const QRect other = w->frameGeometry();
        if (candidate.intersects(other) && qAbs(candidate.left() - other.left()) < kNear
            && qAbs(candidate.top() - other.top()) < kNear)
            return true;
    }
    return false;
}

class Follower : public QObject
{
public:
    Follower(QWidget *dialog, DialogPlacement::Others others, QWidget *anchor)
        : QObject(dialog), m_anchor(anchor), m_hasAnchor(anchor), m_others(others)
    {
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // Show arrives before the window is mapped, so the move is not seen as a jump.
        if (event->type() == QEvent::Show && !event->spontaneous()) {
            auto *dialog = static_cast<QWidget *>(watched);
            const QWidget *anchor = m_hasAnchor ? m_anchor.data() : nullptr;
            if (!m_hasAnchor || anchor)
                dialog->move(DialogPlacement::place(dialog, anchor, m_others));
        }
        return false;
    }

private:
    QPointer<QWidget> m_anchor;
    bool m_hasAnchor;
    DialogPlacement::Others m_others;
};

} // namespace

namespace DialogPlacement {

void follow(QWidget *dialog, Others others, QWidget *anchor)
{
    dialog->installEventFilter(new Follower(dialog, others, anchor));
}

QPoint place(const QWidget *dialog, const QWidget *anchor, Others others)
{
    if (!anchor)
        anchor = defaultAnchor(dialog);
    if (anchor)
        anchor = anchor->window();
    QScreen *screen = anchor ? anchor->screen() : dialog->screen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    const QRect over = anchor && anchor->isVisible() ? anchor->frameGeometry() : area;
    const QSize size = dialog->frameGeometry().size();
    QRect candidate(QPoint(), size);
    candidate.moveCenter(over.center());
    for (int i = 0; i < 12 && others == Others::StepAside && covers(candidate, dialog, anchor); ++i)
        candidate.translate(kStep);
    // Whole on the screen where it can be.
    if (area.isValid()) {
        candidate.moveRight(qMin(candidate.right(), area.right()));
        candidate.moveBottom(qMin(candidate.bottom(), area.bottom()));
        candidate.moveLeft(qMax(candidate.left(), area.left()));
        candidate.moveTop(qMax(candidate.top(), area.top()));
    }
    return candidate.topLeft();
}

} // namespace DialogPlacement
