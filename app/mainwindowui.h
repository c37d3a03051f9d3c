#pragma once
// The main window's widget tree, built in code with the object names that the
// name-based slot connection relies on.
#include "app/pathlabel.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSplitter>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace Ui {

struct MainWindow
{
    QWidget *centralWidget = nullptr;
    QVBoxLayout *verticalLayout_4 = nullptr;
    QVBoxLayout *verticalLayout_3 = nullptr;
    QHBoxLayout *horizontalLayout_3 = nullptr;
    QPushButton *pushButton_3 = nullptr; // minimise
    QPushButton *pushButton_2 = nullptr; // maximise / restore
    QPushButton *pushButton = nullptr;   // close
    QVBoxLayout *verticalLayout_2 = nullptr;
    QMenuBar *menuBar = nullptr;
    QSplitter *splitter = nullptr;
    QTreeWidget *FILE_TREEWIDGET = nullptr;
    QWidget *layoutWidget = nullptr;
    QVBoxLayout *verticalLayout = nullptr;
    QHBoxLayout *horizontalLayout_2 = nullptr;
    QPushButton *BUTTON_DOWNLOAD = nullptr;
    PathLabel *LABEL_DOWNLOAD_PATH = nullptr;
    QLineEdit *EDIT_REMOTE_PATH = nullptr; // the folder listed, selectable
    QListWidget *FILE_LISTWIDGET = nullptr;
    QLabel *LABEL_STATUS = nullptr; // the link, and why something just asked for did not happen

    void setupUi(QMainWindow *window);
    // The dark look (app/mainwindowstyle.cpp); menus added later take theirs from the bar.
    void applyStyle(QMainWindow *window);
    void styleMenu(QMenu *menu);
};

} // namespace Ui
