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
// The pattern types, arches to whorls; the panel's box offers "not classified"
// before them.
QStringList patterns();
// Which group a pattern type is counted in: "arch", "ulnar loop", "radial loop",
// "whorl"; empty for a text that is no pattern type.
QString patternGroup(const QString& pattern);

struct Classification
{
    bool flexion[2] = {false, false};        // radial, ulnar
    bool extralimital[2] = {false, false};   // radial, ulnar
    QString rotation[3];                     // inner, outer, single
    QString termination[3];                  // radial, ulnar, single
    // Whether the examiner chose the entry a box shows; the tables leave an
    // unanswered box empty.
    bool rotationAnswered[3] = {true, true, true};
    bool terminationAnswered[3] = {true, true, true};
    // One of patterns(), empty when not classified.
    QString pattern;
};

// What a cleared panel holds: nothing ticked, every box at its first entry and
// unanswered, no pattern.
Classification cleared();

// The classification a panel holding from has once it has loaded settings: a
// flag is set by "1" only, a type with too few values is passed over, and a text
// its box does not offer leaves the box as it was. The answers and the pattern
// are what settings say: without an "answered" setting (a set written before
// answers were kept) every box counts as answered, and without a "pattern"
// setting the print is not classified.
Classification loadedClassification(const QMap<QString, QStringList>& settings,
                                    const Classification& from = cleared());

}

#endif
