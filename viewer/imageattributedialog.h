#pragma once
#include <QDialog>

// Stub: filled in by the viewer work.
class ImageAttributeDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ImageAttributeDialog(QWidget *parent = nullptr);
};
