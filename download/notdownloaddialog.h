#pragma once
#include <QDialog>

namespace Ui {
struct NotDownloadDialog;
}

// "Download the file to open." for a file the user tried to open that is not local yet.
class NotDownloadDialog : public QDialog
{
    Q_OBJECT
public:
    explicit NotDownloadDialog(QWidget *parent = nullptr);
    ~NotDownloadDialog() override;

signals:
    void signalDownlaod();

public slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();

private:
    Ui::NotDownloadDialog *ui = nullptr;
};
