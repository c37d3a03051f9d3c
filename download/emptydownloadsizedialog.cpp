#include "download/emptydownloadsizedialog.h"

EmptyDownloadSizeDialog::EmptyDownloadSizeDialog(QWidget *parent) : QDialog(parent, Qt::FramelessWindowHint) {}
