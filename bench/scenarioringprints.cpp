// Suggested ridge points on ring prints whose ridges are known: rings and
// hairpins round one centre, with breaks, dots and pores drawn on them.

#include "bench/harness.h"
#include "bench/scenarios.h"

#include "analysis/ridgeprofile.h"

#include <QImage>
#include <QLineF>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <random>
#include <vector>

namespace bench {

namespace {

// A curved ridge field whose phase grows by one from each ridge centre line to
// the next: ridges lie where it is a whole number, furrows where it is a half.
struct RidgeField {
    bool loop = true;
    double period = 10;   // pixels
    QPointF centre;
    double cosA = 1;
    double sinA = 0;
    double warp = 0;      // pixels
    double warpScale = 0.01;
    double shift1 = 0;
    double shift2 = 0;
    double core = 0;      // whorl: half length of its innermost furrow

    double phase(const QPointF& p) const
    {
        const double dx = p.x() - centre.x();
        const double dy = p.y() - centre.y();
        const double u = cosA * dx + sinA * dy;
        const double v = -sinA * dx + cosA * dy;
        const double bu = u + warp * std::sin(v * warpScale + shift1);
        const double bv = v + warp * std::sin(u * warpScale + shift2);
        // Nested hairpins opening along u, or rings round a short furrow; the
        // innermost line of either is a furrow, so every ridge crosses cleanly.
        const double d = loop ? (bu > 0 ? std::abs(bv) : std::hypot(bu, bv))
                              : std::hypot(bu - std::clamp(bu, -core, core), bv);
        return d / period + 0.5;
    }

    // Moves p across the ridges until its phase is target.
    QPointF snapped(QPointF p, double target) const
    {
        for (int i = 0; i < 4; ++i) {
            const double h = 0.25;
            const QPointF g((phase(p + QPointF(h, 0)) - phase(p - QPointF(h, 0))) / (2 * h),
                            (phase(p + QPointF(0, h)) - phase(p - QPointF(0, h))) / (2 * h));
            const double g2 = g.x() * g.x() + g.y() * g.y();
            if (g2 <= 0)
                break;
            p += g * ((target - phase(p)) / g2);
        }
        return p;
    }
};

double nearestWhole(double phase) { return std::abs(phase - std::round(phase)); }

// What the examiner would see where a line meets a ridge's centre line: ink
// along most of its way through the ridge, paper well clear of ink along
// most, or neither, where a line passes by a ridge's end and either count is
// right.
enum class Ink { Present, Absent, Unsure };

// Breaks in ridges, islands and dots inside longer breaks, pores and specks.
struct PrintMark {
    enum Kind { Break, Pore, Speck } kind;
    QPointF c;
    QPointF tangent;     // along the ridge at c
    long ridge;          // the phase of the ridge a break belongs to
    double radius;       // pixels: the break's half length, a pore's or speck's radius
    double island = 0;   // pixels: half length of the island left inside a break
};

struct Degradation {
    const char* name;
    bool faint, noisy, blurred, uneven, broken, dots, pores;
};

const Degradation degradations[] = {
    {"clean", false, false, false, false, false, false, false},
    {"faint", true, false, false, false, false, false, false},
    {"noisy", false, true, false, false, false, false, false},
    {"blurred", false, false, true, false, false, false, false},
    {"uneven", false, false, false, true, false, false, false},
    {"broken", false, false, false, false, true, false, false},
    {"dots", false, false, false, false, false, true, false},
    {"pores", false, false, false, false, false, false, true},
    {"combined", true, true, true, true, true, true, true},
};

// Linear ramp from 1 inside radius to 0 outside, one pixel wide: the
// anti-aliased edge of a round mark.
double inside(double distance, double radius)
{
    return std::clamp(0.5 - (distance - radius), 0.0, 1.0);
}

struct SyntheticPrint {
    QImage image;
    RidgeField field;
    std::vector<PrintMark> marks;
    double halfWidth = 0;   // of a ridge, pixels, give or take 15 %
    QPointF widthWave;      // direction and frequency of the ridges' change of width
    double widthShift = 0;
    // Marks by cell of two periods, so each point looks at the few near it.
    double cell = 1;
    int cells = 0;
    std::vector<std::vector<int>> grid;

    const std::vector<int>& marksNear(const QPointF& p) const
    {
        const int cx = std::clamp(int(p.x() / cell), 0, cells - 1);
        const int cy = std::clamp(int(p.y() / cell), 0, cells - 1);
        return grid[size_t(cy * cells + cx)];
    }

