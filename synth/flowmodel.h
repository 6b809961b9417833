#ifndef FLOWMODEL_H
#define FLOWMODEL_H

#include "synth/synthtypes.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <random>
#include <vector>

// The ridge flow of a synthetic print as a model: the ridges' direction from
// the places of its cores and triradii (each turns the flow by half a turn
// round it, cores one way and triradii the other, as in the zero-pole model
// of Sherlock and Monro), bent a little by slow random waves as skin is, the
// local ridge period, and the outline of the skin that touched the paper.
// Everything is in millimetres from the top left corner, y downwards.
class FlowModel
{
public:
    FlowModel() = default;
    // A finger of the given pattern (not Palm), about 24 mm by 30 mm, with its
    // cores and triradii placed at random within what the pattern allows.
    static FlowModel finger(synth::Pattern pattern, std::mt19937& random);
    // A palm's flow below the fingers with the digital triradii a, b, c, d,
    // the axial triradius t near the wrist and an interdigital loop; size is
    // its width and height in millimetres.
    static FlowModel palm(std::mt19937& random, const QSizeF& size);

    synth::Pattern pattern() const { return kind; }
    QSizeF size() const { return extent; }
    // The ridges' direction at p, in radians in [0, pi).
    double orientation(const QPointF& p) const;
    // The distance from one ridge to the next at p, in millimetres.
    double period(const QPointF& p) const;
    double meanPeriod() const { return mean; }
    // How far p lies inside the skin's outline, in millimetres (negative
    // outside): the print's foreground.
    double inside(const QPointF& p) const;
    // The cores and triradii, positions in millimetres.
    const std::vector<synth::SingularPoint>& singularPoints() const { return points; }

private:
    struct Wave {
        double kx, ky, phase, amplitude;
    };

    synth::Pattern kind = synth::Pattern::PlainArch;
    QSizeF extent;
    QRectF outline;           // the skin's bounding box; an ellipse for fingers
    double roundness = 1;     // corner radius of a palm's outline, mm
    double mean = 0.47;       // mm
    double baseAngle = 0;     // the flow's direction far from every pole
    double archHeight = 0;    // plain arch: how far the top ridges rise, mm
    double archWidth = 1;
    std::vector<synth::SingularPoint> points;
    std::vector<Wave> bends;  // added to the direction
    std::vector<Wave> spacing;  // relative change of the period
};

#endif
