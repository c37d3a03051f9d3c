#include "download/notdownloaddialog.h"

NotDownloadDialog::NotDownloadDialog(QWidget *parent) : QDialog(parent, Qt::FramelessWindowHint) {}
