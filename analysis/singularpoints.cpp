#include "analysis/singularpoints.h"

#include "analysis/ridgeflow.h"
#include "annotation/fingerchoices.h"

#include <opencv2/core.hpp>
#include <opencv2/imgproc.hpp>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace {

constexpr double assumedPpi = 500;
// Ridge periods of skin lie within this, millimetres; a flow read outside it
// is no print's.
constexpr double shortestPeriodMm = 0.15;
constexpr double longestPeriodMm = 1.5;
// The direction of the ridges is sampled this many times a ridge period.
constexpr int nodesPerPeriod = 2;
// Half sides of the squares round a cell the index is read over, in cells: a
// landmark turns the flow over both; a pair of opposite turns made by noise
// cancels over the smaller.
constexpr int nearCells = 2;
constexpr int farCells = 4;
// Clear ridges all round a landmark, this many cells out: the flow at the rim
// of the print or of a smudge turns along its edge.
constexpr int clearCells = 6;
constexpr double leastForeground = 0.5;
// The landmark's own neighbourhood, where the ridges turn too sharply to agree
// on a direction: its nodes need not be clear.
constexpr int ownCells = 2;
// Where ridges are seen: the band's power at least this share of the clearest
// ridges' (faint ridges keep a few per cent, clean paper none), and the
// gradients over a few periods agreeing at least this much on a direction
// (grain on paper and specks point every way).
constexpr double ridgedShare = 0.01;
constexpr double leastAgreement = 0.15;
// A landmark has ridges all round it but for this share of the nodes, so a
// faint patch in a noisy print does not hide it.
constexpr double unclearShare = 0.05;
// Cells turning the same way this close together are one landmark.
constexpr double mergeCells = 3;

double wrapped(double a)
{
    while (a > M_PI)
        a -= 2 * M_PI;
    while (a <= -M_PI)
        a += 2 * M_PI;
    return a;
}

// The doubled angle of the ridges at p: continuous where the ridges are,
// whichever way round each direction is read.
double doubled(const RidgeFlow& flow, const QPointF& p)
{
    const QPointF u = flow.along(p);
    return std::atan2(2 * u.x() * u.y(), u.x() * u.x() - u.y() * u.y());
}

// The ridges' direction averaged over less than a ridge period, finer than the
// shared flow's, which is smoothed over several periods for the ridge counts
// and merges a core with a triradius a few ridges below it (a tented arch);
// and where the print shows ridges of about its period, which grain on paper
// does not. Read from a reduced copy of a few pixels a ridge, band-passed
// about the ridge period.
class FineFlow
{
public:
    FineFlow(const QImage& image, int factor, double period)
        : factor(factor)
    {
        const QImage gray = image.format() == QImage::Format_Grayscale8
                                ? image
                                : image.convertToFormat(QImage::Format_Grayscale8);
        const cv::Mat full(gray.height(), gray.width(), CV_8U, const_cast<uchar*>(gray.constBits()),
                           size_t(gray.bytesPerLine()));
        cv::Mat reduced;
        if (factor > 1)
            cv::resize(full, reduced, cv::Size((gray.width() + factor - 1) / factor,
                                               (gray.height() + factor - 1) / factor),
                       0, 0, cv::INTER_AREA);
        else
            reduced = full;
        const double p = period / factor;   // reduced pixels a ridge
        cv::Mat band, wide;
        reduced.convertTo(band, CV_32F);
        cv::GaussianBlur(band, wide, cv::Size(0, 0), 0.5 * p, 0.5 * p, cv::BORDER_REPLICATE);
        cv::GaussianBlur(band, band, cv::Size(0, 0), 0.12 * p, 0.12 * p, cv::BORDER_REPLICATE);
        band -= wide;
        wide.release();

        cv::Mat gx, gy;
        cv::Sobel(band, gx, CV_32F, 1, 0, 3);
        cv::Sobel(band, gy, CV_32F, 0, 1, 3);
        cv::Mat gxx = gx.mul(gx), gyy = gy.mul(gy);
        a = gxx - gyy;
        b = 2 * gx.mul(gy);
        e = gxx + gyy;
        const double sigma = 0.7 * p;
        for (cv::Mat* m : {&a, &b, &e})
            cv::GaussianBlur(*m, *m, cv::Size(0, 0), sigma, sigma, cv::BORDER_REPLICATE);
        // Over a few periods: ridges run one way, grain every way.
        {
            cv::Mat wa, wb, we;
            const double wider = std::sqrt(std::pow(1.5 * p, 2) - sigma * sigma);
            cv::GaussianBlur(a, wa, cv::Size(0, 0), wider, wider, cv::BORDER_REPLICATE);
            cv::GaussianBlur(b, wb, cv::Size(0, 0), wider, wider, cv::BORDER_REPLICATE);
            cv::GaussianBlur(e, we, cv::Size(0, 0), wider, wider, cv::BORDER_REPLICATE);
            cv::magnitude(wa, wb, agreement);
            agreement /= cv::max(we, 1e-6);
        }

        // The band's power over about a period, against the print's clearest.
        cv::GaussianBlur(band.mul(band), power, cv::Size(0, 0), p, p, cv::BORDER_REPLICATE);
        std::vector<float> ranked;
        const int every = std::max(1, int(std::sqrt(power.total() / 40000.0)));
        for (int y = 0; y < power.rows; y += every)
            for (int x = 0; x < power.cols; x += every)
                ranked.push_back(power.at<float>(y, x));
        const size_t at = ranked.size() * 9 / 10;
        std::nth_element(ranked.begin(), ranked.begin() + long(at), ranked.end());
        clearest = std::max(1.0f, ranked[at]);
    }