    // Whether p is near enough to the break m to lose or keep ink by it: near
    // its stretch of ridge, not on another stretch of the same ridge that comes
    // back by it round a core.
    bool nearBreak(const QPointF& p, const PrintMark& m) const
    {
        const QPointF d = p - m.c;
        return QLineF(p, m.c).length() <= m.radius + halfWidth + 1
               && std::abs(d.x() * m.tangent.y() - d.y() * m.tangent.x()) < 0.5 * field.period;
    }

    // How much of the pixel at p the ridges' ink covers, with breaks and
    // islands (pores and specks are the renderer's).
    double ridgeInk(const QPointF& p) const
    {
        const double phase = field.phase(p);
        const long ridge = std::lround(phase);
        const double off = (phase - ridge) * field.period;   // from the ridge's centre line
        const double w =
            halfWidth * (1 + 0.15 * std::sin(QPointF::dotProduct(p, widthWave) + widthShift));
        double dark = inside(std::abs(off), w);
        for (int i : marksNear(p)) {
            const PrintMark& m = marks[size_t(i)];
            if (m.kind != PrintMark::Break || m.ridge != ridge || !nearBreak(p, m))
                continue;
            // Ridge ends and islands are rounded like the ridge is wide.
            const double a = std::abs(QPointF::dotProduct(p - m.c, m.tangent));
            const double toEnd = std::max(0.0, m.radius + w - a);
            dark = std::min(dark, inside(std::hypot(toEnd, off), w));
            if (m.island > 0) {
                const double toIsland = std::max(0.0, a - (m.island - w));
                dark = std::max(dark, inside(std::hypot(toIsland, off), w));
            }
        }
        return dark;
    }

