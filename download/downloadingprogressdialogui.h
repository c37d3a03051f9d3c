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
    QPushButton *BUTTON_STOP_NOW = nullptr; // throws the file under way away and ends at once
    QLabel *LABEL_FILE_COUNT = nullptr; // "file 3 of 4"
    QLabel *LABEL_BYTES = nullptr;      // bytes of the current file against its size
    QLabel *LABEL_STATUS = nullptr;     // rate and time left, silence, stopping

    void setupUi(QDialog *dialog);
};
} // namespace Ui
