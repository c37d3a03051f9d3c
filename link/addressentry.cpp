#include "link/addressentry.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>

namespace {
bool isPart(const QString &part)
{
    if (part.isEmpty())
        return true;
    if (part.size() > 3)
        return false;
    for (const QChar c : part) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    }
    return part.toInt() <= 255;
}

bool isSeparatorKey(const QKeyEvent *key)
{
    // Keypads of some locales give "," for their decimal key.
    return key->text() == QLatin1String(".")
           || (key->modifiers() & Qt::KeypadModifier && key->text() == QLatin1String(","));
}
} // namespace

AddressEntry::AddressEntry(QLineEdit *const (&boxes)[4], QObject *parent) : QObject(parent)
{
    for (int i = 0; i < 4; ++i) {
        m_boxes[i] = boxes[i];
        m_boxes[i]->installEventFilter(this);
    }
}

QStringList AddressEntry::split(const QString &text, int first, int *start)
{
    const QStringList parts = text.trimmed().split(QLatin1Char('.'));
    int from = first;
    if (parts.size() == 4)
        from = 0;
    else if (parts.size() > 4 - first)
        return {};
    for (const QString &part : parts) {
        if (!isPart(part))
            return {};
    }
    if (start)
        *start = from;
    return parts;
}

int AddressEntry::indexOf(QObject *watched) const
{
    for (int i = 0; i < 4; ++i) {
        if (m_boxes[i] == watched)
            return i;
    }
    return -1;
}

void AddressEntry::focusBox(int box, bool selectAll)
{
    QLineEdit *edit = m_boxes[box];
    edit->setFocus(Qt::TabFocusReason);
    if (selectAll)
        edit->selectAll();
    else
        edit->end(false);
}

bool AddressEntry::spread(int box, const QString &text)
{
    int start = 0;
    const QStringList parts = split(text, box, &start);
    if (parts.isEmpty())
        return false;
    for (int i = 0; i < parts.size(); ++i)
        m_boxes[start + i]->setText(parts.at(i));
    focusBox(start + parts.size() - 1, false);
    emit edited();
    return true;
}

bool AddressEntry::eventFilter(QObject *watched, QEvent *event)
{
    const int box = indexOf(watched);
    if (box < 0)
        return false;
    QLineEdit *edit = m_boxes[box];
    QClipboard *clipboard = QApplication::clipboard();
    switch (event->type()) {
    case QEvent::KeyPress: {
        auto *key = static_cast<QKeyEvent *>(event);
        if (isSeparatorKey(key)) {
            // A dot cannot go into a box anyway; after a number it means "next part".
            if (box < 3 && !edit->text().isEmpty())
                focusBox(box + 1, true);
            return true;
        }
        if (key->key() == Qt::Key_Backspace && box > 0 && edit->text().isEmpty()) {
            focusBox(box - 1, false);
            return true;
        }
        if (key->matches(QKeySequence::Paste)) {
            const QString text = clipboard->text();
            return text.contains(QLatin1Char('.')) && spread(box, text);
        }
        return false;
    }
    case QEvent::MouseButtonRelease: {
        auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::MiddleButton || !clipboard->supportsSelection())
            return false;
        const QString text = clipboard->text(QClipboard::Selection);
        return text.contains(QLatin1Char('.')) && spread(box, text);
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const QString text = drop->mimeData()->text();
        if (!text.contains(QLatin1Char('.')) || !spread(box, text))
            return false;
        drop->acceptProposedAction();
        return true;
    }
    case QEvent::ContextMenu: {
        // The standard menu, with its Paste taking the same road as Ctrl+V.
        QMenu *menu = edit->createStandardContextMenu();
        menu->setAttribute(Qt::WA_DeleteOnClose);
        for (QAction *action : menu->actions()) {
            // Known by its text: Qt gives the standard actions no names.
            if (!action->text().startsWith(QLineEdit::tr("&Paste")))
                continue;
            disconnect(action, nullptr, edit, nullptr);
            connect(action, &QAction::triggered, edit, [this, box, edit] {
                const QString text = QApplication::clipboard()->text();
                if (!text.contains(QLatin1Char('.')) || !spread(box, text))
                    edit->paste();
            });
        }
        menu->popup(static_cast<QContextMenuEvent *>(event)->globalPos());
        return true;
    }
    default:
        return false;
    }
}
