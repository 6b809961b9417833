#include "tables/statistics.h"

#include <QHash>

#include <cmath>
#include <limits>

namespace statistics {

namespace {

const double notANumber = std::numeric_limits<double>::quiet_NaN();

double ratio(double numerator, double denominator)
{
    return denominator == 0 ? notANumber : numerator / denominator;
}

// A ratio of mean squares: with no error at all it is infinite, and the bounds
// below come out as 1.
double fRatio(double numerator, double denominator)
{
    if (denominator == 0 && numerator > 0)
        return std::numeric_limits<double>::infinity();
    return ratio(numerator, denominator);
}

// The continued fraction of I_x(a, b) (Abramowitz and Stegun 26.5.8), evaluated
// with Lentz's method; it converges quickly for x < (a + 1) / (a + b + 2). y is
// 1 - x, passed on so a value near 1 keeps its digits.
double betaFraction(double x, double y, double a, double b)
{
    const double tiny = 1e-300;
    double f = tiny;
    double c = f;
    double d = 0;
    for (int j = 1; j < 1000; ++j) {
        const int m = j - 1;   // the fraction's terms after its first, 1 / (1 + ...)
        double term = 1;
        if (m > 0 && m % 2 == 1) {
            const int i = m / 2;
            term = -(a + i) * (a + b + i) * x / ((a + 2 * i) * (a + 2 * i + 1));
        } else if (m > 0) {
            const int i = m / 2;
            term = i * (b - i) * x / ((a + 2 * i - 1) * (a + 2 * i));
        }
        d = 1 + term * d;
        d = 1 / (std::abs(d) < tiny ? tiny : d);
        c = 1 + term / c;
        if (std::abs(c) < tiny)
            c = tiny;
        const double delta = c * d;
        f *= delta;
        if (std::abs(delta - 1) < 1e-15)
            break;
    }
    const double front = std::exp(std::lgamma(a + b) - std::lgamma(a) - std::lgamma(b)
                                  + a * std::log(x) + b * std::log(y)) / a;
    return front * f;
}

double regularizedBeta(double x, double y, double a, double b)
{
    if (!(a > 0) || !(b > 0) || std::isnan(x))
        return notANumber;
    if (x <= 0)
        return 0;
    if (y <= 0)
        return 1;
    if (x < (a + 1) / (a + b + 2))
        return betaFraction(x, y, a, b);
    return 1 - betaFraction(y, x, b, a);
}

// The bounds of an intraclass correlation for one rater and for the mean of k,
// from the bounds FL and FU of the F ratio.
Estimate singleFromF(double value, double fl, double fu, int k)
{
    // (F - 1) / (F + k - 1), written so that F = infinity (no error at all) gives 1.
    return {value, 1 - k / (fl + k - 1), 1 - k / (fu + k - 1)};
}

Estimate meanFromF(double value, double fl, double fu)
{
    return {value, 1 - 1 / fl, 1 - 1 / fu};
}

}

double incompleteBeta(double x, double a, double b)
{
    return regularizedBeta(x, 1 - x, a, b);
}

double fDistribution(double f, double d1, double d2)
{
    if (std::isnan(f))
        return notANumber;
    if (f <= 0)
        return 0;
    if (std::isinf(f))
        return 1;
    const double whole = d1 * f + d2;
    return regularizedBeta(d1 * f / whole, d2 / whole, d1 / 2, d2 / 2);
}

double fQuantile(double p, double d1, double d2)
{
    if (!(p > 0 && p < 1) || !(d1 > 0) || !(d2 > 0) || std::isinf(d1) || std::isinf(d2))
        return notANumber;
    // Halving on the logarithm of f: the distribution function rises with f, and
    // quantiles of few degrees of freedom reach far.
    double low = -700;
    double high = 700;
    for (int i = 0; i < 200 && high - low > 1e-14; ++i) {
        const double middle = (low + high) / 2;
        if (fDistribution(std::exp(middle), d1, d2) < p)
            low = middle;
        else
            high = middle;
    }
    return std::exp((low + high) / 2);
}

Icc icc(const QVector<QVector<double>>& ratings, double confidence)
{
    const Estimate none{notANumber, notANumber, notANumber};
    Icc result{{none, none, none}, {none, none, none}};
    const int n = ratings.size();
    const int k = n > 0 ? ratings.first().size() : 0;
    if (n < 2 || k < 2)
        return result;
    double grand = 0;
    QVector<double> rowMeans(n, 0);
    QVector<double> columnMeans(k, 0);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < k; ++j) {
            const double x = ratings.at(i).value(j, notANumber);
            grand += x;
            rowMeans[i] += x / k;
            columnMeans[j] += x / n;
        }
    grand /= n * k;
    // Each sum of squares from its own deviations, so that no error at all comes
    // out as exactly 0 rather than as what is left of a subtraction.
    double rows = 0, columns = 0, error = 0, within = 0;
    for (int i = 0; i < n; ++i)
        rows += k * (rowMeans.at(i) - grand) * (rowMeans.at(i) - grand);
    for (int j = 0; j < k; ++j)
        columns += n * (columnMeans.at(j) - grand) * (columnMeans.at(j) - grand);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < k; ++j) {
            const double x = ratings.at(i).at(j);
            const double e = x - rowMeans.at(i) - columnMeans.at(j) + grand;
            error += e * e;
            within += (x - rowMeans.at(i)) * (x - rowMeans.at(i));
        }
    const double bms = rows / (n - 1);
    const double jms = columns / (k - 1);
    const double ems = error / ((n - 1) * (k - 1));
    const double wms = within / (n * (k - 1));
    const double q = 1 - (1 - confidence) / 2;

    // Model 1: one-way, the raters' differences are part of the error.
    const double icc11 = ratio(bms - wms, bms + (k - 1) * wms);
    const double f1 = fRatio(bms, wms);
    const double f1Low = f1 / fQuantile(q, n - 1, n * (k - 1));
    const double f1High = f1 * fQuantile(q, n * (k - 1), n - 1);
    result.single[0] = singleFromF(icc11, f1Low, f1High, k);
    result.mean[0] = meanFromF(ratio(bms - wms, bms), f1Low, f1High);

    // Model 3: fixed raters, consistency.
    const double icc31 = ratio(bms - ems, bms + (k - 1) * ems);
    const double f3 = fRatio(bms, ems);
    const double f3Low = f3 / fQuantile(q, n - 1, (n - 1) * (k - 1));
    const double f3High = f3 * fQuantile(q, (n - 1) * (k - 1), n - 1);
    result.single[2] = singleFromF(icc31, f3Low, f3High, k);
    result.mean[2] = meanFromF(ratio(bms - ems, bms), f3Low, f3High);

    // Model 2: random raters, absolute agreement. Its F ratio mixes two mean
    // squares; Satterthwaite's degrees of freedom v, written with both sides
    // multiplied by EMS^2 so that EMS = 0 needs no division.
    const double icc21 = ratio(bms - ems, bms + (k - 1) * ems + k * (jms - ems) / n);
    const double a = k * icc21;
    const double b = n * (1 + (k - 1) * icc21) - k * icc21;
    double v = (n - 1.0) * (k - 1) * (a * jms + b * ems) * (a * jms + b * ems)
               / ((n - 1) * (a * jms) * (a * jms) + (b * ems) * (b * ems));
    // v is 0 / 0 only where JMS and EMS both vanish: the raters agree exactly,
    // and the bounds below are 1 whatever v is.
    if (std::isnan(v) && jms == 0 && ems == 0 && bms > 0)
        v = (n - 1.0) * (k - 1);
    const double fLow = fQuantile(q, n - 1, v);
    const double fHigh = fQuantile(q, v, n - 1);
    const double spread = k * jms + (k * n - k - n) * ems;
    const double lower = ratio(n * (bms - fLow * ems), fLow * spread + n * bms);
    const double upper = ratio(n * (fHigh * bms - ems), spread + n * fHigh * bms);
    result.single[1] = {icc21, lower, upper};
    // The mean of k raters by Spearman and Brown's formula, bounds alike.
    auto ofMean = [k](double r) { return k * r / (1 + (k - 1) * r); };
    result.mean[1] = {ratio(bms - ems, bms + (jms - ems) / n), ofMean(lower), ofMean(upper)};
    return result;
}

