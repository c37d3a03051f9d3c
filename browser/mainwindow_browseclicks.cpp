// MainWindow: clicks, double clicks and context menus on the folder tree and the file list.
#include "app/mainwindow.h"

#include "app/mainwindowui.h"
#include "browser/listing.h"
#include "browser/remotepath.h"

#include <QAction>
#include <QMenu>

void MainWindow::setDownloadEnabled(bool enabled)
{
    ui->BUTTON_DOWNLOAD->setEnabled(enabled);
    if (m_menuDownloadAction)
        m_menuDownloadAction->setEnabled(enabled);
}

void MainWindow::on_FILE_TREEWIDGET_itemClicked(QTreeWidgetItem *item, int)
{
    if (!item)
        return;
    const QList<QTreeWidgetItem *> selected = ui->FILE_TREEWIDGET->selectedItems();
    changeRemoteFolder(treeItemPath(item));
    if (!selected.isEmpty())
        setDownloadEnabled(selected.first()->text(0) != RemotePath::kRoot);
}

void MainWindow::on_FILE_LISTWIDGET_itemClicked(QListWidgetItem *item)
{
    if (item)
        setDownloadEnabled(item->text() != FolderListing::kParent);
}

void MainWindow::on_FILE_LISTWIDGET_itemDoubleClicked(QListWidgetItem *item)
{
    ui->BUTTON_DOWNLOAD->setEnabled(true);
    if (!item)
        return;
    const QString name = item->text();
    if (itemKinds().value(name) == FolderListing::kFile) {
        openListFile(name);
        return;
    }
    QTreeWidget *tree = ui->FILE_TREEWIDGET;
    const bool up = name == FolderListing::kParent;
    const QString path = up ? RemotePath::parent(m_currentRemotePath)
                            : RemotePath::join(m_currentRemotePath, name);
    // One folder stays selected, so the tree's menu acts on the folder shown.
    if (QTreeWidgetItem *current = findTreeItem(m_currentRemotePath))
        current->setSelected(false);
    if (QTreeWidgetItem *target = findTreeItem(path))
        target->setSelected(true);
    if (!up)
        tree->expandAll();
    changeRemoteFolder(path);
}

void MainWindow::contextMenuRequest(const QPoint &pos)
{
    // Scroll areas report the position in their viewport's coordinates.
    if (m_listMenu)
        m_listMenu->popup(ui->FILE_LISTWIDGET->viewport()->mapToGlobal(pos));
}

void MainWindow::treecontextMenuRequest(const QPoint &pos)
{
    const QList<QTreeWidgetItem *> selected = ui->FILE_TREEWIDGET->selectedItems();
    if (m_treeMenu && !selected.isEmpty() && selected.first()->text(0) != RemotePath::kRoot)
        m_treeMenu->popup(ui->FILE_TREEWIDGET->viewport()->mapToGlobal(pos));
}
