#include "analysis/ridgeflow.h"

#include <QHash>

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <deque>
#include <mutex>

namespace {

// The copy the flow is read from has about this many pixels a ridge period at
// least: enough for the gradients to follow the ridges, few enough that a
// palm at 1000 PPI is read in a fraction of a second.
constexpr double reducedPeriod = 5;
// Periods looked for in the probe, image pixels.
constexpr double shortestPeriod = 3;
constexpr double longestPeriod = 64;
// Gray levels of standard deviation below which a block is paper: the grain
// of the paper and the scanner's noise.
constexpr double leastDeviation = 4;
// How many images' flows are kept after their last use.
constexpr int keptFlows = 3;

// Rows of the image as 8-bit gray, whatever its format; transparent parts read
// as white paper. Formats other than gray and 32-bit are converted a strip at
// a time, so no whole copy of the image is ever made.
class GrayRows
{
public:
    explicit GrayRows(const QImage& image) : image(image) {}

    void row(int y, uchar* out)
    {
        const int w = image.width();
        switch (image.format()) {
        case QImage::Format_Grayscale8:
            std::copy_n(image.constScanLine(y), w, out);
            return;
        case QImage::Format_RGB32:
        case QImage::Format_ARGB32_Premultiplied: {
            const QRgb* in = reinterpret_cast<const QRgb*>(image.constScanLine(y));
            for (int x = 0; x < w; ++x)
                out[x] = uchar(std::min(255, qGray(in[x]) + 255 - qAlpha(in[x])));
            return;
        }
        default:
            break;
        }
        if (y < stripTop || y >= stripTop + strip.height()) {
            stripTop = y;
            strip = image.copy(0, y, w, std::min(64, image.height() - y))
                        .convertToFormat(QImage::Format_ARGB32_Premultiplied);
        }
        const QRgb* in = reinterpret_cast<const QRgb*>(strip.constScanLine(y - stripTop));
        for (int x = 0; x < w; ++x)
            out[x] = uchar(std::min(255, qGray(in[x]) + 255 - qAlpha(in[x])));
    }

private:
    const QImage& image;
    QImage strip;
    int stripTop = 0;
};

// The ridge period of the print in image pixels, from the strongest ring of
// the spectrum in windows spread over it; 0 when none shows ridges.
double probePeriod(const QImage& image)
{
    const int smaller = std::min(image.width(), image.height());
    int n = 256;
    while (n > smaller && n > 32)
        n /= 2;
    if (n > smaller)
        return 0;
    GrayRows gray(image);
    std::vector<uchar> line(size_t(image.width()));
    const int across = 4;
    std::vector<std::pair<double, double>> found;   // strength, period
    cv::Mat window(n, n, CV_32F);
    cv::Mat hann;
    cv::createHanningWindow(hann, cv::Size(n, n), CV_32F);
    for (int j = 0; j < across; ++j)
        for (int i = 0; i < across; ++i) {
            const int x0 = (image.width() - n) * (2 * i + 1) / (2 * across);
            const int y0 = (image.height() - n) * (2 * j + 1) / (2 * across);
            for (int y = 0; y < n; ++y) {
                gray.row(y0 + y, line.data());
                float* w = window.ptr<float>(y);
                for (int x = 0; x < n; ++x)
                    w[x] = line[size_t(x0 + x)];
            }
            window -= cv::mean(window)[0];
            cv::Mat spectrum;
            cv::dft(window.mul(hann), spectrum, cv::DFT_COMPLEX_OUTPUT);
            // Power by radius, in cycles a window.
            std::vector<double> ring(size_t(n), 0.0);
            for (int v = 0; v < n; ++v)
                for (int u = 0; u < n; ++u) {
                    const int fu = u <= n / 2 ? u : u - n;
                    const int fv = v <= n / 2 ? v : v - n;
                    const int r = int(std::lround(std::hypot(fu, fv)));
                    if (r >= n)
                        continue;
                    const cv::Vec2f c = spectrum.at<cv::Vec2f>(v, u);
                    ring[size_t(r)] += double(c[0]) * c[0] + double(c[1]) * c[1];
                }
            const int lo = std::max(2, int(n / longestPeriod));
            const int hi = std::min(n / 2 - 1, int(n / shortestPeriod));
            double total = 0;
            int best = lo;
            for (int r = lo; r <= hi; ++r) {
                total += ring[size_t(r)];
                if (ring[size_t(r)] > ring[size_t(best)])
                    best = r;
            }
            if (total <= 0)
                continue;
            // The peak's centre between its neighbours.
            const double a = ring[size_t(best - 1)], b = ring[size_t(best)], c = ring[size_t(best + 1)];
            const double curvature = a - 2 * b + c;
            const double r = best + (curvature < 0 ? 0.5 * (a - c) / curvature : 0);
            // Ridges put much of the window's power in a few rings; paper spreads it.
            const double strength = (a + b + c) / total;
            found.emplace_back(strength * std::sqrt(total), n / r);
        }
    if (found.empty())
        return 0;
    std::sort(found.begin(), found.end());
    // The windows with the most ridge power, half of them at most.
    std::vector<double> periods;
    for (size_t k = found.size() / 2; k < found.size(); ++k)
        periods.push_back(found[k].second);
    std::sort(periods.begin(), periods.end());
    return periods[periods.size() / 2];
}

cv::Mat gaussian(const cv::Mat& m, double sigma)
{
    cv::Mat out;
    cv::GaussianBlur(m, out, cv::Size(0, 0), sigma, sigma, cv::BORDER_REPLICATE);
    return out;
}

}