    // What line shows of the ridge with the given phase that it crosses at q,
    // judged along its way through the ridge.
    Ink inkAt(const QLineF& line, const QPointF& q, long ridge) const
    {
        const QPointF step = (line.p2() - line.p1()) / line.length() * 0.25;
        const double inner = halfWidth / field.period;
        // Points on ink, and points within a pixel and a half of ink.
        int inked = 0;
        int near = 0;
        int all = 0;
        for (int sign : {-1, 1})
            for (QPointF p = q; all < 1000 && std::abs(field.phase(p) - ridge) < inner;
                 p += step * sign) {
                ++all;
                if (ridgeInk(p) >= 0.5) {
                    ++inked;
                    ++near;
                    continue;
                }
                for (int k = 0; k < 8; ++k) {
                    const QPointF around(std::cos(k * M_PI / 4), std::sin(k * M_PI / 4));
                    if (ridgeInk(p + around * 1.5) >= 0.5) {
                        ++near;
                        break;
                    }
                }
            }
        if (inked >= 0.75 * all)
            return Ink::Present;
        return near <= 0.25 * all ? Ink::Absent : Ink::Unsure;
    }
};

// Gaussian blur of a float image, separable.
void blur(std::vector<float>& pixels, int width, int height, double sigma)
{
    const int radius = int(std::ceil(3 * sigma));
    std::vector<float> kernel(size_t(2 * radius + 1));
    float sum = 0;
    for (int k = -radius; k <= radius; ++k)
        sum += kernel[size_t(k + radius)] = float(std::exp(-0.5 * k * k / (sigma * sigma)));
    for (float& k : kernel)
        k /= sum;
    // Across, then down, each pass reading the other's result.
    std::vector<float> across(pixels.size());
    for (int pass = 0; pass < 2; ++pass) {
        const std::vector<float>& in = pass == 0 ? pixels : across;
        std::vector<float>& out = pass == 0 ? across : pixels;
        const int dx = pass == 0 ? 1 : 0;
        const int dy = 1 - dx;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                float v = 0;
                for (int k = -radius; k <= radius; ++k) {
                    const int xx = std::clamp(x + k * dx, 0, width - 1);
                    const int yy = std::clamp(y + k * dy, 0, height - 1);
                    v += kernel[size_t(k + radius)] * in[size_t(yy * width + xx)];
                }
                out[size_t(y * width + x)] = v;
            }
    }
}

// A print of 28 mm square with a loop- or whorl-like ridge field, degraded as
// asked; every random choice comes from random, so a seed gives the same print.
SyntheticPrint syntheticPrint(bool loop, int ppi, const Degradation& how, std::mt19937& random)
{
    auto uniform = [&](double a, double b) {
        return std::uniform_real_distribution<double>(a, b)(random);
    };
    SyntheticPrint print;
    const int size = qRound(28 / 25.4 * ppi);
    RidgeField& f = print.field;
    f.loop = loop;
    f.period = uniform(0.42, 0.55) / 25.4 * ppi;
    f.centre = QPointF(uniform(0.35, 0.65) * size, uniform(0.35, 0.65) * size);
    const double angle = uniform(0, 2 * M_PI);
    f.cosA = std::cos(angle);
    f.sinA = std::sin(angle);
    f.warpScale = 2 * M_PI / (size * uniform(0.7, 1.3));
    f.warp = uniform(0.1, 0.2) / f.warpScale;   // bends the ridges, spacing within 20 %
    f.shift1 = uniform(0, 2 * M_PI);
    f.shift2 = uniform(0, 2 * M_PI);
    f.core = uniform(0.5, 2) * f.period;
    print.halfWidth = 0.27 * f.period;
    const double halfWidth = print.halfWidth;
    const double widthAngle = uniform(0, 2 * M_PI);
    print.widthWave = QPointF(std::cos(widthAngle), std::sin(widthAngle)) * (4 * M_PI / size);
    print.widthShift = uniform(0, 2 * M_PI);

    auto tangent = [&](const QPointF& c) {
        const QPointF g(f.phase(c + QPointF(0.25, 0)) - f.phase(c - QPointF(0.25, 0)),
                        f.phase(c + QPointF(0, 0.25)) - f.phase(c - QPointF(0, 0.25)));
        return QPointF(-g.y(), g.x()) / std::hypot(g.x(), g.y());
    };
    // Marks at random places moved onto ridge centre lines (or furrows for specks).
    const double area = double(size) * size / (f.period * f.period);
    // Each mark's sizes in periods, as (least, most) of a uniform choice.
    auto place = [&](PrintMark::Kind kind, double perArea, double offset, double least,
                     double most, double islandLeast = 0, double islandMost = 0) {
        const int n = int(area * perArea);
        for (int i = 0; i < n; ++i) {
            const QPointF p(uniform(0, size), uniform(0, size));
            const QPointF c = f.snapped(p, std::floor(f.phase(p)) + offset);
            const double island = islandMost > 0 ? uniform(islandLeast, islandMost) * f.period : 0;
            const double radius = island + uniform(least, most) * f.period;
            print.marks.push_back(
                {kind, c, tangent(c), long(std::lround(f.phase(c))), radius, island});
        }
    };
    if (how.broken)
        place(PrintMark::Break, 1.0 / 20, 0, 0.3, 0.8);
    if (how.dots) {
        // Islands and dots as thick as the ridges, alone in a longer break, and
        // specks thinner than them in the furrows.
        place(PrintMark::Break, 1.0 / 40, 0, 0.8, 1.2, 0.27, 1);
        place(PrintMark::Speck, 1.0 / 6, 0.5, 0.07, 0.1);
    }
    if (how.pores)
        place(PrintMark::Pore, 1.0, 0, 0.08, 0.13);

    print.cell = 2 * f.period;
    print.cells = int(std::ceil(size / print.cell)) + 1;
    const int cells = print.cells;
    print.grid.resize(size_t(cells * cells));
    for (int i = 0; i < int(print.marks.size()); ++i) {
        const PrintMark& m = print.marks[size_t(i)];
        const double r = m.radius + 1.15 * halfWidth + 1;
        const int x0 = std::max(0, int((m.c.x() - r) / print.cell));
        const int x1 = std::min(cells - 1, int((m.c.x() + r) / print.cell));
        const int y0 = std::max(0, int((m.c.y() - r) / print.cell));
        const int y1 = std::min(cells - 1, int((m.c.y() + r) / print.cell));
        for (int cy = y0; cy <= y1; ++cy)
            for (int cx = x0; cx <= x1; ++cx)
                print.grid[size_t(cy * cells + cx)].push_back(i);
    }

    // Paper at 225, ridges taking 80 % of the light; faint regions and the
    // inking gradient vary smoothly over the print.
    const double paper = 225;
    const double faintAngle = uniform(0, 2 * M_PI);
    const double faintShift = uniform(0, 2 * M_PI);
    const double faintScale = 2 * M_PI / (size * uniform(0.8, 1.2));
    const double rampAngle = uniform(0, 2 * M_PI);
    const QPointF ramp(std::cos(rampAngle), std::sin(rampAngle));
    const double rampFrom = std::min({0.0, ramp.x(), ramp.y(), ramp.x() + ramp.y()}) * size;
    const double rampTo = std::max({0.0, ramp.x(), ramp.y(), ramp.x() + ramp.y()}) * size;
    std::vector<float> pixels(size_t(size) * size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const QPointF p(x + 0.5, y + 0.5);
            double dark = print.ridgeInk(p);
            double speck = 0;
            for (int i : print.marksNear(p)) {
                const PrintMark& m = print.marks[size_t(i)];
                const double d = QLineF(p, m.c).length();
                if (m.kind == PrintMark::Pore)
                    dark *= 1 - inside(d, m.radius);
                else if (m.kind == PrintMark::Speck)
                    speck = std::max(speck, inside(d, m.radius));
            }
            dark = std::max(dark, speck);
            double contrast = 1;
            double background = paper;
            const double u = (x * std::cos(faintAngle) + y * std::sin(faintAngle)) * faintScale;
            if (how.faint)   // from full contrast down to 20 %
                contrast = 0.6 + 0.4 * std::sin(u + faintShift);
            if (how.uneven)   // the paper from 225 down to 145 across the print
                background -= 80 * (QPointF::dotProduct(p, ramp) - rampFrom) / (rampTo - rampFrom);
            pixels[size_t(y * size + x)] = float(background * (1 - 0.8 * contrast * dark));
        }
    if (how.blurred)
        blur(pixels, size, size, 0.07 / 25.4 * ppi);
    if (how.noisy) {
        // Grain: noise correlated over about a pixel and a half, plus white noise.
        std::normal_distribution<float> normal(0, 1);
        std::vector<float> grain(pixels.size());
        for (float& g : grain)
            g = normal(random);
        blur(grain, size, size, 0.8);
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] += 8 / 0.35f * grain[i] + 12 * normal(random);
    }
    print.image = QImage(size, size, QImage::Format_Grayscale8);
    for (int y = 0; y < size; ++y) {
        uchar* line = print.image.scanLine(y);
        for (int x = 0; x < size; ++x)
            line[x] = uchar(std::clamp(std::lround(pixels[size_t(y * size + x)]), 0L, 255L));
    }
    const int dotsPerMeter = qRound(ppi / 0.0254);
    print.image.setDotsPerMeterX(dotsPerMeter);
    print.image.setDotsPerMeterY(dotsPerMeter);
    return print;
}

