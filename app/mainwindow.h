#pragma once
#include "app/noticedialog.h"
#include "download/alreadydialog.h"
#include "download/alreadydialogtreewidget.h"
#include "download/downloadingprogressdialog.h"
#include "download/emptydownloadsizedialog.h"
#include "download/notdownloaddialog.h"
#include "help/aboutdialog.h"
#include "link/messagereader.h"
#include "viewer/imageloaddialog.h"

#include <QFileInfo>
#include <QList>
#include <QMainWindow>
#include <QMap>
#include <QPoint>
#include <QStringList>

class QAction;
class QListWidgetItem;
class QMenu;
class QTcpSocket;
class QTreeWidgetItem;
class DownloadReceiver;
class HelpLauncher;

namespace Ui {
struct MainWindow;
}

class MainWindow : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void showEvent(QShowEvent *event) override;

public slots:
    void slotSetDownloadFolder();
    void slotAboutAction();
    void slotDownloadingCancel();
    void slotReadyRead();
    void on_FILE_TREEWIDGET_itemClicked(QTreeWidgetItem *item, int column);
    void on_FILE_LISTWIDGET_itemDoubleClicked(QListWidgetItem *item);
    void on_BUTTON_DOWNLOAD_clicked();
    void NotDOWNLOAD_clicked();
    void DownloadStart();
    void contextMenuRequest(const QPoint &pos);
    void treecontextMenuRequest(const QPoint &pos);
    void slotSplitterMoved(int pos, int index);
    void on_pushButton_3_clicked();
    void on_pushButton_2_clicked();
    void on_pushButton_clicked();
    void Connect();
    void Disconnect();
    void showDocumentation();
    void TreeDownload();
    void DownloadStartTreeWidget();
    void on_FILE_LISTWIDGET_itemClicked(QListWidgetItem *item);

public:
    // Browser (browser/mainwindow_browse.cpp).
    void changeRemoteFolder(const QString &remotePath);
    void applyPwdAnswer(const QString &line);
    bool applyListAnswer(const QString &line);
    QString treeItemPath(QTreeWidgetItem *item) const;
    QTreeWidgetItem *findTreeItem(const QString &remotePath) const;
    void removeTreeChildren(QTreeWidgetItem *item);
    QString toLocalPath(const QString &remotePath) const;

    // Opening a file from the list (viewer/mainwindow_open.cpp): steps after the kind lookup.
    void openListFile(const QString &name);

    // Writes one client line to the instrument.
    void sendLine(const QByteArray &line);

    // Read access for tests and tools.
    Ui::MainWindow *form() const { return ui; }
    QTcpSocket *socket() const { return m_socket; }
    ReaderMode readerMode() const { return m_reader.mode(); }
    QString currentRemotePath() const { return m_currentRemotePath; }
    QString downloadPath() const { return m_downloadPath; }
    // Filled when first asked for after a listing (browser/mainwindow_browse.cpp).
    const QMap<QString, QString> &itemKinds() const;

private:
    void setUpDownload();   // download/mainwindow_download.cpp: called once by the constructor
    void onLinkLost();      // the instrument went away after login
    // download/mainwindow_download.cpp: ends a download under way when the link is lost;
    // returns true when one was under way (the user has then been told).
    bool endDownloadOnLinkLoss();

    Ui::MainWindow *ui = nullptr;

    // Shell.
    QTcpSocket *m_socket = nullptr;
    int m_connectionCount = 0;
    QPoint m_pressPos;
    bool m_resizeSeen = false;
    QList<int> m_splitterSizes;
    QString m_downloadPath;
    QString m_settingsPath;
    QMenu *m_listMenu = nullptr;
    QMenu *m_treeMenu = nullptr;
    QAction *m_listDownloadAction = nullptr;
    QAction *m_treeDownloadAction = nullptr;
    QAction *m_menuDownloadAction = nullptr;
    QAction *m_connectAction = nullptr;
    QAction *m_disconnectAction = nullptr;
    QAction *m_helpAction = nullptr;
    HelpLauncher *m_helpLauncher = nullptr;
    bool m_contextMenusConnected = false;

    // Dialogs, by value, each a top-level window of its own.
    AboutDialog m_aboutDialog;
    DownloadingProgressDialog m_progressDialog;
    EmptyDownloadSizeDialog m_emptySelectionDialog;
    ImageLoadDialog m_imageDialog;
    NotDownloadDialog m_notDownloadedDialog;
    AlreadyDialog m_replaceDialog;
    AlreadyDialogTreeWidget m_replaceFolderDialog;

    // Reader and browser.
    MessageReader m_reader;
    QString m_currentRemotePath;
    qint32 m_rootItemCreated = 0;
    QMap<QString, QString> m_itemKinds;
    QStringList m_openRequests;

    // Download state.
    DownloadReceiver *m_receiver = nullptr;
    bool m_cancelRequested = false;
    qint32 m_completedCount = 0;
    QList<QFileInfo> m_localEntries;
    NoticeDialog m_noticeDialog;

    // --- shell additions ---
public:
    // Supplies the folder for "Set Download folder"; an empty result means the user
    // cancelled. The default asks with the platform's directory chooser.
    using FolderChooser = QString (*)(QWidget *parent);
    void setFolderChooser(FolderChooser chooser) { m_folderChooser = chooser; }
    int connectionCount() const { return m_connectionCount; }

private:
    void buildMenus();
    void applyStyle();
    void connectDialogs();
    void dropSocket();
    void watchLink();
    FolderChooser m_folderChooser = nullptr;

    // --- browse additions ---
public:
    // Connects the reader's signals and loads the browser's icons. Once: later calls do nothing.
    void setUpBrowse();
    const struct BrowseIcons &browseIcons();

private:
    friend class tst_BrowserWindow;
    friend class tst_BrowseSplit;
    friend class BrowseBench;
    friend class tst_BrowseEndToEnd;
    struct Browse;
    Browse *browse();
    void applyPwdLine(const QString &line, quint64 lineId);
    bool applyListLine(const QString &line, quint64 lineId);
    void setDownloadEnabled(bool enabled);
    Browse *m_browse = nullptr;

    // --- download additions ---
    void startDownload(const QStringList &remotePaths);
    void endDownloadEarly(const QString &reason);
    void onDownloadEndNotice();
    void onDownloadFinished();
    void onDownloadStalled();
    void onLinkRefused(const QString &reason);
    QStringList selectedListNames() const;

    // --- viewer additions ---
    friend class TestMainWindowOpen;

    // --- help additions ---
};
