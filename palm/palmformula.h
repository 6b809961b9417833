#ifndef PALMFORMULA_H
#define PALMFORMULA_H

#include <QString>
#include <QStringList>
#include <QVector>

// The palm formula and the main line indices as functions of the classification
// alone, so they can be worked out without the panel that shows them.
namespace palmformula {

// The termination codes of a main line, in the order the panel offers them.
QStringList terminationCodes();
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

// terminations: D, C, B, A, T. axial: whether t, t1, t2, t3, tb are present.
// patterns: Hypothenar 1, Hypothenar 2, Thenar 1, Thenar 2, I1..I4.
QString formula(const QVector<Termination>& terminations, const QVector<bool>& axial,
                const QVector<Pattern>& patterns);

// The indices A1-D1, A1-D2, A2-D1, A2-D2 from the termination values of lines A
// and D; an index that needs the second termination of a simple line is empty.
QStringList mainLineIndices(int a1, int a2, bool aDual, int d1, int d2, bool dDual);

}

#endif
