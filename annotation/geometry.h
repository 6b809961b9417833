#ifndef GEOMETRY_H
#define GEOMETRY_H

#include <QLineF>
#include <QPointF>

// The one construction every annotation uses: the foot of the perpendicular from
// point onto line, the line taken as infinite. Ridge points land on their
// ridge-count line with it, and perpendiculars meet the crease axis with it.
QPointF lineIntersectionFoot(const QLineF& line, const QPointF& point);

#endif
