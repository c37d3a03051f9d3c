// The browser: the reader's "$PWD:" and "$LIST:" answers into the folder tree and the file list.
#include "browser/browserpanel.h"

#include "browser/listentryitem.h"
#include "browser/listnamedelegate.h"
#include "link/remotepath.h"
#include "common/style.h"
#include "transfer/clientsession.h"

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QTreeWidget>

BrowserPanel::BrowserPanel(QTreeWidget *tree, QListWidget *list, ClientSession *session,
                           QWidget *window)
    : QObject(window), m_tree(tree), m_list(list), m_session(session)
{
    m_listMenu = new QMenu(window);
    m_listMenu->setObjectName(QStringLiteral("listMenu"));
    m_treeMenu = new QMenu(window);
    m_treeMenu->setObjectName(QStringLiteral("treeMenu"));
    for (QMenu *menu : {m_listMenu, m_treeMenu}) {
        menu->setStyleSheet(QLatin1String(Style::kMenuStyle));
        menu->setFont(QFont(QStringLiteral("Arial")));
    }
    m_listDownloadAction = m_listMenu->addAction(tr("Start Download"));
    m_treeDownloadAction = m_treeMenu->addAction(tr("Start Download"));
    m_treeNewFilesAction = m_treeMenu->addAction(tr("Download new files"));
    m_treeNewFilesAction->setObjectName(QStringLiteral("treeNewFilesAction"));
    m_tree->viewport()->installEventFilter(this);
    connect(m_treeMenu, &QMenu::aboutToHide, this, [this] {
        markTreeItem(findTreeItem(m_markedTreeFolder), false);
        m_markedTreeFolder.clear();
    });
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_tree->setContextMenuPolicy(Qt::CustomContextMenu);
    m_list->setViewMode(QListView::IconMode);
    m_list->setIconSize(QSize(100, 100));
    m_list->setResizeMode(QListView::Adjust);
    m_list->setMovement(QListView::Static);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setDragEnabled(false);
    m_list->setAcceptDrops(false);
    m_list->setDragDropMode(QAbstractItemView::NoDragDrop);
    ListNameDelegate::install(m_list); // the grid: an icon and three lines of name
    m_list->setUniformItemSizes(true);
    m_list->installEventFilter(this);
    m_list->viewport()->installEventFilter(this);
    connect(m_list, &QListWidget::itemSelectionChanged, this, &BrowserPanel::listSelectionChanged);
    connect(m_list, &QListWidget::itemSelectionChanged, this, &BrowserPanel::updateDownloadEnabled);
    connect(m_session, &ClientSession::pwdShown, this, &BrowserPanel::applyPwdLine);
    connect(m_session, &ClientSession::listShown, this,
            [this](const QString &line, quint64 lineId, bool complete) {
                if (applyListLine(line, lineId, complete))
                    emit listingApplied();
            });
    m_tickPoll.setInterval(10);
    connect(&m_tickPoll, &QTimer::timeout, this, [this] {
        if (m_list->count() == m_listing.rowCount())
            settleShownTicks(false, m_listing.folders().size(), m_listing.files().size());
        else
            m_tickPoll.stop(); // the list shows something else; the next answer reads afresh
    });
}

void BrowserPanel::setDownloadControls(QPushButton *button, QAction *menuAction)
{
    m_downloadButton = button;
    m_menuDownloadAction = menuAction;
}

void BrowserPanel::changeRemoteFolder(const QString &remotePath)
{
    m_session->showFolder(remotePath);
}

void BrowserPanel::applyPwdAnswer(const QString &line)
{
    applyPwdLine(line, 0);
}

void BrowserPanel::applyPwdLine(const QString &line, quint64 lineId)
{
    const QString value = line.mid(line.indexOf(QLatin1Char(':')) + 1).trimmed();
    if (value != m_currentRemotePath && !m_currentRemotePath.isEmpty() && !m_goingBack)
        m_history.append(m_currentRemotePath);
    m_goingBack = false;
    m_currentRemotePath = value;
    emit folderShown(value);
    QTreeWidget *tree = m_tree;
    if (!m_rootItemCreated) {
        auto *root = new QTreeWidgetItem(QStringList(value));
        root->setIcon(0, m_icons.disk);
        tree->addTopLevelItem(root);
        m_rootItemCreated = 1;
        m_rootLineId = lineId;
    } else if (lineId && lineId == m_rootLineId && tree->topLevelItemCount()) {
        // The root was made from this very answer before all of it had arrived.
        tree->topLevelItem(0)->setText(0, value);
    }
}

bool BrowserPanel::applyListAnswer(const QString &line)
{
    return applyListLine(line, 0, true);
}

bool BrowserPanel::applyListLine(const QString &line, quint64 lineId, bool complete)
{
    QTreeWidget *tree = m_tree;
    QListWidget *list = m_list;
    if (!tree->currentItem() && tree->topLevelItemCount() == 0)
        return false;
    if (list->count() != m_listing.rowCount())
        m_listing.invalidate();
    const ListingUpdate update = m_listing.applyUnticked(line, lineId, m_currentRemotePath,
                                                         toLocalPath(m_currentRemotePath));
    m_kindsStale = true;

    const QVector<ListRow> &folders = m_listing.folders();
    const QVector<ListRow> &files = m_listing.files();

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
            child->setIcon(0, m_icons.folder);
            child->setToolTip(0, row.name);
            children.append(child);
        }
        branch->addChildren(children);
    }

    if (update.restarted) {
        fillListAfresh(complete);
        return true;
    }
    settleShownTicks(complete, update.folderFrom, update.fileFrom);
    insertListRows(update.folderFrom, folders, update.folderFrom);
    insertListRows(folders.size() + update.fileFrom, files, update.fileFrom);
    return true;
}

