#include "download/downloadingprogressdialog.h"

#include "common/style.h"
#include "download/dialogform.h"
#include "download/downloadingprogressdialogui.h"

#include <QLocale>

namespace {
const char kProgressStyle[] =
    "QProgressBar {\n\tborder: none;\n\ttext-align: center;\n"
    "\tbackground-color: rgb(255, 255, 255);\n}\n"
    "QProgressBar::chunk {\n\tbackground-color: rgb(69, 181, 221);\n\twidth: 10px;\n}\n";
}

void Ui::DownloadingProgressDialog::setupUi(QDialog *dialog)
{
    dialog->setObjectName(QStringLiteral("DownloadingProgressDialog"));
    dialog->resize(400, 200);
    dialog->setStyleSheet(QLatin1String(Style::kLabelDialogStyle));
    dialog->setWindowTitle(::DownloadingProgressDialog::tr("Downloading..."));

    label = DialogForm::label(dialog, "label", QRect(30, 40, 311, 41),
                              ::DownloadingProgressDialog::tr("Downloading..."));
    PROGRESS = new QProgressBar(dialog);
    PROGRESS->setObjectName(QStringLiteral("PROGRESS"));
    PROGRESS->setGeometry(30, 80, 331, 23);
    PROGRESS->setFont(DialogForm::boldFont());
    PROGRESS->setStyleSheet(QLatin1String(kProgressStyle));
    PROGRESS->setValue(0);

    label_2 = new QElideLabel(dialog);
    label_2->setObjectName(QStringLiteral("label_2"));
    label_2->setGeometry(30, 110, 331, 21);
    label_2->setFont(DialogForm::boldFont(10));

    BUTTON_STOP = DialogForm::button(dialog, "BUTTON_STOP", QRect(159, 145, 81, 30),
                                     ::DownloadingProgressDialog::tr("Stop"));
    BUTTON_STOP->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    BUTTON_STOP->setStyleSheet(QLatin1String(Style::kTextButtonStyle));

    // In the free part of the heading's row, right-aligned, in the normal weight so the
    // given texts keep the eye.
    LABEL_BYTES = new QLabel(dialog);
    LABEL_BYTES->setObjectName(QStringLiteral("LABEL_BYTES"));
    LABEL_BYTES->setGeometry(161, 50, 200, 21);
    QFont small(QStringLiteral("Arial"));
    small.setPointSize(9);
    LABEL_BYTES->setFont(small);
    LABEL_BYTES->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

DownloadingProgressDialog::DownloadingProgressDialog(QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint), ui(new Ui::DownloadingProgressDialog)
{
    ui->setupUi(this);
    QMetaObject::connectSlotsByName(this);
}

DownloadingProgressDialog::~DownloadingProgressDialog()
{
    delete ui;
}

void DownloadingProgressDialog::reset()
{
    ui->PROGRESS->setRange(0, 100);
    ui->PROGRESS->setValue(0);
    ui->BUTTON_STOP->setEnabled(true);
    ui->LABEL_BYTES->clear();
}

void DownloadingProgressDialog::setTotal(int n)
{
    m_total = n;
}

void DownloadingProgressDialog::setCurrentFile(const QString &name)
{
    m_currentFile = name;
    if (name.isNull())
        return;
    ui->label_2->setElideMode(Qt::ElideMiddle);
    ui->label_2->setText(name);
}

void DownloadingProgressDialog::setCompleted(int k)
{
    if (k == m_total) {
        ui->BUTTON_STOP->setEnabled(false);
        ui->PROGRESS->setValue(99);
        ui->label_2->setText(QStringLiteral("Check Condition.."));
        return;
    }
    if (m_total == 0)
        return;
    ui->PROGRESS->setValue(int(float(k) / float(m_total) * 100.0f));
    ui->label_2->setText(m_currentFile);
    ui->label_2->setElideMode(Qt::ElideMiddle);
}

void DownloadingProgressDialog::setBytesReceived(qint64 fileBytes, qint64 bytesPerSecond)
{
    const QLocale locale;
    ui->LABEL_BYTES->setText(tr("%1 at %2/s")
                                 .arg(locale.formattedDataSize(fileBytes, 1),
                                      locale.formattedDataSize(bytesPerSecond, 1)));
}

void DownloadingProgressDialog::on_BUTTON_STOP_clicked()
{
    m_secDialog.show();
}
