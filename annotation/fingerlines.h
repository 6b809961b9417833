#ifndef FINGERLINES_H
#define FINGERLINES_H

#include <QPair>
#include <QVector>

// Which landmarks a finger's ridge-count lines join, as a function of how many
// cores and triradii there are, so the finger view and the result tables build
// the same lines.
namespace fingerlines {

// A core-core line exists with exactly two cores.
inline bool hasCoreCoreLine(int cores) { return cores == 2; }

// The core-triradius lines in the order they are built and written, each as
// (core index, triradius index) into the x-sorted landmark lists: one core with
// each triradius, or left core with left triradius and right with right when
// there are two of each; none otherwise.
QVector<QPair<int, int>> coreTriradiusPairs(int cores, int triradia);

}

#endif
