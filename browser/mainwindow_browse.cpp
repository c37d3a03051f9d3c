// MainWindow: the reader's browse side, the folder tree and the file list.
#include "app/mainwindow.h"

#include "app/mainwindowui.h"
#include "browser/remotepath.h"

// Stub: filled in by the browse work.
void MainWindow::slotReadyRead() {}
void MainWindow::on_FILE_TREEWIDGET_itemClicked(QTreeWidgetItem *, int) {}
void MainWindow::on_FILE_LISTWIDGET_itemClicked(QListWidgetItem *) {}
void MainWindow::on_FILE_LISTWIDGET_itemDoubleClicked(QListWidgetItem *) {}
void MainWindow::contextMenuRequest(const QPoint &) {}
void MainWindow::treecontextMenuRequest(const QPoint &) {}
void MainWindow::changeRemoteFolder(const QString &) {}
void MainWindow::applyPwdAnswer(const QString &) {}
bool MainWindow::applyListAnswer(const QString &) { return false; }
QString MainWindow::treeItemPath(QTreeWidgetItem *) const { return QString(); }
QTreeWidgetItem *MainWindow::findTreeItem(const QString &) const { return nullptr; }
void MainWindow::removeTreeChildren(QTreeWidgetItem *) {}
QString MainWindow::toLocalPath(const QString &remotePath) const
{
    return RemotePath::toLocalPath(remotePath, m_downloadPath);
}
