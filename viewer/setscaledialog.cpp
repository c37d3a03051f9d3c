#include "viewer/setscaledialog.h"

#include "common/style.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

SetScaleDialog::SetScaleDialog(double pixels, const Calibration &current, QWidget *parent)
    : QDialog(parent), m_pixels(new QDoubleSpinBox(this)), m_length(new QDoubleSpinBox(this)),
      m_unit(new QLineEdit(this))
{
    setObjectName(QStringLiteral("SetScaleDialog"));
    setWindowTitle(tr("Set Scale"));
    setWindowFlags(windowFlags() & ~Qt::WindowContextHelpButtonHint);
    setStyleSheet(QLatin1String(Style::kDialogStyle)
                  + QStringLiteral("QLabel { color: rgb(225, 225, 225); } QPushButton { padding: 4px 12px; }"
                                   "QPushButton:focus { border: 1px solid rgb(255, 210, 0); }"));
    for (QDoubleSpinBox *box : {m_pixels, m_length}) {
        box->setDecimals(4);
        box->setRange(0, 1e9);
    }
    m_pixels->setValue(pixels > 0 ? pixels : 100);
    const bool calibrated = current.valid();
    m_length->setValue(calibrated ? current.length(m_pixels->value(), 0) : 10);
    m_unit->setText(calibrated ? current.unit : QStringLiteral("\u00b5m"));
    auto *form = new QFormLayout(this);
    form->addRow(tr("Distance in pixels:"), m_pixels);
    form->addRow(tr("Known distance:"), m_length);
    form->addRow(tr("Unit of length:"), m_unit);
    auto *note = new QLabel(tr("The scale is kept for every image of this folder."), this);
    note->setWordWrap(true);
    form->addRow(note);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    QPushButton *remove = buttons->addButton(tr("Remove Scale"), QDialogButtonBox::ResetRole);
    remove->setObjectName(QStringLiteral("remove"));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(remove, &QPushButton::clicked, this, [this] {
        m_removed = true;
        accept();
    });
    auto check = [this, buttons] {
        buttons->button(QDialogButtonBox::Ok)->setEnabled(scale().valid());
    };
    connect(m_pixels, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, check);
    connect(m_length, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, check);
    connect(m_unit, &QLineEdit::textChanged, this, check);
    check();
}

Calibration SetScaleDialog::scale() const
{
    if (m_removed)
        return Calibration();
    return calibrationFromScale(m_pixels->value(), m_length->value(), m_unit->text());
}
