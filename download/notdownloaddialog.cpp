#include "download/notdownloaddialog.h"

#include "common/dialogplacement.h"
#include "common/style.h"
#include "download/dialogform.h"

namespace Ui {
struct NotDownloadDialog
{
    QPushButton *pushButton = nullptr;
    QPushButton *pushButton_2 = nullptr;
    QLabel *label = nullptr;

    void setupUi(QDialog *dialog)
    {
        dialog->setObjectName(QStringLiteral("NotDownloadDialog"));
        dialog->resize(400, 200);
        dialog->setStyleSheet(QLatin1String(Style::kLabelDialogStyle));
        dialog->setWindowTitle(::NotDownloadDialog::tr("Download to open"));
        pushButton = DialogForm::button(dialog, "pushButton", QRect(99, 145, 80, 30),
                                        ::NotDownloadDialog::tr("Download"));
        pushButton_2 = DialogForm::button(dialog, "pushButton_2", QRect(221, 145, 80, 30),
                                          ::NotDownloadDialog::tr("Cancel"));
        label = DialogForm::label(dialog, "label", QRect(110, 70, 191, 21),
                                  ::NotDownloadDialog::tr("Download the file to open."));
    }
};
} // namespace Ui

NotDownloadDialog::NotDownloadDialog(QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint), ui(new Ui::NotDownloadDialog)
{
    ui->setupUi(this);
    QMetaObject::connectSlotsByName(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    DialogPlacement::follow(this);
}

NotDownloadDialog::~NotDownloadDialog()
{
    delete ui;
}

void NotDownloadDialog::on_pushButton_clicked()
{
    emit signalDownlaod();
    reject();
}

void NotDownloadDialog::on_pushButton_2_clicked()
{
    reject();
}
