#pragma once
#include "viewer/frametool.h"

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QString>

class MeasureModel;

// The browser's measuring tools on the image frame: a line (its tool, or Shift-drag with
// any tool), a rectangle or an ellipse (drawn by dragging, moved by dragging inside it),
// snapped to whole pixels so a region always holds the pixels the user pointed at. Draws
// the line, the region and the scale bar over the picture.
class MeasureTools : public FrameTool
{
public:
    explicit MeasureTools(MeasureModel *model) : m_model(model) {}

    bool press(QMouseEvent *event, const ViewTransform &view) override;
    bool move(QMouseEvent *event, const ViewTransform &view) override;
    bool release(QMouseEvent *event, const ViewTransform &view) override;
    void paint(QPainter &painter, const ViewTransform &view) const override;
    QRegion movingArea(const ViewTransform &view) const override;

private:
    enum class Mode { None, Line, NewRegion, MoveRegion };
    QPointF clampToImage(const QPointF &p) const;
    void paintLine(QPainter &painter, const ViewTransform &view) const;
    void paintRegion(QPainter &painter, const ViewTransform &view) const;
    void paintScaleBar(QPainter &painter, const ViewTransform &view) const;

    MeasureModel *m_model;
    Mode m_mode = Mode::None;
    QPointF m_start;
    QPointF m_grab; // where in the region it was taken, for moving
    // The scale bar as last drawn, and what it was drawn for: stroking its label's outline
    // cost more than all else in a frame, and it changes only with the view.
    mutable QImage m_bar;
    mutable QString m_barKey;
};
