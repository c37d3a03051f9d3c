#pragma once
#include <QFrame>

class ContrastModel;
class HistogramView;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The browser's contrast control: histogram with the draggable range, minimum and maximum
// to type, Auto, Reset (the full data range), the bit-depth presets and the choice
// between a fresh automatic range per image and keeping the range while paging.
class ContrastPanel : public QFrame
{
    Q_OBJECT
public:
    explicit ContrastPanel(ContrastModel *model, QWidget *parent = nullptr);

    QLineEdit *minimumEdit() const { return m_minimum; }
    QLineEdit *maximumEdit() const { return m_maximum; }
    QPushButton *autoButton() const { return m_auto; }
    QPushButton *resetButton() const { return m_reset; }
    QPushButton *bitsButton(int bits) const;
    QCheckBox *autoPerImageBox() const { return m_autoPerImage; }
    QLabel *autoNote() const { return m_autoNote; }
    HistogramView *histogram() const { return m_histogram; }

private slots:
    void refresh();
    void applyTyped();

private:
    ContrastModel *m_model;
    HistogramView *m_histogram;
    QLineEdit *m_minimum;
    QLineEdit *m_maximum;
    QPushButton *m_auto;
    QPushButton *m_reset;
    QList<QPushButton *> m_bits;
    QCheckBox *m_autoPerImage;
    QLabel *m_data;
    QLabel *m_autoNote;
};
