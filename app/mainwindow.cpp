// MainWindow: construction, look, window chrome, splitter and the download folder.
#include "app/mainwindow.h"

#include "common/checkconnection.h"
#include "app/mainwindowui.h"
#include "app/windowframe.h"
#include "common/settings.h"
#include "common/style.h"
#include "browser/browserpanel.h"
#include "download/downloadcontroller.h"
#include "download/folderverify.h"
#include "help/helplauncher.h"
#include "link/instrumentlink.h"
#include "app/fileopener.h"
#include "record/downloadrecorder.h"
#include "record/provenancelookup.h"
#include "viewer/imageattributedialog.h"
#include "transfer/clientsession.h"
#include "viewer/imagemenu.h"

#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>
#include <QMouseEvent>
#include <QTcpSocket>

namespace {

const char kDownloadGroup[] = "Download";
const char kPathKey[] = "Path";

QString askForFolder(QWidget *parent)
{
    return QFileDialog::getExistingDirectory(parent, MainWindow::tr("Select directory"),
                                             QDir::homePath(), QFileDialog::ShowDirsOnly);
}

} // namespace

MainWindow::MainWindow(QWidget *parent)
    : QMainWindow(parent, Qt::CustomizeWindowHint), ui(new Ui::MainWindow)
{
    ui->setupUi(this);
    QMetaObject::connectSlotsByName(this);
    m_session = new ClientSession(this);
    m_link = m_session->link();
    m_browser = new BrowserPanel(ui->FILE_TREEWIDGET, ui->FILE_LISTWIDGET, m_session, this);
    m_downloads = new DownloadController(
        m_session, m_browser, ui->FILE_LISTWIDGET,
        {&m_progressDialog, &m_emptySelectionDialog, &m_replaceDialog, &m_replaceFolderDialog,
         &m_noticeDialog},
        this);
    m_recorder = new DownloadRecorder(m_session, this);
    m_verify = new FolderVerify(m_session, this);
    m_downloads->setRecordViews(m_recorder, m_verify);
    m_imageDialog.attributeDialog()->setProvenanceSource(ProvenanceLookup::source());
    m_opener = new FileOpener(&m_imageDialog, &m_notDownloadedDialog, &m_noticeDialog, this);

    setWindowTitle(tr("TARVELO\u2122 Utility:: Downloader"));
    setWindowIcon(QIcon(QStringLiteral(":/icon/download.png")));
    setCursor(Qt::ArrowCursor);
    ui->applyStyle(this);
    ui->BUTTON_DOWNLOAD->setEnabled(false);

    m_helpLauncher = new HelpLauncher;

    setContextMenuPolicy(Qt::CustomContextMenu);
    m_listDownloadAction = m_browser->listDownloadAction();
    m_treeDownloadAction = m_browser->treeDownloadAction();

    buildMenus();
    m_browser->setDownloadControls(ui->BUTTON_DOWNLOAD, m_menuDownloadAction);
    connectParts();
    showStatus();

    resize(1024, 768);
    ui->splitter->setSizes({80, 130});

    checkConnection(connect(ui->splitter, SIGNAL(splitterMoved(int,int)), this,
                            SLOT(slotSplitterMoved(int,int))),
                    "splitterMoved");

    QDir folder = QDir::home();
    folder.cd(QStringLiteral("Downloads"));
    QString downloadPath = folder.path();
    m_settingsPath = QString::fromStdString(Settings::settingsFilePath());
    std::string stored;
    if (Settings::readSetting(kDownloadGroup, kPathKey, std::string(), stored,
                              m_settingsPath.toStdString())) {
        const QString path = QString::fromStdString(stored);
        if (QFileInfo(path).isDir())
            downloadPath = path;
    }
    setDownloadPath(downloadPath);

    m_frame = new WindowFrame(this, ui->centralWidget, ui->splitter, m_settingsPath);
    m_frame->restore();
}

MainWindow::~MainWindow()
{
    // The parts use the dialogs, which end with this body.
    delete m_opener;
    delete m_downloads;
    delete m_browser;
    delete m_session; // closes the link
    delete ui;
    ui = nullptr;
    delete m_helpLauncher;
}

