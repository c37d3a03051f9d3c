#include "download/alreadydialogtreewidget.h"

#include "download/dialogform.h"

AlreadyDialogTreeWidget::AlreadyDialogTreeWidget(QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint), ui(new DialogForm::ReplaceQuestion)
{
    setObjectName(QStringLiteral("AlreadyDialogTreeWidget"));
    setWindowTitle(tr("Dialog"));
    *ui = DialogForm::buildReplaceQuestion(
        this,
        tr("There is already a file with the same name in this location. \n"
           "               Do you want to replace the existing file?"),
        tr("Yes"), tr("No"), DialogForm::CreationOrder::NoLabelYes);
    QMetaObject::connectSlotsByName(this);
}

AlreadyDialogTreeWidget::~AlreadyDialogTreeWidget()
{
    delete ui;
}

void AlreadyDialogTreeWidget::on_pushButton_clicked()
{
    emit DownloadStartTreeWidget();
    reject();
}

void AlreadyDialogTreeWidget::on_pushButton_2_clicked()
{
    reject();
}
