#pragma once
#include <QDialog>

// Stub: filled in by the download work.
class AlreadyDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AlreadyDialog(QWidget *parent = nullptr);
signals:
    void DownloadStart();
};
