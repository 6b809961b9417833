#include "view/editorkeys.h"

namespace editorkeys {

namespace {

struct Entry {
    Id id;
    QKeySequence key;
    const char* shown;   // set when the entry is no key of its own
    const char* description;
};

const QList<Entry>& entries()
{
    static const QList<Entry> list = {
        {CropOutline, QKeySequence(Qt::Key_S), nullptr, "Outline the part of the print to keep"},
        {Crease, QKeySequence(Qt::Key_F), nullptr, "Outline the flexion crease (fingers)"},
        {Cores, QKeySequence(Qt::Key_C), nullptr, "Place cores; drag one to move it"},
        {Triradii, QKeySequence(Qt::Key_T), nullptr, "Place triradii; drag one to move it"},
        {RidgeCount, QKeySequence(Qt::Key_R), nullptr,
         "Count ridges: click a counted line at each ridge it crosses"},
        {Radiants, QKeySequence(Qt::Key_A), nullptr,
         "Trace radiants: right click a triradius to start a line"},
        {CentralLines, QKeySequence(Qt::Key_L), nullptr,
         "Trace central lines: right click a core to start"},
        {SuggestRidgePoints, QKeySequence(Qt::SHIFT | Qt::Key_R), nullptr,
         "Place the ridge points the print suggests on every counted line"},
        {SuggestLandmarks, QKeySequence(Qt::SHIFT | Qt::Key_L), nullptr,
         "Place the cores and triradii the print suggests"},
        {SuggestAll, QKeySequence(Qt::SHIFT | Qt::Key_A), nullptr,
         "Suggest landmarks, ridge points and the pattern (fingers)"},
        {PlaceCore, QKeySequence(Qt::SHIFT | Qt::Key_C), nullptr,
         "Place a core at the pointer, without a menu (fingers)"},
        {PlaceTriradius, QKeySequence(Qt::SHIFT | Qt::Key_T), nullptr,
         "Place a triradius at the pointer, without a menu (fingers)"},
        {DeleteMark, QKeySequence(QKeySequence::Delete), nullptr,
         "Delete the selected landmark or ridge point"},
        {TakeBackTracePoint, QKeySequence(Qt::Key_Escape), nullptr,
         "Take back the last point of the line being traced"},
        {NextPrint, QKeySequence(Qt::Key_PageDown), nullptr, "The next print of the set"},
        {PreviousPrint, QKeySequence(Qt::Key_PageUp), nullptr, "The previous print of the set"},
        {SaveSet, QKeySequence(QKeySequence::Save), nullptr, "Save the set"},
        {Undo, QKeySequence(QKeySequence::Undo), nullptr, "Undo"},
        {Redo, QKeySequence("Ctrl+Shift+Z"), nullptr, "Redo (also Ctrl+Y)"},
        {Fit, QKeySequence("Ctrl+0"), nullptr, "Fit the print into the window"},
        {ZoomIn, QKeySequence(QKeySequence::ZoomIn), nullptr, "Zoom in"},
        {ZoomOut, QKeySequence(QKeySequence::ZoomOut), nullptr, "Zoom out"},
        {WheelZoom, QKeySequence(), "Wheel", "Zoom about the pointer"},
        {WheelScroll, QKeySequence(), "Shift+Wheel", "Scroll"},
        {Pan, QKeySequence(), "Middle button, or Space and drag", "Move the print"},
        {Keys, QKeySequence(QKeySequence::HelpContents), nullptr, "This list of keys"},
    };
    return list;
}

const Entry& entry(Id id)
{
    for (const Entry& e : entries())
        if (e.id == id)
            return e;
    return entries().first();
}

}

QKeySequence key(Id id)
{
    return entry(id).key;
}

QString description(Id id)
{
    return entry(id).description;
}

QString keyText(Id id)
{
    const Entry& e = entry(id);
    return e.shown ? QString(e.shown) : e.key.toString(QKeySequence::NativeText);
}

QList<Id> all()
{
    QList<Id> ids;
    for (const Entry& e : entries())
        ids.append(e.id);
    return ids;
}

QString table()
{
    QString rows;
    for (Id id : all())
        rows += QString("<tr><td><b>%1</b>&nbsp;&nbsp;</td><td>%2</td></tr>")
                    .arg(keyText(id).toHtmlEscaped(), description(id).toHtmlEscaped());
    return "<table>" + rows + "</table>";
}

}
