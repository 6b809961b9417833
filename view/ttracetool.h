#ifndef TTRACETOOL_H
#define TTRACETOOL_H

#include "annotation/tlandmark.h"
#include "view/tannotationtool.h"

// Traces ridge lines from a landmark: radiants from a triradius (at most three),
// a central line from a core (one). A right click on the landmark opens or
// deletes its lines, left clicks add points to the line being traced, Escape
// takes the last one back.
class TTraceTool : public TAnnotationTool
{
public:
    TTraceTool(TAnnotationView* view, TLandmark from);

    bool isActive() const override;
    bool press(QMouseEvent* event, const QPointF& scenePos) override;
    bool rightPress(const QPointF& scenePos, TGraphicsVertexItem* item,
                    const QPoint& menuPos) override;
    bool key(QKeyEvent* event) override;

    // How many lines a landmark of this kind may have.
    int lineLimit() const;

private:
    TLandmark from;
};

#endif
