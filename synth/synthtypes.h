#ifndef SYNTHTYPES_H
#define SYNTHTYPES_H

#include <QPointF>
#include <QString>

// What a synthetic print is of: its pattern, and the cores and triradii its
// ridge flow was made from, which are the truth that finding them is scored by.
namespace synth {

enum class Pattern { LoopLeft, LoopRight, Whorl, DoubleLoop, PlainArch, TentedArch, Palm };

// "loop (opens left)", "whorl", "palm", ...
QString patternName(Pattern pattern);

struct SingularPoint {
    enum Kind { Core, Triradius };
    Kind kind;
    QPointF position;   // millimetres in a FlowModel, pixels in a Print
    QString name;       // a palm's triradii: "a", "b", "c", "d", "t"; else empty
};

}

#endif
