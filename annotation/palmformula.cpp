#include "annotation/palmformula.h"

#include "annotation/sectionformat.h"

namespace palmformula {

// The lists are made once: the result tables look texts up in them for every
// palm of a study.
QStringList terminationCodes()
{
    static const QStringList codes = {"1", "2", "3", "4", "5'", "5''", "6", "7", "8",
                                      "9", "10", "11", "12", "13'", "13''", "0", "X"};
    return codes;
}

QStringList lineKinds()
{
    static const QStringList kinds = {"Simple", "Dual"};
    return kinds;
}

QStringList patternOptions()
{
    static const QStringList options = {"predefined", "custom", "not available"};
    return options;
}

QStringList predefinedPatterns(int row)
{
    static const QStringList hypothenar = {"Au", "Ar", "Ac", "Tu", "Tr", "Tc",
                                           "Lu", "Lr", "Lc", "W", "Ws", "Wd"};
    static const QStringList thenar = {"O", "V", "Lu", "Lr", "W"};
    static const QStringList interdigital = {"Ld", "D", "d", "L", "l", "W", "O", "V", "M"};
    return row < 2 ? hypothenar : row < 4 ? thenar : interdigital;
}

QStringList terminationTypes()
{
    static const QStringList types = {"Dterm", "Cterm", "Bterm", "Aterm", "Tterm"};
    return types;
}

QStringList patternTypes()
{
    static const QStringList types = {"Hypothenar1", "Hypothenar2", "Thenar1", "Thenar2",
                                      "I1", "I2", "I3", "I4"};
    return types;
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

// text when choices offers it, else what the box showed before.
static QString known(const QStringList& choices, const QString& text, const QString& before)
{
    return choices.contains(text) ? text : before;
}

Classification cleared()
{
    Classification c;
    const QString code = terminationCodes().first();
    c.terminations.fill(Termination{false, code, code}, terminationTypes().size());
    for (int row = 0; row < patternTypes().size(); ++row) {
        const bool second = row == 1 || row == 3;
        c.patterns.append({second ? NotAvailable : Predefined, predefinedPatterns(row).first(),
                           QString()});
        c.patternsAnswered[row] = second;
    }
    c.linesAnswered.fill(false);
    return c;
}

Classification loadedClassification(const QMap<QString, QStringList>& settings,
                                    const Classification& from)
{
    Classification c = from;
    const QStringList codes = terminationCodes();
    const QStringList lineTypes = terminationTypes();
    for (int i = 0; i < lineTypes.size() && i < c.terminations.size(); ++i) {
        const QStringList values = settings.value(lineTypes.at(i));
        if (values.size() <= 2)
            continue;
        Termination& t = c.terminations[i];
        if (lineKinds().contains(values.at(0)))
            t.dual = values.at(0) == lineKinds().last();
        t.first = known(codes, values.at(1), t.first);
        t.second = known(codes, values.at(2), t.second);
    }
    const QStringList types = patternTypes();
    for (int row = 0; row < types.size() && row < c.patterns.size(); ++row) {
        const QStringList values = settings.value(types.at(row));
        if (values.size() <= 2)
            continue;
        Pattern& p = c.patterns[row];
        const int option = patternOptions().indexOf(values.at(0));
        if (option >= 0)
            p.option = option;
        p.predefined = known(predefinedPatterns(row), values.at(1), p.predefined);
        p.custom = values.at(2);
    }
    const QStringList answered = settings.value("answered");
    c.linesAnswered = sectionformat::answers(answered.value(0), lineTypes.size());
    c.patternsAnswered = sectionformat::answers(answered.value(1), types.size());
    return c;
}

QStringList mainLineIndices(const QVector<Termination>& terminations)
{
    const Termination a = terminations.value(3);
    const Termination d = terminations.value(0);
    return mainLineIndices(terminationValue(a.first), terminationValue(a.second), a.dual,
                           terminationValue(d.first), terminationValue(d.second), d.dual);
}

QString answeredFormula(const Classification& c, const QVector<bool>& axial)
{
    if (c.linesAnswered.contains(false) || c.patternsAnswered.contains(false))
        return QString();
    return formula(c.terminations, axial, c.patterns);
}

QStringList answeredMainLineIndices(const Classification& c)
{
    if (!c.linesAnswered.value(0) || !c.linesAnswered.value(3))
        return {QString(), QString(), QString(), QString()};
    return mainLineIndices(c.terminations);
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
