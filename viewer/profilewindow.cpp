#include "viewer/profilewindow.h"

#include "common/style.h"
#include "viewer/measuremodel.h"
#include "viewer/profileplot.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QSpinBox>
#include <QVBoxLayout>

ProfileWindow::ProfileWindow(MeasureModel *model, QWidget *parent)
    : QDialog(parent, Qt::Tool), m_model(model), m_plot(new ProfilePlot(this)), m_title(new QLabel(this)),
      m_cursor(new QLabel(this)), m_width(new QSpinBox(this))
{
    setObjectName(QStringLiteral("ProfileWindow"));
    setWindowTitle(tr("Line Profile"));
    setStyleSheet(QLatin1String(Style::kDialogStyle)
                  + QStringLiteral("QLabel { color: rgb(225, 225, 225); }"
                                   "QPushButton { padding: 4px 10px; }"
                                   "QPushButton:focus { border: 1px solid rgb(255, 210, 0); }"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_title);
    layout->addWidget(m_plot, 1);
    layout->addWidget(m_cursor);
    auto *row = new QHBoxLayout;
    row->addWidget(new QLabel(tr("Width (pixels):"), this));
    m_width->setRange(1, LineProfile::kMaxWidth);
    m_width->setObjectName(QStringLiteral("width"));
    m_width->setAccessibleName(tr("Line width in pixels"));
    row->addWidget(m_width);
    row->addStretch(1);
    auto button = [&](const QString &text, const char *name) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        b->setAutoDefault(false);
        row->addWidget(b);
        return b;
    };
    connect(button(tr("Copy"), "copy"), &QPushButton::clicked, this, &ProfileWindow::copy);
    connect(button(tr("Save CSV\u2026"), "saveCsv"), &QPushButton::clicked, this, [this] { askAndSave(false); });
    connect(button(tr("Save Plot as PNG\u2026"), "savePng"), &QPushButton::clicked, this, [this] { askAndSave(true); });
    layout->addLayout(row);
    connect(m_plot, &ProfilePlot::cursorTextChanged, m_cursor, &QLabel::setText);
    connect(m_width, QOverload<int>::of(&QSpinBox::valueChanged), m_model, &MeasureModel::setLineWidth);
    connect(m_model, &MeasureModel::lineChanged, this, &ProfileWindow::refresh);
    connect(m_model, &MeasureModel::calibrationChanged, this, &ProfileWindow::refresh);
    resize(640, 360);
    refresh();
}

void ProfileWindow::refresh()
{
    if (!isVisible() && sender())
        return; // worked out when shown, not for every step of a drag nobody watches
    const LineProfile &p = m_model->profile();
    const Calibration c = m_model->calibration();
    const QLineF line = m_model->line();
    const double unitsPerPixel = p.length > 0 ? c.length(line.dx(), line.dy()) / p.length : 1;
    m_plot->setProfile(p, unitsPerPixel, c.unitText());
    m_title->setText(m_model->hasLine() ? m_model->lineText() + tr(", width %1").arg(m_model->lineWidth())
                                        : QString());
    const QSignalBlocker blocker(m_width);
    m_width->setValue(m_model->lineWidth());
}

void ProfileWindow::copy()
{
    const QString csv = m_model->profileCsv();
    if (!csv.isEmpty())
        QApplication::clipboard()->setText(csv);
}

void ProfileWindow::askAndSave(bool png)
{
    if (!m_model->profile().ok()) {
        QMessageBox::information(this, windowTitle(), m_model->profile().error.isEmpty()
                                                          ? tr("There is no profile to save.") : m_model->profile().error);
        return;
    }
    const QString path = QFileDialog::getSaveFileName(this, png ? tr("Save Plot as PNG") : tr("Save Profile as CSV"),
                                                      QString(), png ? tr("PNG images (*.png)") : tr("CSV files (*.csv)"));
    if (!path.isEmpty())
        png ? savePng(path) : saveCsv(path);
}

bool ProfileWindow::failed(const QString &path, const QString &why)
{
    QMessageBox::warning(this, windowTitle(), tr("%1 could not be written.\n%2").arg(path, why));
    return false;
}

bool ProfileWindow::saveCsv(const QString &path)
{
    const QByteArray csv = m_model->profileCsv().toUtf8();
    if (csv.isEmpty())
        return failed(path, tr("There is no profile."));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(csv) != csv.size() || !file.commit())
        return failed(path, file.errorString());
    return true;
}

bool ProfileWindow::savePng(const QString &path)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!m_plot->grab().toImage().save(&buffer, "PNG"))
        return failed(path, tr("The plot could not be encoded."));
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return failed(path, file.errorString());
    return true;
}
