#pragma once
#include <QDialog>

namespace DialogForm {
struct ReplaceQuestion;
}

// Asks whether to replace local entries of the same name, for folder downloads from the tree.
class AlreadyDialogTreeWidget : public QDialog
{
    Q_OBJECT
public:
    explicit AlreadyDialogTreeWidget(QWidget *parent = nullptr);
    ~AlreadyDialogTreeWidget() override;

signals:
    void DownloadStartTreeWidget();

public slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();

private:
    DialogForm::ReplaceQuestion *ui = nullptr;
};
