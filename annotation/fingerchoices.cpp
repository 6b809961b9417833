#include "annotation/fingerchoices.h"

#include "annotation/sectionformat.h"

namespace fingerchoices {

QStringList rotations()
{
    static const QStringList texts = {"clockwise", "counter clockwise", "concentric"};
    return texts;
}

QStringList terminations()
{
    static const QStringList texts = {"radial side", "ulnar side"};
    return texts;
}

QStringList patterns()
{
    static const QStringList texts = {"plain arch", "tented arch", "ulnar loop", "radial loop",
                                      "plain whorl", "central pocket loop", "double loop",
                                      "accidental"};
    return texts;
}

QString patternGroup(const QString& pattern)
{
    switch (patterns().indexOf(pattern)) {
    case 0:
    case 1: return "arch";
    case 2: return "ulnar loop";
    case 3: return "radial loop";
    case -1: return QString();
    default: return "whorl";
    }
}

Classification cleared()
{
    Classification c;
    for (int i = 0; i < 3; ++i) {
        c.rotation[i] = rotations().first();
        c.termination[i] = terminations().first();
        c.rotationAnswered[i] = false;
        c.terminationAnswered[i] = false;
    }
    return c;
}

Classification loadedClassification(const QMap<QString, QStringList>& settings,
                                    const Classification& from)
{
    Classification c = from;
    auto flags = [&](const QString& type, bool* into) {
        const QStringList values = settings.value(type);
        for (int i = 0; values.size() > 1 && i < 2; ++i)
            into[i] = values.at(i) == QLatin1String("1");
    };
    flags("flexion", c.flexion);
    flags("extralimital", c.extralimital);
    auto texts = [&](const QString& type, const QStringList& choices, QString* into) {
        const QStringList values = settings.value(type);
        for (int i = 0; values.size() > 2 && i < 3; ++i)
            if (choices.contains(values.at(i)))
                into[i] = values.at(i);
    };
    texts("rotation", rotations(), c.rotation);
    texts("termination", terminations(), c.termination);

    const QStringList answered = settings.value("answered");
    const QVector<bool> rotation = sectionformat::answers(answered.value(0), 3);
    const QVector<bool> termination = sectionformat::answers(answered.value(1), 3);
    for (int i = 0; i < 3; ++i) {
        c.rotationAnswered[i] = rotation.at(i);
        c.terminationAnswered[i] = termination.at(i);
    }
    const auto pattern = settings.constFind("pattern");
    if (pattern == settings.constEnd())
        c.pattern.clear();
    else if (patterns().contains(pattern.value().value(0)))
        c.pattern = pattern.value().value(0);
    return c;
}

}
