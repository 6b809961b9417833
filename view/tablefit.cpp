#include "view/tablefit.h"

#include <QHeaderView>
#include <QTableWidget>

namespace tablefit {

void showAllRows(QTableWidget* table)
{
    table->resizeRowsToContents();
    int height = 2 * table->frameWidth();
    if (!table->horizontalHeader()->isHidden())
        height += table->horizontalHeader()->sizeHint().height();
    for (int row = 0; row < table->rowCount(); ++row)
        height += table->rowHeight(row);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setFixedHeight(height);
}

int showAllColumns(QTableWidget* table)
{
    int width = 2 * table->frameWidth();
    if (!table->verticalHeader()->isHidden())
        width += table->verticalHeader()->sizeHint().width();
    for (int column = 0; column < table->columnCount(); ++column) {
        int wanted = table->columnWidth(column);
        // A cell widget gives up a pixel to the grid line.
        const int grid = table->showGrid() ? 1 : 0;
        for (int row = 0; row < table->rowCount(); ++row)
            if (const QWidget* cell = table->cellWidget(row, column))
                wanted = qMax(wanted, cell->sizeHint().width() + grid);
        if (const QTableWidgetItem* header = table->horizontalHeaderItem(column))
            if (!table->horizontalHeader()->isHidden())
                wanted = qMax(wanted, table->fontMetrics().horizontalAdvance(header->text()) + 12);
        table->setColumnWidth(column, wanted);
        width += wanted;
    }
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setMinimumWidth(width);
    return width;
}

}
