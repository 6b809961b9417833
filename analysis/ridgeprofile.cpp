#include "analysis/ridgeprofile.h"

#include "analysis/ridgeflow.h"
#include "annotation/geometry.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <functional>
#include <queue>
#include <tuple>
#include <vector>

namespace ridgeprofile {

namespace {

// Samples along the line: about this many a ridge period, but no closer
// than half a pixel.
constexpr double samplesPerPeriod = 16;
constexpr double finestStep = 0.5;
// The profile reaches this many periods beyond each end, so a ridge under an
// end point is seen whole and can be told from one just inside.
constexpr double marginPeriods = 1.5;
// Ridge periods searched for along the line, in samples.
constexpr double shortestPeriod = 0.5 * samplesPerPeriod;
constexpr double longestPeriod = 2.5 * samplesPerPeriod;
// Each sample reads the print along the ridge through it, following the
// flow, in steps of this many periods: a sample's own darkness is the mean
// over this many steps each way; a gap in the ink is bridged where ridge lies
// on both sides within this many steps (a quarter period), and a pore, which
// has ridge on both flanks across as well, within this many (five eighths).
// A gap much longer than half a period is where the skin's own ridge ends,
// and stays a gap; the furrow past a ridge's end or inside a fork has ridge
// on one side only and is never filled.
constexpr double ridgeStep = 1.0 / 8;
constexpr int ownSteps = 1;
constexpr int gapSteps = 2;
constexpr int ridgeSteps = 5;
// The flanks looked at, this many periods to either side across the ridge.
constexpr double flankOffset = 0.18;
// Each reading is the mean of three points this many periods apart across
// the ridge, which quiets the paper's grain without joining two ridges.
constexpr double acrossSpread = 0.07;
// The flow's direction is trusted that far where its coherence is this high,
// not at all where it is this low: round a core or a triradius, where it
// turns fast, the reading keeps to the point rather than stray into the
// ridges beside it.
constexpr double sureCoherence = 0.5;
constexpr double leastCoherence = 0.25;
// A line closer to a ridge's direction than this sine is taken to cross it at
// this angle: the direction read from the print is too uncertain beyond.
constexpr double shallowestSine = 0.1;
// The profile is smoothed by a Gaussian this many periods wide (sigma).
constexpr double smoothing = 0.06;
// A ridge stands out from its furrows by this share of the local ridge/furrow
// contrast, measured over this many periods on each side; by this share of
// the contrast where the line's ridges are clearest, so the paper's grain in a
// scar or crease is no ridge; and by this many gray levels at least, so blank
// paper shows none.
constexpr double relativeDepth = 0.25;
constexpr double contrastWindow = 1;
constexpr double lineDepth = 0.1;
constexpr double leastDepth = 8;
// Dark dips closer than this many periods across the ridges are one ridge.
constexpr double closestRidges = 0.25;
// Ridges lie about a period apart: across a furrow this many periods wide a
// faint ridge was passed over if a dip stands out by this share of the local
// contrast, unless the ridge is darker again farther along (up to this many
// steps), by this share of the dip's depth: then it is a gap where a ridge
// ends, not a faint stretch of one.
constexpr double widestFurrow = 1.6;
constexpr double fillDepth = 0.25;
constexpr int farSteps = 12;
constexpr double breakDepth = 0.3;
// An end point lies on a ridge (the landmark's own) where the print there is
// darker than this share of the way from the ridge's darkest to its furrows.
constexpr double endLevel = 0.85;

// Gray values of any image format, read pixel by pixel so only the pixels
// near the line are ever touched. Transparent parts read as white paper.
class GrayPixels
{
public:
    explicit GrayPixels(const QImage& image)
        : image(image), bits(image.constBits()), stride(size_t(image.bytesPerLine())),
          width(image.width()), height(image.height())
    {
        switch (image.format()) {
        case QImage::Format_Grayscale8:
            kind = Gray8;
            break;
        case QImage::Format_RGB32:
        case QImage::Format_ARGB32_Premultiplied:
            kind = Premultiplied;
            break;
        default:
            kind = Other;
        }
    }

