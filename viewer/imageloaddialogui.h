#pragma once
// The image browser's widget tree, built in code with the object names that the
// name-based slot connection relies on.
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpacerItem>
#include <QVBoxLayout>

class ImageFrame;
class QDialog;
class QSizeGrip;

namespace Ui {

struct ImageLoadDialog
{
    QVBoxLayout *verticalLayout = nullptr;
    QHBoxLayout *horizontalLayout_2 = nullptr;
    QPushButton *pushButton_5 = nullptr; // minimise
    QPushButton *pushButton_4 = nullptr; // close
    QHBoxLayout *horizontalLayout = nullptr;
    QLabel *label = nullptr;   // file name, elided
    QLabel *label_2 = nullptr; // zoom factor
    QLabel *labelPage = nullptr; // "page k of N" of a multi-page file
    QPushButton *pushButtonPagePrevious = nullptr;
    QPushButton *pushButtonPageNext = nullptr;
    QPushButton *pushButtonContrast = nullptr;
    QPushButton *pushButton_3 = nullptr; // attribute sheet
    QPushButton *pushButton = nullptr;   // previous file
    QPushButton *pushButton_2 = nullptr; // next file
    QHBoxLayout *imageLayout = nullptr;
    ImageFrame *frame = nullptr;
    QHBoxLayout *statusLayout = nullptr;
    QLabel *label_3 = nullptr;     // pixel under the pointer
    QLabel *labelNotice = nullptr; // loading, missing rows, why a file is not shown
    QSizeGrip *sizeGrip = nullptr;

    void setupUi(QDialog *dialog);
};

} // namespace Ui
