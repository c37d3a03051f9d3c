#include "download/alreadydialog.h"

AlreadyDialog::AlreadyDialog(QWidget *parent) : QDialog(parent, Qt::FramelessWindowHint) {}
