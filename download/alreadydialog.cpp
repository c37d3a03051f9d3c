#include "download/alreadydialog.h"

#include "download/dialogform.h"

AlreadyDialog::AlreadyDialog(QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint), ui(new DialogForm::ReplaceQuestion)
{
    setObjectName(QStringLiteral("AlreadyDialog"));
    setWindowTitle(tr("Replace files"));
    *ui = DialogForm::buildReplaceQuestion(this, tr("Yes"), tr("No"),
                                           DialogForm::CreationOrder::LabelYesNo);
    QMetaObject::connectSlotsByName(this);
}

void AlreadyDialog::ask(const QString &localFolder, const QStringList &names)
{
    DialogForm::askReplace(this, *ui, localFolder, names);
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

void AlreadyDialog::on_pushButtonOnlyNew_clicked()
{
    emit DownloadNewOnly();
    reject();
}
