// The browser: the file list's keyboard and the tool tips of its elided names.
#include "browser/browserpanel.h"

#include "link/listing.h"

#include <QHelpEvent>
#include <QKeyEvent>
#include <QListWidget>
#include <QStyle>
#include <QToolTip>
#include <QTreeWidget>

bool BrowserPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_list) {
        switch (event->type()) {
        case QEvent::KeyPress:
            return listKeyPressed(static_cast<QKeyEvent *>(event));
        case QEvent::KeyRelease:
        case QEvent::FocusOut:
            m_keySelecting = false;
            break;
        default:
            break;
        }
    } else if (watched == m_list->viewport() && event->type() == QEvent::ToolTip) {
        return listToolTip(static_cast<QHelpEvent *>(event));
    } else if (watched == m_tree->viewport() && treeViewportEvent(event)) {
        return true;
    }
    return QObject::eventFilter(watched, event);
}

bool BrowserPanel::listKeyPressed(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    if (enter && modifiers == Qt::NoModifier) {
        if (QListWidgetItem *item = m_list->currentItem()) {
            listItemDoubleClicked(item);
            return true;
        }
        return false;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAllEntries();
        return true;
    }
    // The list moves the selection once this returns; listSelectionChanged sees the flag.
    m_keySelecting = true;
    return false;
}

// What a click on the item does to the download controls, for a selection made with keys.
void BrowserPanel::listSelectionChanged()
{
    QListWidgetItem *item = m_list->currentItem();
    if (m_keySelecting && item && item->isSelected())
        listItemClicked(item);
}

// Only a name cut short by the cell gets a tool tip: it is the one way to read it whole.
bool BrowserPanel::listToolTip(QHelpEvent *event)
{
    QListWidgetItem *item = m_list->itemAt(event->pos());
    if (!item) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    const QRect cell = m_list->visualItemRect(item);
    const int margin = m_list->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, m_list) + 1;
    const QString name = item->text();
    if (m_list->fontMetrics().horizontalAdvance(name) > cell.width() - 2 * margin)
        QToolTip::showText(event->globalPos(), name, m_list->viewport(), cell);
    else
        QToolTip::hideText();
    return true;
}
