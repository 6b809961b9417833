#ifndef TABLEFIT_H
#define TABLEFIT_H

class QTableWidget;

// Sizing of the small tables of the side panels, so every row and column shows
// whole without a scroll bar of the table's own.
namespace tablefit {

// Fixes the table's height to all its rows (and its header, when shown).
void showAllRows(QTableWidget* table);

// Widens every column to its contents (cell widgets included), never below the
// width it has now, and fixes the table's width to all of them; returns it.
int showAllColumns(QTableWidget* table);

}

#endif
