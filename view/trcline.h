#ifndef TRCLINE_H
#define TRCLINE_H

#include <QGraphicsLineItem>
#include <QList>

class QGraphicsScene;
class QGraphicsTextItem;
class TGraphicsVertexItem;

// A ridge-count line between two landmarks: the ridge points placed on it,
// sorted outward from its first end, and a label showing how many there are.
class TRCLine : public QGraphicsLineItem
{
public:
    TRCLine();

    // How far beside a line, in screen pixels, a click still counts as on it.
    static constexpr double clickTolerance = 4.0;

    // The ridge-count line a click at scenePos meant, as a view with viewTransform
    // shows the scene: the line under the click, looking past count labels (they
    // keep their screen size and cover more of the print the further one zooms
    // out), or else the nearest line within clickTolerance screen pixels. A click
    // on a marker (a ridge point, a landmark) means that marker, so no line.
    static TRCLine* lineAt(const QGraphicsScene* scene, const QPointF& scenePos,
                           const QTransform& viewTransform);

    // The two landmarks the line joins; a rebuild keeps a line whose landmarks
    // are the same, with its ridge points.
    void setEnds(const QGraphicsItem* start, const QGraphicsItem* end);
    // Whether the line joins these two landmarks, wherever they are now.
    bool hasEnds(const QGraphicsItem* start, const QGraphicsItem* end) const;
    // The landmarks moved: the line becomes l, and each ridge point keeps its
    // share of the way along it, so a nudge keeps the count.
    void follow(const QLineF& l);
    // Moves the line, its ridge points and its label by t (the print was turned,
    // mirrored or cropped under them).
    void mapBy(const QTransform& t);

    void setEditable(bool editable);
    bool isEditable() const { return editable; }
    void setCountedLine(const QLineF& line);
    void addRidgePoint(double x, double y);
    void removeRidgePoint(TGraphicsVertexItem* point);
    void clearRidgePoints();
    // Replaces the ridge points by points (read back, so each stays where it is
    // when it lies on the line), whether or not the line takes clicks now.
    void setRidgePoints(const QVector<QPointF>& points);
    bool hasRidgePoint(TGraphicsVertexItem* point) const;
    // Ridge points the print suggested, drawn as outlines until the print is
    // opened again, so the examiner sees what to check.
    void addSuggestedPoints(const QVector<QPointF>& points);
    QVector<QPointF> ridgePointPositions() const;
    int count() const { return ridgePoints.size(); }
    const QList<TGraphicsVertexItem*>& points() const { return ridgePoints; }
    QGraphicsTextItem* label() const { return countLabel; }

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;

private:
    void updateLabel();
    void placeLabel();
    // Puts a point on the line at the foot of (x, y), in order; the label is left.
    TGraphicsVertexItem* insertRidgePoint(double x, double y);

    bool editable = false;
    const QGraphicsItem* startItem = nullptr;
    const QGraphicsItem* endItem = nullptr;
    QList<TGraphicsVertexItem*> ridgePoints;
    QGraphicsTextItem* countLabel;
};

#endif
