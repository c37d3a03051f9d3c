#include "download/alreadydialogtreewidget.h"

#include "download/dialogform.h"

AlreadyDialogTreeWidget::AlreadyDialogTreeWidget(QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint), ui(new DialogForm::ReplaceQuestion)
{
    setObjectName(QStringLiteral("AlreadyDialogTreeWidget"));
    setWindowTitle(tr("Replace folder"));
    *ui = DialogForm::buildReplaceQuestion(this, tr("Yes"), tr("No"),
                                           DialogForm::CreationOrder::NoLabelYes);
    QMetaObject::connectSlotsByName(this);
}

void AlreadyDialogTreeWidget::ask(const QString &localFolder, const QStringList &names)
{
    DialogForm::askReplace(this, *ui, localFolder, names);
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

void AlreadyDialogTreeWidget::on_pushButtonOnlyNew_clicked()
{
    emit DownloadNewOnlyTreeWidget();
    reject();
}