    // Whether ridges show at p: the band's power a good share of the clearest
    // ridges'.
    bool ridged(const QPointF& p) const
    {
        return sample(power, p) >= ridgedShare * clearest && sample(agreement, p) >= leastAgreement;
    }

    // The doubled angle of the ridges at p in image pixels (square to the
    // gradients), and how much the gradients agree on it, 0 to 1.
    double doubled(const QPointF& p) const
    {
        double va, vb, ve;
        sample(p, &va, &vb, &ve);
        return std::atan2(-vb, -va);
    }
    double coherence(const QPointF& p) const
    {
        double va, vb, ve;
        sample(p, &va, &vb, &ve);
        return ve > 0 ? std::hypot(va, vb) / ve : 0;
    }

private:
    double sample(const cv::Mat& m, const QPointF& p) const
    {
        const double x = std::clamp(p.x() / factor - 0.5, 0.0, m.cols - 1.001);
        const double y = std::clamp(p.y() / factor - 0.5, 0.0, m.rows - 1.001);
        const int i = std::min(int(x), std::max(0, m.cols - 2));
        const int j = std::min(int(y), std::max(0, m.rows - 2));
        const int i1 = std::min(i + 1, m.cols - 1), j1 = std::min(j + 1, m.rows - 1);
        const double fx = x - i, fy = y - j;
        return (m.at<float>(j, i) * (1 - fx) + m.at<float>(j, i1) * fx) * (1 - fy)
               + (m.at<float>(j1, i) * (1 - fx) + m.at<float>(j1, i1) * fx) * fy;
    }
    void sample(const QPointF& p, double* va, double* vb, double* ve) const
    {
        *va = sample(a, p);
        *vb = sample(b, p);
        *ve = sample(e, p);
    }

    int factor;
    cv::Mat a, b, e;   // the gradients' tensor: cos and sin of the doubled angle, energy
    cv::Mat power;
    cv::Mat agreement;   // coherence over a few periods
    float clearest = 1;
};

// Sums of a grid of numbers over rectangles of it.
class Summed
{
public:
    Summed(const std::vector<int>& values, int columns, int rows)
        : columns(columns), rows(rows), sums(size_t(columns + 1) * size_t(rows + 1), 0)
    {
        for (int j = 0; j < rows; ++j)
            for (int i = 0; i < columns; ++i)
                at(i + 1, j + 1) = values[size_t(j * columns + i)] + at(i, j + 1) + at(i + 1, j) - at(i, j);
    }
    // Over columns i0..i1 and rows j0..j1, clipped to the grid.
    int sum(int i0, int j0, int i1, int j1) const
    {
        i0 = std::max(i0, 0);
        j0 = std::max(j0, 0);
        i1 = std::min(i1, columns - 1);
        j1 = std::min(j1, rows - 1);
        if (i0 > i1 || j0 > j1)
            return 0;
        return get(i1 + 1, j1 + 1) - get(i0, j1 + 1) - get(i1 + 1, j0) + get(i0, j0);
    }

private:
    int& at(int i, int j) { return sums[size_t(j * (columns + 1) + i)]; }
    int get(int i, int j) const { return sums[size_t(j * (columns + 1) + i)]; }
    int columns, rows;
    std::vector<int> sums;
};

