#include "analysis/ridgeprofile.h"

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

// Profile samples per pixel along the line.
constexpr double samplesPerPixel = 2;
constexpr double sampleStep = 1 / samplesPerPixel;
// The profile reaches this far beyond each end, so a ridge under an end point
// is seen whole and can be told from one just inside.
constexpr double marginPixels = 32;
// Ridge periods searched for across the ridges, in pixels: 0.4 mm at 250 PPI
// up to 0.6 mm at 1700 PPI.
constexpr double shortestPeriod = 4;
constexpr double longestPeriod = 40;
// The ridges' direction is read from a window this many pixels on each side of
// a point, a ridge period at 1000 PPI; where the gradients in it agree less
// than this (coherence, 0 to 1), from one this many pixels along the line.
constexpr int orientationRadius = 10;
constexpr double leastCoherence = 0.5;
constexpr int wideOrientationRadius = 40;
// Each sample is the mean of this many points along the ridge through it,
// spread over this many pixels on each side.
constexpr int bandSamples = 7;
constexpr double bandHalfLength = 3;
// A line closer to a ridge's direction than this sine is taken to cross it at
// this angle: the direction read from the print is too uncertain beyond.
constexpr double shallowestSine = 0.1;
// The profile is smoothed by a Gaussian this many periods wide (sigma).
constexpr double smoothing = 0.1;
// A ridge stands out from its furrows by this share of the local ridge/furrow
// contrast, measured over this many periods on each side; by this share of
// the contrast where the line's ridges are clearest, so the paper's grain in a
// scar or crease is no ridge; and by this many gray levels at least, so blank
// paper shows none.
constexpr double relativeDepth = 0.35;
constexpr double contrastWindow = 1;
constexpr double lineDepth = 0.1;
constexpr double leastDepth = 8;
// Dark dips closer than this many periods across the ridges are one ridge.
constexpr double closestRidges = 0.45;

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

// The gray profile along the line and beyond its ends by marginPixels. Each
// sample is averaged along the ridge through it, which quiets the paper's
// grain without blurring one ridge into the next; and samples are spaced
// evenly across the ridges rather than along the line, so a ridge crossed
// obliquely looks like one crossed square and the period is the same all along.
struct Profile {
    std::vector<double> values;
    std::vector<double> along;   // line parameter of each sample, pixels from p1
};

// The stretch of the line, extended by marginPixels beyond its ends, that
// lies over the image or within marginPixels of it, as line parameters in
// pixels from p1. Nothing beyond shows a ridge, and so the work is bounded by
// the image's size whatever the line. False when no part is near the image.
bool sampledStretch(const QLineF& line, const QSize& size, double* first, double* last)
{
    const double length = line.length();
    *first = -marginPixels;
    *last = length + marginPixels;
    const QRectF near(-marginPixels, -marginPixels, size.width() + 2 * marginPixels,
                      size.height() + 2 * marginPixels);
    return clipToRect(line.p1(), (line.p2() - line.p1()) / length, near, first, last)
           && *last - *first >= 1;
}

// The direction of the ridges at every pixel step along the line, as the
// doubled angle of the gray gradient from the line's direction (cos, sin), so
// that opposite gradients agree and can be averaged.
void ridgeDirections(const GrayPixels& gray, const QLineF& line, double first, int columns,
                     std::vector<double>* c2, std::vector<double>* s2)
{
    const QPointF u = (line.p2() - line.p1()) / line.length();
    const QPointF v(-u.y(), u.x());
    const int R = orientationRadius;
    const int rows = 2 * R + 1;
    const size_t width = size_t(columns);
    // A strip of the print along the line, one pixel apart.
    std::vector<double> strip(width * size_t(rows));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            strip[size_t(r) * width + size_t(c)] =
                gray.at(line.p1() + u * (first + c) + v * double(r - R));
    // The structure tensor of each column, then summed over R columns on each
    // side: its main direction is the gradient, across the ridges.
    std::vector<double> tt(width, 0.0), oo(width, 0.0), to(width, 0.0);
    for (int c = 1; c + 1 < columns; ++c)
        for (int r = 1; r + 1 < rows; ++r) {
            const size_t i = size_t(r) * width + size_t(c);
            const double gt = strip[i + 1] - strip[i - 1];
            const double go = strip[i + width] - strip[i - width];
            tt[size_t(c)] += gt * gt;
            oo[size_t(c)] += go * go;
            to[size_t(c)] += gt * go;
        }
    const std::vector<double> stt = boxMean(tt, R);
    const std::vector<double> soo = boxMean(oo, R);
    const std::vector<double> sto = boxMean(to, R);
    const std::vector<double> wtt = boxMean(tt, wideOrientationRadius);
    const std::vector<double> woo = boxMean(oo, wideOrientationRadius);
    const std::vector<double> wto = boxMean(to, wideOrientationRadius);
    c2->resize(width);
    s2->resize(width);
    for (size_t c = 0; c < width; ++c) {
        double a = stt[c] - soo[c];
        double b = 2 * sto[c];
        double norm = std::hypot(a, b);
        // Where faintness or noise leave the direction unclear (the gradients
        // disagree), it is read from a longer stretch of the line.
        if (norm < leastCoherence * (stt[c] + soo[c])) {
            a = wtt[c] - woo[c];
            b = 2 * wto[c];
            norm = std::hypot(a, b);
        }
        // Where the print is flat, the ridges are taken square to the line.
        (*c2)[c] = norm > 0 ? a / norm : 1;
        (*s2)[c] = norm > 0 ? b / norm : 0;
    }
}

