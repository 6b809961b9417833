#include "palm/palmformula.h"

namespace palmformula {

QStringList terminationCodes()
{
    return {"1", "2", "3", "4", "5'", "5''", "6", "7", "8",
            "9", "10", "11", "12", "13'", "13''", "0", "X"};
}

int terminationValue(const QString& code)
{
    static const int values[] = {1, 2, 3, 4, 5, 6, 1, 2, 3, 4, 5, 6, 7, 8, 8, 9, 10};
    const int i = terminationCodes().indexOf(code);
    return i < 0 ? 0 : values[i];
}

QString Pattern::value() const
{
    switch (option) {
    case Predefined: return predefined;
    case Custom: return custom;
    default: return QString();
    }
}

static QString pairedAreas(const Pattern& first, const Pattern& second)
{
    QString text = first.value();
    if (second.option != NotAvailable)
        text += "/" + second.value();
    return text;
}

QString formula(const QVector<Termination>& terminations, const QVector<bool>& axial,
                const QVector<Pattern>& patterns)
{
    QStringList lines;
    for (const Termination& t : terminations)
        lines.append(t.dual ? t.first + "/" + t.second : t.first);

    static const char* const axialNames[] = {"t", "t1", "t2", "t3", "tb"};
    QStringList present;
    for (int i = 0; i < 5; ++i)
        if (axial.value(i))
            present.append(axialNames[i]);

    const QVector<Pattern> p = patterns.size() >= 8 ? patterns : QVector<Pattern>(8);
    QStringList interdigital;
    for (int i = 4; i < 8; ++i)
        interdigital.append(p.at(i).value());

    return lines.join(".") + "-" + present.join(".") + "-" + pairedAreas(p.at(0), p.at(1))
           + "." + pairedAreas(p.at(2), p.at(3)) + ":" + interdigital.join(".");
}

QStringList mainLineIndices(int a1, int a2, bool aDual, int d1, int d2, bool dDual)
{
    // A line that ends in the "0" or "X" codes counts as reaching the far side:
    // 7 for line A, 1 for line D.
    if (a1 > 8) a1 = 7;
    if (a2 > 8) a2 = 7;
    if (d1 > 8) d1 = 1;
    if (d2 > 8) d2 = 1;
    return {QString::number(a1 + d1),
            dDual ? QString::number(a1 + d2) : QString(),
            aDual ? QString::number(a2 + d1) : QString(),
            aDual && dDual ? QString::number(a2 + d2) : QString()};
}

}
