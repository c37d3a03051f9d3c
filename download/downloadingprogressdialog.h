#pragma once
#include "download/secdialog.h"

#include <QDialog>

namespace Ui {
struct DownloadingProgressDialog;
}

// Share of the announced files that has arrived, the file being received, and "Stop".
// Below the bar's row it also shows the bytes of the current file and the rate, so a
// single large file visibly moves.
class DownloadingProgressDialog : public QDialog
{
    Q_OBJECT
public:
    explicit DownloadingProgressDialog(QWidget *parent = nullptr);
    ~DownloadingProgressDialog() override;

    void reset();
    void setTotal(int n);
    void setCurrentFile(const QString &name);
    void setCompleted(int k);
    void setBytesReceived(qint64 fileBytes, qint64 bytesPerSecond);
    SecDialog *cancelDialog() { return &m_secDialog; }

    // For tests.
    Ui::DownloadingProgressDialog *form() const { return ui; }
    int total() const { return m_total; }
    QString currentFile() const { return m_currentFile; }

signals:
    void signalDownloadingCancel();

public slots:
    void on_BUTTON_STOP_clicked();

private:
    QString m_currentFile;
    qint32 m_total = 0;
    Ui::DownloadingProgressDialog *ui = nullptr;
    SecDialog m_secDialog;
};
