// The main window's look: fonts, colours and style sheets of the form's widgets.
#include "app/mainwindowui.h"

#include "common/style.h"

#include <QMenu>

namespace {

const char kWhiteBackground[] = "background-color : white";
const QColor kDarkBackground(88, 96, 109);

QFont arial(int pointSize, bool bold)
{
    QFont font(QStringLiteral("Arial"));
    if (pointSize > 0)
        font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

} // namespace

namespace Ui {

void MainWindow::applyStyle(QMainWindow *window)
{
    window->setFont(arial(0, true));
    centralWidget->setStyleSheet(
        QStringLiteral("QWidget {\n\tbackground-color: rgb(88, 96, 109);\n}"));
    pushButton_3->setStyleSheet(Style::imageButtonStyle(QStringLiteral("QPushButton#pushButton_3"),
                                                        QStringLiteral("minimize")));
    pushButton_2->setStyleSheet(Style::imageButtonStyle(QStringLiteral("QPushButton#pushButton_2"),
                                                        QStringLiteral("maximize")));
    pushButton->setStyleSheet(Style::imageButtonStyle(QStringLiteral("QPushButton#pushButton"),
                                                      QStringLiteral("close")));
    BUTTON_DOWNLOAD->setStyleSheet(
        Style::imageButtonStyle(QStringLiteral("QPushButton"), QStringLiteral("download")));
    BUTTON_DOWNLOAD->setFont(arial(11, true));
    LABEL_DOWNLOAD_PATH->setStyleSheet(QStringLiteral(
        "QLabel {\n\tbackground-color: rgb(67, 78, 93);\n\tcolor: rgb(163, 170, 180);\n}"));
    LABEL_DOWNLOAD_PATH->setFont(arial(11, true));
    EDIT_REMOTE_PATH->setStyleSheet(QStringLiteral(
        "QLineEdit { background-color: rgb(67, 78, 93); color: rgb(230, 232, 235);"
        " selection-background-color: rgb(255, 204, 0); selection-color: black; padding: 2px 4px; }"));
    EDIT_REMOTE_PATH->setFont(arial(11, false));
    LABEL_STATUS->setStyleSheet(QStringLiteral("QLabel { color: rgb(230, 232, 235); }"));
    LABEL_STATUS->setFont(arial(10, false));

    QTreeWidget *tree = FILE_TREEWIDGET;
    tree->setFont(arial(11, false));
    QPalette palette = tree->palette();
    for (QPalette::ColorRole role : {QPalette::Button, QPalette::Base, QPalette::Window})
        palette.setColor(role, kDarkBackground);
    tree->setPalette(palette);
    tree->setStyleSheet(QLatin1String(kWhiteBackground));
    FILE_LISTWIDGET->setStyleSheet(QLatin1String(kWhiteBackground));

    menuBar->setFont(arial(0, false));
    menuBar->setStyleSheet(QLatin1String(Style::kMenuBarStyle));
}

void MainWindow::styleMenu(QMenu *menu)
{
    menu->setStyleSheet(QLatin1String(Style::kMenuStyle));
    menu->setFont(arial(0, false));
}

} // namespace Ui
