#include "annotation/palmlines.h"

#include <QLineF>

namespace palmlines {

QStringList slotLabels()
{
    return {"a", "b", "c", "d", "t", "cd", "a1", "b1", "c1", "d1",
            "tb", "t1", "t2", "t3", "o1", "o2", "o3"};
}

QVector<QPair<int, int>> countLinePairs(const QVector<bool>& placed)
{
    auto isPlaced = [&placed](int slot) { return placed.value(slot); };
    QVector<QPair<int, int>> pairs = {{A, B}, {B, C}, {C, D}, {D, T}};
    bool used[lineCount] = {true, true, true, true};
    if (isPlaced(CD)) {
        pairs[1].second = CD;
        pairs[3].first = CD;
        used[2] = false;
    }
    // The first axial triradius that is placed closes the d line.
    for (int axial : {T, TB, T1, T2, T3}) {
        if (isPlaced(axial)) {
            pairs[3].second = axial;
            break;
        }
    }
    for (int i = 0; i < lineCount; ++i)
        if (!used[i] || !isPlaced(pairs[i].first) || !isPlaced(pairs[i].second))
            pairs[i] = qMakePair(-1, -1);
    return pairs;
}

bool atdAngle(const QVector<bool>& placed, const QVector<QPointF>& positions, double* degrees)
{
    const QPair<int, int> dt = countLinePairs(placed).at(3);
    if (!placed.value(A) || dt.first < 0)
        return false;
    const QPointF t = positions.value(dt.second);
    const QLineF at(positions.value(A), t);
    const QLineF dtLine(positions.value(dt.first), t);
    double x = at.angleTo(dtLine);
    if (x > 180)
        x = 360 - x;
    *degrees = x;
    return true;
}

}
