#include "synth/syntheticprint.h"

#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <random>

namespace synth {

namespace {

// Ridges are grown this many pixels apart on average.
constexpr double grownPeriod = 6;
// The oriented filters: directions, and periods from 0.84 to 1.16 of the mean
// (the model's spacing waves stay within 0.92 to 1.08).
constexpr int directions = 36;
constexpr int periods = 5;
constexpr double shortestPeriod = 0.84;
constexpr double longestPeriod = 1.16;
// Gaussian envelope of the filters, in periods: about a ridge and its furrows
// on each side, which lets ridges end and fork where their phases disagree.
constexpr double envelope = 0.45;
constexpr int growthSteps = 16;

double uniform(std::mt19937& random, double a, double b)
{
    return std::uniform_real_distribution<double>(a, b)(random);
}

struct FilterBank {
    int radius = 0;
    int side = 0;
    std::vector<float> taps;   // directions * periods kernels of side * side

    FilterBank()
    {
        radius = int(std::ceil(2.2 * envelope * grownPeriod * longestPeriod));
        side = 2 * radius + 1;
        taps.resize(size_t(directions * periods * side * side));
        for (int o = 0; o < directions; ++o)
            for (int p = 0; p < periods; ++p) {
                const double theta = M_PI * o / directions;
                const double period =
                    grownPeriod * (shortestPeriod + (longestPeriod - shortestPeriod) * p / (periods - 1));
                const double sigma = envelope * period;
                float* k = kernel(o * periods + p);
                std::vector<double> gauss(size_t(side * side));
                double sum = 0, gaussSum = 0;
                for (int v = -radius; v <= radius; ++v)
                    for (int u = -radius; u <= radius; ++u) {
                        const double g = std::exp(-(u * u + v * v) / (2 * sigma * sigma));
                        const double across = -u * std::sin(theta) + v * std::cos(theta);
                        const size_t i = size_t((v + radius) * side + u + radius);
                        gauss[i] = g;
                        k[i] = float(g * std::cos(2 * M_PI * across / period));
                        sum += k[i];
                        gaussSum += g;
                    }
                // No response to flat gray, and every kernel of the same strength.
                double energy = 0;
                for (size_t i = 0; i < gauss.size(); ++i) {
                    k[i] -= float(gauss[i] * sum / gaussSum);
                    energy += double(k[i]) * k[i];
                }
                for (size_t i = 0; i < gauss.size(); ++i)
                    k[i] = float(k[i] / std::sqrt(energy));
            }
    }
    float* kernel(int index) { return taps.data() + size_t(index) * size_t(side * side); }
    const float* kernel(int index) const { return taps.data() + size_t(index) * size_t(side * side); }
};

// Each pixel filtered with its own kernel.
cv::Mat filtered(const cv::Mat& image, const std::vector<int>& kernelOf, const FilterBank& bank)
{
    cv::Mat padded;
    cv::copyMakeBorder(image, padded, bank.radius, bank.radius, bank.radius, bank.radius,
                       cv::BORDER_REFLECT);
    cv::Mat out(image.size(), CV_32F);
    const int side = bank.side;
    for (int y = 0; y < image.rows; ++y) {
        float* o = out.ptr<float>(y);
        for (int x = 0; x < image.cols; ++x) {
            const float* k = bank.kernel(kernelOf[size_t(y * image.cols + x)]);
            float sum = 0;
            for (int v = 0; v < side; ++v) {
                const float* row = padded.ptr<float>(y + v) + x;
                const float* kr = k + v * side;
                for (int u = 0; u < side; ++u)
                    sum += row[u] * kr[u];
            }
            o[x] = sum;
        }
    }
    return out;
}

double rms(const cv::Mat& m)
{
    return std::sqrt(m.dot(m) / double(m.total()));
}

// A smooth random field: a few waves of the given wavelengths (pixels) and
// total amplitude, about zero.
cv::Mat waves(cv::Size size, std::mt19937& random, int n, double shortest, double longest,
              double amplitude)
{
    cv::Mat out(size, CV_32F, cv::Scalar(0));
    for (int i = 0; i < n; ++i) {
        const double direction = uniform(random, 0, 2 * M_PI);
        const double k = 2 * M_PI / uniform(random, shortest, longest);
        const double kx = k * std::cos(direction);
        const double ky = k * std::sin(direction);
        const double phase = uniform(random, 0, 2 * M_PI);
        const double a = amplitude / n * uniform(random, 0.6, 1.4);
        for (int y = 0; y < size.height; ++y) {
            float* row = out.ptr<float>(y);
            for (int x = 0; x < size.width; ++x)
                row[x] += float(a * std::sin(kx * x + ky * y + phase));
        }
    }
    return out;
}

// Linear ramp from 1 inside radius to 0 outside, one pixel wide: the
// anti-aliased edge of a round mark.
double inside(double distance, double radius)
{
    return std::clamp(0.5 - (distance - radius), 0.0, 1.0);
}

}

Skin grow(const FlowModel& model, quint32 seed)
{
    static const FilterBank bank;
    std::mt19937 random(seed);
    Skin skin;
    skin.model = model;
    skin.pixelsPerMm = grownPeriod / model.meanPeriod();
    const int w = int(std::ceil(model.size().width() * skin.pixelsPerMm));
    const int h = int(std::ceil(model.size().height() * skin.pixelsPerMm));

    // The kernel of every pixel, from the model's direction and period there.
    std::vector<int> kernelOf(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QPointF mm((x + 0.5) / skin.pixelsPerMm, (y + 0.5) / skin.pixelsPerMm);
            const int o = int(std::lround(model.orientation(mm) / M_PI * directions)) % directions;
            const double relative = model.period(mm) / model.meanPeriod();
            const int p = std::clamp(int(std::lround((relative - shortestPeriod)
                                                     / (longestPeriod - shortestPeriod) * (periods - 1))),
                                     0, periods - 1);
            kernelOf[size_t(y * w + x)] = o * periods + p;
        }

    // From white noise, each step filtered along the flow and pressed towards
    // ridge (+1) or furrow (-1): stripes organise themselves, and where two
    // systems of them meet out of phase a ridge ends or forks.
    cv::Mat ridges(h, w, CV_32F);
    std::normal_distribution<float> normal(0, 1);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            ridges.at<float>(y, x) = normal(random);
    for (int step = 0; step < growthSteps; ++step) {
        cv::Mat next = filtered(ridges, kernelOf, bank);
        next *= 2.5 / rms(next);
        ridges = cv::max(cv::min(next, 1.0), -1.0);
    }
    // The last step unpressed: a smooth signal whose level sets are the ridge
    // edges, so they can be drawn at any resolution.
    skin.field = filtered(ridges, kernelOf, bank);
    skin.field /= rms(skin.field);
    // Ridges somewhat narrower than furrows on the whole, wider in places.
    skin.level = waves(skin.field.size(), random, 3, 8 * grownPeriod, 25 * grownPeriod, 0.5);
    skin.level += 0.1;
    return skin;
}

Print render(const Skin& skin, int ppi)
{
    Print print;
    print.model = skin.model;
    print.ppi = ppi;
    print.pixelsPerMm = ppi / 25.4;
    const int w = int(std::lround(skin.model.size().width() * print.pixelsPerMm));
    const int h = int(std::lround(skin.model.size().height() * print.pixelsPerMm));
    cv::Mat signal, level;
    cv::resize(skin.field, signal, cv::Size(w, h), 0, 0, cv::INTER_CUBIC);
    cv::resize(skin.level, level, cv::Size(w, h), 0, 0, cv::INTER_LINEAR);
    signal -= level;
    level.release();
    cv::Mat gx, gy;
    cv::Sobel(signal, gx, CV_32F, 1, 0, 3, 1.0 / 8);
    cv::Sobel(signal, gy, CV_32F, 0, 1, 3, 1.0 / 8);
    cv::Mat slope;
    cv::magnitude(gx, gy, slope);
    gx.release();
    gy.release();
    // Distance to the edge from the signal's value and slope, good near the
    // edges, which is where it is used; and no ridge off the skin.
    const double far = 0.5 * skin.model.meanPeriod() * print.pixelsPerMm;
    print.edge.create(h, w, CV_32F);
    for (int y = 0; y < h; ++y) {
        const float* s = signal.ptr<float>(y);
        const float* g = slope.ptr<float>(y);
        float* e = print.edge.ptr<float>(y);
        for (int x = 0; x < w; ++x) {
            double d = std::clamp(double(s[x]) / std::max(double(g[x]), 1e-3), -far, far);
            const double skinEdge =
                print.model.inside(QPointF(x + 0.5, y + 0.5) / print.pixelsPerMm) * print.pixelsPerMm;
            e[x] = float(std::min(d, skinEdge));
        }
    }
    signal.release();
    slope.release();
    cv::Mat mask = print.edge > 0;
    print.ridges = QImage(w, h, QImage::Format_Grayscale8);
    for (int y = 0; y < h; ++y)
        std::copy_n(mask.ptr<uchar>(y), w, print.ridges.scanLine(y));
    const int dotsPerMeter = int(std::lround(ppi / 0.0254));
    print.ridges.setDotsPerMeterX(dotsPerMeter);
    print.ridges.setDotsPerMeterY(dotsPerMeter);
    cv::Mat in, out, furrows;
    cv::distanceTransform(mask, in, cv::DIST_L2, cv::DIST_MASK_PRECISE);
    cv::bitwise_not(mask, furrows);
    cv::distanceTransform(furrows, out, cv::DIST_L2, cv::DIST_MASK_PRECISE);
    // Pixel centres a pixel from the other side lie half a pixel from the edge.
    print.depth.create(h, w, CV_32F);
    for (int y = 0; y < h; ++y) {
        const float* i = in.ptr<float>(y);
        const float* o = out.ptr<float>(y);
        float* d = print.depth.ptr<float>(y);
        for (int x = 0; x < w; ++x)
            d[x] = i[x] > 0 ? i[x] - 0.5f : 0.5f - o[x];
    }
    return print;
}

std::vector<SingularPoint> Print::singularPoints() const
{
    std::vector<SingularPoint> points = model.singularPoints();
    for (SingularPoint& p : points)
        p.position = toPixels(p.position);
    return points;
}

double Print::period(const QPointF& p) const
{
    return model.period(toMm(p)) * pixelsPerMm;
}

double Print::orientation(const QPointF& p) const
{
    return model.orientation(toMm(p));
}

double Print::inside(const QPointF& p) const
{
    return model.inside(toMm(p)) * pixelsPerMm;
}

const std::vector<Damage>& damages()
{
    static const std::vector<Damage> all = {
        {"clean", false, false, false, false, false, false, false, false, false},
        {"faint", true, false, false, false, false, false, false, false, false},
        {"noisy", false, true, false, false, false, false, false, false, false},
        {"blurred", false, false, true, false, false, false, false, false, false},
        {"uneven", false, false, false, true, false, false, false, false, false},
        {"broken", false, false, false, false, true, false, false, false, false},
        {"dots", false, false, false, false, false, true, false, false, false},
        {"pores", false, false, false, false, false, false, true, false, false},
        {"over-inked", false, false, false, false, false, false, false, true, false},
        {"dry", false, false, false, false, false, false, false, false, true},
        {"combined", true, true, true, true, true, true, true, false, false},
    };
    return all;
}

namespace {

// Gray scan of a print being drawn: ink cover per pixel, 0 to 1.
struct Inking {
    const Print& print;
    cv::Mat ink;
    std::mt19937& random;
    double period;   // mean, pixels

