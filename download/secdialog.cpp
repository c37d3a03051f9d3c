#include "download/secdialog.h"

SecDialog::SecDialog(QWidget *parent) : QDialog(parent, Qt::FramelessWindowHint) {}
