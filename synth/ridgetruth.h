#ifndef RIDGETRUTH_H
#define RIDGETRUTH_H

#include "synth/syntheticprint.h"

#include <QLineF>
#include <QString>

#include <vector>

// The ridge counts a careful examiner gives on a synthetic print, read from its
// undamaged ridges alone: each stretch of the line that lies on a ridge is one
// ridge crossed (so a fork whose branches both cross counts twice, one forked
// beyond the line once), except the stretches under the end points, which are
// the landmarks' own ridges. Where the geometry leaves it open, either answer
// is right: a ridge the line only grazes or passes within a hair of, a furrow
// it crosses where it is a hair wide, an end point at a ridge's very edge.
namespace synth {

struct RidgeCount {
    int least = 0;
    int most = 0;
    // The middle of each stretch on a ridge that surely counts.
    std::vector<QPointF> crossings;
};

RidgeCount ridgeCount(const Print& print, const QLineF& line);

// How far p lies from the centre line of the ridge nearest to it, across the
// ridges, in ridge periods.
double offCentre(const Print& print, const QPointF& p);

struct CountedLine {
    enum Kind { Landmarks, Across };
    Kind kind;
    QString name;     // "core-triradius", "a-b", ...; empty for lines across
    QLineF line;      // pixels
    double angle;     // between line and ridges at its middle, degrees, 0 to 90
    RidgeCount truth;
};

// Lines between the print's cores and triradii as examiners draw them: from
// each triradius to its nearest core on a finger, a-b, b-c, c-d, a-t and d-t
// on a palm; each once as the model places the points and then moved at
// either end by up to half a period, as hands place them. Then across lines
// at random places on the skin, 3 to 10 mm long (4 to 15 mm on a palm), at
// every angle from 10 to 90 degrees to the ridges.
std::vector<CountedLine> countedLines(const Print& print, int across, quint32 seed);

}

#endif
