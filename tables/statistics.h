#ifndef STATISTICS_H
#define STATISTICS_H

#include <QStringList>
#include <QVector>

// The statistics of examiner agreement, written from their definitions: the F
// distribution, intraclass correlations, differences between two examiners and
// Cohen's kappa. A value that cannot be worked out (too few pairs, a ratio of
// zero to zero) is NaN.
namespace statistics {

// The regularized incomplete beta function I_x(a, b) for a, b > 0 and x in [0, 1].
double incompleteBeta(double x, double a, double b);
// P(F <= f) for the F distribution with d1 and d2 degrees of freedom (d1, d2 > 0,
// not necessarily whole).
double fDistribution(double f, double d1, double d2);
// The f with fDistribution(f, d1, d2) = p, for 0 < p < 1.
double fQuantile(double p, double d1, double d2);

struct Estimate
{
    double value;
    double lower;
    double upper;
};

// The intraclass correlations of Shrout and Fleiss (1979) with their confidence
// intervals: for one rater (ICC(1,1), ICC(2,1), ICC(3,1)) and for the mean of the
// k raters (ICC(1,k), ICC(2,k), ICC(3,k)). Model 1 takes each target rated by
// other raters, 2 the raters as drawn from many (absolute agreement), 3 the
// raters as the only ones (consistency).
struct Icc
{
    Estimate single[3];
    Estimate mean[3];
};

// ratings holds one row per target with one value per rater, every row as long.
// Needs at least two targets and two raters. The intervals are those of Shrout
// and Fleiss; ICC(2,1)'s is Satterthwaite's approximation, and ICC(2,k)'s follows
// McGraw and Wong (1996).
Icc icc(const QVector<QVector<double>>& ratings, double confidence = 0.95);

// How far two examiners' values of the same prints lie apart; d = a - b.
struct Differences
{
    int n;
    double meanA;
    double meanB;
    double meanDifference;
    // The standard deviation of d (n - 1 in the denominator).
    double sdDifference;
    // Technical error of measurement, sqrt(sum d^2 / 2n).
    double tem;
    // tem in percent of the mean of all 2n values.
    double relativeTem;
};

// a and b must be of one length.
Differences differences(const QVector<double>& a, const QVector<double>& b);

// How often two examiners put a print in the same category, and Cohen's kappa:
// (observed - expected) / (1 - expected), expected from each examiner's shares.
struct CategoryAgreement
{
    int n;
    double share;
    double kappa;
};

// a and b must be of one length.
CategoryAgreement categoryAgreement(const QStringList& a, const QStringList& b);

}

#endif
