#include "viewer/imageloaddialogui.h"

#include "common/style.h"
#include "viewer/imageframe.h"

#include <QCoreApplication>
#include <QDialog>

namespace {

QPushButton *imageButton(QDialog *dialog, const char *name, const char *images)
{
    auto *button = new QPushButton(dialog);
    button->setObjectName(QLatin1String(name));
    button->setText(QString());
    button->setFocusPolicy(Qt::NoFocus);
    button->setStyleSheet(Style::imageButtonStyle(QStringLiteral("QPushButton#") + QLatin1String(name),
                                                  QLatin1String(images)));
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
    dialog->setStyleSheet(QLatin1String(Style::kDialogStyle));

    verticalLayout = new QVBoxLayout(dialog);
    verticalLayout->setObjectName(QStringLiteral("verticalLayout"));

    horizontalLayout_2 = new QHBoxLayout();
    horizontalLayout_2->setObjectName(QStringLiteral("horizontalLayout_2"));
    horizontalLayout_2->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));
    pushButton_5 = imageButton(dialog, "pushButton_5", "minimize");
    pushButton_5->setFixedSize(23, 22);
    horizontalLayout_2->addWidget(pushButton_5);
    pushButton_4 = imageButton(dialog, "pushButton_4", "close");
    pushButton_4->setMinimumSize(23, 22);
    pushButton_4->setMaximumSize(23, 23);
    horizontalLayout_2->addWidget(pushButton_4);
    verticalLayout->addLayout(horizontalLayout_2);

    horizontalLayout = new QHBoxLayout();
    horizontalLayout->setObjectName(QStringLiteral("horizontalLayout"));
    label = boldLabel(dialog, "label");
    label->setText(QStringLiteral("TextLabel"));
    horizontalLayout->addWidget(label);
    label_2 = boldLabel(dialog, "label_2");
    label_2->setText(QStringLiteral("TextLabel"));
    horizontalLayout->addWidget(label_2);
    label_3 = boldLabel(dialog, "label_3");
    label_3->setMinimumWidth(360);
    horizontalLayout->addSpacing(24);
    horizontalLayout->addWidget(label_3);
    horizontalLayout->addItem(new QSpacerItem(40, 20, QSizePolicy::Expanding, QSizePolicy::Minimum));

    pushButton_3 = imageButton(dialog, "pushButton_3", "details");
    pushButton_3->setFixedWidth(80);
    pushButton_3->setMaximumHeight(28);
    horizontalLayout->addWidget(pushButton_3);
    QFont arrowFont(QStringLiteral("Arial"), 20);
    arrowFont.setBold(true);
    pushButton = imageButton(dialog, "pushButton", "left");
    pushButton->setMinimumSize(40, 30);
    pushButton->setMaximumSize(30, 30);
    pushButton->setFont(arrowFont);
    horizontalLayout->addWidget(pushButton);
    pushButton_2 = imageButton(dialog, "pushButton_2", "right");
    pushButton_2->setMinimumSize(40, 30);
    pushButton_2->setMaximumSize(30, 30);
    pushButton_2->setFont(arrowFont);
    horizontalLayout->addWidget(pushButton_2);
    verticalLayout->addLayout(horizontalLayout);

    frame = new ImageFrame(dialog);
    frame->setObjectName(QStringLiteral("frame"));
    frame->setFixedSize(1280, 960);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->setFrameShadow(QFrame::Raised);
    verticalLayout->addWidget(frame);

    dialog->setWindowTitle(QCoreApplication::translate("ImageLoadDialog", "Image"));
}

} // namespace Ui
