#include "annotation/fingerchoices.h"

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

Classification cleared()
{
    Classification c;
    for (int i = 0; i < 3; ++i) {
        c.rotation[i] = rotations().first();
        c.termination[i] = terminations().first();
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
    return c;
}

}