std::shared_ptr<const RidgeFlow> RidgeFlow::of(const QImage& image)
{
    // Keyed by the pixels, as the display's reductions are. Flows in use
    // elsewhere stay findable; the last few read are kept even when not.
    static std::mutex guard;
    static QHash<qint64, std::weak_ptr<const RidgeFlow>> read;
    static std::deque<std::shared_ptr<const RidgeFlow>> recent;
    const std::lock_guard<std::mutex> lock(guard);
    for (auto i = read.begin(); i != read.end();) {
        if (i.value().expired())
            i = read.erase(i);
        else
            ++i;
    }
    std::shared_ptr<const RidgeFlow> flow = read.value(image.cacheKey()).lock();
    if (!flow) {
        flow = std::make_shared<const RidgeFlow>(image);
        read.insert(image.cacheKey(), flow);
    }
    recent.erase(std::remove(recent.begin(), recent.end(), flow), recent.end());
    recent.push_front(flow);
    if (int(recent.size()) > keptFlows)
        recent.pop_back();
    return flow;
}

RidgeFlow::RidgeFlow(const QImage& image)
    : size(image.size())
{
    if (image.isNull())
        return;
    const double probed = probePeriod(image);
    factor = std::max(1, int(probed / reducedPeriod));
    const double expected = probed > 0 ? probed / factor : 8;   // reduced pixels
    const int cell = std::clamp(int(std::lround(expected)), 4, 16);
    block = cell * factor;

    // The reduced copy, each pixel the mean of factor x factor image pixels.
    const int w = (image.width() + factor - 1) / factor;
    const int h = (image.height() + factor - 1) / factor;
    cv::Mat reduced(h, w, CV_8U);
    {
        GrayRows gray(image);
        std::vector<uchar> line(size_t(image.width()));
        std::vector<int> sum(static_cast<size_t>(w));
        for (int y = 0; y < h; ++y) {
            std::fill(sum.begin(), sum.end(), 0);
            const int y0 = y * factor;
            const int y1 = std::min(image.height(), y0 + factor);
            for (int yy = y0; yy < y1; ++yy) {
                gray.row(yy, line.data());
                for (int x = 0; x < image.width(); ++x)
                    sum[size_t(x / factor)] += line[size_t(x)];
            }
            uchar* out = reduced.ptr<uchar>(y);
            for (int x = 0; x < w; ++x) {
                const int x1 = std::min(image.width(), (x + 1) * factor);
                out[x] = uchar((sum[size_t(x)] + 0) / ((x1 - x * factor) * (y1 - y0)));
            }
        }
    }

    // The gradient structure tensor summed over each block, and the gray
    // values' spread there.
    columns = (w + cell - 1) / cell;
    rows = (h + cell - 1) / cell;
    cv::Mat gxx(rows, columns, CV_32F, cv::Scalar(0)), gyy = gxx.clone(), gxy = gxx.clone();
    cv::Mat mean = gxx.clone(), square = gxx.clone(), count = gxx.clone();
    for (int y = 0; y < h; ++y) {
        const uchar* above = reduced.ptr<uchar>(std::max(0, y - 1));
        const uchar* here = reduced.ptr<uchar>(y);
        const uchar* below = reduced.ptr<uchar>(std::min(h - 1, y + 1));
        float* xx = gxx.ptr<float>(y / cell);
        float* yy = gyy.ptr<float>(y / cell);
        float* xy = gxy.ptr<float>(y / cell);
        float* m = mean.ptr<float>(y / cell);
        float* s = square.ptr<float>(y / cell);
        float* c = count.ptr<float>(y / cell);
        for (int x = 0; x < w; ++x) {
            const float gx = float(here[std::min(w - 1, x + 1)]) - float(here[std::max(0, x - 1)]);
            const float gy = float(below[x]) - float(above[x]);
            const int b = x / cell;
            xx[b] += gx * gx;
            yy[b] += gy * gy;
            xy[b] += gx * gy;
            m[b] += here[x];
            s[b] += float(here[x]) * here[x];
            c[b] += 1;
        }
    }
    // The doubled angle of the gradients, averaged so that opposite gradients
    // agree and the field is continuous across 0 and 180 degrees: over about
    // three periods, or six where the ridges are unclear.
    cv::Mat a = gxx - gyy, b = 2 * gxy, energy = gxx + gyy;
    cv::Mat na = gaussian(a, 1.5), nb = gaussian(b, 1.5), ne = gaussian(energy, 1.5);
    cv::Mat wa = gaussian(a, 3), wb = gaussian(b, 3), we = gaussian(energy, 3);
    // Spread of the gray values, against the clearest ridges of the print.
    cv::Mat spread(rows, columns, CV_32F);
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < columns; ++i) {
            const float n = count.at<float>(j, i);
            const float mu = mean.at<float>(j, i) / n;
            spread.at<float>(j, i) = std::max(0.0f, square.at<float>(j, i) / n - mu * mu);
        }
    spread = gaussian(spread, 1);
    std::vector<float> ranked(spread.begin<float>(), spread.end<float>());
    std::nth_element(ranked.begin(), ranked.begin() + long(ranked.size() * 9 / 10), ranked.end());
    const float clearest = std::max(1.0f, ranked[ranked.size() * 9 / 10]);

    const size_t blocks = size_t(rows) * size_t(columns);
    c2.resize(blocks);
    s2.resize(blocks);
    agreement.resize(blocks);
    spacing.assign(blocks, 0);
    ridged.resize(blocks);
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < columns; ++i) {
            const size_t k = size_t(j * columns + i);
            double va = na.at<float>(j, i), vb = nb.at<float>(j, i), ve = ne.at<float>(j, i);
            double norm = std::hypot(va, vb);
            if (norm < 0.3 * ve) {
                va = wa.at<float>(j, i);
                vb = wb.at<float>(j, i);
                ve = we.at<float>(j, i);
                norm = std::hypot(va, vb);
            }
            // The ridges run square to the gradients: the doubled angle turned by 180.
            c2[k] = norm > 0 ? float(-va / norm) : 1;
            s2[k] = norm > 0 ? float(-vb / norm) : 0;
            agreement[k] = ve > 0 ? float(norm / ve) : 0;
            // Against the print's clearest ridges, and a few gray levels at
            // least, so a print of paper alone shows none.
            const double r = spread.at<float>(j, i) / clearest;
            const double deviation = std::sqrt(spread.at<float>(j, i));
            ridged[k] = float(std::clamp((r - 0.004) / 0.012, 0.0, 1.0)
                              * std::clamp((deviation - leastDeviation) / leastDeviation, 0.0, 1.0));
        }

    // The period of each block from the gray profile across its ridges, each
    // sample averaged along them: the first clear peak of its autocorrelation.
    const double guess = expected;
    auto pixel = [&](double x, double y) {
        x = std::clamp(x - 0.5, 0.0, w - 1.001);
        y = std::clamp(y - 0.5, 0.0, h - 1.001);
        const int ix = int(x), iy = int(y);
        const double fx = x - ix, fy = y - iy;
        const uchar* r0 = reduced.ptr<uchar>(iy);
        const uchar* r1 = reduced.ptr<uchar>(iy + 1);
        return (r0[ix] * (1 - fx) + r0[ix + 1] * fx) * (1 - fy) + (r1[ix] * (1 - fx) + r1[ix + 1] * fx) * fy;
    };
    const int half = int(std::ceil(2 * guess / 0.5));
    const int lo = std::max(2, int(0.6 * guess / 0.5));
    const int hi = std::min(2 * half - 2, int(std::ceil(1.7 * guess / 0.5)));
    std::vector<double> profile(size_t(2 * half + 1));
    cv::Mat periods(rows, columns, CV_32F, cv::Scalar(0)), weights = periods.clone();
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < columns; ++i) {
            const size_t k = size_t(j * columns + i);
            if (ridged[k] <= 0)
                continue;
            const double cx = (i + 0.5) * cell, cy = (j + 0.5) * cell;
            const double theta = 0.5 * std::atan2(s2[k], c2[k]);
            const double ux = std::cos(theta), uy = std::sin(theta);   // along
            double sum = 0;
            for (int t = -half; t <= half; ++t) {
                const double px = cx - uy * 0.5 * t, py = cy + ux * 0.5 * t;
                double v = 0;
                for (int s = -1; s <= 1; ++s)
                    v += pixel(px + ux * 0.35 * guess * s, py + uy * 0.35 * guess * s);
                profile[size_t(t + half)] = v;
                sum += v;
            }
            double energy2 = 0;
            for (double& v : profile) {
                v -= sum / profile.size();
                energy2 += v * v;
            }
            if (energy2 <= 0)
                continue;
            const int m = int(profile.size());
            auto correlation = [&](int lag) {
                double s = 0;
                for (int t = 0; t + lag < m; ++t)
                    s += profile[size_t(t)] * profile[size_t(t + lag)];
                return s / energy2 * m / (m - lag);
            };
            double before = correlation(lo - 1), here = correlation(lo);
            for (int lag = lo; lag <= hi; ++lag) {
                const double after = correlation(lag + 1);
                if (here >= before && here >= after && here > 0.2) {
                    const double curvature = before - 2 * here + after;
                    const double peak = lag + (curvature < 0 ? 0.5 * (before - after) / curvature : 0);
                    periods.at<float>(j, i) = float(peak * 0.5 * here);
                    weights.at<float>(j, i) = float(here);
                    break;
                }
                before = here;
                here = after;
            }
        }
    // Blocks without a clear period take their neighbours'.
    cv::Mat smoothPeriods = gaussian(periods, 1.5), smoothWeights = gaussian(weights, 1.5);
    cv::Mat widePeriods = gaussian(periods, 5), wideWeights = gaussian(weights, 5);
    std::vector<float> seen;
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < columns; ++i) {
            const size_t k = size_t(j * columns + i);
            const float sw = smoothWeights.at<float>(j, i);
            const float ww = wideWeights.at<float>(j, i);
            double p = sw > 0.05f ? smoothPeriods.at<float>(j, i) / sw
                       : ww > 1e-4f ? widePeriods.at<float>(j, i) / ww
                                     : guess;
            spacing[k] = float(p * factor);
            if (ridged[k] > 0.5f && weights.at<float>(j, i) > 0)
                seen.push_back(spacing[k]);
        }
    if (!seen.empty()) {
        std::nth_element(seen.begin(), seen.begin() + long(seen.size() / 2), seen.end());
        typical = seen[seen.size() / 2];
    }
}

