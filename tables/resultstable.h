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
// per set, in the order of columns::Print and columns::Summary.
QStringList printColumns();
QStringList setColumns();

// Whether the image gives a resolution to measure by in both directions.
bool hasResolution(const setfile::SlotImage& image);
// The key the tables name a set by: the file name of path, without its folder.
QString setKey(const QString& path);

// The twelve rows of the set read from path (empty for a set never saved), in
// slot order. A field is empty where the value does not apply or was not
// recorded: a slot without image has its identifiers only.
QVector<QStringList> printRows(const QString& path, const setfile::Contents& contents);
// The row of a set, summed up from its twelve print rows.
QStringList setRow(const QVector<QStringList>& printRows);

// A finger's ridge count as tfrc sums it: rc_max of its print row, 0 for an
// annotated finger without a core-triradius line (an arch), empty for a finger
// that is not annotated.
QString fingerRidgeCount(const QStringList& printRow);

// value with the given decimals; empty for NaN or infinity, and no minus sign
// on a value that rounds to zero.
QString decimal(double value, int decimals);

// One CSV record: fields joined by commas, quoted only when they hold a comma, a
// quote or a line break, ended by CR LF. The stream must be UTF-8.
void writeRow(QTextStream& out, const QStringList& fields);

}

#endif
