#ifndef FINGERCHOICES_H
#define FINGERCHOICES_H

#include <QMap>
#include <QStringList>

// What the finger panel's boxes offer, in their order, and the classification a
// section's settings give, so the panel and the result tables read the same.
namespace fingerchoices {

// How the central lines turn: "clockwise", "counter clockwise", "concentric".
QStringList rotations();
// Where they end: "radial side", "ulnar side".
QStringList terminations();

struct Classification
{
    bool flexion[2] = {false, false};        // radial, ulnar
    bool extralimital[2] = {false, false};   // radial, ulnar
    QString rotation[3];                     // inner, outer, single
    QString termination[3];                  // radial, ulnar, single
};

// What a cleared panel holds: nothing ticked, every box at its first entry.
Classification cleared();

// The classification a panel holding from has once it has loaded settings: a
// flag is set by "1" only, a type with too few values is passed over, and a text
// its box does not offer leaves the box as it was.
Classification loadedClassification(const QMap<QString, QStringList>& settings,
                                    const Classification& from = cleared());

}

#endif
