#include "download/emptydownloadsizedialog.h"

#include "common/dialogplacement.h"
#include "common/style.h"
#include "download/dialogform.h"

namespace Ui {
struct EmptyDownloadSizeDialog
{
    QPushButton *pushButton = nullptr;
    QLabel *label = nullptr;

    void setupUi(QDialog *dialog)
    {
        dialog->setObjectName(QStringLiteral("EmptyDownloadSizeDialog"));
        dialog->resize(400, 200);
        dialog->setStyleSheet(QLatin1String(Style::kLabelDialogStyle));
        dialog->setWindowTitle(::EmptyDownloadSizeDialog::tr("Nothing selected"));
        pushButton = DialogForm::button(dialog, "pushButton", QRect(159, 145, 101, 30),
                                        ::EmptyDownloadSizeDialog::tr("O K"));
        label = DialogForm::label(dialog, "label", QRect(130, 60, 161, 31),
                                  ::EmptyDownloadSizeDialog::tr("Select files to download"));
    }
};
} // namespace Ui

EmptyDownloadSizeDialog::EmptyDownloadSizeDialog(QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint), ui(new Ui::EmptyDownloadSizeDialog)
{
    ui->setupUi(this);
    QMetaObject::connectSlotsByName(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    DialogPlacement::follow(this);
}

EmptyDownloadSizeDialog::~EmptyDownloadSizeDialog()
{
    delete ui;
}

void EmptyDownloadSizeDialog::on_pushButton_clicked()
{
    reject();
}
