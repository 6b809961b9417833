#include "view/tresolutiontable.h"

#include "view/tablefit.h"

#include <QDoubleSpinBox>
#include <QHeaderView>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>

TResolutionTable::TResolutionTable(QTableWidget* table, QObject* parent)
    : QObject(parent), itemName(new QTableWidgetItem), itemFile(new QTableWidgetItem),
      spinBoxXPpi(new QSpinBox), spinBoxYPpi(new QSpinBox), itemXSpacing(new QTableWidgetItem),
      itemYSpacing(new QTableWidgetItem), spinBoxDistance(new QDoubleSpinBox),
      buttonCalibrate(new QPushButton("calibrate")), buttonExport(new QPushButton("export"))
{
    // Tenths of a millimetre: a ruler's finest marks.
    spinBoxDistance->setDecimals(1);
    buttonCalibrate->setCheckable(true);
    for (QTableWidgetItem* item : {itemName, itemFile, itemXSpacing, itemYSpacing})
        item->setFlags(item->flags() & ~(Qt::ItemIsSelectable | Qt::ItemIsEditable));
    for (QAbstractSpinBox* box : std::initializer_list<QAbstractSpinBox*>{spinBoxXPpi, spinBoxYPpi,
                                                                           spinBoxDistance})
        box->setLayoutDirection(Qt::RightToLeft);
    spinBoxXPpi->setMaximum(10000);
    spinBoxYPpi->setMaximum(10000);
    spinBoxDistance->setMaximum(10000);
    spinBoxDistance->setMinimum(1);
    spinBoxXPpi->setSpecialValueText("unknown");
    spinBoxYPpi->setSpecialValueText("unknown");
    table->setItem(0, 0, itemName);
    table->setItem(1, 0, itemFile);
    table->setCellWidget(2, 0, spinBoxXPpi);
    table->setCellWidget(3, 0, spinBoxYPpi);
    table->setItem(4, 0, itemXSpacing);
    table->setItem(5, 0, itemYSpacing);
    table->setCellWidget(6, 0, spinBoxDistance);
    table->setCellWidget(7, 0, buttonCalibrate);
    table->setCellWidget(8, 0, buttonExport);
}

void TResolutionTable::showSpacing(bool shown)
{
    const int x = spinBoxXPpi->value();
    const int y = spinBoxYPpi->value();
    itemXSpacing->setText(x != 0 ? QString::number(25.4 / x, 'g', 6) : QString());
    itemYSpacing->setText(y != 0 ? QString::number(25.4 / y, 'g', 6) : QString());
    // An unknown resolution is shown as such (the boxes read "unknown" at 0), and for
    // a shown print the boxes say what to do, so no figure is taken for measured.
    for (QSpinBox* box : {spinBoxXPpi, spinBoxYPpi})
        box->setToolTip(shown && box->value() == 0
                            ? "Resolution unknown: the scan records none. Set it here or "
                              "calibrate."
                            : QString());
}

int TResolutionTable::fitWidth(QTableWidget* table) const
{
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->horizontalHeader()->setStretchLastSection(true);
    tablefit::showAllRows(table);
    table->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
    table->setMinimumWidth(0);
    int values = 0;
    for (const QWidget* cell : std::initializer_list<const QWidget*>{spinBoxXPpi, spinBoxDistance,
                                                                     buttonCalibrate})
        values = qMax(values, cell->minimumSizeHint().width());
    return table->verticalHeader()->sizeHint().width() + values + 2 * table->frameWidth();
}
