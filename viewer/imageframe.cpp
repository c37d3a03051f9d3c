#include "viewer/imageframe.h"

ImageFrame::ImageFrame(QWidget *parent) : QFrame(parent) {}
