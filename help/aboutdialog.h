#pragma once
#include <QDialog>

namespace Ui {
class AboutDialog;
}

// The small frameless box that names the product and its version.
class AboutDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AboutDialog(QWidget *parent = nullptr);
    ~AboutDialog() override;

    // The three lines shown: version with the build's bit width, product, rights.
    static QString aboutText();

private slots:
    void on_pushButton_clicked();

private:
    Ui::AboutDialog *m_ui;
};
