#pragma once
// Controls disabled while a download runs keep their own tool tip aside and show the reason
// instead, so that hovering over one tells why it does nothing.
#include <QAction>
#include <QVariant>
#include <QWidget>

namespace LockHint {

inline const char kOwnTip[] = "tarveloOwnToolTip";

template <class T>
void apply(T *control, bool locked, const QString &why)
{
    if (!control)
        return;
    const QVariant own = control->property(kOwnTip);
    if (locked) {
        if (!own.isValid())
            control->setProperty(kOwnTip, control->toolTip());
        control->setToolTip(why);
    } else if (own.isValid()) {
        control->setToolTip(own.toString());
        control->setProperty(kOwnTip, QVariant());
    }
}

// Disables (or enables again) and explains.
template <class T>
void lock(T *control, bool locked, const QString &why)
{
    if (!control)
        return;
    apply(control, locked, why);
    control->setEnabled(!locked);
}

} // namespace LockHint
