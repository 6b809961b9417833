#ifndef RIDGEPROFILE_H
#define RIDGEPROFILE_H

#include <QLineF>
#include <QPointF>
#include <QVector>

class QImage;

// Where the ridges of a print cross a ridge-count line, read from the gray
// profile of the image along the line, so the examiner starts from proposed
// ridge points instead of clicking every ridge.
namespace ridgeprofile {

// One point on line per ridge (a dark line of the print) crossing it strictly
// between its ends, ordered from line.p1(), each at the ridge's centre. The
// ridges the two end points sit on are the landmarks' own and are left out; a
// dot or island counts when it is as dark and thick as its neighbours, a ridge
// split by a pore counts once. line is in the image's pixel coordinates. The
// work grows with the line's length, not with the image's size.
QVector<QPointF> crossings(const QImage& image, const QLineF& line);

// The distance from one ridge to the next along line, in pixels, as the profile
// shows it (wider than the ridge spacing where the line crosses the ridges
// obliquely); 0 when no regular ridges are seen.
double period(const QImage& image, const QLineF& line);

}

#endif
