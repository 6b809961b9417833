#ifndef AGREEMENTTABLE_H
#define AGREEMENTTABLE_H

#include "annotation/setfile.h"

#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>

// Two examiners (or one examiner twice) compared on the same subjects: the sets
// paired, how well they agree on each trait, and each paired value and landmark
// side by side.
namespace agreementtable {

// One examiner's set as the comparison needs it.
struct Examination
{
    QString path;
    setfile::Contents contents;
    // The value of each trait, in the agreement table's order; empty where the
    // set has none.
    QStringList values;
};

// The examination of the set read from path, with its print and set rows.
Examination examination(const QString& path, const setfile::Contents& contents,
                        const QVector<QStringList>& printRows, const QStringList& setRow);

// Which set of a goes with which of b: by subject where both give one, else by
// file name; the sets left over are the indices in unpairedA and unpairedB.
struct Pairing
{
    QVector<QPair<int, int>> pairs;
    QVector<int> unpairedA;
    QVector<int> unpairedB;
};
Pairing pairSets(const QVector<Examination>& a, const QVector<Examination>& b);

// Column names in the order of columns::Agreement and columns::Pair.
QStringList agreementColumns();
QStringList pairColumns();

// One row per trait, in the order of the examinations' values.
QVector<QStringList> agreementRows(const QVector<Examination>& a,
                                   const QVector<Examination>& b,
                                   const QVector<QPair<int, int>>& pairs);
// One row per paired print and trait with a value, and per landmark both placed.
QVector<QStringList> pairRows(const QVector<Examination>& a, const QVector<Examination>& b,
                              const QVector<QPair<int, int>>& pairs);

}

#endif
