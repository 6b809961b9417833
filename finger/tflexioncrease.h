#ifndef TFLEXIONCREASE_H
#define TFLEXIONCREASE_H

#include <QLineF>
#include <QList>
#include <QPolygonF>
#include <QRectF>

class QGraphicsLineItem;
class QGraphicsPolygonItem;
class QGraphicsScene;
class QObject;
class QTransform;
class TGraphicsVertexItem;

// The flexion crease of a finger print as the examiner outlines it: the outline
// with its vertex markers, the mask drawn from it, the axis fitted to it and the
// perpendiculars that place each landmark relative to the axis.
class TFlexionCrease
{
public:
    // The crease draws into scene; its mask goes into a scene of its own.
    TFlexionCrease(QGraphicsScene* scene, QObject* owner);

    // A vertex more at the end of the outline; the axis is fitted again.
    void addVertex(const QPointF& vertex, const QRectF& print);
    // The outline as outline, fitted once.
    void setOutline(const QPolygonF& outline, const QRectF& print);
    void clear();
    // The print was turned, mirrored or cropped under the outline.
    void mapBy(const QTransform& oldToNew, const QRectF& print);
    // A perpendicular from each landmark to the axis, none without an axis.
    void dropPerpendiculars(const QList<TGraphicsVertexItem*>& cores,
                            const QList<TGraphicsVertexItem*>& triradia);

    QPolygonF outline() const { return flexionPolygon; }
    QList<TGraphicsVertexItem*> vertexItems() const { return flexionVertices; }
    QGraphicsPolygonItem* areaItem() const { return flexionArea; }
    QGraphicsPolygonItem* maskItem() const { return flexionMask; }
    QGraphicsScene* maskScene() const { return flexionScene; }
    // The fitted axis; a null line while there is none.
    QLineF axis() const;
    bool hasAxis() const;
    TGraphicsVertexItem* startItem() const { return flexionStart; }
    TGraphicsVertexItem* endItem() const { return flexionEnd; }
    QList<QGraphicsLineItem*> corePerpendicularItems() const { return corePerpendiculars; }
    QList<QGraphicsLineItem*> triradiusPerpendicularItems() const { return triradiusPerpendiculars; }

private:
    void appendVertex(const QPointF& vertex);
    void fit(const QRectF& print);
    void clearAxis();
    void clearPerpendiculars();

    QGraphicsScene* scene;
    QGraphicsScene* flexionScene;
    QGraphicsPolygonItem* flexionArea;
    QGraphicsPolygonItem* flexionMask;
    QGraphicsLineItem* flexionLine;
    QPolygonF flexionPolygon;
    QList<TGraphicsVertexItem*> flexionVertices;
    TGraphicsVertexItem* flexionStart;
    TGraphicsVertexItem* flexionEnd;
    QList<QGraphicsLineItem*> corePerpendiculars;
    QList<QGraphicsLineItem*> triradiusPerpendiculars;
};

#endif