    double at(int x, int y) const
    {
        x = std::clamp(x, 0, width - 1);
        y = std::clamp(y, 0, height - 1);
        const uchar* line = bits + size_t(y) * stride;
        switch (kind) {
        case Gray8:
            return line[x];
        case Premultiplied: {
            const QRgb pixel = reinterpret_cast<const QRgb*>(line)[x];
            return qGray(pixel) + 255 - qAlpha(pixel);
        }
        case Other:
            break;
        }
        const QRgb pixel = image.pixel(x, y);
        return (qGray(pixel) * qAlpha(pixel) + 255 * (255 - qAlpha(pixel))) / 255.0;
    }

    // Bilinear between pixel centres; p in scene coordinates, where pixel
    // (i, j) covers the unit square from (i, j).
    double at(const QPointF& p) const
    {
        const double x = p.x() - 0.5;
        const double y = p.y() - 0.5;
        const double fx = std::floor(x);
        const double fy = std::floor(y);
        // Far outside the image every point reads as its nearest edge pixel;
        // the clamp keeps the conversion to int defined.
        const int ix = int(std::clamp(fx, -1.0, double(image.width())));
        const int iy = int(std::clamp(fy, -1.0, double(image.height())));
        const double ax = x - fx;
        const double ay = y - fy;
        const double top = at(ix, iy) * (1 - ax) + at(ix + 1, iy) * ax;
        const double bottom = at(ix, iy + 1) * (1 - ax) + at(ix + 1, iy + 1) * ax;
        return top * (1 - ay) + bottom * ay;
    }

private:
    enum Kind { Gray8, Premultiplied, Other };
    const QImage& image;
    const uchar* bits;
    size_t stride;
    int width;
    int height;
    Kind kind = Other;
};

std::vector<double> gaussianSmoothed(const std::vector<double>& values, double sigma)
{
    const int n = int(values.size());
    const int radius = std::max(1, int(std::ceil(3 * sigma)));
    std::vector<double> kernel(static_cast<size_t>(2 * radius + 1));
    for (int k = -radius; k <= radius; ++k)
        kernel[size_t(k + radius)] = std::exp(-0.5 * k * k / (sigma * sigma));
    std::vector<double> out(values.size());
    for (int i = 0; i < n; ++i) {
        double sum = 0;
        double weight = 0;
        for (int k = std::max(-radius, -i); k <= std::min(radius, n - 1 - i); ++k) {
            sum += values[size_t(i + k)] * kernel[size_t(k + radius)];
            weight += kernel[size_t(k + radius)];
        }
        out[size_t(i)] = sum / weight;
    }
    return out;
}

// The mean over a window of 2 * radius + 1 samples, shortened at the ends.
std::vector<double> boxMean(const std::vector<double>& values, int radius)
{
    const int n = int(values.size());
    std::vector<double> prefix(values.size() + 1, 0.0);
    for (int i = 0; i < n; ++i)
        prefix[size_t(i + 1)] = prefix[size_t(i)] + values[size_t(i)];
    std::vector<double> out(values.size());
    for (int i = 0; i < n; ++i) {
        const int a = std::max(0, i - radius);
        const int b = std::min(n, i + radius + 1);
        out[size_t(i)] = (prefix[size_t(b)] - prefix[size_t(a)]) / (b - a);
    }
    return out;
}

// The print along the line and beyond its ends, each sample read along the
// ridge through it, and samples spaced evenly across the ridges rather than
// along the line, so a ridge crossed obliquely looks like one crossed square
// and the period is the same all along.
struct Profile {
    std::vector<double> values;   // gray: low on ridges
    std::vector<double> along;    // line parameter of each sample, pixels from p1
    double step = finestStep;     // pixels across the ridges from one sample to the next
    double period = 0;            // the ridges' typical period along the line, samples
};

// The stretch of the line, extended by margin beyond its ends, that lies over
// the image or within margin of it, as line parameters in pixels from p1.
// Nothing beyond shows a ridge, and so the work is bounded by the image's size
// whatever the line. False when no part is near the image.
bool sampledStretch(const QLineF& line, const QSize& size, double margin, double* first, double* last)
{
    const double length = line.length();
    *first = -margin;
    *last = length + margin;
    const QRectF near(-margin, -margin, size.width() + 2 * margin, size.height() + 2 * margin);
    return clipToRect(line.p1(), (line.p2() - line.p1()) / length, near, first, last)
           && *last - *first >= 1;
}

// The gray value the ridge through p shows there: its own darkness, or, where
// it is lighter, the darkness that lies on both sides of it along the ridge,
// which fills a gap in the ink, a pore or the gap between dots but not the
// furrow past a ridge's end or inside a fork. With beyond, also the darkness
// on both sides farther along, up to farSteps.
double alongRidge(const GrayPixels& gray, const RidgeFlow& flow, const QPointF& p, double period,
                  double* beyond = nullptr)
{
    const int steps = beyond ? farSteps : ridgeSteps;
    const double sure = std::clamp((flow.coherence(p) - leastCoherence) / (sureCoherence - leastCoherence),
                                   0.0, 1.0);
    const double step = ridgeStep * period * sure;
    double values[2 * farSteps + 1];
    const QPointF start = flow.along(p);
    const QPointF spread = QPointF(-start.y(), start.x()) * (acrossSpread * period);
    auto read = [&](const QPointF& q) { return (gray.at(q - spread) + gray.at(q) + gray.at(q + spread)) / 3; };
    values[farSteps] = read(p);
    for (int sign : {-1, 1}) {
        QPointF q = p;
        QPointF u = start * sign;
        for (int k = 1; k <= steps; ++k) {
            // The direction again every few steps, turned to keep going the same way.
            if (k % 3 == 0) {
                QPointF next = flow.along(q);
                if (QPointF::dotProduct(next, u) < 0)
                    next = -next;
                u = next;
            }
            q += u * step;
            values[farSteps + sign * k] = read(q);
        }
    }
    auto mean = [&](int from, int to) {
        double sum = 0;
        for (int k = from; k <= to; ++k)
            sum += values[k + farSteps];
        return sum / (to - from + 1);
    };
    const double own = mean(-ownSteps, ownSteps);
    // The darkest sample on each side within reach; the lighter of the two is
    // what lies on both.
    auto both = [&](int from, int to) {
        double sides[2] = {255, 255};
        for (int k = from; k <= to; ++k) {
            sides[0] = std::min(sides[0], values[farSteps - k]);
            sides[1] = std::min(sides[1], values[farSteps + k]);
        }
        return std::max(sides[0], sides[1]);
    };
    if (beyond)
        *beyond = both(ridgeSteps + 1, farSteps);
    const QPointF across(-start.y(), start.x());
    const double flanks = std::max(gray.at(p + across * (flankOffset * period)),
                                   gray.at(p - across * (flankOffset * period)));
    return std::min({own, both(1, gapSteps), std::max(both(1, ridgeSteps), flanks)});
}
Profile sample(const QImage& image, const RidgeFlow& flow, const QLineF& line)
{
    Profile profile;
    const double typical = flow.typicalPeriod();
    if (typical <= 0)
        return profile;
    double first = 0;
    double last = 0;
    if (!sampledStretch(line, image.size(), marginPeriods * typical, &first, &last))
        return profile;
    const double step = std::max(finestStep, typical / samplesPerPeriod);
    const QPointF u = (line.p2() - line.p1()) / line.length();
    const GrayPixels gray(image);

    // Samples along the line, each read along the ridge through it, and their
    // distance across the ridges from the first.
    const int n = int(std::ceil((last - first) / step)) + 1;
    std::vector<double> values(static_cast<size_t>(n));
    std::vector<double> across(values.size());
    std::vector<double> periods;
    double distance = 0;
    for (int i = 0; i < n; ++i) {
        const QPointF centre = line.p1() + u * (first + i * step);
        const QPointF ridge = flow.along(centre);
        const double period = flow.period(centre);
        values[size_t(i)] = alongRidge(gray, flow, centre, period > 0 ? period : typical);
        if (flow.foreground(centre) > 0.5)
            periods.push_back(period);
        const double sine = std::abs(ridge.x() * u.y() - ridge.y() * u.x());
        if (i > 0)
            distance += step * std::max(sine, shallowestSine);
        across[size_t(i)] = distance;
    }

    // Resampled evenly across the ridges.
    const size_t m = size_t(distance / step) + 1;
    profile.values.resize(m);
    profile.along.resize(m);
    profile.step = step;
    int i = 0;
    for (size_t k = 0; k < m; ++k) {
        const double d = double(k) * step;
        while (i + 2 < n && across[size_t(i + 1)] < d)
            ++i;
        const double span = n > 1 ? across[size_t(i + 1)] - across[size_t(i)] : 0;
        const double f = span > 0 ? std::clamp((d - across[size_t(i)]) / span, 0.0, 1.0) : 0;
        const size_t next = size_t(std::min(i + 1, n - 1));
        profile.values[k] = values[size_t(i)] * (1 - f) + values[next] * f;
        profile.along[k] = first + (i + f) * step;
    }
    if (!periods.empty()) {
        std::nth_element(periods.begin(), periods.begin() + long(periods.size() / 2), periods.end());
        profile.period = periods[periods.size() / 2] / step;
    }
    return profile;
}

// The ridge period of the profile in samples, from the first clear peak of its
// autocorrelation once the slow changes of inking are taken out; 0 when the
// profile shows no regular ridges.
double periodSamples(const Profile& profile)
{
    const std::vector<double>& v = profile.values;
    const int n = int(v.size());
    if (n < 2)
        return 0;
    const std::vector<double> trend = boxMean(v, int(longestPeriod / 2));
    std::vector<double> d(v.size());
    double energy = 0;
    for (int i = 0; i < n; ++i) {
        d[size_t(i)] = v[size_t(i)] - trend[size_t(i)];
        energy += d[size_t(i)] * d[size_t(i)];
    }
    const int lo = int(shortestPeriod);
    const int hi = std::min(int(longestPeriod), n / 2);
    if (energy <= 0 || hi <= lo + 2)
        return 0;
    std::vector<double> r(size_t(hi + 2), 0.0);
    for (int k = lo - 1; k <= hi + 1; ++k) {
        double sum = 0;
        for (int i = 0; i + k < n; ++i)
            sum += d[size_t(i)] * d[size_t(i + k)];
        r[size_t(k)] = sum / energy * n / (n - k);
    }
    const double best = *std::max_element(r.begin() + lo, r.begin() + hi + 1);
    if (best < 0.1)
        return 0;
    // The first peak that stands out is the period; later ones are its
    // multiples, and may be higher where breaks or islands repeat.
    for (int k = lo; k <= hi; ++k) {
        const double a = r[size_t(k - 1)];
        const double b = r[size_t(k)];
        const double c = r[size_t(k + 1)];
        if (b >= std::max(0.1, 0.3 * best) && b >= a && b >= c) {
            const double curvature = a - 2 * b + c;
            return k + (curvature < 0 ? 0.5 * (a - c) / curvature : 0);
        }
    }
    return 0;
}

// Local ridge/furrow contrast: the peak-to-peak swing a wave of the same
// spread would have, about the local mean, over a period on each side.
std::vector<double> localContrast(const std::vector<double>& s, double period)
{
    const std::vector<double> mean = boxMean(s, std::max(1, int(0.5 * period)));
    std::vector<double> square(s.size());
    for (size_t i = 0; i < s.size(); ++i)
        square[i] = (s[i] - mean[i]) * (s[i] - mean[i]);
    std::vector<double> contrast = boxMean(square, std::max(1, int(contrastWindow * period)));
    for (double& c : contrast)
        c = 2 * std::sqrt(2 * c);
    return contrast;
}

// The alternating minima and maxima of s that stand out: the weakest
// neighbouring minimum and maximum are removed, together, while their
// difference is below threshold(a, b). So a pore's bright spot goes with the
// shallower half of its ridge, and a faint speck with its furrow.
std::vector<int> salientExtrema(const std::vector<double>& s,
                                const std::function<double(int, int)>& threshold)
{
    const int n = int(s.size());
    std::vector<int> at;
    for (int i = 1; i + 1 < n; ++i) {
        // A flat stretch counts as one extremum at its middle.
        int j = i + 1;
        while (j < n - 1 && s[size_t(j)] == s[size_t(i)])
            ++j;
        const double before = s[size_t(i)] - s[size_t(i - 1)];
        const double after = s[size_t(j)] - s[size_t(i)];
        if ((before < 0 && after > 0) || (before > 0 && after < 0))
            at.push_back((i + j - 1) / 2);
        i = j - 1;
    }
    const int m = int(at.size());
    std::vector<int> prev(static_cast<size_t>(m)), next(prev.size());
    std::vector<bool> alive(prev.size(), true);
    for (int k = 0; k < m; ++k) {
        prev[size_t(k)] = k - 1;
        next[size_t(k)] = k + 1 < m ? k + 1 : -1;
    }
    // Neighbouring pairs by their difference relative to the threshold; a
    // pair taken apart by an earlier removal is skipped when it comes up.
    using Pair = std::tuple<double, int, int>;
    std::priority_queue<Pair, std::vector<Pair>, std::greater<Pair>> weakest;
    auto consider = [&](int a, int b) {
        const double ratio = std::abs(s[size_t(at[size_t(a)])] - s[size_t(at[size_t(b)])])
                             / threshold(at[size_t(a)], at[size_t(b)]);
        if (ratio < 1)
            weakest.emplace(ratio, a, b);
    };
    for (int k = 0; k + 1 < m; ++k)
        consider(k, k + 1);
    while (!weakest.empty()) {
        const auto [ratio, a, b] = weakest.top();
        weakest.pop();
        if (!alive[size_t(a)] || next[size_t(a)] != b)
            continue;
        alive[size_t(a)] = false;
        alive[size_t(b)] = false;
        const int before = prev[size_t(a)];
        const int after = next[size_t(b)];
        if (before >= 0)
            next[size_t(before)] = after;
        if (after >= 0)
            prev[size_t(after)] = before;
        if (before >= 0 && after >= 0)
            consider(before, after);
    }
    std::vector<int> kept;
    for (int k = 0; k < m; ++k)
        if (alive[size_t(k)])
            kept.push_back(at[size_t(k)]);
    return kept;
}

struct Ridge {
    double centre;   // in samples
    double from;     // the dark part, in samples
    double to;
    double darkest;  // its gray level, and its furrows'
    double rim;
};

// beyond(sample) is the darkness along the ridge through a sample, farther
// from it than a gap in the ink reaches.
std::vector<Ridge> ridges(const Profile& profile, double period, const std::function<double(int)>& beyond)
{
    const std::vector<double>& raw = profile.values;
    const int n = int(raw.size());
    const double sigma = std::max(1.0, smoothing * period);
    const std::vector<double> s = gaussianSmoothed(raw, sigma);
    const std::vector<double> contrast = localContrast(s, period);
    // The contrast where the line's ridges are clearest: the tenth of its
    // samples with the highest.
    std::vector<double> ranked = contrast;
    const auto clearest = ranked.begin() + long(ranked.size() * 9 / 10);
    std::nth_element(ranked.begin(), clearest, ranked.end());
    const double floor = std::max(lineDepth * *clearest, leastDepth);
    std::vector<int> extrema = salientExtrema(s, [&](int a, int b) {
        return std::max(relativeDepth * contrast[size_t((a + b) / 2)], floor);
    });
    auto isMinimum = [&](size_t k) {
        const double here = s[size_t(extrema[k])];
        return k > 0 ? here < s[size_t(extrema[k - 1])] : k + 1 < extrema.size()
                                                             && here < s[size_t(extrema[k + 1])];
    };

    // Across the ridges neighbours lie a period apart; two dark dips much
    // closer are one ridge seen twice (split by a pore, or both ends of a
    // break the line passes at a shallow angle). The deeper dip stands for both.
    for (size_t k = 0; k + 2 < extrema.size();) {
        if (isMinimum(k) && extrema[k + 2] - extrema[k] < closestRidges * period) {
            const size_t drop = s[size_t(extrema[k])] <= s[size_t(extrema[k + 2])] ? k + 1 : k;
            extrema.erase(extrema.begin() + long(drop), extrema.begin() + long(drop) + 2);
            k = k > 0 ? k - 1 : 0;
        } else {
            ++k;
        }
    }

    // Neither is a stretch of two periods or more without a ridge, save where
    // ridges end: a faint or broken ridge there still leaves a dip, shallower
    // than the rest, which is taken when it stands out from the grain.
    for (size_t k = 0; k + 2 < extrema.size(); ++k) {
        if (!isMinimum(k) || extrema[k + 2] - extrema[k] < widestFurrow * period)
            continue;
        const int from = extrema[k] + int(0.5 * period);
        const int to = extrema[k + 2] - int(0.5 * period);
        int x = from;
        for (int i = from; i <= to; ++i)
            if (s[size_t(i)] < s[size_t(x)])
                x = i;
        const int left = int(std::max_element(s.begin() + extrema[k], s.begin() + x) - s.begin());
        const int right = int(std::max_element(s.begin() + x, s.begin() + extrema[k + 2]) - s.begin());
        const double depth = std::min(s[size_t(left)], s[size_t(right)]) - s[size_t(x)];
        if (x <= from || x >= to || depth < std::max(fillDepth * contrast[size_t(x)], 0.5 * leastDepth))
            continue;
        // A gap in a ridge that is dark again a period on along it is where
        // the ridge ends, not a faint stretch of it.
        if (beyond(x) < s[size_t(x)] - breakDepth * depth)
            continue;
        extrema[k + 1] = left;
        extrema.insert(extrema.begin() + long(k) + 2, {x, right});
    }

    std::vector<Ridge> found;
    for (size_t k = 0; k < extrema.size(); ++k) {
        if (!isMinimum(k))
            continue;
        const int m = extrema[k];
        const bool leftFurrow = k > 0;
        const bool rightFurrow = k + 1 < extrema.size();
        const int left = leftFurrow ? extrema[k - 1] : 0;
        const int right = rightFurrow ? extrema[k + 1] : n - 1;
        // The profile's ends are no furrows: a ridge the line runs along from
        // an end point grows darker or fainter along it, and only the furrow
        // on its other side tells how dark it is.
        const double rim = leftFurrow && rightFurrow ? std::min(s[size_t(left)], s[size_t(right)])
                           : leftFurrow              ? s[size_t(left)]
                           : rightFurrow             ? s[size_t(right)]
                                                     : *std::max_element(s.begin(), s.end());
        const double half = 0.5 * (s[size_t(m)] + rim);
        // The dark part runs from the first sample below half depth after the
        // left furrow to the last one before the right furrow, so a pore's
        // bright spot inside it does not shift the centre.
        int a = left;
        while (a < m && s[size_t(a)] >= half)
            ++a;
        int b = right;
        while (b > m && s[size_t(b)] >= half)
            --b;
        auto crossing = [&](int outer, int inner) {
            const double so = s[size_t(outer)];
            const double si = s[size_t(inner)];
            return so == si ? double(inner) : outer + (inner - outer) * (so - half) / (so - si);
        };
        const double from = a > left ? crossing(a - 1, a) : a;
        const double to = b < right ? crossing(b + 1, b) : b;
        found.push_back({0.5 * (from + to), from, to, s[size_t(m)], rim});
    }
    return found;
}

// Lines shorter than a pixel cross no ridge, and coordinates that are not
// finite have no place on the print.
bool measurable(const QImage& image, const QLineF& line)
{
    const double length = line.length();
    return !image.isNull() && std::isfinite(length) && length >= 1 && std::isfinite(line.x1())
           && std::isfinite(line.y1());
}

}

double period(const QImage& image, const QLineF& line)
{
    if (!measurable(image, line))
        return 0;
    const Profile profile = sample(image, *RidgeFlow::of(image), line);
    const double samples = periodSamples(profile);
    if (samples <= 0)
        return 0;
    // Across the ridges the period is that many samples; along the line it is
    // longer by the line's obliqueness, taken over its whole length.
    const double across = double(profile.values.size() - 1) * profile.step;
    const double along = profile.along.back() - profile.along.front();
    return samples * profile.step * (across > 0 ? along / across : 1);
}

QVector<QPointF> crossings(const QImage& image, const QLineF& line)
{
    QVector<QPointF> points;
    if (!measurable(image, line))
        return points;
    const double length = line.length();
    const RidgeFlow& flow = *RidgeFlow::of(image);
    const Profile profile = sample(image, flow, line);
    if (profile.values.size() < 2)
        return points;
    // The flow's period where the line crosses ridges, else the profile's own.
    const double samples = profile.period > 0 ? profile.period : periodSamples(profile);
    if (samples <= 0)
        return points;
    auto lineParameter = [&](double sample) {
        const double x = std::clamp(sample, 0.0, double(profile.along.size() - 1));
        const size_t k = std::min(size_t(x), profile.along.size() - 2);
        const double f = x - double(k);
        return profile.along[k] * (1 - f) + profile.along[k + 1] * f;
    };
    // The print's own gray at a point of the line, unsmoothed.
    auto grayAt = [&](double t) {
        const auto k = std::lower_bound(profile.along.begin(), profile.along.end(), t);
        return profile.values[size_t(std::min(k - profile.along.begin(), long(profile.values.size() - 1)))];
    };
    const QPointF direction = (line.p2() - line.p1()) / length;
    const GrayPixels gray(image);
    auto beyond = [&](int sample) {
        const QPointF p = line.p1() + direction * lineParameter(sample);
        const double period = flow.period(p);
        double far = 255;
        alongRidge(gray, flow, p, period > 0 ? period : flow.typicalPeriod(), &far);
        return far;
    };
    for (const Ridge& r : ridges(profile, samples, beyond)) {
        const double from = lineParameter(r.from);
        const double to = lineParameter(r.to);
        // The landmarks' own ridges: an end point on the ridge's dark part,
        // as the print itself shows it there (smoothing would widen the ridge
        // over an end point in the furrow right beside it).
        const double onRidge = r.darkest + endLevel * (r.rim - r.darkest);
        if ((from <= 0 && grayAt(0) < onRidge) || (to >= length && grayAt(length) < onRidge))
            continue;
        if (to <= 0 || from >= length)
            continue;
        const QPointF centre = line.p1() + direction * lineParameter(r.centre);
        // Paper, a smudge or a scar's grain shows no ridges.
        if (flow.foreground(centre) < 0.5)
            continue;
        points << centre;
    }
    return points;
}

}
