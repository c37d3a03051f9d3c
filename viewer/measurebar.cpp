#include "viewer/measurebar.h"

#include "viewer/measuremodel.h"

#include <QApplication>
#include <QButtonGroup>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QPushButton *barButton(QWidget *parent, const QString &text, const QString &tip, bool checkable)
{
    auto *b = new QPushButton(text, parent);
    b->setFocusPolicy(Qt::NoFocus); // the keys belong to the browser
    b->setAutoDefault(false);
    b->setCheckable(checkable);
    b->setToolTip(tip);
    b->setMinimumHeight(26);
    return b;
}

} // namespace

MeasureBar::MeasureBar(MeasureModel *model, QWidget *parent)
    : QWidget(parent), m_model(model), m_tools(new QButtonGroup(this)), m_table(new QComboBox(this)),
      m_calibration(new QLabel(this)), m_text(new QLabel(this))
{
    setObjectName(QStringLiteral("MeasureBar"));
    // On a small screen the row is cut rather than the browser widened past the screen.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    setStyleSheet(QStringLiteral("QPushButton { padding: 2px 8px; font: bold 10pt \"Arial\"; }"
                                 "QLabel { color: rgb(225, 225, 225); font: 10pt \"Arial\"; }"
                                 "QComboBox { color: white; background-color: rgb(93, 102, 117); font: bold 10pt \"Arial\";"
                                 " border: 1px solid white; padding: 2px 6px; min-height: 20px; }"
                                 "QComboBox QAbstractItemView { color: white; background-color: rgb(93, 102, 117);"
                                 " selection-background-color: rgb(43, 49, 58); }"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    auto *row = new QHBoxLayout;
    const struct { const char *text; const char *tip; } tools[] = {
        {"Pan", "Drag to move the image"},
        {"Line", "Draw a line for its profile (Shift-drag with any tool)"},
        {"Rectangle", "Drag a rectangle for its statistics; drag inside it to move it"},
        {"Ellipse", "Drag an ellipse for its statistics; drag inside it to move it"}};
    for (int i = 0; i < 4; ++i) {
        QPushButton *b = barButton(this, tr(tools[i].text), tr(tools[i].tip), true);
        b->setObjectName(QStringLiteral("tool%1").arg(i));
        m_tools->addButton(b, i);
        row->addWidget(b);
    }
    m_tools->button(0)->setChecked(true);
    row->addSpacing(12);
    m_table->setFocusPolicy(Qt::NoFocus);
    m_table->setToolTip(tr("Lookup table for single-channel images"));
    for (int i = 0; i < kLookupTableCount; ++i)
        m_table->addItem(lookupName(LookupTable(i)));
    row->addWidget(m_table);
    m_hiLo = barButton(this, tr("HiLo"), tr("Mark values at or beyond the display range: low blue, high red (S)"), true);
    m_scaleBar = barButton(this, tr("Scale Bar"), tr("Show a scale bar (B)"), true);
    m_setScale = barButton(this, tr("Set Scale\u2026"), tr("Tell the pixel size from a known distance"), false);
    m_profile = barButton(this, tr("Profile"), tr("Show the line profile window"), false);
    m_copy = barButton(this, tr("Copy Statistics"), tr("Copy the region's statistics as tab-separated text"), false);
    for (QPushButton *b : {m_hiLo, m_scaleBar, m_setScale, m_profile, m_copy})
        row->addWidget(b);
    m_calibration->setObjectName(QStringLiteral("calibration"));
    m_calibration->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_calibration->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    row->addWidget(m_calibration, 1);
    column->addLayout(row);
    m_text->setObjectName(QStringLiteral("measurement"));
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_text->setFont(QFont(QStringLiteral("Arial"), 10));
    // The room for a line's and a region's read-out is kept even while empty: were it to appear
    // when a drag begins, the frame would shrink and the image move under the pointer mid-drag.
    m_text->setFixedHeight(2 * QFontMetrics(m_text->font()).lineSpacing() + 2);
    m_text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    column->addWidget(m_text);

    connect(m_tools, &QButtonGroup::idClicked, m_model,
            [this](int id) { m_model->setTool(MeasureModel::Tool(id)); });
    connect(m_table, QOverload<int>::of(&QComboBox::activated), m_model,
            [this](int i) { m_model->setLookupTable(LookupTable(i)); });
    connect(m_hiLo, &QPushButton::toggled, m_model, &MeasureModel::setHiLo);
    connect(m_scaleBar, &QPushButton::toggled, m_model, &MeasureModel::setScaleBar);
    connect(m_setScale, &QPushButton::clicked, this, &MeasureBar::setScaleRequested);
    connect(m_profile, &QPushButton::clicked, this, &MeasureBar::profileRequested);
    connect(m_copy, &QPushButton::clicked, this, &MeasureBar::copyRegion);
    for (auto signal : {&MeasureModel::toolChanged, &MeasureModel::displayChanged, &MeasureModel::calibrationChanged,
                        &MeasureModel::lineChanged, &MeasureModel::regionChanged, &MeasureModel::statisticsReady})
        connect(m_model, signal, this, &MeasureBar::refresh);
    refresh();
}

QPushButton *MeasureBar::toolButton(int tool) const
{
    return qobject_cast<QPushButton *>(m_tools->button(tool));
}

void MeasureBar::refresh()
{
    m_tools->button(int(m_model->tool()))->setChecked(true);
    m_table->setCurrentIndex(int(m_model->lookupTable()));
    m_table->setEnabled(m_model->colourable());
    m_hiLo->setEnabled(m_model->colourable());
    for (QPushButton *b : {m_hiLo, m_scaleBar}) {
        const QSignalBlocker blocker(b);
        b->setChecked(b == m_hiLo ? m_model->hiLo() : m_model->scaleBar());
    }
    m_copy->setEnabled(m_model->hasRegion());
    m_calibration->setText(m_model->image() ? m_model->calibration().describe() : QString());
    QStringList lines;
    if (m_model->hasLine())
        lines << m_model->lineText();
    if (m_model->hasRegion())
        lines << m_model->regionSummary();
    m_text->setText(lines.join(QLatin1Char('\n')));
}

void MeasureBar::copyRegion()
{
    const QString table = m_model->regionTable();
    if (!table.isEmpty())
        QApplication::clipboard()->setText(table);
}
