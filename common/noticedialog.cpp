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
    m_action = new QPushButton(this);
    m_action->setObjectName(QStringLiteral("actionButton"));
    m_action->setFont(NoticeLook::boldFont());
    m_action->setMinimumSize(120, 30);
    m_action->hide();
    connect(m_action, &QPushButton::clicked, this, [this] {
        const std::function<void()> run = m_run;
        reject();
        if (run)
            run();
    });
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_button);
    buttons->addWidget(m_action);
    buttons->addStretch(1);
    layout->addLayout(buttons);
}

void NoticeDialog::showNotice(const QString &text, const QString &actionText, std::function<void()> action)
{
    showNotice(text);
    m_run = std::move(action);
    m_action->setText(actionText);
    m_action->setVisible(true);
    adjustSize();
}

void NoticeDialog::showNotice(const QString &text)
{
    // A plain notice on its own drops an action left from an earlier one.
    if (!isVisible()) {
        m_action->hide();
        m_run = nullptr;
    }
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
