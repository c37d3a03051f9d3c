#include "viewer/imageloaddialogui.h"

#include "common/style.h"
#include "viewer/imageframe.h"

#include <QCoreApplication>
#include <QDialog>
#include <QSizeGrip>

namespace {

// Drawn by an image alone: its name is said by a screen reader and shown as a tool tip.
QPushButton *imageButton(QDialog *dialog, const char *name, const char *images, const char *says)
{
    auto *button = new QPushButton(dialog);
    button->setToolTip(QCoreApplication::translate("ImageLoadDialog", says));
    button->setAccessibleName(button->toolTip());
    button->setObjectName(QLatin1String(name));
    button->setText(QString());
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoDefault(false);
    button->setStyleSheet(Style::imageButtonStyle(QStringLiteral("QPushButton#") + QLatin1String(name),
                                                  QLatin1String(images)));
    return button;
}

QPushButton *textButton(QDialog *dialog, const char *name, const QString &text)
{
    auto *button = new QPushButton(text, dialog);
    button->setObjectName(QLatin1String(name));
    button->setFocusPolicy(Qt::NoFocus); // the keys belong to the browser
    button->setAutoDefault(false);
    QFont font(QStringLiteral("Arial"), 10);
    font.setBold(true);
    button->setFont(font);
    button->setMinimumHeight(26);
    return button;
}

QLabel *boldLabel(QDialog *dialog, const char *name)
{
    auto *label = new QLabel(dialog);
    label->setObjectName(QLatin1String(name));
    QFont font(QStringLiteral("Arial"), 11);
    font.setBold(true);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: rgb(255, 255, 255);"));
    return label;
}

} // namespace

