#pragma once
#include <QDialog>
#include <QList>

#include <functional>

class QHBoxLayout;
class QLabel;
class QPushButton;

// A notice in the program's own style: frameless, dark, one "O K" button. Modeless, so it
// never blocks the window behind it; a second notice while one is shown is appended.
class NoticeDialog : public QDialog
{
    Q_OBJECT
public:
    // A button beside "O K" that closes the notice and then runs `run`.
    struct Action
    {
        QString text;
        std::function<void()> run;
    };

    explicit NoticeDialog(QWidget *parent = nullptr);
    void showNotice(const QString &text);
    // With a second button beside "O K" (e.g. "Show record") that runs `action` and closes.
    void showNotice(const QString &text, const QString &actionText, std::function<void()> action);
    // With a button for each action, in this order after "O K".
    void showNotice(const QString &text, const QList<Action> &actions);
    QPushButton *actionButton(int index = 0) const { return m_actions.value(index); }
    QString text() const;

private:
    void dropActions();

    QLabel *m_label = nullptr;
    QPushButton *m_button = nullptr;
    QHBoxLayout *m_buttons = nullptr;
    QList<QPushButton *> m_actions; // the first is kept, hidden, when there is none
    QList<std::function<void()>> m_runs;
};
