#pragma once
#include "viewer/lookuptable.h"

#include <QWidget>

class ContrastModel;

// The histogram of the shown image with the display range over it: a line from black at
// the low end to white at the high end, whose two ends can be dragged.
class HistogramView : public QWidget
{
    Q_OBJECT
public:
    explicit HistogramView(ContrastModel *model, QWidget *parent = nullptr);
    QSize sizeHint() const override { return QSize(240, 130); }
    QSize minimumSizeHint() const override { return QSize(160, 90); }

    // The index values the widget spans, left to right.
    double viewLow() const { return m_viewLow; }
    double viewHigh() const { return m_viewHigh; }
    int xOfIndex(double index) const;
    // The colour table shown as a ramp under the histogram, HiLo marks at its ends.
    void setLookupTable(LookupTable table, bool hiLo);
    double indexAtX(int x) const;

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void updateSpan();

    ContrastModel *m_model;
    double m_viewLow = 0;
    double m_viewHigh = 255;
    int m_dragging = -1; // 0 the low end, 1 the high end
    LookupTable m_table = LookupTable::Grey;
    bool m_hiLo = false;
};
