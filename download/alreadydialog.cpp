#include "download/alreadydialog.h"

#include "download/dialogform.h"

AlreadyDialog::AlreadyDialog(QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint), ui(new DialogForm::ReplaceQuestion)
{
    setObjectName(QStringLiteral("AlreadyDialog"));
    setWindowTitle(tr("Dialog"));
    *ui = DialogForm::buildReplaceQuestion(
        this,
        tr("There is already a file with the same name in this location. \n"
           "               Do you want to replace the existing file?"),
        tr("Yes"), tr("No"), DialogForm::CreationOrder::LabelYesNo);
    QMetaObject::connectSlotsByName(this);
}

AlreadyDialog::~AlreadyDialog()
{
    delete ui;
}

void AlreadyDialog::on_pushButton_clicked()
{
    emit DownloadStart();
    reject();
}

void AlreadyDialog::on_pushButton_2_clicked()
{
    reject();
}
