// MainWindow: the reader's browse side, the folder tree and the file list.
#include "app/mainwindow.h"

#include "app/mainwindowui.h"
#include "browser/browsestate.h"
#include "browser/remotepath.h"
#include "link/protocol.h"

#include <QTcpSocket>

MainWindow::Browse *MainWindow::browse()
{
    if (!m_browse)
        setUpBrowse();
    return m_browse;
}

void MainWindow::setUpBrowse()
{
    if (m_browse)
        return;
    m_browse = new Browse(this);
    connect(&m_reader, &MessageReader::pwdAnswer, this,
            [this](const QString &line) { applyPwdLine(line, m_reader.lineId()); });
    connect(&m_reader, &MessageReader::listAnswer, this, [this](const QString &line) {
        m_reader.listAccepted(applyListLine(line, m_reader.lineId()));
    });
}

void MainWindow::slotReadyRead()
{
    auto *device = qobject_cast<QIODevice *>(sender());
    if (!device || device->bytesAvailable() == 0)
        return;
    browse();
    if (device != m_socket) {
        device->readAll(); // a socket of an earlier link: its bytes belong to no conversation now
        return;
    }
    m_reader.feed(device->readAll());
    if (device->bytesAvailable() == 0)
        m_reader.flushUnterminated();
}

void MainWindow::changeRemoteFolder(const QString &remotePath)
{
    sendLine(QByteArray(Protocol::kCdPrefix) + remotePath.toUtf8() + '\n');
    sendLine(Protocol::kPwd);
    sendLine(Protocol::kList);
}

void MainWindow::applyPwdAnswer(const QString &line)
{
    applyPwdLine(line, 0);
}

void MainWindow::applyPwdLine(const QString &line, quint64 lineId)
{
    Browse *b = browse();
    const QString value = line.mid(line.indexOf(QLatin1Char(':')) + 1).trimmed();
    m_currentRemotePath = value;
    QTreeWidget *tree = ui->FILE_TREEWIDGET;
    if (!m_rootItemCreated) {
        auto *root = new QTreeWidgetItem(QStringList(value));
        root->setIcon(0, b->icons.disk);
        tree->addTopLevelItem(root);
        m_rootItemCreated = 1;
        b->rootLineId = lineId;
    } else if (lineId && lineId == b->rootLineId && tree->topLevelItemCount()) {
        // The root was made from this very answer before all of it had arrived.
        tree->topLevelItem(0)->setText(0, value);
    }
}

bool MainWindow::applyListAnswer(const QString &line)
{
    return applyListLine(line, 0);
}

bool MainWindow::applyListLine(const QString &line, quint64 lineId)
{
    QTreeWidget *tree = ui->FILE_TREEWIDGET;
    QListWidget *list = ui->FILE_LISTWIDGET;
    if (!tree->currentItem() && tree->topLevelItemCount() == 0)
        return false;
    Browse *b = browse();
    if (list->count() != b->listing.rowCount())
        b->listing.invalidate();
    const ListingUpdate update = b->listing.apply(line, lineId, m_currentRemotePath,
                                                  toLocalPath(m_currentRemotePath));
    b->kindsStale = true;

    const QVector<ListRow> &folders = b->listing.folders();
    const QVector<ListRow> &files = b->listing.files();

    const bool newFolders = update.folderFrom < folders.size();
    QTreeWidgetItem *branch = update.restarted || newFolders
        ? findTreeItem(m_currentRemotePath) : nullptr;
    if (branch && update.restarted)
        removeTreeChildren(branch);
    if (branch && newFolders) {
        QList<QTreeWidgetItem *> children;
        for (int i = update.folderFrom; i < folders.size(); ++i) {
            const ListRow &row = folders.at(i);
            if (row.role != ListRow::Folder)
                continue;
            auto *child = new QTreeWidgetItem;
            child->setText(0, row.name);
            child->setIcon(0, b->icons.folder);
            child->setToolTip(0, row.name);
            children.append(child);
        }
        branch->addChildren(children);
    }

    if (update.restarted)
        list->clear();
    for (int i = update.folderFrom; i < folders.size(); ++i)
        list->insertItem(i, new QListWidgetItem(b->icons.forRow(folders.at(i)), folders.at(i).name));
    for (int i = update.fileFrom; i < files.size(); ++i)
        list->addItem(new QListWidgetItem(b->icons.forRow(files.at(i)), files.at(i).name));
    return true;
}

// The name-to-kind map is only needed when an item is opened, so a listing of tens of
// thousands of entries does not pay for building it while the user waits for the list.
const QMap<QString, QString> &MainWindow::itemKinds() const
{
    if (m_browse && m_browse->kindsStale) {
        m_browse->kindsStale = false;
        // The map is a cache of the listing; no window is ever const.
        m_browse->listing.kinds(&const_cast<MainWindow *>(this)->m_itemKinds);
    }
    return m_itemKinds;
}

QString MainWindow::treeItemPath(QTreeWidgetItem *item) const
{
    QString path;
    for (QTreeWidgetItem *i = item; i; i = i->parent())
        path.prepend(i->text(0) + QLatin1Char('/'));
    path.chop(1);
    return path;
}

// Exact: a path whose folders are not all in the tree has no item (rather than the item of
// some other folder that happens to share the last name).
QTreeWidgetItem *MainWindow::findTreeItem(const QString &remotePath) const
{
    QTreeWidget *tree = ui->FILE_TREEWIDGET;
    if (tree->topLevelItemCount() == 0)
        return nullptr;
    QTreeWidgetItem *item = tree->topLevelItem(0);
    const QString rootText = item->text(0);
    if (remotePath == rootText)
        return item;
    if (!remotePath.startsWith(rootText + QLatin1Char('/')))
        return nullptr;
    QString tail = remotePath.mid(rootText.size() + 1);
    if (tail.endsWith(QLatin1Char('/')))
        tail.chop(1);
    if (tail.isEmpty())
        return item;
    const QStringList segments = tail.split(QLatin1Char('/'));
    for (const QString &segment : segments) {
        QTreeWidgetItem *next = nullptr;
        for (int i = 0; i < item->childCount() && !next; ++i) {
            if (item->child(i)->text(0) == segment)
                next = item->child(i);
        }
        if (!next)
            return nullptr;
        item = next;
    }
    return item;
}

void MainWindow::removeTreeChildren(QTreeWidgetItem *item)
{
    if (item)
        qDeleteAll(item->takeChildren()); // each item deletes its own descendants
}

QString MainWindow::toLocalPath(const QString &remotePath) const
{
    return RemotePath::toLocalPath(remotePath, m_downloadPath);
}
