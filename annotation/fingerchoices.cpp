#include "annotation/fingerchoices.h"

namespace fingerchoices {

QStringList rotations()
{
    return {"clockwise", "counter clockwise", "concentric"};
}

QStringList terminations()
{
    return {"radial side", "ulnar side"};
}

}