void MainWindow::buildMenus()
{
    QMenuBar *bar = ui->menuBar;
    bar->clear();
    auto menu = [&](const QString &title) {
        QMenu *m = bar->addMenu(title);
        ui->styleMenu(m);
        m->setToolTipsVisible(true); // a disabled entry says why
        return m;
    };

    QMenu *file = menu(tr("&File"));
    m_menuDownloadAction = file->addAction(tr("Start Download"));
    checkConnection(connect(m_menuDownloadAction, SIGNAL(triggered(bool)), this,
                            SLOT(on_BUTTON_DOWNLOAD_clicked())),
                    "Start Download");
    QAction *folderAction = file->addAction(tr("Set Download folder"));
    m_folderAction = folderAction;
    checkConnection(connect(folderAction, SIGNAL(triggered(bool)), this,
                            SLOT(slotSetDownloadFolder())),
                    "Set Download folder");
    m_imageMenu = new ImageMenu(file, &m_imageDialog, this);

    m_verifyAction = file->addAction(tr("Verify Download Folder\u2026"));
    connect(m_verifyAction, &QAction::triggered, this, &MainWindow::verifyDownloadFolder);

    buildViewMenu(menu(tr("&View")));

    QMenu *link = menu(tr("&Connect"));
    m_connectAction = link->addAction(tr("Connect"));
    checkConnection(connect(m_connectAction, SIGNAL(triggered(bool)), this, SLOT(Connect())),
                    "Connect");
    m_disconnectAction = link->addAction(tr("Disconnect"));
    checkConnection(connect(m_disconnectAction, SIGNAL(triggered(bool)), this, SLOT(Disconnect())),
                    "Disconnect");
    m_connectAction->setVisible(true);
    m_disconnectAction->setVisible(false);

    QMenu *help = menu(tr("&Help"));
    m_helpAction = help->addAction(tr("Help Contents"));
    m_helpAction->setShortcut(QKeySequence::HelpContents);
    checkConnection(connect(m_helpAction, SIGNAL(triggered()), this, SLOT(showDocumentation())),
                    "Help Contents");
    QAction *about = help->addAction(tr("About"));
    checkConnection(connect(about, SIGNAL(triggered(bool)), this, SLOT(slotAboutAction())),
                    "About");
}

void MainWindow::mousePressEvent(QMouseEvent *event)
{
    m_pressPos = event->pos();
}

void MainWindow::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->buttons() & Qt::LeftButton)
        on_pushButton_2_clicked();
}

void MainWindow::mouseMoveEvent(QMouseEvent *event)
{
    // From the frame's corner: with a platform border, the inner corner would drift the
    // window by the border's width on every move.
    if (event->buttons() & Qt::LeftButton)
        move(WindowFrame::keepTitleOnScreen(frameGeometry(), pos() + (event->pos() - m_pressPos)));
}

void MainWindow::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (!m_resizeSeen) {
        m_resizeSeen = true;
        return;
    }
    if (m_splitterSizes.isEmpty())
        return;
    // The tree keeps its width; the right pane takes up the whole change.
    QList<int> sizes = ui->splitter->sizes();
    if (sizes.size() < 2)
        return;
    const int change = sizes.first() - m_splitterSizes.first();
    sizes.first() = m_splitterSizes.first();
    sizes.last() = qMax(0, sizes.last() + change);
    ui->splitter->setSizes(sizes);
    m_splitterSizes = sizes;
}

void MainWindow::closeEvent(QCloseEvent *event)
{
    delete m_helpLauncher; // ends a running help viewer
    m_helpLauncher = nullptr;
    m_frame->save();
    QMainWindow::closeEvent(event);
}

void MainWindow::showEvent(QShowEvent *event)
{
    m_frame->restoreSplitter(); // once, now that the splitter has the window's width
    m_splitterSizes = ui->splitter->sizes();
    QMainWindow::showEvent(event);
}

void MainWindow::slotSplitterMoved(int, int)
{
    m_splitterSizes = ui->splitter->sizes();
}

void MainWindow::on_pushButton_3_clicked() { showMinimized(); }
void MainWindow::on_pushButton_2_clicked() { isMaximized() ? showNormal() : showMaximized(); }
void MainWindow::on_pushButton_clicked() { close(); }

void MainWindow::slotAboutAction()
{
    m_aboutDialog.show();
}

void MainWindow::showDocumentation()
{
    if (!m_helpLauncher) // closed once and shown again
        m_helpLauncher = new HelpLauncher;
    m_helpLauncher->showHelpPage(QStringLiteral("index.html"));
}

void MainWindow::slotSetDownloadFolder()
{
    const QString path = (m_folderChooser ? m_folderChooser : askForFolder)(this);
    if (path.isEmpty() || !QFileInfo(path).isDir())
        return;
    setDownloadPath(path);
    Settings::writeSetting(kDownloadGroup, kPathKey, path.toStdString(),
                           m_settingsPath.toStdString());
}
