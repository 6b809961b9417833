#ifndef PALMFORMULA_H
#define PALMFORMULA_H

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

// The palm formula and the main line indices as functions of the classification
// alone, so they can be worked out without the panel that shows them.
namespace palmformula {

// The termination codes of a main line, in the order the panel offers them.
QStringList terminationCodes();
// The other texts the panel's boxes offer, in their order: whether a main line is
// simple or dual, how a pattern area is given, and the predefined patterns of
// pattern row 0..7 (Hypothenar 1, Hypothenar 2, Thenar 1, Thenar 2, I1..I4).
QStringList lineKinds();
QStringList patternOptions();
QStringList predefinedPatterns(int row);
// The setting types the classification is stored under: main lines D, C, B, A, T
// and pattern rows 0..7.
QStringList terminationTypes();
QStringList patternTypes();
// The number a termination code stands for in the main line indices; 0 for an
// unknown code.
int terminationValue(const QString& code);

struct Termination
{
    bool dual = false;
    QString first;
    QString second;
};

enum PatternOption { Predefined = 0, Custom = 1, NotAvailable = 2 };

struct Pattern
{
    int option = Predefined;
    QString predefined;
    QString custom;
    // What the area contributes to the formula.
    QString value() const;
};

struct Classification
{
    QVector<Termination> terminations;   // D, C, B, A, T
    QVector<Pattern> patterns;           // pattern rows 0..7
    // Whether the examiner chose any box of a main line or pattern row.
    QVector<bool> linesAnswered = QVector<bool>(5, true);
    QVector<bool> patternsAnswered = QVector<bool>(8, true);
};

// What a cleared panel holds: simple lines ending at the first code, the first
// predefined pattern everywhere, the second hypothenar and thenar areas not
// available. Only those two areas count as answered: "not available" is what
// most palms have there.
Classification cleared();

// The classification a panel holding from has once it has loaded settings (setting
// type to its first, second and third value): a type with fewer than three values
// is passed over, and a text its box does not offer leaves the box as it was;
// custom pattern texts are taken as they are. The answers are what settings say:
// without an "answered" setting (a set written before answers were kept) every
// row counts as answered.
Classification loadedClassification(const QMap<QString, QStringList>& settings,
                                    const Classification& from = cleared());

// terminations: D, C, B, A, T. axial: whether t, t1, t2, t3, tb are present.
// patterns: Hypothenar 1, Hypothenar 2, Thenar 1, Thenar 2, I1..I4.
QString formula(const QVector<Termination>& terminations, const QVector<bool>& axial,
                const QVector<Pattern>& patterns);

// The indices A1-D1, A1-D2, A2-D1, A2-D2 from the termination values of lines A
// and D; an index that needs the second termination of a simple line is empty.
QStringList mainLineIndices(int a1, int a2, bool aDual, int d1, int d2, bool dDual);
// The same from the terminations D, C, B, A, T.
QStringList mainLineIndices(const QVector<Termination>& terminations);

// The formula of c, empty while a main line or a pattern row is unanswered.
QString answeredFormula(const Classification& c, const QVector<bool>& axial);
// The main line indices of c, all empty while line A or D is unanswered.
QStringList answeredMainLineIndices(const Classification& c);

}

#endif
