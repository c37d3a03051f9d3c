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

namespace Ui {

struct ImageLoadDialog
{
    QVBoxLayout *verticalLayout = nullptr;
    QHBoxLayout *horizontalLayout_2 = nullptr;
    QPushButton *pushButton_5 = nullptr; // minimise
    QPushButton *pushButton_4 = nullptr; // close
    QHBoxLayout *horizontalLayout = nullptr;
    QLabel *label = nullptr;   // file name
    QLabel *label_2 = nullptr; // zoom factor
    QLabel *label_3 = nullptr; // pixel under the pointer
    QPushButton *pushButton_3 = nullptr; // attribute sheet
    QPushButton *pushButton = nullptr;   // previous
    QPushButton *pushButton_2 = nullptr; // next
    ImageFrame *frame = nullptr;

    void setupUi(QDialog *dialog);
};

} // namespace Ui
