#pragma once
#include <QDialog>

// Stub: filled in by the download work.
class SecDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SecDialog(QWidget *parent = nullptr);
signals:
    void signalDownloadingCancel();
};