Differences differences(const QVector<double>& a, const QVector<double>& b)
{
    Differences d{int(a.size()), notANumber, notANumber, notANumber, notANumber, notANumber,
                  notANumber};
    const int n = d.n;
    if (n == 0)
        return d;
    double sumA = 0, sumB = 0, sumD = 0, squares = 0;
    for (int i = 0; i < n; ++i) {
        const double diff = a.at(i) - b.at(i);
        sumA += a.at(i);
        sumB += b.at(i);
        sumD += diff;
        squares += diff * diff;
    }
    d.meanA = sumA / n;
    d.meanB = sumB / n;
    d.meanDifference = sumD / n;
    if (n > 1) {
        double spread = 0;
        for (int i = 0; i < n; ++i) {
            const double e = a.at(i) - b.at(i) - d.meanDifference;
            spread += e * e;
        }
        d.sdDifference = std::sqrt(spread / (n - 1));
    }
    d.tem = std::sqrt(squares / (2 * n));
    d.relativeTem = 100 * ratio(d.tem, (d.meanA + d.meanB) / 2);
    return d;
}

CategoryAgreement categoryAgreement(const QStringList& a, const QStringList& b)
{
    CategoryAgreement c{int(a.size()), notANumber, notANumber};
    const int n = c.n;
    if (n == 0)
        return c;
    int same = 0;
    QHash<QString, int> countsA, countsB;
    for (int i = 0; i < n; ++i) {
        same += a.at(i) == b.at(i) ? 1 : 0;
        ++countsA[a.at(i)];
        ++countsB[b.at(i)];
    }
    double expected = 0;
    for (auto it = countsA.cbegin(); it != countsA.cend(); ++it)
        expected += double(it.value()) * countsB.value(it.key()) / (double(n) * n);
    c.share = double(same) / n;
    // Both examiners always chose one and the same category: kappa is 0 / 0.
    c.kappa = ratio(c.share - expected, 1 - expected);
    return c;
}

}
