#pragma once
#include <QDialog>

// Stub: filled in by the download work.
class AlreadyDialogTreeWidget : public QDialog
{
    Q_OBJECT
public:
    explicit AlreadyDialogTreeWidget(QWidget *parent = nullptr);
signals:
    void DownloadStartTreeWidget();
};
