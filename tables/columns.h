#ifndef COLUMNS_H
#define COLUMNS_H

#include <QString>
#include <QVector>

// The columns of the two result tables as data: their order, names, units and
// what each means, so the tables, `--columns` and the README tell the same.
namespace columns {

// The table with one row per print, in column order.
enum Print {
    Set, Path, Subject, Examiner, Date, Slot, Hand, Digit, Image, XPpi, YPpi, Cores,
    Triradii, Pattern, RcCc, RcCt1, RcCt2, RcRadial, RcUlnar, RcMax, Crease, Core1Crease,
    Core2Crease, Triradius1Crease, Triradius2Crease, FlexionRadial, FlexionUlnar,
    ExtralimitalRadial, ExtralimitalUlnar, Rotation1, Rotation2, Rotation3, Termination1,
    Termination2, Termination3, PalmTriradii, RcAb, RcBc, RcCd, RcDt, Atd, PalmFormula,
    MliA1D1, MliA1D2, MliA2D1, MliA2D2, PrintCount
};

// The table with one row per set; it starts with the print table's identifiers.
enum Summary {
    SetFingersAnnotated = Date + 1, SetPii, SetTfrc, SetAfrc, SetLeftAb, SetRightAb,
    SetLeftAtd, SetRightAtd, SetLeftFormula, SetRightFormula, SetFingersClassified,
    SetArches, SetUlnarLoops, SetRadialLoops, SetWhorls, SummaryCount
};

struct Column
{
    QString name;
    QString unit;
    QString meaning;
    QString rule;
};

// The columns in order, indexed by Print and Summary.
const QVector<Column>& prints();
const QVector<Column>& summaries();

// Both tables' columns as a Markdown table (column, table, unit, meaning, rule),
// one line each, as `ridgemap --columns` prints it and the README holds it.
QString dictionary();

}

#endif
