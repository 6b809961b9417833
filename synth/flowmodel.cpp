#include "synth/flowmodel.h"

#include <algorithm>
#include <cmath>

namespace synth {

QString patternName(Pattern pattern)
{
    switch (pattern) {
    case Pattern::LoopLeft:
        return "loop (opens left)";
    case Pattern::LoopRight:
        return "loop (opens right)";
    case Pattern::Whorl:
        return "whorl";
    case Pattern::DoubleLoop:
        return "double loop";
    case Pattern::PlainArch:
        return "plain arch";
    case Pattern::TentedArch:
        return "tented arch";
    case Pattern::Palm:
        return "palm";
    }
    return QString();
}

}

using synth::Pattern;
using synth::SingularPoint;

namespace {

double uniform(std::mt19937& random, double a, double b)
{
    return std::uniform_real_distribution<double>(a, b)(random);
}

// Slow waves over the skin: wavelengths from shortest to longest millimetres,
// in random directions, their amplitudes summing to total.
template <typename Wave>
std::vector<Wave> waves(std::mt19937& random, int n, double shortest, double longest, double total)
{
    std::vector<Wave> result;
    for (int i = 0; i < n; ++i) {
        const double direction = uniform(random, 0, 2 * M_PI);
        const double k = 2 * M_PI / uniform(random, shortest, longest);
        result.push_back({k * std::cos(direction), k * std::sin(direction),
                          uniform(random, 0, 2 * M_PI), total / n * uniform(random, 0.6, 1.4)});
    }
    return result;
}

}

FlowModel FlowModel::finger(Pattern pattern, std::mt19937& random)
{
    FlowModel m;
    m.kind = pattern;
    m.extent = QSizeF(24, 30);
    m.outline = QRectF(1, 0.5, 22, 29);
    m.mean = uniform(random, 0.43, 0.5);
    const QPointF centre(uniform(random, 11, 13), uniform(random, 13, 15));
    auto add = [&](SingularPoint::Kind kind, const QPointF& at) {
        m.points.push_back({kind, at, QString()});
    };
    switch (pattern) {
    case Pattern::LoopLeft:
    case Pattern::LoopRight: {
        // The triradius lies below the core on the side the loop does not open to.
        const double side = pattern == Pattern::LoopLeft ? 1 : -1;
        const QPointF core = centre + QPointF(-side * uniform(random, 0.5, 2), uniform(random, -2, 0));
        add(SingularPoint::Core, core);
        add(SingularPoint::Triradius,
            core + QPointF(side * uniform(random, 5.5, 7.5), uniform(random, 4.5, 6.5)));
        break;
    }
    case Pattern::Whorl:
    case Pattern::DoubleLoop: {
        // Two cores close together round the centre (farther apart and turned
        // for a double loop), a triradius below on either side.
        const double apart = pattern == Pattern::Whorl ? uniform(random, 0.6, 1.2) : uniform(random, 1.8, 2.8);
        const double turn = pattern == Pattern::Whorl ? uniform(random, -0.5, 0.5)
                                                      : uniform(random, 0.5, 1.1) * (random() % 2 ? 1 : -1);
        const QPointF half(apart * std::cos(turn), apart * std::sin(turn));
        add(SingularPoint::Core, centre - half);
        add(SingularPoint::Core, centre + half);
        add(SingularPoint::Triradius, centre + QPointF(-uniform(random, 6.5, 7.8), uniform(random, 5, 6.5)));
        add(SingularPoint::Triradius, centre + QPointF(uniform(random, 6.5, 7.8), uniform(random, 5, 6.5)));
        break;
    }
    case Pattern::TentedArch: {
        // A core just above a triradius: the ridges rise to a point between them.
        add(SingularPoint::Core, centre);
        add(SingularPoint::Triradius, centre + QPointF(uniform(random, -0.4, 0.4), uniform(random, 2, 3)));
        break;
    }
    case Pattern::PlainArch:
        // No pole: the ridges rise over the middle, less so lower down.
        m.archHeight = uniform(random, 2.5, 4);
        m.archWidth = uniform(random, 4.5, 6.5);
        break;
    case Pattern::Palm:
        break;
    }
    m.baseAngle = uniform(random, -0.08, 0.08);
    m.bends = waves<Wave>(random, 3, 12, 40, 0.12);
    m.spacing = waves<Wave>(random, 3, 10, 30, 0.08);
    return m;
}