struct Candidate {
    int turn;   // +1 core, -1 triradius
    double x, y;   // sum of cell centres, pixels
    int cells;
    QPointF centre() const { return QPointF(x / cells, y / cells); }
};

// How clearly the ridges show on a ring round p: foreground and coherence.
double clarity(const RidgeFlow& flow, const FineFlow& fine, const QPointF& p, double radius)
{
    constexpr int samples = 16;
    double sum = 0;
    for (int k = 0; k < samples; ++k) {
        const double a = 2 * M_PI * k / samples;
        const QPointF q = p + radius * QPointF(std::cos(a), std::sin(a));
        sum += flow.foreground(q) * fine.coherence(q);
    }
    return sum / samples;
}

// The direction a loop opens to from its core: the one way out of the core
// along which the ridges run straight out (between the loop's limbs) rather
// than round it. For a core at c the doubled angle on a ring is the ray's
// angle plus a constant, twice the ray along which they run out.
QPointF opening(const RidgeFlow& flow, const QPointF& core, double radius)
{
    constexpr int samples = 24;
    QPointF sum;
    for (int k = 0; k < samples; ++k) {
        const double a = 2 * M_PI * k / samples;
        const double d = doubled(flow, core + radius * QPointF(std::cos(a), std::sin(a))) - a;
        sum += QPointF(std::cos(d), std::sin(d));
    }
    return sum;
}


// Solves the n x n system m x = v (m holding v as its last column) by
// elimination with partial pivoting; false when singular.
template <int n>
bool solve(double (&m)[n][n + 1], double (&x)[n])
{
    for (int c = 0; c < n; ++c) {
        int pivot = c;
        for (int r = c + 1; r < n; ++r)
            if (std::abs(m[r][c]) > std::abs(m[pivot][c]))
                pivot = r;
        if (std::abs(m[pivot][c]) < 1e-12)
            return false;
        std::swap(m[c], m[pivot]);
        for (int r = c + 1; r < n; ++r) {
            const double f = m[r][c] / m[c][c];
            for (int k = c; k <= n; ++k)
                m[r][k] -= f * m[c][k];
        }
    }
    for (int r = n - 1; r >= 0; --r) {
        double v = m[r][n];
        for (int k = r + 1; k < n; ++k)
            v -= m[r][k] * x[k];
        x[r] = v / m[r][r];
    }
    return true;
}

struct Pole {
    int turn;   // +1 core, -1 triradius
    QPointF at;
};

// A landmark's place from the flow around it, where the ridges follow the
// skin's turns more faithfully than right next to it: about a landmark at p
// the doubled angle is the angle of the ray from p (a core) or its negative (a
// triradius), plus the other landmarks' turns, plus a direction varying
// slowly over the print. Fitted by Gauss-Newton on an annulus one to three
// periods out, the others held where they are; the cells that turned stay
// the answer when the fit strays more than a period from them.
QPointF refined(const RidgeFlow& flow, const FineFlow& fine, const std::vector<Pole>& poles, size_t which,
                double period)
{
    const QPointF start = poles[which].at;
    const double turn = poles[which].turn;
    struct Sample {
        QPointF q;
        double angle;   // the doubled angle less the other landmarks' turns
        double weight;
    };
    std::vector<Sample> samples;
    const double step = period / nodesPerPeriod;
    for (double dy = -3 * period; dy <= 3 * period; dy += step)
        for (double dx = -3 * period; dx <= 3 * period; dx += step) {
            const double r = std::hypot(dx, dy);
            if (r < period || r > 3 * period)
                continue;
            const QPointF q = start + QPointF(dx, dy);
            double a = fine.doubled(q);
            for (size_t j = 0; j < poles.size(); ++j)
                if (j != which)
                    a -= poles[j].turn * std::atan2(q.y() - poles[j].at.y(), q.x() - poles[j].at.x());
            samples.push_back({q, a, flow.foreground(q) * fine.coherence(q)});
        }
    QPointF p = start;
    // The rest of the field: c + g . (q - start) / period.
    double c = 0, gx = 0, gy = 0;
    {
        QPointF mean;
        for (const Sample& s : samples) {
            const double rest = s.angle - turn * std::atan2(s.q.y() - p.y(), s.q.x() - p.x());
            mean += s.weight * QPointF(std::cos(rest), std::sin(rest));
        }
        c = std::atan2(mean.y(), mean.x());
    }
    for (int iteration = 0; iteration < 8; ++iteration) {
        double m[5][6] = {};
        for (const Sample& s : samples) {
            const QPointF d = s.q - p;
            const double d2 = QPointF::dotProduct(d, d);
            const QPointF u = (s.q - start) / period;
            const double model = turn * std::atan2(d.y(), d.x()) + c + gx * u.x() + gy * u.y();
            const double r = wrapped(s.angle - model);
            // The model's change with p (in periods), c, gx and gy.
            const double j[5] = {turn * d.y() / d2 * period, -turn * d.x() / d2 * period, 1, u.x(), u.y()};
            for (int a = 0; a < 5; ++a) {
                for (int b = 0; b < 5; ++b)
                    m[a][b] += s.weight * j[a] * j[b];
                m[a][5] += s.weight * j[a] * r;
            }
        }
        double x[5];
        if (!solve<5>(m, x))
            return start;
        p += period * QPointF(x[0], x[1]);
        c += x[2];
        gx += x[3];
        gy += x[4];
        if (QLineF(p, start).length() > period)
            return start;
        if (std::hypot(x[0], x[1]) < 0.01)
            break;
    }
    return p;
}

}

