#ifndef SCENARIOS_H
#define SCENARIOS_H

#include <QString>

// The scenarios of ridgemap-bench. Each prints its report lines; those that
// return a bool count as one target, the others add theirs to met and total.
namespace bench {

// Editing costs: import, annotate, rotate, undo, repaint, crease fit.
bool importBothHands(const QString& scan);
bool annotateStep(const QString& large, const QString& small);
bool rotateStep(const QString& palm);
bool undoStep(const QString& palm);
bool fitRepaintStep(const QString& large, const QString& small);
bool flexionFit();

// Sets and tables: an annotated set opened, 1,000 sets read into the tables.
bool openSet(const QString& scan, const QString& dir);
bool resultsTable(const QString& scan, const QString& dir);
// The agreement and subject tables of the study folder results-table writes
// (bench/scenarioagreement.cpp).
bool agreementTables(const QString& study);

// Suggested ridge points on prints grown like skin, per kind of damage, and
// on the ring prints with breaks, dots and pores that came first.
void skinPrints(int* met, int* total);
void ringPrints(int* met, int* total);

// Suggested cores and triradii, pattern types and palm names on prints grown
// like skin (bench/scenariolandmarks.cpp).
void landmarks(int* met, int* total);

}

#endif
