#pragma once
#include <QDialog>

// Stub: filled in by the download work.
class EmptyDownloadSizeDialog : public QDialog
{
    Q_OBJECT
public:
    explicit EmptyDownloadSizeDialog(QWidget *parent = nullptr);
};
