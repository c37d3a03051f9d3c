#pragma once
#include "viewer/viewtransform.h"

#include <QRegion>

class QMouseEvent;
class QPainter;

// What the image frame lends its mouse and its painting to, beside panning: measuring
// tools and the overlays they draw. A handler returns true when it took the event, so
// the frame leaves it alone (no panning under a drawn line).
class FrameTool
{
public:
    virtual ~FrameTool() = default;
    virtual bool press(QMouseEvent *event, const ViewTransform &view) = 0;
    virtual bool move(QMouseEvent *event, const ViewTransform &view) = 0;
    virtual bool release(QMouseEvent *event, const ViewTransform &view) = 0;
    // Drawn over the picture, in view coordinates; also into exported views.
    virtual void paint(QPainter &painter, const ViewTransform &view) const = 0;
    // Where the overlays that follow the pointer lie in the view, strokes included, so a
    // change repaints only there. Overlays that change only with the view itself (such as
    // a scale bar) may be left out: a new view repaints the whole frame anyway.
    virtual QRegion movingArea(const ViewTransform &view) const = 0;
};
