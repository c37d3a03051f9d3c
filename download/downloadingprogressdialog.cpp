#include "download/downloadingprogressdialog.h"

#include "common/dialogplacement.h"
#include "common/style.h"
#include "download/dialogform.h"
#include "download/downloadingprogressdialogui.h"


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
    BUTTON_STOP_NOW = DialogForm::button(dialog, "BUTTON_STOP_NOW", QRect(205, 145, 100, 30),
                                         ::DownloadingProgressDialog::tr("Stop now"));
    BUTTON_STOP_NOW->resize(qMax(100, BUTTON_STOP_NOW->fontMetrics().horizontalAdvance(BUTTON_STOP_NOW->text()) + 24),
                            BUTTON_STOP_NOW->height());
    BUTTON_STOP_NOW->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    BUTTON_STOP_NOW->setStyleSheet(QLatin1String(Style::kTextButtonStyle));
    BUTTON_STOP_NOW->setToolTip(::DownloadingProgressDialog::tr(
        "Stop without waiting for the file under way: it is thrown away (a copy from before is "
        "kept) and the connection is opened again."));
    // The pair sits centred where "Stop" sat alone.
    const int gap = 10;
    const int both = BUTTON_STOP->width() + gap + BUTTON_STOP_NOW->width();
    const int left = (dialog->width() - both) / 2;
    BUTTON_STOP->move(left, 145);
    BUTTON_STOP_NOW->move(left + BUTTON_STOP->width() + gap, 145);

    // The file count and the bytes sit in the free right part of the heading's row, the
    // state line under "Stop"; in the normal weight, so the given texts keep the eye.
    QFont small(QStringLiteral("Arial"));
    small.setPointSize(9);
    auto line = [&](const char *name, const QRect &geometry, Qt::Alignment alignment) {
        auto *l = new QLabel(dialog);
        l->setObjectName(QLatin1String(name));
        l->setGeometry(geometry);
        l->setFont(small);
        l->setAlignment(alignment | Qt::AlignVCenter);
        return l;
    };
    LABEL_FILE_COUNT = line("LABEL_FILE_COUNT", QRect(161, 43, 200, 17), Qt::AlignRight);
    LABEL_BYTES = line("LABEL_BYTES", QRect(161, 60, 200, 17), Qt::AlignRight);
    LABEL_STATUS = line("LABEL_STATUS", QRect(20, 177, 360, 18), Qt::AlignHCenter);
}

DownloadingProgressDialog::DownloadingProgressDialog(QWidget *parent)
    : QDialog(parent, Qt::FramelessWindowHint), ui(new Ui::DownloadingProgressDialog)
{
    ui->setupUi(this);
    QMetaObject::connectSlotsByName(this);
    // Its request comes from a replace question that closes only after this is shown.
    DialogPlacement::follow(this, DialogPlacement::Others::Ignore);
    m_clock.start();
    m_refreshTimer.setSingleShot(true);
    connect(&m_refreshTimer, &QTimer::timeout, this, &DownloadingProgressDialog::refresh);
    m_ticker.setInterval(kTickMs);
    connect(&m_ticker, &QTimer::timeout, this, [this] {
        if (!isVisible())
            m_ticker.stop();
        refresh();
    });
    connect(&m_secDialog, &SecDialog::signalDownloadingCancel, this, [this] {
        m_progress.setStopping();
        refresh();
    });
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
    ui->BUTTON_STOP_NOW->setEnabled(true);
    ui->BUTTON_STOP_NOW->setVisible(true);
    m_progress.reset(now());
    m_refreshTimer.stop();
    refresh();
    m_ticker.start();
}

void DownloadingProgressDialog::setTotal(int n)
{
    m_total = n;
    m_progress.setTotal(n, now());
    scheduleRefresh();
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
    m_progress.setCompleted(k, now());
    scheduleRefresh();
    if (k == m_total) {
        ui->BUTTON_STOP->setEnabled(false);
        ui->BUTTON_STOP_NOW->setEnabled(false);
        ui->PROGRESS->setValue(99);
        ui->label_2->setText(tr("Check Condition.."));
        return;
    }
    if (m_total == 0)
        return;
    ui->PROGRESS->setValue(int(float(k) / float(m_total) * 100.0f));
    ui->label_2->setText(m_currentFile);
    ui->label_2->setElideMode(Qt::ElideMiddle);
}

void DownloadingProgressDialog::setCurrentFileSize(qint64 size)
{
    m_progress.startFile(size, now());
    // The count goes with the name, which is shown at once: throttled like the figures, it
    // lagged a tenth of a second behind, some thirty small files ("file 393" under the
    // 422nd file's name).
    ui->LABEL_FILE_COUNT->setText(m_progress.fileCountText());
    scheduleRefresh();
}

void DownloadingProgressDialog::setFileBytes(qint64 bytes)
{
    m_progress.setFileBytes(bytes, now());
    scheduleRefresh();
}

void DownloadingProgressDialog::setWaitingForDisk(bool waiting)
{
    m_progress.setWaitingForDisk(waiting, now());
}

void DownloadingProgressDialog::showLooking(int foldersChecked)
{
    m_ticker.stop();
    m_refreshTimer.stop();
    ui->PROGRESS->setRange(0, 0); // how many folders are left is not known
    ui->BUTTON_STOP->setEnabled(true);
    // "Stop" ends the search at once already; nothing is being received to throw away.
    ui->BUTTON_STOP_NOW->setVisible(false);
    ui->LABEL_FILE_COUNT->clear();
    ui->LABEL_BYTES->clear();
    ui->LABEL_STATUS->clear();
    ui->label_2->setElideMode(Qt::ElideRight);
    ui->label_2->setText(tr("Looking for new files\u2026 (folders checked: %1)").arg(foldersChecked));
}

void DownloadingProgressDialog::scheduleRefresh()
{
    const qint64 since = now() - m_lastRefreshMs;
    if (since >= kRefreshMs)
        refresh();
    else if (!m_refreshTimer.isActive())
        m_refreshTimer.start(int(kRefreshMs - since));
}

void DownloadingProgressDialog::refresh()
{
    m_lastRefreshMs = now();
    m_refreshTimer.stop();
    ui->LABEL_FILE_COUNT->setText(m_progress.fileCountText());
    ui->LABEL_BYTES->setText(m_progress.bytesText());
    ui->LABEL_STATUS->setText(m_progress.statusText(now()));
    // Within a file the bar only ever moves on; whole files are set by setCompleted.
    if (m_total > 0 && m_progress.completed() < m_total)
        ui->PROGRESS->setValue(qMax(ui->PROGRESS->value(), m_progress.percent()));
}

void DownloadingProgressDialog::on_BUTTON_STOP_clicked()
{
    m_secDialog.show();
}

void DownloadingProgressDialog::on_BUTTON_STOP_NOW_clicked()
{
    m_secDialog.hide();
    ui->BUTTON_STOP->setEnabled(false);
    ui->BUTTON_STOP_NOW->setEnabled(false);
    emit stopNowRequested();
}
