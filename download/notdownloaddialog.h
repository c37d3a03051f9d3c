#pragma once
#include <QDialog>

// Stub: filled in by the download work.
class NotDownloadDialog : public QDialog
{
    Q_OBJECT
public:
    explicit NotDownloadDialog(QWidget *parent = nullptr);
signals:
    void signalDownlaod();
};
