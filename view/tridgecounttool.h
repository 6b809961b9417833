#ifndef TRIDGECOUNTTOOL_H
#define TRIDGECOUNTTOOL_H

#include "view/tannotationtool.h"

// Counts ridges on the counted lines: a click on a line puts a ridge point there,
// a right click on a point deletes it, a right click on the line offers the
// ridge points the print suggests.
class TRidgeCountTool : public TAnnotationTool
{
public:
    explicit TRidgeCountTool(TAnnotationView* view);

    bool isActive() const override;
    bool press(QMouseEvent* event, const QPointF& scenePos) override;
    bool rightPress(const QPointF& scenePos, TGraphicsVertexItem* item,
                    const QPoint& menuPos) override;
};

#endif
