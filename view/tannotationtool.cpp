#include "view/tannotationtool.h"

bool TAnnotationTool::press(QMouseEvent*, const QPointF&)
{
    return false;
}

bool TAnnotationTool::rightPress(const QPointF&, TGraphicsVertexItem*, const QPoint&)
{
    return false;
}

bool TAnnotationTool::key(QKeyEvent*)
{
    return false;
}
