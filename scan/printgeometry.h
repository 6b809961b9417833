#ifndef PRINTGEOMETRY_H
#define PRINTGEOMETRY_H

#include <QPolygonF>
#include <QRect>
#include <QRectF>
#include <QSize>
#include <QTransform>

// Where a print lies in its scene, worked out from sizes alone: the part of the
// imported image a crop keeps and the box the display's rotation and mirror turn
// it into, so the print view and the result tables clip to the same rectangle.
namespace printgeometry {

// The display's rotation by angle degrees and mirror; the identity when the
// print is shown as it is.
QTransform turn(int angle, bool flipped);

// The part of an image of size image that a crop along outline keeps: the
// outline's bounding box rounded to whole pixels and cut to the image, or the
// whole image when that leaves nothing.
QRect cropRect(const QSize& image, const QPolygonF& outline);

// The box, with its corner at the origin, that an image of size takes once
// turned; empty for an empty size.
QRectF turnedRect(const QSize& size, const QTransform& turn);

// The displayed print of an image imported at size imported: cropped along crop
// (not at all when it is empty), then turned and mirrored.
QRectF displayedRect(const QSize& imported, const QPolygonF& crop, int angle, bool flipped);

}

#endif
