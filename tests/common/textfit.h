#pragma once
// Whether a label's text is drawn whole: measured with the font metrics of the label's own
// font against the room the label has, wrapping the way the label wraps.
#include <QFontMetrics>
#include <QLabel>
#include <QString>

namespace TextFit {

// Empty when the text fits; otherwise what does not, for the failure message.
inline QString overflow(const QLabel *label)
{
    const QFontMetrics metrics(label->font());
    const QRect room = label->contentsRect();
    int flags = int(label->alignment());
    if (label->wordWrap())
        flags |= Qt::TextWordWrap;
    const QRect needed = metrics.boundingRect(room, flags, label->text());
    if (needed.width() <= room.width() && needed.height() <= room.height())
        return QString();
    return QStringLiteral("%1 \"%2\" needs %3x%4, has %5x%6")
        .arg(label->objectName(), label->text())
        .arg(needed.width()).arg(needed.height()).arg(room.width()).arg(room.height());
}

} // namespace TextFit
