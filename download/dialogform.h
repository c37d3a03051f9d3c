#pragma once
// Building blocks of the download dialogs' fixed forms.
#include <QDialog>
#include <QFont>
#include <QLabel>
#include <QPushButton>
#include <QString>
#include <QStringList>

namespace DialogForm {

// Arial bold (weight 75 in Qt 5's scale); pointSize 0 keeps the default size.
inline QFont boldFont(int pointSize = 0)
{
    QFont font(QStringLiteral("Arial"));
    if (pointSize > 0)
        font.setPointSize(pointSize);
    font.setWeight(QFont::Bold);
    return font;
}

// Room kept between a button's text and its frame.
constexpr int kTextMargin = 8;

// A form's widget too narrow for its text (German runs a third longer than English) grows
// about its centre, within the dialog: the form's places hold for the texts they were made for.
inline void widenForText(QWidget *w, int needed)
{
    const QRect place = w->geometry();
    const int room = w->parentWidget() ? w->parentWidget()->width() - 2 * kTextMargin : needed;
    const int width = qMin(needed, room);
    if (width <= place.width())
        return;
    QRect wider(0, place.y(), width, place.height());
    wider.moveCenter(QPoint(place.center().x(), place.center().y()));
    if (w->parentWidget()) // kept inside the dialog
        wider.moveLeft(qBound(kTextMargin, wider.left(), w->parentWidget()->width() - kTextMargin - width));
    w->setGeometry(wider);
}

inline QPushButton *button(QWidget *parent, const char *name, const QRect &geometry,
                           const QString &text)
{
    auto *b = new QPushButton(parent);
    b->setObjectName(QLatin1String(name));
    b->setGeometry(geometry);
    b->setMinimumSize(80, 30);
    b->setFont(boldFont());
    b->setText(text);
    widenForText(b, b->fontMetrics().horizontalAdvance(text) + kTextMargin);
    return b;
}

inline QLabel *label(QWidget *parent, const char *name, const QRect &geometry,
                     const QString &text)
{
    auto *l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(geometry);
    l->setFont(boldFont(10));
    l->setText(text);
    widenForText(l, l->fontMetrics().boundingRect(text).width() + 2);
    return l;
}

// A notice's or question's one line of text: across the dialog's width, centred, wrapped
// should a translation or a large font need it, so it is never cut off.
inline QLabel *messageLabel(QWidget *parent, const QRect &geometry, const QString &text)
{
    QLabel *l = label(parent, "label", geometry, text);
    l->setGeometry(geometry); // wraps rather than grows
    l->setAlignment(Qt::AlignCenter);
    l->setWordWrap(true);
    l->setTextFormat(Qt::PlainText);
    return l;
}

} // namespace DialogForm

namespace DialogForm {

// The replace question's widgets, shared by the list and the tree variant.
struct ReplaceQuestion
{
    QLabel *label = nullptr;
    QPushButton *pushButton = nullptr;   // "Yes"
    QPushButton *pushButton_2 = nullptr; // "No"
    QPushButton *onlyNew = nullptr;      // "Only new files"
};

enum class CreationOrder { LabelYesNo, NoLabelYes };

ReplaceQuestion buildReplaceQuestion(QDialog *dialog, const QString &yes, const QString &no,
                                     CreationOrder order);

// Sizes the question to its text, with its answers in a row below.
void fitReplaceQuestion(QDialog *dialog, const ReplaceQuestion &form);

// Words the question for the entries of `names` that are in localFolder and shows it.
void askReplace(QDialog *dialog, const ReplaceQuestion &form, const QString &localFolder,
                const QStringList &names);

} // namespace DialogForm
