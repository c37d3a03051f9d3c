#include "download/alreadydialogtreewidget.h"

AlreadyDialogTreeWidget::AlreadyDialogTreeWidget(QWidget *parent) : QDialog(parent, Qt::FramelessWindowHint) {}
