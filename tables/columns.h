#ifndef COLUMNS_H
#define COLUMNS_H

#include <QString>
#include <QStringList>
#include <QVector>

// The columns of the result tables as data: their order, names, units and
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

// The table with one row per set in wide form, for statistics across subjects:
// the identifiers, then for each digit L1..R5 its pattern, rc_max, rc_radial and
// rc_ulnar, for each hand its total ridge count and pattern groups, pii, for
// each palm its counts, atd and main line index, and the asymmetries.
constexpr int digitValues = 4;
constexpr int handValues = 4;
constexpr int palmValues = 5;
enum Subject {
    SubjectDigits = Date + 1,
    SubjectHands = SubjectDigits + 10 * digitValues,
    SubjectPii = SubjectHands + 2 * handValues,
    SubjectPalms,
    // R - L and |R - L| for each digit 1..5.
    SubjectDigitAsymmetry = SubjectPalms + 2 * palmValues,
    SubjectAbDiff = SubjectDigitAsymmetry + 10, SubjectAbAbsDiff, SubjectAtdDiff,
    SubjectAtdAbsDiff, SubjectTrcDiff, SubjectTrcAbsDiff, SubjectPatternsDiffering,
    SubjectCount
};

// The table with one row per trait on which two examiners are compared.
enum Agreement {
    AgreementTrait, AgreementSlot, AgreementPairs, AgreementMeanA, AgreementMeanB,
    AgreementMeanDifference, AgreementSdDifference, AgreementTem, AgreementRelativeTem,
    AgreementIcc21, AgreementIcc21Lower, AgreementIcc21Upper, AgreementIcc31,
    AgreementIcc31Lower, AgreementIcc31Upper, AgreementShare, AgreementKappa, AgreementCount
};

// The table with one row per paired print and trait or landmark.
enum Pair {
    PairSubject, PairSetA, PairSetB, PairSlot, PairTrait, PairValueA, PairValueB,
    PairDifference, PairDistance, PairCount
};

struct Column
{
    QString name;
    QString unit;
    QString meaning;
    QString rule;
};

// The columns in order, indexed by Print, Summary, Subject, Agreement and Pair.
const QVector<Column>& prints();
const QVector<Column>& summaries();
const QVector<Column>& subjects();
const QVector<Column>& agreement();
const QVector<Column>& pairs();

// The names of a table's columns, in order.
QStringList names(const QVector<Column>& table);

// Every table's columns as a Markdown table (column, table, unit, meaning, rule),
// one line each, as `ridgemap --columns` prints it and the README holds it.
QString dictionary();

}

#endif
