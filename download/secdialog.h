#pragma once
#include <QDialog>

class QLabel;
class QPushButton;

namespace Ui {
struct SecDialog;
}

// "Are you sure you want to cancel the download?"
class SecDialog : public QDialog
{
    Q_OBJECT
public:
    explicit SecDialog(QWidget *parent = nullptr);
    ~SecDialog() override;

signals:
    void signalDownloadingCancel();

public slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();

private:
    Ui::SecDialog *ui = nullptr;
};
