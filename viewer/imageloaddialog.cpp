#include "viewer/imageloaddialog.h"

ImageLoadDialog::ImageLoadDialog(QWidget *parent) : QDialog(parent, Qt::FramelessWindowHint) {}
void ImageLoadDialog::openImage(const QString &, const QString &, const QString &) {}
void ImageLoadDialog::setFileName(const QString &) {}
