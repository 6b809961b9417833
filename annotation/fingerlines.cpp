#include "annotation/fingerlines.h"

namespace fingerlines {

QVector<QPair<int, int>> coreTriradiusPairs(int cores, int triradia)
{
    QVector<QPair<int, int>> pairs;
    if (cores == 1) {
        for (int t = 0; t < triradia; ++t)
            pairs.append(qMakePair(0, t));
    } else if (cores == 2 && triradia == 2) {
        pairs.append(qMakePair(0, 0));
        pairs.append(qMakePair(1, 1));
    }
    return pairs;
}

}
