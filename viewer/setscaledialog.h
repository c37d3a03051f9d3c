#pragma once
#include "viewer/calibration.h"

#include <QDialog>

class QDoubleSpinBox;
class QLineEdit;
class QPushButton;

// "Set Scale…": a distance in pixels (the drawn line's length when there is one) is a
// known length in a unit. "Remove Scale" goes back to what the file says.
class SetScaleDialog : public QDialog
{
    Q_OBJECT
public:
    SetScaleDialog(double pixels, const Calibration &current, QWidget *parent = nullptr);

    // Valid after OK; invalid after "Remove Scale".
    Calibration scale() const;
    bool removed() const { return m_removed; }
    QDoubleSpinBox *pixelsBox() const { return m_pixels; }
    QDoubleSpinBox *lengthBox() const { return m_length; }
    QLineEdit *unitEdit() const { return m_unit; }

private:
    QDoubleSpinBox *m_pixels;
    QDoubleSpinBox *m_length;
    QLineEdit *m_unit;
    bool m_removed = false;
};