FlowModel FlowModel::palm(std::mt19937& random, const QSizeF& size)
{
    FlowModel m;
    m.kind = Pattern::Palm;
    m.extent = size;
    m.outline = QRectF(2, 1, size.width() - 4, size.height() - 2);
    m.roundness = 0.12 * std::min(size.width(), size.height());
    m.mean = uniform(random, 0.44, 0.5);
    const double w = size.width();
    const double h = size.height();
    // The digital triradii below the fingers, index to little finger, the
    // axial one near the wrist, and a loop between c and d that opens towards
    // the fingers, as the commonest interdigital pattern.
    const char* names[] = {"a", "b", "c", "d"};
    std::vector<QPointF> digital;
    for (int i = 0; i < 4; ++i) {
        const QPointF at((0.15 + 0.233 * i + uniform(random, -0.025, 0.025)) * w,
                         (0.2 + uniform(random, -0.03, 0.03) + (i == 0 || i == 3 ? 0.04 : 0)) * h);
        digital.push_back(at);
        m.points.push_back({SingularPoint::Triradius, at, names[i]});
    }
    m.points.push_back({SingularPoint::Triradius,
                        QPointF(uniform(random, 0.42, 0.58) * w, uniform(random, 0.8, 0.86) * h), "t"});
    m.points.push_back({SingularPoint::Core,
                        (digital[2] + digital[3]) / 2 + QPointF(uniform(random, -0.02, 0.02) * w,
                                                                 -uniform(random, 0.06, 0.09) * h),
                        QString()});
    m.baseAngle = uniform(random, 0.35, 0.6);
    m.bends = waves<Wave>(random, 3, 20, 60, 0.12);
    m.spacing = waves<Wave>(random, 3, 15, 50, 0.08);
    return m;
}

double FlowModel::orientation(const QPointF& p) const
{
    double angle = baseAngle;
    for (const SingularPoint& s : points) {
        const double arg = std::atan2(p.y() - s.position.y(), p.x() - s.position.x());
        angle += s.kind == SingularPoint::Core ? 0.5 * arg : -0.5 * arg;
    }
    if (archHeight > 0) {
        // Ridges y = y0 - H(y0) exp(-x^2 / 2 s^2), H shrinking towards the crease.
        const double x = p.x() - 0.5 * extent.width();
        const double rise = archHeight * std::clamp(1 - p.y() / extent.height(), 0.0, 1.0);
        const double s = archWidth;
        angle += std::atan(rise * x / (s * s) * std::exp(-0.5 * x * x / (s * s)));
    }
    for (const Wave& b : bends)
        angle += b.amplitude * std::sin(b.kx * p.x() + b.ky * p.y() + b.phase);
    angle = std::fmod(angle, M_PI);
    return angle < 0 ? angle + M_PI : angle;
}

double FlowModel::period(const QPointF& p) const
{
    double f = 1;
    for (const Wave& s : spacing)
        f += s.amplitude * std::sin(s.kx * p.x() + s.ky * p.y() + s.phase);
    return mean * f;
}

double FlowModel::inside(const QPointF& p) const
{
    if (kind != Pattern::Palm) {
        // An ellipse: the distance scaled from its normalised radius.
        const double a = 0.5 * outline.width();
        const double b = 0.5 * outline.height();
        const QPointF d = p - outline.center();
        const double r = std::hypot(d.x() / a, d.y() / b);
        return (1 - r) * std::min(a, b);
    }
    // A rectangle with rounded corners.
    const QPointF d = p - outline.center();
    const double qx = std::abs(d.x()) - (0.5 * outline.width() - roundness);
    const double qy = std::abs(d.y()) - (0.5 * outline.height() - roundness);
    const double outside = std::hypot(std::max(qx, 0.0), std::max(qy, 0.0))
                           + std::min(std::max(qx, qy), 0.0);
    return roundness - outside;
}
