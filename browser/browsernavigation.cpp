// The browser: Refresh, Up and Back, the download controls that follow the list's selection,
// and what stays still while a download runs.
#include "browser/browserpanel.h"

#include "browser/lockhint.h"
#include "link/listing.h"
#include "link/remotepath.h"
#include "transfer/clientsession.h"

#include <QAction>
#include <QItemSelection>
#include <QListWidget>
#include <QPushButton>
#include <QTreeWidget>

QStringList BrowserPanel::selectedEntries() const
{
    QStringList names;
    const QList<QListWidgetItem *> items = m_list->selectedItems();
    for (const QListWidgetItem *item : items) {
        if (item->text() != FolderListing::kParent)
            names.append(item->text());
    }
    return names;
}

// The controls follow the selection, not the item under the focus frame: a Ctrl+click that
// takes one entry out of a large selection leaves the rest to download.
void BrowserPanel::updateDownloadEnabled()
{
    bool any = false;
    const QList<QListWidgetItem *> items = m_list->selectedItems();
    for (const QListWidgetItem *item : items) {
        if (item->text() != FolderListing::kParent) {
            any = true;
            break;
        }
    }
    const bool enabled = any && !m_locked;
    if (m_downloadButton) {
        m_downloadButton->setEnabled(enabled);
        LockHint::apply(m_downloadButton, m_locked, m_lockReason);
        if (!m_locked) {
            m_downloadButton->setToolTip(any ? tr("Download the selected files and folders")
                                             : tr("Select the files and folders to download "
                                                  "in the list first"));
        }
    }
    for (QAction *action : {m_menuDownloadAction, m_listDownloadAction}) {
        if (action) {
            action->setEnabled(enabled);
            LockHint::apply(action, m_locked, m_lockReason);
        }
    }
}

// Select all means the entries: ".." is a way up, never something to download.
void BrowserPanel::selectAllEntries()
{
    QItemSelection entries;
    QAbstractItemModel *model = m_list->model();
    const int rows = model->rowCount();
    const int first = rows > 0 && m_list->item(0)->text() == FolderListing::kParent ? 1 : 0;
    if (first < rows)
        entries.select(model->index(first, 0), model->index(rows - 1, 0));
    m_list->selectionModel()->select(entries, QItemSelectionModel::ClearAndSelect);
}

void BrowserPanel::setLocked(bool locked, const QString &why)
{
    m_locked = locked;
    m_lockReason = why;
    LockHint::lock(m_tree, locked, why);
    LockHint::lock(m_treeDownloadAction, locked, why);
    updateDownloadEnabled();
}

bool BrowserPanel::refuseWhileLocked()
{
    if (!m_locked)
        return false;
    emit refused(m_lockReason);
    return true;
}

void BrowserPanel::goTo(const QString &remotePath, bool expand)
{
    // One folder stays selected, so the tree's menu acts on the folder shown.
    if (QTreeWidgetItem *current = findTreeItem(m_currentRemotePath))
        current->setSelected(false);
    if (QTreeWidgetItem *target = findTreeItem(remotePath))
        target->setSelected(true);
    if (expand)
        m_tree->expandAll();
    changeRemoteFolder(remotePath);
}

void BrowserPanel::refresh()
{
    if (refuseWhileLocked())
        return;
    if (!m_session->isConnected() || m_currentRemotePath.isEmpty()) {
        emit refused(tr("Not connected: there is no folder to refresh."));
        return;
    }
    changeRemoteFolder(m_currentRemotePath);
}

void BrowserPanel::goUp()
{
    if (refuseWhileLocked())
        return;
    if (!m_session->isConnected() || m_currentRemotePath.isEmpty()) {
        emit refused(tr("Not connected: there is no folder to go up from."));
        return;
    }
    if (m_currentRemotePath == RemotePath::kRoot) {
        emit refused(tr("%1 is the top folder.").arg(RemotePath::kRoot));
        return;
    }
    goTo(RemotePath::parent(m_currentRemotePath), false);
}

void BrowserPanel::goBack()
{
    if (refuseWhileLocked())
        return;
    if (!m_session->isConnected() || m_history.isEmpty()) {
        emit refused(tr("There is no folder to go back to."));
        return;
    }
    m_goingBack = true;
    goTo(m_history.takeLast(), false);
}
