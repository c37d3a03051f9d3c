#pragma once
#include "viewer/lineprofile.h"

#include <QWidget>

// Draws a line profile: one curve per channel in its colour, distance along the line on
// x (in units when calibrated), stored values on y, and under the pointer the nearest
// sample's position and values.
class ProfilePlot : public QWidget
{
    Q_OBJECT
public:
    explicit ProfilePlot(QWidget *parent = nullptr);

    // unitsPerPixel turns positions along the line into unit.
    void setProfile(const LineProfile &profile, double unitsPerPixel, const QString &unit);
    QString cursorText() const { return m_cursorText; }
    // The sample nearest to a plot x coordinate; -1 when there is none.
    int sampleAt(double x) const;

signals:
    void cursorTextChanged(const QString &text);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QRectF plotArea() const;

    LineProfile m_profile;
    double m_unitsPerPixel = 1;
    QString m_unit;
    double m_low = 0;
    double m_high = 1;
    int m_cursor = -1;
    QString m_cursorText;
};
