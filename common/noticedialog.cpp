#include "common/noticedialog.h"

#include "common/noticelook.h"

#include <QLabel>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

NoticeDialog::NoticeDialog(QWidget *parent) : QDialog(parent, Qt::FramelessWindowHint)
{
    QVBoxLayout *layout = nullptr;
    m_label = NoticeLook::setUp(this, QStringLiteral("NoticeDialog"), &layout);
    m_button = new QPushButton(tr("O K"), this);
    m_button->setObjectName(QStringLiteral("pushButton"));
    m_button->setFont(NoticeLook::boldFont());
    m_button->setFixedSize(101, 30);
    connect(m_button, &QPushButton::clicked, this, &QDialog::reject);
    m_buttons = new QHBoxLayout;
    m_buttons->addStretch(1);
    m_buttons->addWidget(m_button);
    m_buttons->addStretch(1);
    layout->addLayout(m_buttons);
    dropActions(); // makes the first action button, hidden
}

void NoticeDialog::dropActions()
{
    m_runs.clear();
    // Later, not now: the button clicked may be the one running this.
    while (m_actions.size() > 1) {
        QPushButton *button = m_actions.takeLast();
        button->hide();
        button->deleteLater();
    }
    if (m_actions.isEmpty()) {
        auto *action = new QPushButton(this);
        action->setObjectName(QStringLiteral("actionButton"));
        action->setFont(NoticeLook::boldFont());
        action->setMinimumSize(120, 30);
        m_buttons->insertWidget(m_buttons->count() - 1, action);
        connect(action, &QPushButton::clicked, this, [this] {
            const std::function<void()> run = m_runs.value(0);
            reject();
            if (run)
                run();
        });
        m_actions.append(action);
    }
    m_actions.first()->hide();
}

void NoticeDialog::showNotice(const QString &text, const QString &actionText, std::function<void()> action)
{
    showNotice(text, QList<Action>{{actionText, std::move(action)}});
}

void NoticeDialog::showNotice(const QString &text, const QList<Action> &actions)
{
    showNotice(text);
    dropActions();
    for (int i = 0; i < actions.size(); ++i) {
        if (i >= m_actions.size()) {
            auto *button = new QPushButton(this);
            button->setObjectName(QStringLiteral("actionButton%1").arg(i + 1));
            button->setFont(NoticeLook::boldFont());
            button->setMinimumSize(120, 30);
            m_buttons->insertWidget(m_buttons->count() - 1, button);
            connect(button, &QPushButton::clicked, this, [this, i] {
                const std::function<void()> run = m_runs.value(i);
                reject();
                if (run)
                    run();
            });
            m_actions.append(button);
        }
        m_runs.append(actions.at(i).run);
        m_actions.at(i)->setText(actions.at(i).text);
        // Room on both sides of the text, as the other buttons have.
        m_actions.at(i)->setMinimumWidth(
            qMax(120, m_actions.at(i)->fontMetrics().horizontalAdvance(actions.at(i).text) + 24));
        m_actions.at(i)->setVisible(true);
    }
    adjustSize();
}

void NoticeDialog::showNotice(const QString &text)
{
    // A plain notice on its own drops an action left from an earlier one.
    if (!isVisible())
        dropActions();
    if (isVisible() && !m_label->text().isEmpty())
        m_label->setText(m_label->text() + QStringLiteral("\n\n") + text);
    else
        m_label->setText(text);
    adjustSize();
    show();
    raise();
}

QString NoticeDialog::text() const
{
    return m_label->text();
}
