#include "viewer/contrastpanel.h"

#include "common/style.h"
#include "viewer/contrastmodel.h"
#include "viewer/histogramview.h"
#include "viewer/pixelreadout.h"

#include <QCheckBox>
#include <QDoubleValidator>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const char kPanelStyle[] =
    "QFrame#contrastPanel { background-color: rgb(78, 86, 99); border: 1px solid rgb(178, 191, 210); }\n"
    "QLabel, QCheckBox { color: rgb(255, 255, 255); }\n"
    "QLineEdit { background-color: rgb(43, 49, 58); color: rgb(255, 255, 255);"
    " border: 1px solid rgb(122, 130, 146); padding: 2px; selection-background-color: rgb(93, 140, 200); }\n"
    "QLineEdit:focus, QPushButton:focus { border: 1px solid rgb(255, 210, 0); }\n";

QPushButton *textButton(const QString &text, QWidget *parent)
{
    auto *button = new QPushButton(text, parent);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setAutoDefault(false); // Enter in a value field applies the value, nothing else
    button->setMinimumHeight(24);
    return button;
}

} // namespace

ContrastPanel::ContrastPanel(ContrastModel *model, QWidget *parent) : QFrame(parent), m_model(model)
{
    setObjectName(QStringLiteral("contrastPanel"));
    setStyleSheet(QLatin1String(Style::kTextButtonStyle) + QLatin1String(kPanelStyle)
                  + QLatin1String(Style::kCheckBoxStyle));
    setFixedWidth(270);
    QFont font(QStringLiteral("Arial"), 10);
    setFont(font);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 10, 10, 10);
    auto *title = new QLabel(tr("Display range"), this);
    QFont bold = font;
    bold.setBold(true);
    title->setFont(bold);
    layout->addWidget(title);
    m_histogram = new HistogramView(model, this);
    layout->addWidget(m_histogram);
    m_data = new QLabel(this);
    m_data->setObjectName(QStringLiteral("dataRange"));
    layout->addWidget(m_data);

    auto *grid = new QGridLayout;
    m_minimum = new QLineEdit(this);
    m_minimum->setObjectName(QStringLiteral("minimumEdit"));
    m_maximum = new QLineEdit(this);
    m_maximum->setObjectName(QStringLiteral("maximumEdit"));
    for (QLineEdit *edit : {m_minimum, m_maximum}) {
        auto *validator = new QDoubleValidator(edit);
        validator->setLocale(QLocale::c());
        edit->setValidator(validator);
        connect(edit, &QLineEdit::editingFinished, this, &ContrastPanel::applyTyped);
    }
    auto *minimumLabel = new QLabel(tr("Minimum"), this);
    auto *maximumLabel = new QLabel(tr("Maximum"), this);
    minimumLabel->setBuddy(m_minimum); // the fields take their spoken names from these
    maximumLabel->setBuddy(m_maximum);
    grid->addWidget(minimumLabel, 0, 0);
    grid->addWidget(m_minimum, 0, 1);
    grid->addWidget(maximumLabel, 1, 0);
    grid->addWidget(m_maximum, 1, 1);
    layout->addLayout(grid);

    auto *buttons = new QHBoxLayout;
    m_auto = textButton(tr("Auto"), this);
    m_reset = textButton(tr("Reset"), this);
    m_auto->setToolTip(tr("Saturate 0.35 % of the pixels, per colour channel"));
    m_reset->setToolTip(tr("The full range of the data"));
    buttons->addWidget(m_auto);
    buttons->addWidget(m_reset);
    layout->addLayout(buttons);

    auto *presets = new QHBoxLayout;
    presets->setSpacing(4);
    presets->addWidget(new QLabel(tr("Bits"), this));
    for (int bits : {8, 10, 12, 14, 16}) {
        QPushButton *button = textButton(QString::number(bits), this);
        button->setObjectName(QStringLiteral("bits%1").arg(bits));
        button->setToolTip(tr("Show 0 to %1 for this image").arg((1 << bits) - 1));
        button->setFixedWidth(34);
        connect(button, &QPushButton::clicked, model, [model, bits] { model->applyBits(bits); });
        presets->addWidget(button);
        m_bits.append(button);
    }
    presets->addStretch();
    layout->addLayout(presets);

    m_autoPerImage = new QCheckBox(tr("Auto for each new image"), this);
    m_autoPerImage->setObjectName(QStringLiteral("autoPerImage"));
    m_autoPerImage->setToolTip(tr("Off: the range stays while paging through the folder"));
    layout->addWidget(m_autoPerImage);
    // Said in words as well as by the box: a range set by hand turns it off.
    m_autoNote = new QLabel(this);
    m_autoNote->setObjectName(QStringLiteral("autoNote"));
    m_autoNote->setWordWrap(true);
    layout->addWidget(m_autoNote);
    layout->addStretch();

    connect(m_auto, &QPushButton::clicked, model, &ContrastModel::applyAuto);
    connect(m_reset, &QPushButton::clicked, model, &ContrastModel::reset);
    connect(m_autoPerImage, &QCheckBox::toggled, model, &ContrastModel::setAutoPerImage);
    connect(model, &ContrastModel::rangeChanged, this, &ContrastPanel::refresh);
    connect(model, &ContrastModel::imageChanged, this, &ContrastPanel::refresh);
    refresh();
}

QPushButton *ContrastPanel::bitsButton(int bits) const
{
    for (QPushButton *b : m_bits)
        if (b->objectName() == QStringLiteral("bits%1").arg(bits))
            return b;
    return nullptr;
}

void ContrastPanel::refresh()
{
    const DecodedImage *image = m_model->image();
    const bool adjustable = m_model->adjustable();
    for (QWidget *w : std::initializer_list<QWidget *>{m_minimum, m_maximum, m_auto, m_reset, m_histogram})
        w->setEnabled(adjustable);
    for (QPushButton *b : m_bits) {
        const int bits = b->text().toInt();
        b->setEnabled(adjustable && image && (image->wide() ? bits <= 16 : bits == 8));
    }
    const QSignalBlocker blocker(m_autoPerImage);
    m_autoPerImage->setChecked(m_model->autoPerImage());
    m_autoNote->setText(m_model->autoPerImage()
                            ? tr("Bits and Reset apply to this image; the next one gets its own range.")
                            : tr("Off: the range set here stays for the next images."));
    if (!image) {
        m_minimum->clear();
        m_maximum->clear();
        m_data->clear();
        return;
    }
    if (!m_minimum->hasFocus())
        m_minimum->setText(valueText(*image, m_model->lowValue()));
    if (!m_maximum->hasFocus())
        m_maximum->setText(valueText(*image, m_model->highValue()));
    m_data->setText(adjustable ? tr("Data %1 to %2").arg(valueText(*image, m_model->dataMinValue()),
                                                      valueText(*image, m_model->dataMaxValue()))
                               : tr("Palette and 1-bit images are shown as stored."));
    m_histogram->update();
}

void ContrastPanel::applyTyped()
{
    bool lowOk = false, highOk = false;
    const double low = QLocale::c().toDouble(m_minimum->text(), &lowOk);
    const double high = QLocale::c().toDouble(m_maximum->text(), &highOk);
    if (!lowOk || !highOk || !m_model->image())
        return;
    if (low == m_model->lowValue() && high == m_model->highValue())
        return;
    m_model->setValues(low, high);
}
