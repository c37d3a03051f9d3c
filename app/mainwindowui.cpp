#include "app/mainwindowui.h"

#include "app/mainwindow.h"

#include <QSpacerItem>

namespace Ui {

void MainWindow::setupUi(QMainWindow *window)
{
    window->setObjectName(QStringLiteral("MainWindow"));
    centralWidget = new QWidget(window);
    centralWidget->setObjectName(QStringLiteral("centralWidget"));
    centralWidget->setMinimumSize(800, 499);

    verticalLayout_4 = new QVBoxLayout(centralWidget);
    verticalLayout_4->setObjectName(QStringLiteral("verticalLayout_4"));
    verticalLayout_4->setSpacing(6);
    verticalLayout_4->setContentsMargins(11, 11, 11, 11);
    verticalLayout_3 = new QVBoxLayout();
    verticalLayout_3->setObjectName(QStringLiteral("verticalLayout_3"));
    verticalLayout_3->setSpacing(6);

    horizontalLayout_3 = new QHBoxLayout();
    horizontalLayout_3->setObjectName(QStringLiteral("horizontalLayout_3"));
    horizontalLayout_3->setSpacing(6);
    horizontalLayout_3->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    auto titleButton = [&](const char *name, const char *says) {
        auto *b = new QPushButton(centralWidget);
        b->setToolTip(::MainWindow::tr(says)); // drawn by an image alone
        b->setAccessibleName(b->toolTip());
        b->setObjectName(QLatin1String(name));
        b->setMaximumSize(30, 25);
        b->setFocusPolicy(Qt::NoFocus);
        horizontalLayout_3->addWidget(b);
        return b;
    };
    pushButton_3 = titleButton("pushButton_3", QT_TR_NOOP("Minimise"));
    pushButton_2 = titleButton("pushButton_2", QT_TR_NOOP("Maximise or restore"));
    pushButton = titleButton("pushButton", QT_TR_NOOP("Close"));
    verticalLayout_3->addLayout(horizontalLayout_3);

    verticalLayout_2 = new QVBoxLayout();
    verticalLayout_2->setObjectName(QStringLiteral("verticalLayout_2"));
    verticalLayout_2->setSpacing(6);
    menuBar = new QMenuBar(centralWidget);
    menuBar->setObjectName(QStringLiteral("menuBar"));
    menuBar->setFixedHeight(30);
    verticalLayout_2->addWidget(menuBar);

    splitter = new QSplitter(Qt::Horizontal, centralWidget);
    splitter->setObjectName(QStringLiteral("splitter"));
    FILE_TREEWIDGET = new QTreeWidget(splitter);
    FILE_TREEWIDGET->setObjectName(QStringLiteral("FILE_TREEWIDGET"));
    FILE_TREEWIDGET->setColumnCount(1);
    FILE_TREEWIDGET->setHeaderHidden(true);
    FILE_TREEWIDGET->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    FILE_TREEWIDGET->setContextMenuPolicy(Qt::CustomContextMenu);
    FILE_TREEWIDGET->setAccessibleName(::MainWindow::tr("Instrument folders"));
    splitter->addWidget(FILE_TREEWIDGET);

    layoutWidget = new QWidget(splitter);
    layoutWidget->setObjectName(QStringLiteral("layoutWidget"));
    verticalLayout = new QVBoxLayout(layoutWidget);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));
    verticalLayout->setSpacing(6);
    verticalLayout->setContentsMargins(0, 0, 0, 0);
    horizontalLayout_2 = new QHBoxLayout();
    horizontalLayout_2->setObjectName(QStringLiteral("horizontalLayout_2"));
    horizontalLayout_2->setSpacing(6);
    BUTTON_DOWNLOAD = new QPushButton(layoutWidget);
    BUTTON_DOWNLOAD->setObjectName(QStringLiteral("BUTTON_DOWNLOAD"));
    BUTTON_DOWNLOAD->setFixedSize(120, 30);
    BUTTON_DOWNLOAD->setFocusPolicy(Qt::StrongFocus);
    BUTTON_DOWNLOAD->setAccessibleName(::MainWindow::tr("Download"));
    BUTTON_DOWNLOAD->setToolTip(::MainWindow::tr("Download the selected files and folders"));
    horizontalLayout_2->addWidget(BUTTON_DOWNLOAD);
    LABEL_DOWNLOAD_PATH = new PathLabel(layoutWidget);
    LABEL_DOWNLOAD_PATH->setObjectName(QStringLiteral("LABEL_DOWNLOAD_PATH"));
    horizontalLayout_2->addWidget(LABEL_DOWNLOAD_PATH);
    verticalLayout->addLayout(horizontalLayout_2);
    EDIT_REMOTE_PATH = new QLineEdit(layoutWidget);
    EDIT_REMOTE_PATH->setObjectName(QStringLiteral("EDIT_REMOTE_PATH"));
    EDIT_REMOTE_PATH->setReadOnly(true);
    EDIT_REMOTE_PATH->setFrame(false);
    EDIT_REMOTE_PATH->setFocusPolicy(Qt::ClickFocus);
    EDIT_REMOTE_PATH->setAccessibleName(::MainWindow::tr("Instrument folder shown"));
    verticalLayout->addWidget(EDIT_REMOTE_PATH);
    FILE_LISTWIDGET = new QListWidget(layoutWidget);
    FILE_LISTWIDGET->setObjectName(QStringLiteral("FILE_LISTWIDGET"));
    FILE_LISTWIDGET->setContextMenuPolicy(Qt::CustomContextMenu);
    FILE_LISTWIDGET->setAccessibleName(::MainWindow::tr("Folder contents"));
    verticalLayout->addWidget(FILE_LISTWIDGET);
    splitter->addWidget(layoutWidget);
    // Neither pane can be dragged away to nothing: the tree keeps room for a folder name,
    // the right pane for the download button and a column of the list.
    splitter->setChildrenCollapsible(false);
    FILE_TREEWIDGET->setMinimumWidth(150);
    layoutWidget->setMinimumWidth(270);
    verticalLayout_2->addWidget(splitter);

    verticalLayout_3->addLayout(verticalLayout_2, 1); // the panes take any room there is
    LABEL_STATUS = new QLabel(centralWidget);
    LABEL_STATUS->setObjectName(QStringLiteral("LABEL_STATUS"));
    LABEL_STATUS->setTextFormat(Qt::PlainText);
    LABEL_STATUS->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    LABEL_STATUS->setAccessibleName(::MainWindow::tr("Status"));
    verticalLayout_3->addWidget(LABEL_STATUS);
    verticalLayout_4->addLayout(verticalLayout_3);
    window->setCentralWidget(centralWidget);
}

} // namespace Ui