    // A random point on a ridge's centre line, and the ridge's direction and
    // half width there.
    bool ridgeCentre(QPointF* at, QPointF* along, double* halfWidth)
    {
        for (int attempt = 0; attempt < 100; ++attempt) {
            const int x = int(uniform(random, 0, ink.cols));
            const int y = int(uniform(random, 0, ink.rows));
            if (print.depth.at<float>(y, x) <= 0)
                continue;
            const double theta = print.orientation(QPointF(x + 0.5, y + 0.5));
            const QPointF a(std::cos(theta), std::sin(theta));
            const QPointF across(-a.y(), a.x());
            // The deepest point across the ridge within half a period.
            double best = -1;
            QPointF centre;
            for (double t = -0.5 * period; t <= 0.5 * period; t += 0.5) {
                const QPointF p = QPointF(x, y) + across * t;
                const int px = int(p.x()), py = int(p.y());
                if (px < 0 || py < 0 || px >= ink.cols || py >= ink.rows)
                    continue;
                const float d = print.depth.at<float>(py, px);
                if (d > best) {
                    best = d;
                    centre = QPointF(px + 0.5, py + 0.5);
                }
            }
            if (best <= 0)
                continue;
            *at = centre;
            *along = a;
            *halfWidth = best + 0.5;
            return true;
        }
        return false;
    }

