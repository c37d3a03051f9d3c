#include "common/noticedialog.h"

#include "common/dialogplacement.h"
#include "common/style.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

NoticeDialog::NoticeDialog(QWidget *parent) : QDialog(parent, Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("NoticeDialog"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setStyleSheet(QLatin1String(Style::kLabelDialogStyle));
    setMinimumSize(400, 200);
    setMaximumWidth(560);
    DialogPlacement::follow(this);

    QFont bold(QStringLiteral("Arial"));
    bold.setBold(true);
    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("label"));
    m_label->setWordWrap(true);
    m_label->setAlignment(Qt::AlignCenter);
    m_label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont labelFont = bold;
    labelFont.setPointSize(10);
    m_label->setFont(labelFont);

    m_button = new QPushButton(tr("O K"), this);
    m_button->setObjectName(QStringLiteral("pushButton"));
    m_button->setFont(bold);
    m_button->setFixedSize(101, 30);
    connect(m_button, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->addStretch(1);
    layout->addWidget(m_label);
    layout->addStretch(1);
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
