#include "annotation/geometry.h"

QPointF lineIntersectionFoot(const QLineF& line, const QPointF& point)
{
    QLineF normal = line.normalVector();
    normal.translate(point - line.p1());
    QPointF foot;
    // A line of zero length has no direction: its only point is the foot.
    if (line.intersects(normal, &foot) == QLineF::NoIntersection)
        return line.p1();
    return foot;
}
