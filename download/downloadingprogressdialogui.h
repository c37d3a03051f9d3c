#pragma once
// The progress dialog's widgets, with the object names the name-based slot connection uses.
#include "download/qelidelabel.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

class QDialog;

namespace Ui {
struct DownloadingProgressDialog
{
    QLabel *label = nullptr;
    QProgressBar *PROGRESS = nullptr;
    QElideLabel *label_2 = nullptr;
    QPushButton *BUTTON_STOP = nullptr;
    QLabel *LABEL_BYTES = nullptr; // bytes of the current file and the rate

    void setupUi(QDialog *dialog);
};
} // namespace Ui
