#pragma once
// Whether a label's text is drawn whole: measured with the font metrics of the label's own
// font against the room the label has, wrapping the way the label wraps. Checked in every
// language the program speaks: German runs about a third longer than English.
#include "common/translations.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QStringList>

namespace TextFit {

inline QStringList languages()
{
    return {QStringLiteral("en"), QStringLiteral("de")};
}

// The program speaks `language` while this lives (windows made meanwhile use it), English after.
class Speaking
{
public:
    explicit Speaking(const QString &language)
    {
        Translations::install(QCoreApplication::instance(), language);
    }
    ~Speaking() { Translations::install(QCoreApplication::instance(), QStringLiteral("en")); }
    Speaking(const Speaking &) = delete;
    Speaking &operator=(const Speaking &) = delete;
};

// Empty when the button's text fits between its frame's edges; otherwise what does not.
inline QString overflow(const QPushButton *button)
{
    const int needed = button->fontMetrics().horizontalAdvance(button->text()) + 8;
    if (button->width() >= needed)
        return QString();
    return QStringLiteral("%1 \"%2\" needs %3, has %4")
        .arg(button->objectName(), button->text()).arg(needed).arg(button->width());
}

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
