#pragma once
#include "browser/browseicons.h"
#include "link/listing.h"

#include <QMap>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QStringList>
#include <QTimer>

class ClientSession;
class QAction;
class QHelpEvent;
class QKeyEvent;
class QListWidget;
class QListWidgetItem;
class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The instrument's folders as the user sees them: the tree, the list beside it and their
// menus, kept up to date from the link's "$PWD:" and "$LIST:" answers.
class BrowserPanel : public QObject
{
    Q_OBJECT
public:
    // The widgets stay the window's; the panel fills them and answers their clicks.
    BrowserPanel(QTreeWidget *tree, QListWidget *list, ClientSession *session, QWidget *window);

    // What the download button and the menu's "Start Download" are set to by clicks.
    void setDownloadControls(QPushButton *button, QAction *menuAction);

    // A new download folder: the ticks of the list shown are checked again at once.
    void setDownloadPath(const QString &path);
    QString downloadPath() const { return m_downloadPath; }
    QString currentRemotePath() const { return m_currentRemotePath; }
    QString toLocalPath(const QString &remotePath) const;
    const BrowseIcons &icons() const { return m_icons; }
    // Filled when first asked for after a listing.
    const QMap<QString, QString> &itemKinds() const;
    QMenu *listMenu() const { return m_listMenu; }
    QMenu *treeMenu() const { return m_treeMenu; }
    QAction *listDownloadAction() const { return m_listDownloadAction; }
    QAction *treeDownloadAction() const { return m_treeDownloadAction; }
    QAction *treeNewFilesAction() const { return m_treeNewFilesAction; }
    // The folder the tree's menu was last opened on, handed over once; without one, the
    // folder selected in the tree; empty when nothing is selected.
    QString takeTreeMenuTarget();

    void changeRemoteFolder(const QString &remotePath);
    void applyPwdAnswer(const QString &line);
    bool applyListAnswer(const QString &line);
    QString treeItemPath(QTreeWidgetItem *item) const;
    QTreeWidgetItem *findTreeItem(const QString &remotePath) const;
    void removeTreeChildren(QTreeWidgetItem *item);
    // The link was closed: the tree keeps only its hidden root, the list empties.
    void clear();

    void treeItemClicked(QTreeWidgetItem *item);
    void listItemClicked(QListWidgetItem *item);
    void listItemDoubleClicked(QListWidgetItem *item);
    void listMenuRequested(const QPoint &pos);
    void treeMenuRequested(const QPoint &pos);

    // Moving about the instrument's folders: the folder shown asked for afresh, its parent,
    // and the folder shown before it. Each says why when it cannot go.
    void refresh();
    void goUp();
    void goBack();
    // The list's entries without "..": a download never asks for the folder above.
    QStringList selectedEntries() const;
    // While a download runs: the folder on the instrument stays where it is and no other
    // download starts; the controls that would do either are disabled and say `why`.
    void setLocked(bool locked, const QString &why);
    bool isLocked() const { return m_locked; }

protected:
    // Keeps a right click in the tree from moving the tree's selection away from the
    // folder the list shows; see treeViewportEvent.

signals:
    // A double click on a file of the current folder.
    void openRequested(const QString &name);
    // A "$LIST:" answer from the instrument was taken into the tree and the list.
    void listingApplied();
    // The instrument reported the folder shown.
    void folderShown(const QString &remotePath);
    // Something the user asked for cannot be done; `text` says why.
    void refused(const QString &text);

protected:
    // The list's keys (Enter opens, a keyboard selection counts as a click), the tool
    // tips of names too long to show, and the tree's right clicks.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool treeViewportEvent(QEvent *event);
    bool listKeyPressed(QKeyEvent *event);
    bool listToolTip(QHelpEvent *event);
    void listSelectionChanged();
    void applyPwdLine(const QString &line, quint64 lineId);
    bool applyListLine(const QString &line, quint64 lineId, bool complete);
    void insertListRows(int at, const QVector<ListRow> &rows, int from);
    void fillListAfresh(bool complete);
    void settleShownTicks(bool wait, int shownFolders, int shownFiles);
    void updateDownloadEnabled();
    bool refuseWhileLocked();
    void goTo(const QString &remotePath, bool expand);
    void selectAllEntries();
    void markTreeItem(QTreeWidgetItem *item, bool marked);

    QTreeWidget *m_tree;
    QListWidget *m_list;
    ClientSession *m_session;
    QPushButton *m_downloadButton = nullptr;
    QAction *m_menuDownloadAction = nullptr;
    QMenu *m_listMenu = nullptr;
    QMenu *m_treeMenu = nullptr;
    QAction *m_listDownloadAction = nullptr;
    QAction *m_treeDownloadAction = nullptr;
    QAction *m_treeNewFilesAction = nullptr;
    QString m_treeMenuTarget;
    QString m_markedTreeFolder; // shown marked while the tree's menu is open
    BrowseIcons m_icons;
    FolderListing m_listing;
    QTimer m_tickPoll; // the ticks of rows shown while the local folder is still being read
    QString m_downloadPath;
    QString m_currentRemotePath;
    bool m_keySelecting = false; // a key is down in the list
    bool m_locked = false;
    QString m_lockReason;
    QStringList m_history;       // the folders shown before, for Back
    bool m_goingBack = false;    // the next folder shown is not one to come back to
    qint32 m_rootItemCreated = 0;
    quint64 m_rootLineId = 0; // the line the root item was made from
    mutable bool m_kindsStale = false; // m_itemKinds lags behind the listing
    mutable QMap<QString, QString> m_itemKinds;
};
