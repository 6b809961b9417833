#include "tables/subjecttable.h"

#include "annotation/fingerchoices.h"
#include "tables/columns.h"
#include "tables/resultstable.h"

#include <cmath>

namespace subjecttable {

namespace {

using namespace columns;

// R - L and |R - L| into the two fields at row[at], with as many decimals as
// the values have; both empty where either side is.
void asymmetry(const QString& right, const QString& left, QStringList& row, int at)
{
    if (right.isEmpty() || left.isEmpty())
        return;
    const int decimals = qMax(right.section('.', 1).size(), left.section('.', 1).size());
    const double d = right.toDouble() - left.toDouble();
    row[at] = resultstable::decimal(d, decimals);
    row[at + 1] = resultstable::decimal(std::abs(d), decimals);
}

// The total ridge count and pattern groups of the five fingers from first.
void hand(const QVector<QStringList>& rows, int first, QStringList& row, int at)
{
    int total = 0;
    int annotated = 0;
    int groups[3] = {0, 0, 0};
    int classified = 0;
    for (int i = first; i < first + 5; ++i) {
        const QString count = resultstable::fingerRidgeCount(rows.at(i));
        if (!count.isEmpty()) {
            ++annotated;
            total += count.toInt();
        }
        const QString group = fingerchoices::patternGroup(rows.at(i).at(Pattern));
        if (group.isEmpty())
            continue;
        ++classified;
        ++groups[group == "arch" ? 0 : group == "whorl" ? 2 : 1];
    }
    if (annotated == 5)
        row[at] = QString::number(total);
    for (int g = 0; classified == 5 && g < 3; ++g)
        row[at + 1 + g] = QString::number(groups[g]);
}

}

QStringList columns()
{
    static const QStringList list = names(subjects());
    return list;
}

QStringList row(const QVector<QStringList>& rows, const QStringList& setRow)
{
    QStringList row = setRow.mid(Set, Date + 1);
    while (row.size() < SubjectCount)
        row.append(QString());
    for (int d = 0; d < 10; ++d) {
        const QStringList& print = rows.at(d);
        const int at = SubjectDigits + d * digitValues;
        row[at] = print.at(Pattern);
        row[at + 1] = resultstable::fingerRidgeCount(print);
        row[at + 2] = print.at(RcRadial);
        row[at + 3] = print.at(RcUlnar);
    }
    for (int h = 0; h < 2; ++h)
        hand(rows, 5 * h, row, SubjectHands + h * handValues);
    row[SubjectPii] = setRow.at(SetPii);
    for (int h = 0; h < 2; ++h) {
        const QStringList& palm = rows.at(10 + h);
        const int at = SubjectPalms + h * palmValues;
        row[at] = palm.at(RcAb);
        row[at + 1] = palm.at(RcBc);
        row[at + 2] = palm.at(RcCd);
        row[at + 3] = palm.at(Atd);
        row[at + 4] = palm.at(MliA1D1);
    }

    int differing = 0;
    bool classified = true;
    for (int d = 0; d < 5; ++d) {
        const int left = SubjectDigits + d * digitValues;
        const int right = left + 5 * digitValues;
        asymmetry(row.at(right + 1), row.at(left + 1), row, SubjectDigitAsymmetry + 2 * d);
        classified = classified && !row.at(left).isEmpty() && !row.at(right).isEmpty();
        differing += row.at(left) != row.at(right) ? 1 : 0;
    }
    if (classified)
        row[SubjectPatternsDiffering] = QString::number(differing);
    const int leftPalm = SubjectPalms;
    const int rightPalm = SubjectPalms + palmValues;
    asymmetry(row.at(rightPalm), row.at(leftPalm), row, SubjectAbDiff);
    asymmetry(row.at(rightPalm + 3), row.at(leftPalm + 3), row, SubjectAtdDiff);
    asymmetry(row.at(SubjectHands + handValues), row.at(SubjectHands), row, SubjectTrcDiff);
    return row;
}

}
