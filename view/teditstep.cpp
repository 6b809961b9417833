#include "view/teditstep.h"

TEditStep::TEditStep(TEditHistory* history, const State& before, const State& after,
                     const QString& text, TEditHistory::Kind kind)
    : history(history), before(before), after(after), kind(kind)
{
    setText(text);
    taken.start();
}

void TEditStep::undo()
{
    history->restore(before);
}

void TEditStep::redo()
{
    if (done) {
        done = false;
        return;
    }
    history->restore(after);
}

bool TEditStep::mergeWith(const QUndoCommand* other)
{
    const auto* next = static_cast<const TEditStep*>(other);
    if (next->kind != kind || taken.elapsed() > TEditHistory::mergeMilliseconds)
        return false;
    after = next->after;
    taken.restart();
    return true;
}
