#pragma once
#include <QDialog>

namespace DialogForm {
struct ReplaceQuestion;
}

// Asks whether to replace local entries of the same name, for downloads from the file list.
class AlreadyDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AlreadyDialog(QWidget *parent = nullptr);
    ~AlreadyDialog() override;

    // Names the entries of `names` that are in localFolder, says file or folder, and shows
    // the question.
    void ask(const QString &localFolder, const QStringList &names);

signals:
    void DownloadStart();
    // "Only new files": fetch what has no local copy, keep what is there.
    void DownloadNewOnly();

public slots:
    void on_pushButton_clicked();
    void on_pushButton_2_clicked();
    void on_pushButtonOnlyNew_clicked();

private:
    DialogForm::ReplaceQuestion *ui = nullptr;
};
