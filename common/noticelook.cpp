#include "common/noticelook.h"

#include "common/dialogplacement.h"
#include "common/style.h"

#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QVBoxLayout>

namespace NoticeLook {

QFont boldFont()
{
    QFont bold(QStringLiteral("Arial"));
    bold.setBold(true);
    return bold;
}

QLabel *setUp(QDialog *dialog, const QString &objectName, QVBoxLayout **layout)
{
    dialog->setObjectName(objectName);
    // A task bar or a window list names the window by this; Qt's default reads "Dialog".
    dialog->setWindowTitle(QCoreApplication::translate("NoticeLook", "TARVELO Utility: notice"));
    dialog->setWindowFlags(dialog->windowFlags() & ~Qt::WindowContextHelpButtonHint);
    dialog->setStyleSheet(QLatin1String(Style::kLabelDialogStyle));
    dialog->setMinimumSize(400, 200);
    dialog->setMaximumWidth(560);
    DialogPlacement::follow(dialog);

    auto *label = new QLabel(dialog);
    label->setObjectName(QStringLiteral("label"));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignCenter);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QFont labelFont = boldFont();
    labelFont.setPointSize(10);
    label->setFont(labelFont);

    *layout = new QVBoxLayout(dialog);
    (*layout)->setContentsMargins(24, 24, 24, 24);
    (*layout)->addStretch(1);
    (*layout)->addWidget(label);
    (*layout)->addStretch(1);
    return label;
}

} // namespace NoticeLook
