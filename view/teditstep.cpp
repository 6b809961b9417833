#include "view/teditstep.h"

#include "annotation/tglyphrecord.h"
#include "view/tglypheditor.h"

#include <QXmlStreamReader>

bool TEditStep::State::operator==(const State& other) const
{
    return section == other.section && xPpi == other.xPpi && yPpi == other.yPpi
           && selection == other.selection;
}

const TGlyphRecord& TEditStep::State::record() const
{
    if (!parsed || !section.isSharedWith(parsedText)) {
        auto record = std::make_shared<TGlyphRecord>();
        QXmlStreamReader xml(section);
        try {
            record->read(xml);
        } catch (...) {
            // Written by this program, so it reads; an empty record clears the print.
        }
        record->src.clear();
        parsed = record;
        parsedText = section;
    }
    return *parsed;
}

TEditStep::TEditStep(TGlyphEditor* editor, const State& before, const State& after,
                     const QString& text, Kind kind)
    : editor(editor), before(before), after(after), kind(kind)
{
    setText(text);
    taken.start();
}

void TEditStep::undo()
{
    editor->restoreState(before);
}

void TEditStep::redo()
{
    if (done) {
        done = false;
        return;
    }
    editor->restoreState(after);
}

bool TEditStep::mergeWith(const QUndoCommand* other)
{
    const auto* next = static_cast<const TEditStep*>(other);
    if (next->kind != kind || taken.elapsed() > mergeMilliseconds)
        return false;
    after = next->after;
    taken.restart();
    return true;
}

static int pointCount(const QList<QList<QList<QPointF>>>& perLandmark)
{
    int n = 0;
    for (const auto& lines : perLandmark)
        for (const auto& line : lines)
            n += line.size();
    return n;
}

static int landmarkCount(const TGlyphRecord& r, bool cores)
{
    if (cores)
        return r.cores.size();
    // A palm section lists all seventeen slots; the placed ones carry d="1".
    if (r.triradia.size() == TGlyphRecord::triradiusSlots && r.settings.contains("Dterm"))
        return r.determined.count(true);
    return r.triradia.size();
}

static QString change(int before, int after, const QString& added, const QString& removed,
                      const QString& moved)
{
    if (after > before)
        return added;
    if (after < before)
        return removed;
    return moved;
}

QString TEditStep::describe(const State& before, const State& after)
{
    if (before.xPpi != after.xPpi || before.yPpi != after.yPpi)
        return "Set resolution";
    const TGlyphRecord& a = before.record();
    const TGlyphRecord& b = after.record();
    if (a.crop != b.crop)
        return "Crop";
    if (a.angle != b.angle)
        return "Rotate";
    if (a.flip != b.flip)
        return "Mirror";
    if (a.cores != b.cores)
        return change(a.cores.size(), b.cores.size(), "Add core point", "Delete core point",
                      "Move core point");
    if (a.triradia != b.triradia || a.determined != b.determined)
        return change(landmarkCount(a, false), landmarkCount(b, false), "Add triradius",
                      "Delete triradius", "Move triradius");
    const int ridgeBefore = a.cc.size() + a.ba.size() + a.cb.size() + a.dc.size() + a.td.size();
    const int ridgeAfter = b.cc.size() + b.ba.size() + b.cb.size() + b.dc.size() + b.td.size();
    int ctBefore = 0;
    int ctAfter = 0;
    for (const auto& line : a.ct)
        ctBefore += line.size();
    for (const auto& line : b.ct)
        ctAfter += line.size();
    if (ridgeBefore + ctBefore != ridgeAfter + ctAfter)
        return change(ridgeBefore + ctBefore, ridgeAfter + ctAfter, "Add ridge point",
                      "Delete ridge point", QString());
    if (a.triradiusLines != b.triradiusLines)
        return change(pointCount(a.triradiusLines), pointCount(b.triradiusLines),
                      "Trace radiant", "Remove radiant point", "Trace radiant");
    if (a.coreRidgeLines != b.coreRidgeLines)
        return change(pointCount(a.coreRidgeLines), pointCount(b.coreRidgeLines),
                      "Trace central line", "Remove central line point", "Trace central line");
    if (a.flexion != b.flexion)
        return b.flexion.isEmpty() ? "Cancel flexion line" : "Add flexion vertex";
    if (a.present != b.present)
        return "Present triradius";
    if (a.settings != b.settings)
        return "Classification";
    if (before.selection != after.selection)
        return after.selection.isEmpty() ? "Cancel selection" : "Crop selection";
    return "Edit";
}
