// The browser: clicks, double clicks and context menus on the folder tree and the file list.
#include "browser/browserpanel.h"

#include "browser/listing.h"
#include "browser/remotepath.h"

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>

void BrowserPanel::setDownloadEnabled(bool enabled)
{
    if (m_downloadButton)
        m_downloadButton->setEnabled(enabled);
    if (m_menuDownloadAction)
        m_menuDownloadAction->setEnabled(enabled);
}

void BrowserPanel::treeItemClicked(QTreeWidgetItem *item)
{
    if (!item)
        return;
    const QList<QTreeWidgetItem *> selected = m_tree->selectedItems();
    changeRemoteFolder(treeItemPath(item));
    if (!selected.isEmpty())
        setDownloadEnabled(selected.first()->text(0) != RemotePath::kRoot);
}

void BrowserPanel::listItemClicked(QListWidgetItem *item)
{
    if (item)
        setDownloadEnabled(item->text() != FolderListing::kParent);
}

void BrowserPanel::listItemDoubleClicked(QListWidgetItem *item)
{
    if (m_downloadButton)
        m_downloadButton->setEnabled(true);
    if (!item)
        return;
    const QString name = item->text();
    if (itemKinds().value(name) == FolderListing::kFile) {
        emit openRequested(name);
        return;
    }
    const bool up = name == FolderListing::kParent;
    const QString path = up ? RemotePath::parent(m_currentRemotePath)
                            : RemotePath::join(m_currentRemotePath, name);
    // One folder stays selected, so the tree's menu acts on the folder shown.
    if (QTreeWidgetItem *current = findTreeItem(m_currentRemotePath))
        current->setSelected(false);
    if (QTreeWidgetItem *target = findTreeItem(path))
        target->setSelected(true);
    if (!up)
        m_tree->expandAll();
    changeRemoteFolder(path);
}

void BrowserPanel::listMenuRequested(const QPoint &pos)
{
    // Scroll areas report the position in their viewport's coordinates.
    if (m_listMenu)
        m_listMenu->popup(m_list->viewport()->mapToGlobal(pos));
}

void BrowserPanel::treeMenuRequested(const QPoint &pos)
{
    const QList<QTreeWidgetItem *> selected = m_tree->selectedItems();
    if (m_treeMenu && !selected.isEmpty() && selected.first()->text(0) != RemotePath::kRoot)
        m_treeMenu->popup(m_tree->viewport()->mapToGlobal(pos));
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
    if (root && root->treeWidget() == m_tree)
        root->setHidden(true);
}