namespace Ui {

void ImageLoadDialog::setupUi(QDialog *dialog)
{
    dialog->setObjectName(QStringLiteral("ImageLoadDialog"));
    dialog->setWindowModality(Qt::WindowModal);
    dialog->resize(1298, 1044);
    dialog->setStyleSheet(QLatin1String(Style::kDialogStyle)
                          + QStringLiteral("QPushButton:focus { border: 1px solid rgb(255, 210, 0); }\n"
                                         "QPushButton:checked { background-color: rgb(43, 49, 58);"
                                         " border: 1px solid rgb(255, 210, 0); }\n"));

    verticalLayout = new QVBoxLayout(dialog);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));

    horizontalLayout_2 = new QHBoxLayout();
    horizontalLayout_2->setObjectName(QStringLiteral("horizontalLayout_2"));
    horizontalLayout_2->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    pushButton_5 = imageButton(dialog, "pushButton_5", "minimize", QT_TRANSLATE_NOOP("ImageLoadDialog", "Minimise"));
    pushButton_5->setFixedSize(23, 22);
    horizontalLayout_2->addWidget(pushButton_5);
    pushButton_4 = imageButton(dialog, "pushButton_4", "close", QT_TRANSLATE_NOOP("ImageLoadDialog", "Close (Esc)"));
    pushButton_4->setMinimumSize(23, 22);
    pushButton_4->setMaximumSize(23, 23);
    horizontalLayout_2->addWidget(pushButton_4);
    verticalLayout->addLayout(horizontalLayout_2);

    horizontalLayout = new QHBoxLayout();
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    label = boldLabel(dialog, "label");
    label->setText(QStringLiteral("TextLabel"));
    // A long name is elided by the dialog; it never widens the window.
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    label->setMinimumWidth(120);
    horizontalLayout->addWidget(label, 1);
    label_2 = boldLabel(dialog, "label_2");
    label_2->setText(QStringLiteral("TextLabel"));
    label_2->setMinimumWidth(64);
    horizontalLayout->addWidget(label_2);

    pushButtonPagePrevious = textButton(dialog, "pushButtonPagePrevious", QStringLiteral("<"));
    pushButtonPagePrevious->setFixedWidth(28);
    pushButtonPagePrevious->setToolTip(QCoreApplication::translate("ImageLoadDialog", "Previous page (,)"));
    pushButtonPagePrevious->setAccessibleName(pushButtonPagePrevious->toolTip());
    horizontalLayout->addWidget(pushButtonPagePrevious);
    labelPage = boldLabel(dialog, "labelPage");
    horizontalLayout->addWidget(labelPage);
    pushButtonPageNext = textButton(dialog, "pushButtonPageNext", QStringLiteral(">"));
    pushButtonPageNext->setFixedWidth(28);
    pushButtonPageNext->setToolTip(QCoreApplication::translate("ImageLoadDialog", "Next page (.)"));
    pushButtonPageNext->setAccessibleName(pushButtonPageNext->toolTip());
    horizontalLayout->addWidget(pushButtonPageNext);
    horizontalLayout->addSpacing(12);

    pushButtonContrast = textButton(dialog, "pushButtonContrast",
                                    QCoreApplication::translate("ImageLoadDialog", "Contrast"));
    pushButtonContrast->setCheckable(true);
    pushButtonContrast->setMinimumWidth(90);
    pushButtonContrast->setMaximumHeight(28);
    pushButtonContrast->setToolTip(QCoreApplication::translate("ImageLoadDialog", "Display range and histogram (C)"));
    horizontalLayout->addWidget(pushButtonContrast);
    pushButton_3 = imageButton(dialog, "pushButton_3", "details", QT_TRANSLATE_NOOP("ImageLoadDialog", "Details: the image's description"));
    pushButton_3->setFixedWidth(80);
    pushButton_3->setMaximumHeight(28);
    horizontalLayout->addWidget(pushButton_3);
    QFont arrowFont(QStringLiteral("Arial"), 20);
    arrowFont.setBold(true);
    pushButton = imageButton(dialog, "pushButton", "left", QT_TRANSLATE_NOOP("ImageLoadDialog", "Previous image (Page Up)"));
    pushButton->setMinimumSize(40, 30);
    pushButton->setMaximumSize(30, 30);
    pushButton->setFont(arrowFont);
    horizontalLayout->addWidget(pushButton);
    pushButton_2 = imageButton(dialog, "pushButton_2", "right", QT_TRANSLATE_NOOP("ImageLoadDialog", "Next image (Page Down)"));
    pushButton_2->setMinimumSize(40, 30);
    pushButton_2->setMaximumSize(30, 30);
    pushButton_2->setFont(arrowFont);
    horizontalLayout->addWidget(pushButton_2);
    verticalLayout->addLayout(horizontalLayout);

    imageLayout = new QHBoxLayout();
    imageLayout->setObjectName(QStringLiteral("imageLayout"));
    frame = new ImageFrame(dialog);
    frame->setObjectName(QStringLiteral("frame"));
    frame->setMinimumSize(320, 240);
    frame->setFocusPolicy(Qt::ClickFocus); // a click on the image gives the keys back to the browser
    frame->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Raised);
    imageLayout->addWidget(frame, 1);
    verticalLayout->addLayout(imageLayout, 1);

    statusLayout = new QHBoxLayout();
    statusLayout->setObjectName(QStringLiteral("statusLayout"));
    label_3 = boldLabel(dialog, "label_3");
    label_3->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    label_3->setTextInteractionFlags(Qt::TextSelectableByMouse);
    statusLayout->addWidget(label_3, 3);
    labelNotice = boldLabel(dialog, "labelNotice");
    labelNotice->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    labelNotice->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    labelNotice->setStyleSheet(QStringLiteral("color: rgb(255, 210, 0);"));
    statusLayout->addWidget(labelNotice, 2);
    // An empty label is a pixel lower than one with text: the status row keeps one height,
    // so the image above neither jumps nor, when fitted, is fitted and drawn again whenever the
    // read-out or a notice comes or goes.
    for (QLabel *status : {label_3, labelNotice}) {
        status->ensurePolished();
        status->setText(QStringLiteral("Xg"));
        status->setMinimumHeight(status->sizeHint().height());
        status->clear();
    }
    sizeGrip = new QSizeGrip(dialog);
    statusLayout->addWidget(sizeGrip, 0, Qt::AlignBottom | Qt::AlignRight);
    verticalLayout->addLayout(statusLayout);

    dialog->setWindowTitle(QCoreApplication::translate("ImageLoadDialog", "Image"));
}

} // namespace Ui
