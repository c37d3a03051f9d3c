#include "download/downloadtoast.h"

#include "common/noticelook.h"
#include "common/style.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

DownloadToast::DownloadToast(QWidget *window)
    : QFrame(window, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus), m_window(window)
{
    setObjectName(QStringLiteral("DownloadToast"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setWindowTitle(tr("Download finished"));
    setStyleSheet(QLatin1String(Style::kTextButtonStyle)
                  + QStringLiteral("QPushButton { padding: 0px 10px; }"
                                   "QFrame#DownloadToast { background-color: rgb(88, 96, 109);"
                                   " border: 1px solid rgb(255, 255, 255); }"
                                   "QLabel { color: rgb(255, 255, 255); }"));
    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("label"));
    m_label->setWordWrap(true);
    m_label->setFont(NoticeLook::boldFont());
    m_label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto button = [this](const QString &text, const QString &name) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(name);
        b->setFont(NoticeLook::boldFont());
        b->setMinimumSize(120, 30);
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    m_folder = button(tr("Show in Folder"), QStringLiteral("showFolderButton"));
    m_record = button(tr("Show record"), QStringLiteral("showRecordButton"));
    connect(m_folder, &QPushButton::clicked, this, [this] { hide(); emit showFolderRequested(); });
    connect(m_record, &QPushButton::clicked, this, [this] { hide(); emit showRecordRequested(); });

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_folder);
    buttons->addWidget(m_record);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(14, 12, 14, 12);
    layout->addWidget(m_label);
    layout->addLayout(buttons);
    setFixedWidth(440);

    m_hide.setSingleShot(true);
    m_hide.setInterval(kShownMs);
    connect(&m_hide, &QTimer::timeout, this, &QWidget::hide);
}

void DownloadToast::showMessage(const QString &text)
{
    m_label->setText(text);
    adjustSize();
    place();
    show();
    raise();
    m_hide.start();
}

QString DownloadToast::text() const
{
    return m_label->text();
}

void DownloadToast::place()
{
    const QRect frame = m_window->frameGeometry();
    move(frame.right() - width() - 24, frame.bottom() - height() - 24);
}

#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
void DownloadToast::enterEvent(QEnterEvent *event)
#else
void DownloadToast::enterEvent(QEvent *event)
#endif
{
    m_hide.stop();
    QFrame::enterEvent(event);
}

void DownloadToast::leaveEvent(QEvent *event)
{
    m_hide.start();
    QFrame::leaveEvent(event);
}
