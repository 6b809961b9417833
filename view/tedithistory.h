#ifndef TEDITHISTORY_H
#define TEDITHISTORY_H

#include "annotation/tglyphrecord.h"

#include <QObject>
#include <QPolygonF>
#include <QString>
#include <QVector>

#include <functional>

class QUndoStack;

// The steps an examiner takes in one editor, for undo and redo: what is recorded,
// how an action is bracketed, named and merged into the step before, and how the
// print is put back. A step keeps the print's state before and after it.
class TEditHistory : public QObject
{
    Q_OBJECT
public:
    // What a step changes: the print's record, the resolution the editor shows
    // and the crop outline being drawn (which the record holds only once cut).
    struct State {
        TGlyphRecord record;
        int xPpi = 0;
        int yPpi = 0;
        QPolygonF selection;
        bool operator==(const State& other) const;
        bool operator!=(const State& other) const { return !(*this == other); }
    };

    // Steps of one kind taken within this time merge into one (the turns of a
    // spin box, the digits of a typed resolution).
    static constexpr int mergeMilliseconds = 1000;
    enum Kind { Other = -1, Rotation = 1, Resolution = 2 };

    // An action of the examiner that becomes a step: a signal of a control, the
    // step's name and kind. connect joins a function to the signal.
    struct Action {
        QString name;
        Kind kind = Other;
        std::function<void(QObject* receiver, const std::function<void()>&)> connect;
    };
    template <typename Sender, typename Signal>
    static Action on(Sender* sender, Signal signal, const QString& name, Kind kind = Other)
    {
        return {name, kind, [sender, signal](QObject* receiver, const std::function<void()>& f) {
                    QObject::connect(sender, signal, receiver, f);
                }};
    }

    // capture gives the print's state now; restore brings the print to a state.
    TEditHistory(std::function<State()> capture, std::function<void(const State&)> restore,
                 QObject* parent = nullptr);
    ~TEditHistory() override;

    QUndoStack* stack() const { return undoStack; }
    // Records each of actions whenever its signal fires. Connected once every
    // action's own work is connected, so a step is taken after the work is done.
    void track(const QVector<Action>& actions);
    // Forgets every step: the print as it is now is where undo stops.
    void start();
    // An action of the examiner begins; the step is recorded when it ends. Nested
    // actions record once, when the outer one ends.
    void begin();
    void end(const QString& name = QString(), Kind kind = Other);
    // Ends an action that is no step of its own: what it changed is left to the
    // next step, or to start() to forget.
    void endUnrecorded();
    // Records what the last action changed as one step; name empty names it from
    // the change.
    void record(const QString& name = QString(), Kind kind = Other);
    // Brings the print to state, as undo and redo do.
    void restore(const State& state);
    bool isRestoring() const { return restoring; }
    // The state the history last recorded or restored.
    const State& current() const { return now; }

    // A name for the step from what changed between two states.
    static QString describe(const State& before, const State& after);

signals:
    // A restore did not bring the print to the state it was asked for: a fault
    // of the program, never of the examiner.
    void restoreFailed(const QString& step);

private:
    std::function<State()> capture;
    std::function<void(const State&)> restoreTo;
    QUndoStack* undoStack;
    State now;
    int depth = 0;
    QString pendingName;
    Kind pendingKind = Other;
    bool restoring = false;
};

#endif