namespace singularpoints {

QVector<Landmark> find(const QImage& print, double ppi)
{
    if (print.isNull())
        return {};
    if (ppi <= 0)
        ppi = assumedPpi;
    const std::shared_ptr<const RidgeFlow> flow = RidgeFlow::of(print);
    const double period = flow->typicalPeriod();
    const double pixelsPerMm = ppi / 25.4;
    if (period < shortestPeriodMm * pixelsPerMm || period > longestPeriodMm * pixelsPerMm)
        return {};

    const FineFlow fine(print, flow->reduction(), period);
    // The doubled angle and foreground at nodes half a period apart.
    const double step = period / nodesPerPeriod;
    const int columns = int(print.width() / step);
    const int rows = int(print.height() / step);
    if (columns < 2 * clearCells + 2 || rows < 2 * clearCells + 2)
        return {};
    auto node = [&](int i, int j) { return QPointF((i + 0.5) * step, (j + 0.5) * step); };
    std::vector<double> angle(size_t(columns) * size_t(rows));
    std::vector<int> unclear(angle.size());
    for (int j = 0; j < rows; ++j)
        for (int i = 0; i < columns; ++i) {
            const size_t k = size_t(j * columns + i);
            angle[k] = fine.doubled(node(i, j));
            unclear[k] = flow->foreground(node(i, j)) < leastForeground || !fine.ridged(node(i, j)) ? 1 : 0;
        }

    // The turn of the doubled angle round each cell of four nodes, in whole
    // turns: +1 where a core lies inside, -1 a triradius (the cells' corners
    // taken clockwise as seen, which is counter-clockwise with y downwards).
    const int cellColumns = columns - 1, cellRows = rows - 1;
    std::vector<int> turn(size_t(cellColumns) * size_t(cellRows), 0);
    for (int j = 0; j < cellRows; ++j)
        for (int i = 0; i < cellColumns; ++i) {
            const double a00 = angle[size_t(j * columns + i)];
            const double a10 = angle[size_t(j * columns + i + 1)];
            const double a11 = angle[size_t((j + 1) * columns + i + 1)];
            const double a01 = angle[size_t((j + 1) * columns + i)];
            const double total =
                wrapped(a10 - a00) + wrapped(a11 - a10) + wrapped(a01 - a11) + wrapped(a00 - a01);
            turn[size_t(j * cellColumns + i)] = int(std::lround(total / (2 * M_PI)));
        }
    // The turn round any square of cells is the sum of its cells' turns.
    const Summed turns(turn, cellColumns, cellRows);
    std::vector<int> turned(turn.size());
    std::transform(turn.begin(), turn.end(), turned.begin(), [](int t) { return t != 0 ? 1 : 0; });
    const Summed turnedCells(turned, cellColumns, cellRows);
    const Summed unclearNodes(unclear, columns, rows);
    auto sign = [](int v) { return (v > 0) - (v < 0); };

    const int unclearAllowed =
        int(unclearShare * (std::pow(2 * clearCells + 2, 2) - std::pow(2 * ownCells + 2, 2)));
    std::vector<Candidate> candidates;
    for (int j = 0; j < cellRows; ++j)
        for (int i = 0; i < cellColumns; ++i) {
            const int t = turn[size_t(j * cellColumns + i)];
            if (t == 0)
                continue;
            // Clear ridges all round, within the image.
            if (i - clearCells < 0 || j - clearCells < 0 || i + 1 + clearCells >= columns
                || j + 1 + clearCells >= rows
                || unclearNodes.sum(i - clearCells, j - clearCells, i + 1 + clearCells, j + 1 + clearCells)
                           - unclearNodes.sum(i - ownCells, j - ownCells, i + 1 + ownCells, j + 1 + ownCells)
                       > unclearAllowed)
                continue;
            // The same turn round the near and the far square.
            const int near = turns.sum(i - nearCells, j - nearCells, i + nearCells, j + nearCells);
            const int far = turns.sum(i - farCells, j - farCells, i + farCells, j + farCells);
            if (sign(near) != sign(t) || sign(far) != sign(t))
                continue;
            // Ridges turn round a landmark once; grain turns the flow back and
            // forth at many cells.
            if (turnedCells.sum(i - farCells, j - farCells, i + farCells, j + farCells) > std::abs(far) + 2)
                continue;
            const QPointF centre((i + 1) * step, (j + 1) * step);
            bool merged = false;
            for (Candidate& c : candidates) {
                if (c.turn == t && QLineF(c.centre(), centre).length() <= mergeCells * step) {
                    c.x += centre.x();
                    c.y += centre.y();
                    ++c.cells;
                    merged = true;
                    break;
                }
            }
            if (!merged)
                candidates.push_back({t, centre.x(), centre.y(), 1});
        }

    std::vector<Pole> poles;
    for (const Candidate& c : candidates)
        poles.push_back({c.turn, c.centre()});
    // Each refined with the others where the cells put them.
    std::vector<Pole> placed = poles;
    for (size_t k = 0; k < poles.size(); ++k)
        placed[k].at = refined(*flow, fine, poles, k, period);

    QVector<Landmark> found;
    for (const Pole& c : placed) {
        const QPointF at = c.at;
        const double clear = clarity(*flow, fine, at, 2 * period);
        found.append({c.turn > 0 ? Core : Triradius, at, std::clamp(clear / 0.5, 0.0, 1.0)});
    }
    std::sort(found.begin(), found.end(),
              [](const Landmark& a, const Landmark& b) { return a.strength > b.strength; });
    return found;
}

QStringList palmNames(const QVector<QPointF>& triradii, bool rightHand, bool mirrored)
{
    const int n = triradii.size();
    QStringList names;
    for (int k = 0; k < n; ++k)
        names << "other";
    if (n == 0)
        return names;
    double left = triradii.first().x(), right = left, top = triradii.first().y();
    for (const QPointF& p : triradii) {
        left = std::min(left, p.x());
        right = std::max(right, p.x());
        top = std::min(top, p.y());
    }
    // The digital row: the four most distal within a band below the topmost
    // as deep as a quarter of the spread across the palm.
    std::vector<int> order(static_cast<size_t>(n));
    for (int k = 0; k < n; ++k)
        order[size_t(k)] = k;
    std::sort(order.begin(), order.end(), [&](int a, int b) { return triradii[a].y() < triradii[b].y(); });
    const double band = 0.25 * (right - left);
    std::vector<int> row;
    for (int k : order)
        if (triradii[k].y() <= top + band && row.size() < 4)
            row.push_back(k);
    // From the index side: the left as shown when the ulnar side is on the right.
    const bool ulnarOnRight = rightHand != mirrored;
    std::sort(row.begin(), row.end(), [&](int a, int b) {
        return ulnarOnRight ? triradii[a].x() < triradii[b].x() : triradii[a].x() > triradii[b].x();
    });
    double rowLeft = triradii[row.front()].x(), rowRight = rowLeft, rowBottom = top;
    for (int k : row) {
        rowLeft = std::min(rowLeft, triradii[k].x());
        rowRight = std::max(rowRight, triradii[k].x());
        rowBottom = std::max(rowBottom, triradii[k].y());
    }

    // t: the most proximal of those well below the row, and across the palm
    // no farther out than the row reaches.
    int t = -1;
    const double reach = 0.1 * (rowRight - rowLeft);
    for (int k = 0; k < n; ++k) {
        const QPointF& p = triradii[k];
        if (std::find(row.begin(), row.end(), k) != row.end())
            continue;
        if (p.y() < rowBottom + std::max(band, 0.3 * (rowRight - rowLeft)))
            continue;
        if (p.x() < rowLeft - reach || p.x() > rowRight + reach)
            continue;
        if (t < 0 || p.y() > triradii[t].y())
            t = k;
    }
    if (t >= 0)
        names[t] = "t";

    // Which fingers the row's triradii lie below: the closest pair are
    // neighbours, wider gaps skip a finger. Of a short row, the first is taken
    // as a unless that puts the row's middle farther from t than another
    // start does (t lies below the middle of the palm).
    const char* digits[] = {"a", "b", "c", "d"};
    std::vector<int> finger(row.size(), 0);
    if (row.size() > 1) {
        double spacing = 1e300;
        for (size_t k = 1; k < row.size(); ++k)
            spacing = std::min(spacing, std::abs(triradii[row[k]].x() - triradii[row[k - 1]].x()));
        for (size_t k = 1; k < row.size(); ++k) {
            const double gap = std::abs(triradii[row[k]].x() - triradii[row[k - 1]].x());
            finger[k] = finger[k - 1] + std::max(1, int(std::lround(gap / std::max(spacing, 1e-9))));
        }
        const double unit = (triradii[row.back()].x() - triradii[row.front()].x())
                            / std::max(1, finger.back());
        int shift = 0;
        if (t >= 0 && finger.back() < 3) {
            double best = 1e300;
            for (int s = 0; s + finger.back() <= 3; ++s) {
                // Where the middle of a to d would lie with the row starting at finger s.
                const double middle = triradii[row.front()].x() + unit * (1.5 - s);
                const double off = std::abs(middle - triradii[t].x());
                if (off < best) {
                    best = off;
                    shift = s;
                }
            }
        }
        for (int& f : finger)
            f += shift;
    }
    for (size_t k = 0; k < row.size(); ++k)
        if (finger[k] >= 0 && finger[k] < 4)
            names[row[k]] = digits[finger[k]];
    return names;
}

QString suggestPattern(const QImage& print, const QVector<Landmark>& found, bool rightHand,
                       bool mirrored)
{
    const QStringList types = fingerchoices::patterns();
    auto type = [&](const char* name) {
        Q_ASSERT(types.contains(name));
        return QString(name);
    };
    QVector<QPointF> cores, triradii;
    for (const Landmark& l : found)
        (l.kind == Core ? cores : triradii).append(l.position);
    if (cores.size() > 2 || triradii.size() > 2)
        return type("accidental");
    const std::shared_ptr<const RidgeFlow> flow = RidgeFlow::of(print);
    auto periodAt = [&](const QPointF& p) {
        const double local = flow->period(p);
        return local > 0 ? local : std::max(1.0, flow->typicalPeriod());
    };
    if (cores.size() == 2) {
        // Two loops side by side lie a few ridges apart; a whorl's two cores,
        // the ends of its spiral or innermost circle, nearly meet.
        const QPointF middle = (cores[0] + cores[1]) / 2;
        const double apart = QLineF(cores[0], cores[1]).length() / periodAt(middle);
        return type(apart > 6.5 ? "double loop" : "plain whorl");
    }
    if (triradii.size() == 2)
        return type("plain whorl");
    if (cores.isEmpty())
        return type(triradii.isEmpty() ? "plain arch" : "tented arch");

    const QPointF core = cores.first();
    bool opensRight;
    if (!triradii.isEmpty()) {
        // A triradius straight below its core makes a tent, not a loop: the
        // loop's triradius lies off to the side it does not open to.
        const QPointF d = triradii.first() - core;
        if (d.y() > 0 && std::atan2(std::abs(d.x()), d.y()) < 25 * M_PI / 180)
            return type("tented arch");
        opensRight = d.x() < 0;
    } else {
        opensRight = opening(*flow, core, 1.5 * periodAt(core)).x() > 0;
    }
    const bool ulnarOnRight = rightHand != mirrored;
    return type(opensRight == ulnarOnRight ? "ulnar loop" : "radial loop");
}

}
