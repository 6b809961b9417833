#include "view/tedithistory.h"

#include "view/teditstep.h"

#include <QUndoStack>

bool TEditHistory::State::operator==(const State& other) const
{
    return xPpi == other.xPpi && yPpi == other.yPpi && selection == other.selection
           && record == other.record;
}

TEditHistory::TEditHistory(std::function<State()> capture,
                           std::function<void(const State&)> restore, QObject* parent)
    : QObject(parent), capture(std::move(capture)), restoreTo(std::move(restore)),
      undoStack(new QUndoStack(this))
{
    undoStack->setUndoLimit(200);
}

TEditHistory::~TEditHistory()
{
    // The stack reports its clearing to whoever shows it; it goes while they do.
    delete undoStack;
}

void TEditHistory::track(const QVector<Action>& actions)
{
    for (const Action& action : actions) {
        const QString name = action.name;
        const Kind kind = action.kind;
        action.connect(this, [this, name, kind] { record(name, kind); });
    }
}

void TEditHistory::start()
{
    undoStack->clear();
    now = capture();
    depth = 0;
}

void TEditHistory::begin()
{
    ++depth;
}

void TEditHistory::end(const QString& name, Kind kind)
{
    if (depth > 0)
        --depth;
    record(name, kind);
}

void TEditHistory::endUnrecorded()
{
    if (depth > 0)
        --depth;
    pendingName.clear();
    pendingKind = Other;
}

// Lists equal to the last state's are made to share its memory, so a long
// history keeps each unchanged line once.
template <typename T>
static void share(T& fresh, const T& kept)
{
    if (fresh == kept)
        fresh = kept;
}

static void shareUnchanged(TGlyphRecord& fresh, const TGlyphRecord& kept)
{
    share(fresh.crop, kept.crop);
    share(fresh.flexion, kept.flexion);
    share(fresh.cores, kept.cores);
    share(fresh.triradia, kept.triradia);
    share(fresh.cc, kept.cc);
    share(fresh.ct, kept.ct);
    share(fresh.ba, kept.ba);
    share(fresh.cb, kept.cb);
    share(fresh.dc, kept.dc);
    share(fresh.td, kept.td);
    share(fresh.coreRidgeLines, kept.coreRidgeLines);
    share(fresh.triradiusLines, kept.triradiusLines);
    share(fresh.settings, kept.settings);
}

void TEditHistory::record(const QString& name, Kind kind)
{
    if (restoring)
        return;
    if (depth > 0) {
        // The outer action records; the inner one may know its name best.
        if (!name.isEmpty()) {
            pendingName = name;
            pendingKind = kind;
        }
        return;
    }
    const QString known = name.isEmpty() ? pendingName : name;
    if (name.isEmpty())
        kind = pendingKind;
    pendingName.clear();
    pendingKind = Other;
    State after = capture();
    if (after == now)
        return;
    shareUnchanged(after.record, now.record);
    const QString text = known.isEmpty() ? describe(now, after) : known;
    const State before = now;
    now = after;
    undoStack->push(new TEditStep(this, before, after, text, kind));
}

void TEditHistory::restore(const State& state)
{
    restoring = true;
    restoreTo(state);
    now = capture();
    restoring = false;
    if (now != state)
        emit restoreFailed(undoStack->text(undoStack->index()));
    // What is shown is what the next step starts from, whatever came back.
}
static int pointCount(const QVector<QVector<QVector<QPointF>>>& perLandmark)
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

QString TEditHistory::describe(const State& before, const State& after)
{
    if (before.xPpi != after.xPpi || before.yPpi != after.yPpi)
        return "Set resolution";
    const TGlyphRecord& a = before.record;
    const TGlyphRecord& b = after.record;
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
