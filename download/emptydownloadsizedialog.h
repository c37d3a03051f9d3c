#pragma once
#include <QDialog>

namespace Ui {
struct EmptyDownloadSizeDialog;
}

// "Select files to download"
class EmptyDownloadSizeDialog : public QDialog
{
    Q_OBJECT
public:
    explicit EmptyDownloadSizeDialog(QWidget *parent = nullptr);
    ~EmptyDownloadSizeDialog() override;

public slots:
    void on_pushButton_clicked();

private:
    Ui::EmptyDownloadSizeDialog *ui = nullptr;
};