// A counted line between two landmarks on print and where its ridges cross it.
struct CountedLine {
    QLineF line;
    std::vector<QPointF> crossings;
    int unsure = 0;   // crossings of a ridge's end, which count or not
};

// A line between random points, each on a ridge or in a furrow as landmarks
// are, with 5 to 30 ridges crossing it; false after many tries. Lines that
// graze a ridge are not drawn, since no examiner could be sure of their count;
// crossings by a break's or an island's end are counted as unsure.
bool countedLine(const SyntheticPrint& print, std::mt19937& random, CountedLine* out)
{
    const RidgeField& f = print.field;
    const double size = print.image.width();
    auto uniform = [&](double a, double b) {
        return std::uniform_real_distribution<double>(a, b)(random);
    };
    // A landmark on a ridge sits on its ink, never in a break.
    auto landmark = [&] {
        for (;;) {
            const QPointF p(uniform(2 * f.period, size - 2 * f.period),
                            uniform(2 * f.period, size - 2 * f.period));
            const double target = std::floor(f.phase(p)) + (uniform(0, 1) < 0.5 ? 0 : 0.5);
            const QPointF q = f.snapped(p, target);
            if (target != std::floor(target) || print.ridgeInk(q) >= 0.99)
                return q;
        }
    };
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const QPointF a = landmark();
        const QPointF b = landmark();
        const QLineF line(a, b);
        const double length = line.length();
        if (length < 2 * f.period)
            continue;
        const int steps = int(std::ceil(length / 0.25));
        std::vector<double> phase(size_t(steps + 1));
        for (int j = 0; j <= steps; ++j)
            phase[size_t(j)] = f.phase(line.pointAt(double(j) / steps));
        bool sure = true;
        int unsure = 0;
        std::vector<QPointF> crossings;
        for (int j = 0; j < steps && sure; ++j) {
            const double p0 = phase[size_t(j)];
            const double p1 = phase[size_t(j + 1)];
            if (j > 0 && (p0 - phase[size_t(j - 1)]) * (p1 - p0) < 0 && nearestWhole(p0) < 0.4)
                sure = false;
            const long last = long(std::floor(std::max(p0, p1)));
            for (long k = long(std::floor(std::min(p0, p1))) + 1; k <= last; ++k) {
                const double t = (j + (k - p0) / (p1 - p0)) / steps;
                const double along = t * length;
                // The landmarks' own ridges.
                if ((along < 0.5 * f.period && nearestWhole(phase.front()) < 0.01)
                    || (length - along < 0.5 * f.period && nearestWhole(phase.back()) < 0.01))
                    continue;
                const QPointF q = line.pointAt(t);
                const Ink ink = print.inkAt(line, q, k);
                if (ink == Ink::Unsure)
                    ++unsure;
                else if (ink == Ink::Present)
                    crossings.push_back(q);
            }
        }
        if (!sure || crossings.size() < 5 || crossings.size() + unsure > 30)
            continue;
        *out = {line, crossings, unsure};
        return true;
    }
    return false;
}

}