// A new listing empties the list, so its views may as well be told once, when every row is
// in: the rows go in with the model quiet, get their icons once the local folder has been
// read (on a worker, meanwhile), and the views then start over from the full list, as after
// any reset. Told row by row, or even block by block, the views cost more than making the
// rows does.
void BrowserPanel::fillListAfresh(bool complete)
{
    m_list->clear();
    const QVector<ListRow> *const parts[] = {&m_listing.folders(), &m_listing.files()};
    QVector<ListEntryItem *> items;
    items.reserve(m_listing.rowCount());
    {
        const QSignalBlocker quiet(m_list->model());
        for (const QVector<ListRow> *rows : parts) {
            for (const ListRow &row : *rows) {
                items.append(new ListEntryItem(row.name));
                m_list->insertItem(items.size() - 1, items.last());
            }
        }
        // A part of an answer is shown at once, its ticks once the folder has been read.
        if (complete)
            m_listing.settleTicks();
        else if (!m_listing.trySettleTicks())
            m_tickPoll.start();
        int at = 0;
        for (const QVector<ListRow> *rows : parts) {
            for (const ListRow &row : *rows)
                items.at(at++)->setIconUntold(m_icons.forRow(row));
        }
    }
    m_list->reset();
}

// New rows go in as the window's own light items, which hold a row without the list of role
// values an item made from a text allocates. Each is told to the views on its own; a long
// answer comes in slices (see InstrumentLink), so that costs each delivery little.
void BrowserPanel::insertListRows(int at, const QVector<ListRow> &rows, int from)
{
    for (int i = from; i < rows.size(); ++i) {
        auto *item = new ListEntryItem(rows.at(i).name);
        item->setIconUntold(m_icons.forRow(rows.at(i))); // not in the list yet
        m_list->insertItem(at + i - from, item);
    }
}

// The rows shown so far (the first `shownFolders` folders and `shownFiles` files) that were
// waiting for the local folder's read get their ticks, once it is done. A whole answer waits
// for it; a part of one does not, and a later part or the poll finds the read done.
void BrowserPanel::settleShownTicks(bool wait, int shownFolders, int shownFiles)
{
    const int folderFrom = m_listing.firstUntickedFolder();
    const int fileFrom = m_listing.firstUntickedFile();
    if (wait) {
        m_listing.settleTicks();
    } else if (!m_listing.trySettleTicks()) {
        m_tickPoll.start();
        return;
    }
    m_tickPoll.stop();
    bool ticked = false;
    const auto tick = [&](int row, const ListRow &r) {
        QListWidgetItem *item = r.local ? m_list->item(row) : nullptr; // shown unticked so far
        if (!item)
            return;
        if (item->type() == ListEntryItem::Type)
            static_cast<ListEntryItem *>(item)->setIconUntold(m_icons.forRow(r));
        else
            item->setIcon(m_icons.forRow(r));
        ticked = true;
    };
    for (int i = folderFrom; i < shownFolders; ++i)
        tick(i, m_listing.folders().at(i));
    for (int i = fileFrom; i < shownFiles; ++i)
        tick(shownFolders + i, m_listing.files().at(i));
    if (ticked) // the icons changed in place, quietly: the rows keep their size
        m_list->viewport()->update();
}

// The name-to-kind map is only needed when an item is opened, so a listing of tens of
// thousands of entries does not pay for building it while the user waits for the list.
const QMap<QString, QString> &BrowserPanel::itemKinds() const
{
    if (m_kindsStale) {
        m_kindsStale = false;
        m_listing.kinds(&m_itemKinds);
    }
    return m_itemKinds;
}

QString BrowserPanel::treeItemPath(QTreeWidgetItem *item) const
{
    QString path;
    for (QTreeWidgetItem *i = item; i; i = i->parent())
        path.prepend(i->text(0) + QLatin1Char('/'));
    path.chop(1);
    return path;
}

// Exact: a path whose folders are not all in the tree has no item (rather than the item of
// some other folder that happens to share the last name).
QTreeWidgetItem *BrowserPanel::findTreeItem(const QString &remotePath) const
{
    QTreeWidget *tree = m_tree;
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

void BrowserPanel::removeTreeChildren(QTreeWidgetItem *item)
{
    if (item)
        qDeleteAll(item->takeChildren()); // each item deletes its own descendants
}

QString BrowserPanel::toLocalPath(const QString &remotePath) const
{
    return RemotePath::toLocalPath(remotePath, m_downloadPath);
}

void BrowserPanel::setDownloadPath(const QString &path)
{
    if (path == m_downloadPath)
        return;
    m_downloadPath = path;
    // Only a list that still shows the listing can take its ticks from it.
    if (m_list->count() != m_listing.rowCount())
        return;
    const QVector<int> changed = m_listing.recheck(toLocalPath(m_listing.remotePath()));
    const int folderCount = m_listing.folders().size();
    for (int row : changed) {
        const ListRow &r = row < folderCount ? m_listing.folders().at(row)
                                             : m_listing.files().at(row - folderCount);
        if (QListWidgetItem *item = m_list->item(row))
            item->setIcon(m_icons.forRow(r));
    }
}
