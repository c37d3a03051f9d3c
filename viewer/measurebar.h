#pragma once
#include <QWidget>

class MeasureModel;
class QButtonGroup;
class QComboBox;
class QLabel;
class QPushButton;

// The image browser's measuring row: the tool in hand, the lookup table, HiLo, the scale
// bar, "Set Scale…", and what the line or region measures, with its copy button.
class MeasureBar : public QWidget
{
    Q_OBJECT
public:
    explicit MeasureBar(MeasureModel *model, QWidget *parent = nullptr);

    QPushButton *toolButton(int tool) const;
    QComboBox *tableBox() const { return m_table; }
    QPushButton *hiLoButton() const { return m_hiLo; }
    QPushButton *scaleBarButton() const { return m_scaleBar; }
    QPushButton *setScaleButton() const { return m_setScale; }
    QLabel *measureLabel() const { return m_text; }

public slots:
    void refresh();
    void copyRegion();

signals:
    void setScaleRequested();
    void profileRequested();

private:
    MeasureModel *m_model;
    QButtonGroup *m_tools;
    QComboBox *m_table;
    QPushButton *m_hiLo;
    QPushButton *m_scaleBar;
    QPushButton *m_setScale;
    QPushButton *m_profile;
    QPushButton *m_copy;
    QLabel *m_calibration;
    QLabel *m_text;
};
