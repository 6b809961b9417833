#ifndef CREASEAXIS_H
#define CREASEAXIS_H

#include <QLineF>
#include <QPolygonF>
#include <QRectF>

// The flexion crease axis as a function of the outline alone, so the finger view
// and the result tables fit the same axis from the same vertices.
namespace creaseaxis {

// The mask is never larger than this many pixels, whatever the outline claims.
constexpr qint64 maxMaskPixels = 64LL * 1000 * 1000;

// The part of the scene the outline is drawn into: its bounding box (with the
// outline pen's half width), clipped to image when image is not empty. Empty
// when nothing of the outline can be drawn or the mask would be too large.
QRectF maskRect(const QPolygonF& outline, const QRectF& image);

// Fits the axis of the outline's pixels by principal component analysis: the
// outline is drawn one pixel wide into a black mask covering maskRect, and the
// axis runs through the centroid of its pixels along their largest spread, ending
// at the outermost pixels' projections. False when there is no pixel to fit
// (fewer than two vertices, a degenerate or clipped-away outline).
bool fit(const QPolygonF& outline, const QRectF& image, QLineF* axis);

}

#endif
