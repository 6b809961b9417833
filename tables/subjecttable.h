#ifndef SUBJECTTABLE_H
#define SUBJECTTABLE_H

#include <QString>
#include <QStringList>
#include <QVector>

// The table with one row per set in wide form, as statistics across subjects
// want it: each digit's pattern and counts side by side, the hands' totals, the
// palms, and the asymmetries between the hands.
namespace subjecttable {

// Column names in the order of columns::Subject.
QStringList columns();

// The row of a set, from its twelve print rows and its row of the set table.
QStringList row(const QVector<QStringList>& printRows, const QStringList& setRow);

}

#endif