Profile sample(const QImage& image, const QLineF& line)
{
    Profile profile;
    double first = 0;
    double last = 0;
    if (!sampledStretch(line, image.size(), &first, &last))
        return profile;
    const QPointF u = (line.p2() - line.p1()) / line.length();
    const QPointF v(-u.y(), u.x());
    const GrayPixels gray(image);
    const int columns = int(std::ceil(last - first)) + 1;
    std::vector<double> c2, s2;
    ridgeDirections(gray, line, first, columns, &c2, &s2);

    // Samples along the line, each averaged along the ridge through it, and
    // their distance across the ridges from the first.
    const int n = int(std::ceil((last - first) / sampleStep)) + 1;
    std::vector<double> values(static_cast<size_t>(n));
    std::vector<double> across(values.size());
    double distance = 0;
    for (int i = 0; i < n; ++i) {
        const double t = first + i * sampleStep;
        const double x = std::clamp(t - first, 0.0, double(columns - 1));
        const int c = std::min(int(x), columns - 2);
        const double f = x - c;
        // The gradient's angle from the line, halved from the doubled one and
        // taken between -90 and 90 degrees, so its cosine is not negative.
        const double cc = c2[size_t(c)] * (1 - f) + c2[size_t(c + 1)] * f;
        const double ss = s2[size_t(c)] * (1 - f) + s2[size_t(c + 1)] * f;
        const double norm = std::hypot(cc, ss);
        const double cos2 = norm > 0 ? cc / norm : 1;
        const double cosine = std::sqrt(std::max(0.0, 0.5 * (1 + cos2)));
        const double sine = std::copysign(std::sqrt(std::max(0.0, 0.5 * (1 - cos2))), ss);
        const QPointF ridge = -u * sine + v * cosine;
        const QPointF centre = line.p1() + u * t;
        double sum = 0;
        for (int b = 0; b < bandSamples; ++b)
            sum += gray.at(centre + ridge * (bandHalfLength * (2.0 * b / (bandSamples - 1) - 1)));
        values[size_t(i)] = sum / bandSamples;
        if (i > 0)
            distance += sampleStep * std::max(cosine, shallowestSine);
        across[size_t(i)] = distance;
    }

    // Resampled evenly across the ridges.
    const size_t m = size_t(distance / sampleStep) + 1;
    profile.values.resize(m);
    profile.along.resize(m);
    int i = 0;
    for (size_t k = 0; k < m; ++k) {
        const double d = double(k) * sampleStep;
        while (i + 2 < n && across[size_t(i + 1)] < d)
            ++i;
        const double span = across[size_t(i + 1)] - across[size_t(i)];
        const double f = span > 0 ? std::clamp((d - across[size_t(i)]) / span, 0.0, 1.0) : 0;
        profile.values[k] = values[size_t(i)] * (1 - f) + values[size_t(i + 1)] * f;
        profile.along[k] = first + (i + f) * sampleStep;
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
    const std::vector<double> trend = boxMean(v, int(longestPeriod * samplesPerPixel / 2));
    std::vector<double> d(v.size());
    double energy = 0;
    for (int i = 0; i < n; ++i) {
        d[size_t(i)] = v[size_t(i)] - trend[size_t(i)];
        energy += d[size_t(i)] * d[size_t(i)];
    }
    const int lo = int(shortestPeriod * samplesPerPixel);
    const int hi = std::min(int(longestPeriod * samplesPerPixel), n / 2);
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
};

std::vector<Ridge> ridges(const Profile& profile, double period)
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
        found.push_back({0.5 * (from + to), from, to});
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
    const Profile profile = sample(image, line);
    const double samples = periodSamples(profile);
    if (samples <= 0)
        return 0;
    // Across the ridges the period is that many samples; along the line it is
    // longer by the line's obliqueness, taken over its whole length.
    const double across = double(profile.values.size() - 1) * sampleStep;
    const double along = profile.along.back() - profile.along.front();
    return samples * sampleStep * (across > 0 ? along / across : 1);
}

QVector<QPointF> crossings(const QImage& image, const QLineF& line)
{
    QVector<QPointF> points;
    if (!measurable(image, line))
        return points;
    const double length = line.length();
    const Profile profile = sample(image, line);
    const double samples = periodSamples(profile);
    if (samples <= 0)
        return points;
    auto lineParameter = [&](double sample) {
        const double x = std::clamp(sample, 0.0, double(profile.along.size() - 1));
        const size_t k = std::min(size_t(x), profile.along.size() - 2);
        const double f = x - double(k);
        return profile.along[k] * (1 - f) + profile.along[k + 1] * f;
    };
    const QPointF direction = (line.p2() - line.p1()) / length;
    for (const Ridge& r : ridges(profile, samples)) {
        const double from = lineParameter(r.from);
        const double to = lineParameter(r.to);
        // The landmarks' own ridges: an end point on the ridge's dark part.
        if (from <= 0 || to >= length)
            continue;
        points << line.p1() + direction * lineParameter(r.centre);
    }
    return points;
}

}
