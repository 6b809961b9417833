#ifndef TEDITSTEP_H
#define TEDITSTEP_H

#include "view/tedithistory.h"

#include <QElapsedTimer>
#include <QUndoCommand>

// One step an examiner took in an editor, kept as the print's state before and
// after it, so undo and redo restore exactly what a save wrote at either point.
class TEditStep : public QUndoCommand
{
public:
    using State = TEditHistory::State;

    TEditStep(TEditHistory* history, const State& before, const State& after,
              const QString& text, TEditHistory::Kind kind);

    void undo() override;
    void redo() override;
    int id() const override { return kind; }
    bool mergeWith(const QUndoCommand* other) override;

    const State& stateBefore() const { return before; }
    const State& stateAfter() const { return after; }

private:
    TEditHistory* history;
    State before;
    State after;
    TEditHistory::Kind kind;
    QElapsedTimer taken;
    // The step has already happened when it is pushed.
    bool done = true;
};

#endif
