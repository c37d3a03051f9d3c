#include "link/logindialog.h"

LoginDialog::LoginDialog(QWidget *parent) : QDialog(parent, Qt::FramelessWindowHint) {}
