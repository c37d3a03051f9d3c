#include "viewer/imageattributedialog.h"

ImageAttributeDialog::ImageAttributeDialog(QWidget *parent) : QDialog(parent) {}
