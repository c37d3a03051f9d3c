#include "download/qelidelabel.h"

QElideLabel::QElideLabel(QWidget *parent, Qt::WindowFlags f) : QLabel(parent, f) {}
