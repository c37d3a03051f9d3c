#pragma once
#include "download/secdialog.h"

#include <QDialog>

// Stub: filled in by the download work.
class DownloadingProgressDialog : public QDialog
{
    Q_OBJECT
public:
    explicit DownloadingProgressDialog(QWidget *parent = nullptr);
    void reset() {}
    void setTotal(int n) { m_total = n; }
    void setCurrentFile(const QString &name) { m_currentFile = name; }
    void setCompleted(int) {}
    SecDialog *cancelDialog() { return &m_secDialog; }
signals:
    void signalDownloadingCancel();

private:
    QString m_currentFile;
    qint32 m_total = 0;
    SecDialog m_secDialog;
};
