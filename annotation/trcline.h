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

    // The topmost ridge-count line under scenePos as a view with viewTransform
    // shows it; its count label and ridge points, which keep their screen size
    // and so cover more of the print the further one zooms out, do not hide it.
    static TRCLine* lineAt(const QGraphicsScene* scene, const QPointF& scenePos,
                           const QTransform& viewTransform);

    void setEditable(bool editable);
    bool isEditable() const { return editable; }
    void setCountedLine(const QLineF& line);
    void addRidgePoint(double x, double y);
    void removeRidgePoint(TGraphicsVertexItem* point);
    void clearRidgePoints();
    bool hasRidgePoint(TGraphicsVertexItem* point) const;
    QList<QPointF> ridgePointPositions() const;
    int count() const { return ridgePoints.size(); }
    const QList<TGraphicsVertexItem*>& points() const { return ridgePoints; }
    QGraphicsTextItem* label() const { return countLabel; }

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent* event) override;

private:
    void updateLabel();

    bool editable = false;
    QList<TGraphicsVertexItem*> ridgePoints;
    QGraphicsTextItem* countLabel;
};

#endif
