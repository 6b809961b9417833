#ifndef PALMLINES_H
#define PALMLINES_H

#include <QPair>
#include <QPointF>
#include <QStringList>
#include <QVector>

// Which triradii the palm's four ridge-count lines join and the atd angle, as
// functions of the placed slots alone, so the palm view and the result tables
// build the same lines from the same triradii.
namespace palmlines {

// The seventeen triradius slots, named by slotLabels() in this order; these have
// a meaning of their own.
constexpr int slotCount = 17;
enum Slot { A = 0, B = 1, C = 2, D = 3, T = 4, CD = 5, TB = 10, T1 = 11, T2 = 12, T3 = 13 };
QStringList slotLabels();

constexpr int lineCount = 4;

// For each line 0..3 (a-b, b-c, c-d, d-T; b-cd and cd-T when "cd" is placed) the
// slots of its start and end, or (-1, -1) when the line does not exist. placed
// has one entry per triradius slot.
QVector<QPair<int, int>> countLinePairs(const QVector<bool>& placed);

// The atd angle in degrees, in [0, 180]: the angle at the axial triradius T of
// line 3 between the rays to a and to d (or cd). False when a or either end of
// line 3 is not placed. positions has one entry per slot.
bool atdAngle(const QVector<bool>& placed, const QVector<QPointF>& positions, double* degrees);

}

#endif
