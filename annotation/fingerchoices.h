#ifndef FINGERCHOICES_H
#define FINGERCHOICES_H

#include <QStringList>

// What the finger panel's boxes offer, in their order, so the panel and the result
// tables know the same texts.
namespace fingerchoices {

// How the central lines turn: "clockwise", "counter clockwise", "concentric".
QStringList rotations();
// Where they end: "radial side", "ulnar side".
QStringList terminations();

}

#endif