RidgeFlow::Sample RidgeFlow::at(const QPointF& p) const
{
    if (columns == 0)
        return {1, 0, 0, 0, 0};
    // Between block centres, bilinear.
    const double x = std::clamp(p.x() / block - 0.5, 0.0, columns - 1.0);
    const double y = std::clamp(p.y() / block - 0.5, 0.0, rows - 1.0);
    const int i = std::min(int(x), std::max(0, columns - 2));
    const int j = std::min(int(y), std::max(0, rows - 2));
    const double fx = columns > 1 ? x - i : 0, fy = rows > 1 ? y - j : 0;
    const int i1 = std::min(i + 1, columns - 1), j1 = std::min(j + 1, rows - 1);
    auto mix = [&](const std::vector<float>& v) {
        auto get = [&](int jj, int ii) { return double(v[size_t(jj * columns + ii)]); };
        return (get(j, i) * (1 - fx) + get(j, i1) * fx) * (1 - fy) + (get(j1, i) * (1 - fx) + get(j1, i1) * fx) * fy;
    };
    return {mix(c2), mix(s2), mix(agreement), mix(spacing), mix(ridged)};
}

QPointF RidgeFlow::along(const QPointF& p) const
{
    const Sample s = at(p);
    const double theta = 0.5 * std::atan2(s.s2, s.c2);
    return QPointF(std::cos(theta), std::sin(theta));
}

double RidgeFlow::coherence(const QPointF& p) const
{
    return at(p).coherence;
}

double RidgeFlow::period(const QPointF& p) const
{
    return at(p).period;
}

double RidgeFlow::foreground(const QPointF& p) const
{
    return at(p).foreground;
}

size_t RidgeFlow::memory() const
{
    return sizeof(*this) + sizeof(float) * (c2.size() + s2.size() + agreement.size() + spacing.size() + ridged.size());
}
