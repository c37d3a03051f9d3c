#include "help/aboutdialog.h"

AboutDialog::AboutDialog(QWidget *parent) : QDialog(parent, Qt::FramelessWindowHint) {}
