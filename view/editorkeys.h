#ifndef EDITORKEYS_H
#define EDITORKEYS_H

#include <QKeySequence>
#include <QList>
#include <QString>

// The editors' keys in one place: the editors bind them from here, and the list
// of keys the examiner looks up is made from here too.
namespace editorkeys {

enum Id {
    CropOutline, Crease, Cores, Triradii, RidgeCount, Radiants, CentralLines,
    SuggestRidgePoints, SuggestLandmarks, SuggestAll, PlaceCore, PlaceTriradius, DeleteMark,
    TakeBackTracePoint, NextPrint, PreviousPrint, SaveSet, Undo, Redo, Fit, ZoomIn, ZoomOut,
    WheelZoom, WheelScroll, Pan, Keys
};

QKeySequence key(Id id);
// What the key does, as a tool tip or the list says it.
QString description(Id id);
// The key as the list shows it (some are a mouse gesture, not a key).
QString keyText(Id id);
// Every entry, in the order the list shows them.
QList<Id> all();
// The list as a table in rich text.
QString table();

}

#endif