    // Calls paint(ink, x, y, along, across) for every pixel within reach of c,
    // along and across measured from c in the ridge's direction.
    template <typename Paint>
    void around(const QPointF& c, const QPointF& along, double reach, Paint paint)
    {
        const int x0 = std::max(0, int(c.x() - reach)), x1 = std::min(ink.cols - 1, int(c.x() + reach));
        const int y0 = std::max(0, int(c.y() - reach)), y1 = std::min(ink.rows - 1, int(c.y() + reach));
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                const QPointF d = QPointF(x + 0.5, y + 0.5) - c;
                paint(ink.ptr<float>(y)[x], x, y, QPointF::dotProduct(d, along),
                      d.x() * along.y() - d.y() * along.x());
            }
    }

    // A gap of half length reach in the ridge of half width w through c, its
    // ends rounded as the ridge is wide.
    void gap(const QPointF& c, const QPointF& along, double w, double reach)
    {
        around(c, along, reach + 2 * w + 2, [&](float& v, int, int, double a, double across) {
            // Only this ridge: neighbours lie a period away across.
            if (std::abs(across) > 0.5 * period)
                return;
            // What rounded ends leave of the ridge.
            const double toEnd = std::max(0.0, reach + w - std::abs(a));
            v = float(std::min(double(v), inside(std::hypot(toEnd, across), w)));
        });
    }

