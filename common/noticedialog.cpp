#include "common/noticedialog.h"

#include "common/noticelook.h"

#include <QLabel>
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
    layout->addWidget(m_button, 0, Qt::AlignHCenter);
}

void NoticeDialog::showNotice(const QString &text)
{
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
