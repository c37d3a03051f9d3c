#pragma once
#include <QDialog>

class QLabel;
class QPushButton;

// A notice in the program's own style: frameless, dark, one "O K" button. Modeless, so it
// never blocks the window behind it; a second notice while one is shown is appended.
class NoticeDialog : public QDialog
{
    Q_OBJECT
public:
    explicit NoticeDialog(QWidget *parent = nullptr);
    void showNotice(const QString &text);
    QString text() const;

private:
    QLabel *m_label = nullptr;
    QPushButton *m_button = nullptr;
};
