// The browser: clicks, double clicks and context menus on the folder tree and the file list.
#include "browser/browserpanel.h"

#include "link/listing.h"
#include "link/remotepath.h"

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTreeWidget>

void BrowserPanel::treeItemClicked(QTreeWidgetItem *item)
{
    if (!item)
        return;
    changeRemoteFolder(treeItemPath(item));
    updateDownloadEnabled();
}

void BrowserPanel::listItemClicked(QListWidgetItem *)
{
    updateDownloadEnabled();
}

void BrowserPanel::listItemDoubleClicked(QListWidgetItem *item)
{
    updateDownloadEnabled();
    if (!item)
        return;
    const QString name = item->text();
    // Asked of the rows: the map of every row's kind takes a folder of 100,000 entries some
    // 50 ms to build, a pause on every first open there.
    if (m_listing.isFile(name)) {
        emit openRequested(name);
        return;
    }
    if (refuseWhileLocked())
        return;
    const bool up = name == FolderListing::kParent;
    goTo(up ? RemotePath::parent(m_currentRemotePath) : RemotePath::join(m_currentRemotePath, name),
         !up);
}

void BrowserPanel::listMenuRequested(const QPoint &pos)
{
    // Scroll areas report the position in their viewport's coordinates.
    if (m_listMenu)
        m_listMenu->popup(m_list->viewport()->mapToGlobal(pos));
}

void BrowserPanel::treeMenuRequested(const QPoint &pos)
{
    // The folder under the pointer; from the keyboard, or on the empty space below the
    // folders, the one selected.
    QTreeWidgetItem *item = m_tree->itemAt(pos);
    if (!item) {
        const QList<QTreeWidgetItem *> selected = m_tree->selectedItems();
        item = selected.isEmpty() ? nullptr : selected.first();
    }
    if (!m_treeMenu || !item || item->text(0) == RemotePath::kRoot)
        return;
    m_treeMenuTarget = treeItemPath(item);
    m_treeDownloadAction->setText(tr("Download \u201C%1\u201D").arg(item->text(0)));
    m_treeNewFilesAction->setText(tr("Download new files in \u201C%1\u201D").arg(item->text(0)));
    // The folder the menu is about stays marked while the menu is open; the selection
    // keeps showing the folder in the list.
    markTreeItem(findTreeItem(m_markedTreeFolder), false);
    m_markedTreeFolder = m_treeMenuTarget;
    markTreeItem(item, true);
    m_treeMenu->popup(m_tree->viewport()->mapToGlobal(pos));
}

void BrowserPanel::markTreeItem(QTreeWidgetItem *item, bool marked)
{
    if (item)
        item->setBackground(0, marked ? QBrush(QColor(223, 225, 228)) : QBrush());
}

QString BrowserPanel::takeTreeMenuTarget()
{
    QString target;
    target.swap(m_treeMenuTarget);
    if (target.isEmpty()) {
        const QList<QTreeWidgetItem *> selected = m_tree->selectedItems();
        if (!selected.isEmpty())
            target = treeItemPath(selected.first());
    }
    return target;
}

bool BrowserPanel::treeViewportEvent(QEvent *event)
{
    // The press would select the folder under the pointer (and a release could report a
    // click on it) while the list goes on showing another folder. The context menu is
    // asked for all the same: it comes as an event of its own.
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        return static_cast<QMouseEvent *>(event)->button() == Qt::RightButton;
    default:
        return false;
    }
}

void BrowserPanel::clear()
{
    QTreeWidgetItem *root = nullptr;
    if (m_tree->topLevelItemCount() > 0) {
        root = findTreeItem(RemotePath::kRoot);
        if (root)
            removeTreeChildren(root);
    }
    m_list->clear();
    m_history.clear();
    m_goingBack = false;
    updateDownloadEnabled();
    if (root && root->treeWidget() == m_tree)
        root->setHidden(true);
}
