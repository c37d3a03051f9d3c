#pragma once
#include "viewer/viewtransform.h"

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
};
