#include "viewer/noviewerdialog.h"

#include "common/noticelook.h"

#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

NoViewerDialog::NoViewerDialog(QWidget *parent) : QDialog(parent, Qt::FramelessWindowHint)
{
    QVBoxLayout *layout = nullptr;
    m_label = NoticeLook::setUp(this, QStringLiteral("NoViewerDialog"), &layout);
    const QFont bold = NoticeLook::boldFont();
    auto button = [&](const char *name, const QString &text) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setFont(bold);
        b->setMinimumSize(120, 30);
        return b;
    };
    m_showButton = button("pushButton", tr("Show in Folder"));
    m_closeButton = button("pushButton_2", tr("Close"));
    m_showButton->setDefault(true);
    connect(m_showButton, &QPushButton::clicked, this, [this] {
        const QString file = m_file;
        reject();
        emit showInFolderRequested(file);
    });
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_showButton);
    buttons->addSpacing(24);
    buttons->addWidget(m_closeButton);
    buttons->addStretch(1);
    layout->addLayout(buttons);
}

void NoViewerDialog::ask(const QString &kind, const QString &localFile)
{
    m_file = localFile;
    m_label->setText(tr("No application is set up to open %1 files on this computer.\n\n"
                        "\u201C%2\u201D has been downloaded; show it in its folder to open it "
                        "another way.")
                         .arg(kind, QFileInfo(localFile).fileName()));
    m_label->setToolTip(localFile);
    adjustSize();
    show();
    raise();
    m_showButton->setFocus();
}

QString NoViewerDialog::text() const
{
    return m_label->text();
}
