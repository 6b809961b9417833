#ifndef GEOMETRY_H
#define GEOMETRY_H

#include <QLineF>
#include <QPointF>
#include <QRectF>

// The one construction every annotation uses: the foot of the perpendicular from
// point onto line, the line taken as infinite. Ridge points land on their
// ridge-count line with it, and perpendiculars meet the crease axis with it.
QPointF lineIntersectionFoot(const QLineF& line, const QPointF& point);

// Narrows [*enter, *leave], parameters t of the points start + t * direction, to
// those inside rect (Liang and Barsky's clipping); false when none is left. Lines
// read from a file may reach anywhere, and only their part over the print is drawn
// or read.
bool clipToRect(const QPointF& start, const QPointF& direction, const QRectF& rect,
                double* enter, double* leave);

#endif
