#ifndef TANNOTATIONVIEW_H
#define TANNOTATIONVIEW_H

#include "annotation/tlandmark.h"
#include "view/tglyphview.h"
#include "view/tgraphicsvertexitem.h"

#include <QList>
#include <QPointer>
#include <QVector>

#include <functional>
#include <memory>
#include <vector>

class TAnnotationTool;
class TGlyphRecord;
class TRCLine;

// What the finger and palm views share: landmarks with the lines traced from
// them, counted lines with their ridge points, the landmark being traced, the
// tools that make these marks, and the loader's way of bringing marks to a
// record while keeping every mark that stays.
class TAnnotationView : public TGlyphView
{
    Q_OBJECT
public:
    explicit TAnnotationView(QWidget* parent = nullptr);
    ~TAnnotationView() override;

    // The placed landmarks of a kind, and the counted lines, as the tools see them.
    virtual QList<TGraphicsVertexItem*> landmarks(TLandmark kind) const = 0;
    virtual QList<TRCLine*> countedLines() const = 0;
    bool isLandmark(const QGraphicsItem* item) const;
    // The counted line a click at scenePos means, if any.
    TRCLine* countedLineAt(const QPointF& scenePos) const;

    // The landmark whose line is being traced; null when none.
    TGraphicsVertexItem* tracedVertex() const { return currentVertex; }
    void setTracedVertex(TGraphicsVertexItem* landmark) { currentVertex = landmark; }

    bool isAddingCores() const { return addingCores; }
    bool isAddingTriradia() const { return addingTriradia; }
    bool isAddingRidgePoints() const { return addingRidgePoints; }
    bool isAddingRadiants() const { return addingRadiants; }
    bool isAddingCentralLines() const { return addingCentralLines; }

    // Ridge points the print suggests for counted (a line in scene coordinates),
    // leaving out those within half a ridge spacing of a point already there.
    QVector<QPointF> suggestedRidgePoints(const TRCLine* counted) const;
    // Puts the suggested points on counted as ridge points drawn as outlines and
    // says so; how many.
    int suggestOn(TRCLine* counted);
    // The name of a counted line as the examiner knows it ("a\u2013b", "core\u2013core").
    virtual QString countedLineName(const TRCLine* line) const = 0;

    // A landmark the print suggests, in scene coordinates, with the ridge period
    // there in scene pixels.
    struct Suggested {
        TLandmark kind;
        QPointF position;
        double period;
    };
    // The cores and triradii the print shows, read from the print as cut.
    QVector<Suggested> foundLandmarks() const;
    // Whether a landmark of kind lies within one ridge period of found.
    bool isPlaced(const Suggested& found) const;

    // Hands a press on a landmark to the scene, which drags it once the pointer
    // has moved further than a click's jitter.
    void startLandmarkDrag(QMouseEvent* event);

    // The mark the examiner picked last, a landmark or a ridge point; null when
    // none. A picked mark is drawn framed.
    TGraphicsVertexItem* selectedMark() const { return picked; }
    void selectMark(TGraphicsVertexItem* mark);
    // The ridge point of a counted line under scenePos, if any.
    TGraphicsVertexItem* ridgePointAt(const QPointF& scenePos) const;

signals:
    // Suggested ridge points were placed: what to tell the examiner.
    void suggested(const QString& summary);

public slots:
    virtual void connectPoints() = 0;
    void addCores(bool add);
    void addTriradia(bool add);
    void addRidgePoints(bool add);
    void addRadiants(bool add);
    void addCentralLines(bool add);
    void cancelRidgePoints();
    // Every counted line takes the ridge points the print suggests for it.
    void suggestRidgePoints();
    void cancelRadiants();
    void cancelCentralLines();
    // Deletes the picked mark: a landmark with its lines, or a ridge point.
    void deleteSelectedMark();

protected:
    // Removes landmark from the view's lists and deletes it, rebuilding what
    // depended on it.
    virtual void removeLandmark(TGraphicsVertexItem* landmark) = 0;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    // The tools, in the order they are asked: tracing first, then the crop
    // selection, then the placing tools in the order added, ridge counting last.
    void addPlacingTool(std::unique_ptr<TAnnotationTool> tool);
    // A press the view takes before any tool (the finger's crease); true when taken.
    virtual bool pressFirst(QMouseEvent* event, const QPointF& scenePos);

    void setLandmarksMovable(const QList<TGraphicsVertexItem*>& landmarks, bool movable);
    // Brings items, the landmarks of one kind, to the positions of targets: the
    // nearest items stay and move where needed (keeping their identity, and with
    // it a trace under way), the others are deleted, new ones come from create.
    // Each takes the traced lines of lines(i). items ends in the order of targets.
    void loadLandmarks(QList<TGraphicsVertexItem*>& items, const QVector<QPointF>& targets,
                       const std::function<TGraphicsVertexItem*(const QPointF&)>& create,
                       const std::function<QVector<QVector<QPointF>>(int)>& lines);
    // The traced lines of landmark as lines, touching nothing when they are so; a
    // trace under way on it goes on.
    void loadTraces(TGraphicsVertexItem* landmark, const QVector<QVector<QPointF>>& lines);
    // Deletes landmark, ending a trace on it.
    void deleteLandmark(TGraphicsVertexItem* landmark);
    // Moves landmark to p without the drag guard and without moved(); its traced
    // lines stay where they are.
    static void placeLandmark(TGraphicsVertexItem* landmark, const QPointF& p);
    // Landmark positions and traced lines as a record keeps them: one list of
    // lines per landmark, none after the last landmark that has any.
    static void recordLandmarks(const QList<TGraphicsVertexItem*>& items, QVector<QPointF>& positions,
                                QVector<QVector<QVector<QPointF>>>& lines);

    TGraphicsVertexItem* currentVertex = nullptr;
    QPointer<TGraphicsVertexItem> picked;
    bool addingCores = false;
    bool addingTriradia = false;
    bool addingRidgePoints = false;
    bool addingRadiants = false;
    bool addingCentralLines = false;

private:
    int addSuggestions(TRCLine* counted);
    static QString suggestionText(const QVector<QPair<QString, int>>& placed);

    std::vector<std::unique_ptr<TAnnotationTool>> tracingTools;
    std::vector<std::unique_ptr<TAnnotationTool>> placingTools;
    std::unique_ptr<TAnnotationTool> countingTool;
};

#endif
