#ifndef TEDITSTEP_H
#define TEDITSTEP_H

#include <QElapsedTimer>
#include <QPolygonF>
#include <QString>
#include <QUndoCommand>

#include <memory>

class TGlyphEditor;
class TGlyphRecord;

// One step an examiner took in an editor, kept as the print's state before and
// after it, so undo and redo restore exactly what a save wrote at either point.
class TEditStep : public QUndoCommand
{
public:
    // What a step changes: the annotation section, the resolution and the crop
    // outline being drawn (which the section holds only once it is cropped).
    struct State {
        QString section;
        int xPpi = 0;
        int yPpi = 0;
        QPolygonF selection;
        bool operator==(const State& other) const;
        bool operator!=(const State& other) const { return !(*this == other); }
        // The section as read back (without its image name, which a restore
        // never rereads), read once and kept for the next undo or redo.
        const TGlyphRecord& record() const;

    private:
        mutable std::shared_ptr<const TGlyphRecord> parsed;
        mutable QString parsedText;
    };

    // Steps of one kind taken within this time merge into one (the turns of a
    // spin box, the digits of a typed resolution).
    static constexpr int mergeMilliseconds = 1000;
    enum Kind { Other = -1, Rotation = 1, Resolution = 2 };

    TEditStep(TGlyphEditor* editor, const State& before, const State& after,
              const QString& text, Kind kind = Other);

    void undo() override;
    void redo() override;
    int id() const override { return kind; }
    bool mergeWith(const QUndoCommand* other) override;

    const State& stateBefore() const { return before; }
    const State& stateAfter() const { return after; }

    // A name for the step from what changed between the two sections.
    static QString describe(const State& before, const State& after);

private:
    TGlyphEditor* editor;
    State before;
    State after;
    Kind kind;
    QElapsedTimer taken;
    // The step has already happened when it is pushed.
    bool done = true;
};

#endif
