#include "download/secdialog.h"

#include "common/dialogplacement.h"
#include "common/style.h"
#include "download/dialogform.h"

namespace Ui {
struct SecDialog
{
    QPushButton *pushButton = nullptr;
    QPushButton *pushButton_2 = nullptr;
    QLabel *label = nullptr;

    void setupUi(QDialog *dialog)
    {
        dialog->setObjectName(QStringLiteral("SecDialog"));
        dialog->resize(400, 200);
        dialog->setFont(DialogForm::boldFont());
        dialog->setStyleSheet(QLatin1String(Style::kDialogStyle));
        dialog->setWindowTitle(::SecDialog::tr("Stop download"));
        // The answers say what they do: "Cancel" had read as cancelling the download.
        pushButton = DialogForm::button(dialog, "pushButton", QRect(54, 145, 136, 30),
                                        ::SecDialog::tr("Stop download"));
        pushButton_2 = DialogForm::button(dialog, "pushButton_2", QRect(210, 145, 136, 30),
                                          ::SecDialog::tr("Keep downloading"));
        // Wider than 311 pixels: the question's "?" was cut off there.
        label = DialogForm::messageLabel(dialog, QRect(20, 60, 360, 40),
                                         ::SecDialog::tr("Are you sure you want to cancel the download?"));
        label->setStyleSheet(QLatin1String(Style::kLabelButtonStyle));
    }
};
} // namespace Ui

SecDialog::SecDialog(QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint), ui(new Ui::SecDialog)
{
    ui->setupUi(this);
    QMetaObject::connectSlotsByName(this);
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    DialogPlacement::follow(this);
}

SecDialog::~SecDialog()
{
    delete ui;
}

void SecDialog::on_pushButton_clicked()
{
    emit signalDownloadingCancel();
    reject();
}

void SecDialog::on_pushButton_2_clicked()
{
    reject();
}
