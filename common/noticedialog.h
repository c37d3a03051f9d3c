#pragma once
#include <QDialog>

#include <functional>

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
    // With a second button beside "O K" (e.g. "Show record") that runs `action` and closes.
    void showNotice(const QString &text, const QString &actionText, std::function<void()> action);
    QPushButton *actionButton() const { return m_action; }
    QString text() const;

private:
    QLabel *m_label = nullptr;
    QPushButton *m_button = nullptr;
    QPushButton *m_action = nullptr;
    std::function<void()> m_run;
};
