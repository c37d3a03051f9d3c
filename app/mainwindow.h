#pragma once
#include "common/noticedialog.h"
#include "download/alreadydialog.h"
#include "download/alreadydialogtreewidget.h"
#include "download/downloadingprogressdialog.h"
#include "transfer/downloadlifecycle.h"
#include "download/emptydownloadsizedialog.h"
#include "download/notdownloaddialog.h"
#include "help/aboutdialog.h"
#include "transfer/clientsession.h"
#include "viewer/imageloaddialog.h"

#include <QList>
#include <QMainWindow>
#include <QPoint>

class BrowserPanel;
class ClientSession;
class DownloadRecorder;
class DownloadController;
class FileOpener;
class FolderVerify;
class HelpLauncher;
class ImageMenu;
class InstrumentLink;
class QAction;
class QMenu;
class QListWidgetItem;
class QTcpSocket;
class QTreeWidgetItem;
class WindowFrame;

namespace Ui {
struct MainWindow;
}

// The shell around the link, the browser and the downloads: window chrome, menus, the
// splitter, the download folder and the dialogs. Its slots hand the work to those parts.
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
    void TreeDownloadNewFiles();
    void DownloadNewOnly();
    void DownloadNewOnlyTreeWidget();
    void DownloadStartTreeWidget();
    void on_FILE_LISTWIDGET_itemClicked(QListWidgetItem *item);
    void verifyDownloadFolder();

public:
    // The parts, for tests and tools.
    Ui::MainWindow *form() const { return ui; }
    InstrumentLink *link() const { return m_link; }
    ClientSession *session() const { return m_session; }
    DownloadRecorder *recorder() const { return m_recorder; }
    BrowserPanel *browser() const { return m_browser; }
    DownloadController *downloads() const { return m_downloads; }
    FileOpener *opener() const { return m_opener; }
    FolderVerify *folderVerify() const { return m_verify; }
    QAction *verifyAction() const { return m_verifyAction; }
    WindowFrame *windowFrame() const { return m_frame; }

    QTcpSocket *socket() const;
    ReaderMode readerMode() const;
    QString currentRemotePath() const;
    QString downloadPath() const;
    // For this session only; "Set Download folder" is what the user stores.
    void setDownloadPath(const QString &path);
    // Opens a file of the current folder as a double click on it does.
    void openListFile(const QString &name);
    // Local TIFF files from the command line or a drop: the browser opens on the first.
    void openImageFiles(const QStringList &paths);
    ImageMenu *imageMenu() const { return m_imageMenu; }

    // Supplies the folder for "Set Download folder"; an empty result means the user
    // cancelled. The default asks with the platform's directory chooser.
    using FolderChooser = QString (*)(QWidget *parent);
    void setFolderChooser(FolderChooser chooser) { m_folderChooser = chooser; }
    int connectionCount() const { return m_connectionCount; }
    QAction *menuDownloadAction() const { return m_menuDownloadAction; }
    ImageLoadDialog &imageDialog() { return m_imageDialog; }
    NotDownloadDialog &notDownloadedDialog() { return m_notDownloadedDialog; }
    NoticeDialog &noticeDialog() { return m_noticeDialog; }
    QAction *refreshAction() const { return m_refreshAction; }
    // The status line: the link, then `message` when there is one.
    void showStatus(const QString &message = QString());
    static QString downloadLockText();

private:
    void buildMenus();
    void connectParts();
    void connectContextMenus();
    void onLinkClosed(int why, const QString &reason);
    bool beginSession(QTcpSocket *socket, const QString &account);
    void loggedIn();
    void reconnect();
    void onReconnectFailed(const QString &detail);
    void buildViewMenu(QMenu *view);
    void lockForDownload(bool busy);
    void openDownloadedFile(const ClientSession::Result &result);

    Ui::MainWindow *ui = nullptr;

    int m_connectionCount = 0;
    bool m_reconnecting = false; // an anonymous login again runs without a dialog
    QPoint m_pressPos;
    bool m_resizeSeen = false;
    QList<int> m_splitterSizes;
    QString m_settingsPath;
    QAction *m_listDownloadAction = nullptr;
    QAction *m_treeDownloadAction = nullptr;
    QAction *m_menuDownloadAction = nullptr;
    QAction *m_connectAction = nullptr;
    QAction *m_disconnectAction = nullptr;
    QAction *m_helpAction = nullptr;
    QAction *m_folderAction = nullptr;
    QAction *m_refreshAction = nullptr;
    QAction *m_upAction = nullptr;
    QAction *m_backAction = nullptr;
    QString m_openAfterDownload; // the file "Download the file to open" was asked for
    QAction *m_verifyAction = nullptr;
    HelpLauncher *m_helpLauncher = nullptr;
    ImageMenu *m_imageMenu = nullptr;
    bool m_contextMenusConnected = false;
    FolderChooser m_folderChooser = nullptr;

    // Dialogs, by value, each a top-level window of its own.
    AboutDialog m_aboutDialog;
    DownloadingProgressDialog m_progressDialog;
    EmptyDownloadSizeDialog m_emptySelectionDialog;
    ImageLoadDialog m_imageDialog;
    NotDownloadDialog m_notDownloadedDialog;
    AlreadyDialog m_replaceDialog;
    AlreadyDialogTreeWidget m_replaceFolderDialog;
    NoticeDialog m_noticeDialog;

    // The parts; made by the constructor and ended before the dialogs they use.
    ClientSession *m_session = nullptr;
    InstrumentLink *m_link = nullptr; // the session's
    DownloadRecorder *m_recorder = nullptr;
    BrowserPanel *m_browser = nullptr;
    DownloadController *m_downloads = nullptr;
    FileOpener *m_opener = nullptr;
    FolderVerify *m_verify = nullptr;
    WindowFrame *m_frame = nullptr;
};
