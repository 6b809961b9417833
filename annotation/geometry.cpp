#include "annotation/geometry.h"

bool clipToRect(const QPointF& start, const QPointF& direction, const QRectF& rect,
                double* enter, double* leave)
{
    const double sides[4][2] = {{-direction.x(), start.x() - rect.left()},
                                {direction.x(), rect.right() - start.x()},
                                {-direction.y(), start.y() - rect.top()},
                                {direction.y(), rect.bottom() - start.y()}};
    for (const auto& side : sides) {
        if (side[0] == 0) {
            // Parallel to this side: wholly inside or wholly outside it.
            if (side[1] < 0)
                return false;
            continue;
        }
        const double t = side[1] / side[0];
        if (side[0] < 0)
            *enter = qMax(*enter, t);
        else
            *leave = qMin(*leave, t);
        if (*enter > *leave)
            return false;
    }
    return true;
}

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