    void disc(const QPointF& c, double radius, bool dark)
    {
        around(c, QPointF(1, 0), radius + 2, [&](float& v, int, int, double a, double across) {
            const double cover = inside(std::hypot(a, across), radius);
            v = float(dark ? std::max(double(v), cover) : v * (1 - cover));
        });
    }
};

void blur(cv::Mat& m, double sigma)
{
    cv::GaussianBlur(m, m, cv::Size(0, 0), sigma, sigma, cv::BORDER_REPLICATE);
}

}

QImage scan(const Print& print, const Damage& how, quint32 seed)
{
    std::mt19937 random(seed);
    const int w = print.edge.cols;
    const int h = print.edge.rows;
    const double period = print.model.meanPeriod() * print.pixelsPerMm;
    // Ridges spread by over-inking until the narrower furrows close, or
    // thinned by dry skin.
    const double spread = how.overInked ? 0.13 * period : how.dry ? -0.04 * period : 0;
    Inking inking{print, cv::Mat(h, w, CV_32F), random, period};
    cv::Mat& ink = inking.ink;
    for (int y = 0; y < h; ++y) {
        const float* e = print.edge.ptr<float>(y);
        float* v = ink.ptr<float>(y);
        for (int x = 0; x < w; ++x)
            v[x] = float(std::clamp(0.5 + e[x] + spread, 0.0, 1.0));
    }
    const double area = double(w) * h / (period * period);
    if (how.dry) {
        // Dry skin takes ink in spots: the ridges come out as rows of dots and
        // short pieces.
        cv::Mat spots(h, w, CV_32F);
        std::normal_distribution<float> normal(0, 1);
        for (int y = 0; y < h; ++y)
            for (float* p = spots.ptr<float>(y); p < spots.ptr<float>(y) + w; ++p)
                *p = normal(random);
        blur(spots, 0.12 * period);
        spots /= rms(spots);
        for (int y = 0; y < h; ++y) {
            const float* s = spots.ptr<float>(y);
            float* v = ink.ptr<float>(y);
            for (int x = 0; x < w; ++x)
                v[x] *= float(std::clamp((s[x] + 0.75) * 2.5, 0.0, 1.0));
        }
    }
    // Ink missing from a ridge for less than half a period: longer gaps are
    // what the skin's own ridge endings look like, and are read as those.
    QPointF c, along;
    double halfWidth = 0;
    if (how.broken)
        for (int i = 0; i < int(area / 12); ++i)
            if (inking.ridgeCentre(&c, &along, &halfWidth))
                inking.gap(c, along, halfWidth, uniform(random, 0.1, 0.25) * period);
    if (how.dots) {
        // Stretches of ridge that took the ink as a row of dots, and specks
        // thinner than the ridges in the furrows.
        for (int i = 0; i < int(area / 25); ++i) {
            if (!inking.ridgeCentre(&c, &along, &halfWidth))
                continue;
            const int dots = int(uniform(random, 2, 5));
            const double pitch = uniform(random, 0.5, 0.65) * period;
            const double reach = uniform(random, 0.1, 0.15) * period;
            for (int k = -dots; k <= dots; ++k)
                inking.gap(c + along * (k * pitch), along, halfWidth, reach);
        }
        for (int i = 0; i < int(area / 6); ++i) {
            const int x = int(uniform(random, 0, w));
            const int y = int(uniform(random, 0, h));
            if (print.depth.at<float>(y, x) < -0.15 * period)
                inking.disc(QPointF(x + 0.5, y + 0.5), uniform(random, 0.07, 0.1) * period, true);
        }
    }
    if (how.pores) {
        for (int i = 0; i < int(area); ++i) {
            if (inking.ridgeCentre(&c, &along, &halfWidth))
                inking.disc(c, uniform(random, 0.08, 0.13) * period, false);
        }
    }
    if (how.overInked)
        blur(ink, 0.04 * print.pixelsPerMm);

    // Paper at 225, ridges taking 80 % of the light; faint regions and the
    // inking gradient vary smoothly over the print.
    const double faintAngle = uniform(random, 0, 2 * M_PI);
    const double faintShift = uniform(random, 0, 2 * M_PI);
    const double size = std::max(w, h);
    const double faintScale = 2 * M_PI / (size * uniform(random, 0.8, 1.2));
    const double rampAngle = uniform(random, 0, 2 * M_PI);
    const QPointF ramp(std::cos(rampAngle), std::sin(rampAngle));
    const double rampFrom = std::min({0.0, ramp.x() * w, ramp.y() * h, ramp.x() * w + ramp.y() * h});
    const double rampTo = std::max({0.0, ramp.x() * w, ramp.y() * h, ramp.x() * w + ramp.y() * h});
    cv::Mat gray(h, w, CV_32F);
    for (int y = 0; y < h; ++y) {
        const float* v = ink.ptr<float>(y);
        float* g = gray.ptr<float>(y);
        for (int x = 0; x < w; ++x) {
            double contrast = 1;
            double background = 225;
            if (how.faint) {   // from full contrast down to 20 %
                const double u = (x * std::cos(faintAngle) + y * std::sin(faintAngle)) * faintScale;
                contrast = 0.6 + 0.4 * std::sin(u + faintShift);
            }
            if (how.uneven)   // the paper from 225 down to 145 across the print
                background -= 80 * (x * ramp.x() + y * ramp.y() - rampFrom) / (rampTo - rampFrom);
            g[x] = float(background * (1 - 0.8 * contrast * v[x]));
        }
    }
    ink.release();
    if (how.blurred)
        blur(gray, 0.07 / 25.4 * print.ppi);
    if (how.noisy) {
        // Grain: noise correlated over about a pixel and a half, plus white noise.
        cv::Mat grain(h, w, CV_32F), white(h, w, CV_32F);
        std::normal_distribution<float> normal(0, 1);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                grain.at<float>(y, x) = normal(random);
                white.at<float>(y, x) = normal(random);
            }
        blur(grain, 0.8);
        gray += grain * (8 / 0.35) + white * 12;
    }
    QImage image(w, h, QImage::Format_Grayscale8);
    for (int y = 0; y < h; ++y) {
        const float* g = gray.ptr<float>(y);
        uchar* line = image.scanLine(y);
        for (int x = 0; x < w; ++x)
            line[x] = uchar(std::clamp(std::lround(g[x]), 0L, 255L));
    }
    const int dotsPerMeter = int(std::lround(print.ppi / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

double minutiaeDensity(const Print& print)
{
    // Zhang and Suen's thinning, then the crossing number of every line pixel.
    cv::Mat m = cv::Mat::zeros(print.ridges.height() + 2, print.ridges.width() + 2, CV_8U);
    for (int y = 0; y < print.ridges.height(); ++y) {
        const uchar* s = print.ridges.constScanLine(y);
        uchar* d = m.ptr<uchar>(y + 1) + 1;
        for (int x = 0; x < print.ridges.width(); ++x)
            d[x] = s[x] ? 1 : 0;
    }
    auto neighbours = [&](int y, int x, int* n) {
        n[0] = m.at<uchar>(y - 1, x);
        n[1] = m.at<uchar>(y - 1, x + 1);
        n[2] = m.at<uchar>(y, x + 1);
        n[3] = m.at<uchar>(y + 1, x + 1);
        n[4] = m.at<uchar>(y + 1, x);
        n[5] = m.at<uchar>(y + 1, x - 1);
        n[6] = m.at<uchar>(y, x - 1);
        n[7] = m.at<uchar>(y - 1, x - 1);
    };
    for (bool changed = true; changed;) {
        changed = false;
        for (int pass = 0; pass < 2; ++pass) {
            std::vector<std::pair<int, int>> remove;
            for (int y = 1; y + 1 < m.rows; ++y)
                for (int x = 1; x + 1 < m.cols; ++x) {
                    if (!m.at<uchar>(y, x))
                        continue;
                    int n[8];
                    neighbours(y, x, n);
                    int count = 0, transitions = 0;
                    for (int k = 0; k < 8; ++k) {
                        count += n[k];
                        transitions += !n[k] && n[(k + 1) % 8];
                    }
                    if (count < 2 || count > 6 || transitions != 1)
                        continue;
                    const bool drop = pass == 0 ? !(n[0] && n[2] && n[4]) && !(n[2] && n[4] && n[6])
                                                : !(n[0] && n[2] && n[6]) && !(n[0] && n[4] && n[6]);
                    if (drop)
                        remove.emplace_back(y, x);
                }
            for (const auto& [y, x] : remove)
                m.at<uchar>(y, x) = 0;
            changed = changed || !remove.empty();
        }
    }
    int minutiae = 0;
    double skin = 0;
    // Away from the skin's outline, where every ridge ends.
    const double margin = 1.5 * print.model.meanPeriod() * print.pixelsPerMm;
    for (int y = 1; y + 1 < m.rows; ++y)
        for (int x = 1; x + 1 < m.cols; ++x) {
            if (print.inside(QPointF(x - 0.5, y - 0.5)) < margin)
                continue;
            skin += 1;
            if (!m.at<uchar>(y, x))
                continue;
            int n[8];
            neighbours(y, x, n);
            int crossings = 0;
            for (int k = 0; k < 8; ++k)
                crossings += std::abs(n[k] - n[(k + 1) % 8]);
            minutiae += crossings == 2 || crossings == 6;
        }
    return minutiae / (skin / (print.pixelsPerMm * print.pixelsPerMm));
}

}
