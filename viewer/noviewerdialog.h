#pragma once
#include <QDialog>

class QLabel;
class QPushButton;

// Says that the desktop has no program for a downloaded file, and offers to show the file
// in its folder, from where the user can open it another way.
class NoViewerDialog : public QDialog
{
    Q_OBJECT
public:
    explicit NoViewerDialog(QWidget *parent = nullptr);

    // `kind` names the type for the user ("PDF"); `localFile` is the downloaded copy.
    void ask(const QString &kind, const QString &localFile);
    QString text() const;
    QString file() const { return m_file; }

signals:
    void showInFolderRequested(const QString &localFile);

private:
    QLabel *m_label = nullptr;
    QPushButton *m_showButton = nullptr;
    QPushButton *m_closeButton = nullptr;
    QString m_file;
};