// Suggested ridge points on lines across synthetic prints with known ridges,
// per kind of degradation and overall, against absolute targets; each figure
// counts as a target of its own.
void ringPrints(int* met, int* total)
{
    std::mt19937 random(20240517);   // the same prints and lines in every run
    struct Tally {
        int lines = 0;
        int exact = 0;
        int ridges = 0;
        int unsure = 0;   // lines meeting a break's end
        double countError = 0;
        double positionError = 0;
        int points = 0;
        std::vector<double> times;   // per line, scaled to 600 pixels
    };
    const int classes = int(std::size(degradations));
    std::vector<Tally> tallies(size_t(classes + 1));
    Tally& overall = tallies.back();
    for (int c = 0; c < classes; ++c) {
        Tally& tally = tallies[size_t(c)];
        // Two each of loops and whorls at 500 and 1000 PPI, as gray and as
        // colour scans, which are shown as 32-bit images.
        for (int variant = 0; variant < 16; ++variant) {
            const bool loop = variant % 2 == 0;
            const int ppi = variant / 2 % 2 ? 1000 : 500;
            SyntheticPrint print = syntheticPrint(loop, ppi, degradations[c], random);
            if (variant / 4 % 2)
                print.image = print.image.convertToFormat(QImage::Format_RGB32);
            for (int i = 0; i < 50; ++i) {
                CountedLine counted;
                if (!countedLine(print, random, &counted))
                    break;
                QVector<QPointF> suggested;
                const double time = seconds([&] {
                    suggested = ridgeprofile::crossings(print.image, counted.line);
                });
                const int least = int(counted.crossings.size());
                const int most = least + counted.unsure;
                const int found = int(suggested.size());
                const int error = found < least ? least - found : found > most ? found - most : 0;
                for (Tally* t : {&tally, &overall}) {
                    ++t->lines;
                    t->exact += error == 0;
                    t->ridges += least;
                    t->unsure += counted.unsure > 0;
                    t->countError += error;
                    t->times.push_back(time / counted.line.length() * 600);
                    // Distance to the nearest ridge centre line, in periods.
                    for (const QPointF& q : suggested) {
                        t->positionError += nearestWhole(print.field.phase(q));
                        ++t->points;
                    }
                }
            }
        }
    }
    auto share = [](double part, int whole) { return part / std::max(1, whole); };
    std::printf("bench ridge-suggest: %-9s %6s %8s %6s %9s %10s\n", "class", "lines", "exact",
                "MAE", "position", "per 600px");
    for (int c = 0; c <= classes; ++c) {
        const Tally& t = tallies[size_t(c)];
        std::printf("bench ridge-suggest: %-9s %6d %7.1f%% %6.3f %7.3f P %7.3f ms\n",
                    c < classes ? degradations[c].name : "overall", t.lines,
                    100 * share(t.exact, t.lines), share(t.countError, t.lines),
                    share(t.positionError, t.points), median(t.times) * 1000);
    }
    std::printf("bench ridge-suggest: %.1f ridges a line; %d lines pass a break's end, where "
                "either count is right\n",
                share(overall.ridges, overall.lines), overall.unsure);
    auto target = [&](const QString& figure, double value, const char* unit, bool atLeast,
                      double goal) {
        const bool ok = atLeast ? value >= goal : value <= goal;
        std::printf("bench ridge-suggest %s: %.3f %s (target %s %g) %s\n", qPrintable(figure),
                    value, unit, atLeast ? ">=" : "<=", goal, ok ? "ok" : "FAIL");
        ++*total;
        *met += ok ? 1 : 0;
    };
    for (int c = 0; c < classes; ++c)
        target(QString("exact %1").arg(degradations[c].name),
               100 * share(tallies[size_t(c)].exact, tallies[size_t(c)].lines), "%", true,
               c + 1 < classes ? 95 : 80);
    target("count error", share(overall.countError, overall.lines), "ridges", false, 0.2);
    target("position error", share(overall.positionError, overall.points), "periods", false, 0.2);
    target("time", median(overall.times) * 1000, "ms per 600 px", false, 2);
    std::fflush(stdout);
}

}
