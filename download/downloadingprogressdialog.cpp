#include "download/downloadingprogressdialog.h"

DownloadingProgressDialog::DownloadingProgressDialog(QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint)
{
}
