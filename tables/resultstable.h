#ifndef RESULTSTABLE_H
#define RESULTSTABLE_H

#include "annotation/setfile.h"

#include <QString>
#include <QStringList>
#include <QVector>

class QTextStream;

// The derived quantities of print sets as tables, worked out from what a set file
// holds with the rules the editors use, so a table and the editors never disagree.
namespace resultstable {

// Column names of the table with one row per print and of the one with one row
// per set.
QStringList printColumns();
QStringList setColumns();

// The twelve rows of a set, in slot order; set is what its first column names
// the set by. A field is empty where the value does not apply or is unknown.
QVector<QStringList> printRows(const QString& set, const setfile::Contents& contents);
// The row of a set, summed up from its twelve print rows.
QStringList setRow(const QVector<QStringList>& printRows);

// One CSV record: fields joined by commas, quoted only when they hold a comma, a
// quote or a line break, ended by CR LF. The stream must be UTF-8.
void writeRow(QTextStream& out, const QStringList& fields);

}

#endif
