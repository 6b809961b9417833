#include "synth/ridgetruth.h"

#include <algorithm>
#include <cmath>
#include <random>

namespace synth {

namespace {

constexpr double step = 0.25;   // pixels between samples along a line

double depthAt(const Print& print, const QPointF& p)
{
    const cv::Mat& d = print.depth;
    const double x = std::clamp(p.x() - 0.5, 0.0, d.cols - 1.001);
    const double y = std::clamp(p.y() - 0.5, 0.0, d.rows - 1.001);
    const int ix = int(x), iy = int(y);
    const double fx = x - ix, fy = y - iy;
    const float* r0 = d.ptr<float>(iy);
    const float* r1 = d.ptr<float>(iy + 1);
    return (r0[ix] * (1 - fx) + r0[ix + 1] * fx) * (1 - fy) + (r1[ix] * (1 - fx) + r1[ix + 1] * fx) * fy;
}

// The half width of the ridge through p: the greatest depth across the ridges
// within half a period.
double halfWidth(const Print& print, const QPointF& p)
{
    const double theta = print.orientation(p);
    const QPointF across(-std::sin(theta), std::cos(theta));
    const double period = print.period(p);
    double best = 0;
    for (double t = -0.5 * period; t <= 0.5 * period; t += 0.5)
        best = std::max(best, depthAt(print, p + across * t));
    return best;
}

double uniform(std::mt19937& random, double a, double b)
{
    return std::uniform_real_distribution<double>(a, b)(random);
}

double angleToRidges(const Print& print, const QLineF& line)
{
    const double theta = print.orientation(line.center());
    const double phi = std::atan2(line.dy(), line.dx());
    double a = std::fmod(std::abs(phi - theta), M_PI);
    if (a > M_PI / 2)
        a = M_PI - a;
    return a * 180 / M_PI;
}

}

RidgeCount ridgeCount(const Print& print, const QLineF& line)
{
    RidgeCount count;
    const double length = line.length();
    if (!(length > 0))
        return count;
    const int n = int(std::ceil(length / step));
    std::vector<double> d(size_t(n + 1));
    for (int i = 0; i <= n; ++i)
        d[size_t(i)] = depthAt(print, line.pointAt(double(i) / n));
    const double period = print.period(line.center());
    // A hair: what no scan at this resolution shows for certain; at an end
    // point, where a pixel decides, half a pixel.
    const double hair = std::max(0.75, 0.06 * period);
    const double endHair = 0.5;

    // Stretches on ridges: [from, to] in samples.
    struct Run {
        int from, to;
        bool graze;   // or otherwise open: counted or not
        bool own;
    };
    std::vector<Run> runs;
    for (int i = 0; i <= n;) {
        if (d[size_t(i)] <= 0) {
            ++i;
            continue;
        }
        int j = i;
        double peak = 0;
        int at = i;
        while (j <= n && d[size_t(j)] > 0) {
            if (d[size_t(j)] > peak) {
                peak = d[size_t(j)];
                at = j;
            }
            ++j;
        }
        const bool own = i == 0 || j - 1 == n;
        const QPointF top = line.pointAt(double(at) / n);
        runs.push_back({i, j - 1, peak < 0.3 * halfWidth(print, top), own});
        i = j;
    }
    // The first or last ridge right beside an end point may be taken for the
    // landmark's own.
    if (!runs.empty() && !runs.front().own && d.front() > -endHair)
        runs.front().graze = true;
    if (!runs.empty() && !runs.back().own && d.back() > -endHair)
        runs.back().graze = true;
    int least = 0;
    int most = 0;
    for (const Run& r : runs) {
        if (r.own) {
            // An end point at the very edge of its ridge may be taken for one
            // beside it.
            const double atEnd = r.from == 0 ? d.front() : d.back();
            most += atEnd < endHair ? 1 : 0;
            continue;
        }
        ++most;
        if (r.graze)
            continue;
        ++least;
        count.crossings.push_back(line.pointAt(0.5 * (r.from + r.to) / n));
    }
    // Furrows crossed where they are a hair wide may be missed, joining the
    // ridges either side; ridges passed within a hair may be taken as touched.
    for (size_t k = 0; k + 1 < runs.size(); ++k) {
        const int a = runs[k].to + 1;
        const int b = runs[k + 1].from - 1;
        double deepest = 0;
        for (int i = a; i <= b; ++i)
            deepest = std::min(deepest, d[size_t(i)]);
        if (deepest > -hair && !runs[k].graze && !runs[k + 1].graze)
            --least;
    }
    // A nearest approach stands out from the furrow on both sides, unlike the
    // wobble of distances measured between pixels.
    for (int i = 1; i < n; ++i) {
        if (d[size_t(i)] > 0 || d[size_t(i)] <= -hair || d[size_t(i)] < d[size_t(i - 1)]
            || d[size_t(i)] < d[size_t(i + 1)])
            continue;
        const double low = d[size_t(i)] - hair;
        int a = i;
        while (a > 0 && d[size_t(a)] <= 0 && d[size_t(a)] > low && d[size_t(a)] <= d[size_t(i)])
            --a;
        int b = i;
        while (b < n && d[size_t(b)] <= 0 && d[size_t(b)] > low && d[size_t(b)] <= d[size_t(i)])
            ++b;
        if (d[size_t(a)] <= low && d[size_t(b)] <= low) {
            ++most;
            i = b;
        }
    }
    count.least = std::max(0, least);
    count.most = std::max(count.least, most);
    return count;
}

double offCentre(const Print& print, const QPointF& p)
{
    const double theta = print.orientation(p);
    const QPointF across(-std::sin(theta), std::cos(theta));
    const double period = print.period(p);
    // The nearest centre: the nearest greatest depth on a ridge across.
    double best = period;
    for (int sign : {-1, 1}) {
        double previous = depthAt(print, p - across * (sign * 0.25));
        for (double t = 0; t <= 0.75 * period; t += 0.25) {
            const double here = depthAt(print, p + across * (sign * t));
            const double next = depthAt(print, p + across * (sign * (t + 0.25)));
            if (here > 0 && here >= previous && here >= next) {
                best = std::min(best, t);
                break;
            }
            previous = here;
        }
    }
    return best / period;
}

std::vector<CountedLine> countedLines(const Print& print, int across, quint32 seed)
{
    std::mt19937 random(seed);
    std::vector<CountedLine> lines;
    const double period = print.model.meanPeriod() * print.pixelsPerMm;
    auto add = [&](CountedLine::Kind kind, const QString& name, const QLineF& line) {
        lines.push_back({kind, name, line, angleToRidges(print, line), ridgeCount(print, line)});
    };
    auto moved = [&](const QPointF& p) {
        const double a = uniform(random, 0, 2 * M_PI);
        return p + QPointF(std::cos(a), std::sin(a)) * uniform(random, 0, 0.5 * period);
    };
    auto landmarks = [&](const QString& name, const QPointF& a, const QPointF& b) {
        add(CountedLine::Landmarks, name, QLineF(a, b));
        for (int i = 0; i < 3; ++i)
            add(CountedLine::Landmarks, name, QLineF(moved(a), moved(b)));
    };
    const std::vector<SingularPoint> points = print.singularPoints();
    if (print.model.pattern() == Pattern::Palm) {
        auto named = [&](const QString& name) {
            for (const SingularPoint& p : points)
                if (p.name == name)
                    return p.position;
            return QPointF();
        };
        for (const char* pair : {"ab", "bc", "cd", "at", "dt"})
            landmarks(QString("%1-%2").arg(pair[0]).arg(pair[1]), named(QString(pair[0])),
                      named(QString(pair[1])));
    } else {
        for (const SingularPoint& t : points) {
            if (t.kind != SingularPoint::Triradius)
                continue;
            const SingularPoint* nearest = nullptr;
            for (const SingularPoint& c : points)
                if (c.kind == SingularPoint::Core
                    && (!nearest
                        || QLineF(t.position, c.position).length()
                               < QLineF(t.position, nearest->position).length()))
                    nearest = &c;
            if (nearest)
                landmarks("core-triradius", nearest->position, t.position);
        }
    }
    const bool palm = print.model.pattern() == Pattern::Palm;
    const double shortest = (palm ? 4 : 3) * print.pixelsPerMm;
    const double longest = (palm ? 15 : 10) * print.pixelsPerMm;
    const QSizeF size = print.model.size() * print.pixelsPerMm;
    for (int made = 0, attempts = 0; made < across && attempts < 100 * across; ++attempts) {
        const QPointF centre(uniform(random, 0, size.width()), uniform(random, 0, size.height()));
        const double theta = print.orientation(centre);
        const double angle = uniform(random, 10, 90) * M_PI / 180 * (random() % 2 ? 1 : -1);
        const double half = 0.5 * uniform(random, shortest, longest);
        const QPointF u(std::cos(theta + angle), std::sin(theta + angle));
        const QLineF line(centre - u * half, centre + u * half);
        // Both ends on the skin, clear of its outline.
        if (print.inside(line.p1()) < print.pixelsPerMm || print.inside(line.p2()) < print.pixelsPerMm)
            continue;
        add(CountedLine::Across, QString(), line);
        ++made;
    }
    return lines;
}

}
