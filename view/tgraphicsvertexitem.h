#ifndef TGRAPHICSVERTEXITEM_H
#define TGRAPHICSVERTEXITEM_H

#include <QBrush>
#include <QGraphicsPixmapItem>
#include <QList>
#include <QObject>
#include <QPen>

class QGraphicsLineItem;
class QGraphicsTextItem;

// A fixed-size point marker (core, triradius, ridge point, vertex, crop corner);
// a core or triradius also owns the ridge lines traced from it.
class TGraphicsVertexItem : public QObject, public QGraphicsPixmapItem
{
    Q_OBJECT
public:
    explicit TGraphicsVertexItem(QGraphicsItem* parent = nullptr);
    ~TGraphicsVertexItem() override;

    void setMarkerBrush(const QBrush& brush);
    void setMarkerPen(const QPen& pen);
    void setCore();
    void setTriradius();
    void setLinesRed();
    void setLabel(const QString& text);
    QString label() const { return labelText; }
    void updatePixmap();

    void addRidgeLine();
    void addRidgePoint(const QPointF& point);
    void removeLastRidgePoint();
    void clearRidgeLines();
    // Replaces the traced lines by lines (each a list of points in order). While
    // tracing, a line that lost all its points stays open for the next ones.
    void setRidgeLines(const QVector<QVector<QPointF>>& lines, bool tracing = false);
    QVector<QVector<QPointF>> ridgeLines() const;
    int ridgeLineCount() const;
    // Moves the marker and its traced lines by t (the print was turned, mirrored
    // or cropped under them), without the drag guard and without moved().
    void mapBy(const QTransform& t);

    // For inspection: every traced line including an open empty one.
    const QList<QList<TGraphicsVertexItem*>>& ridgeLinePoints() const { return ridgePoints; }
    const QList<QGraphicsTextItem*>& ridgeLineLabels() const { return ridgeLabels; }
    const QList<QList<QGraphicsLineItem*>>& ridgeLineSegments() const { return ridgeSegments; }
    bool isCore() const { return drawAsCore; }
    bool isTriradius() const { return drawAsTriradius; }
    QPen lineSegmentPen() const { return linePen; }
    QBrush ridgePointBrush() const { return pointBrush; }
    QBrush brush() const { return markerBrush; }
    QPen pen() const { return markerPen; }

signals:
    void moved();

protected:
    QVariant itemChange(GraphicsItemChange change, const QVariant& value) override;

private:
    bool drawAsCore = false;
    bool drawAsTriradius = false;
    QPen markerPen;
    QPen linePen;
    QBrush markerBrush;
    QBrush pointBrush;
    QList<QList<TGraphicsVertexItem*>> ridgePoints;
    QList<QList<QGraphicsLineItem*>> ridgeSegments;
    QList<QGraphicsTextItem*> ridgeLabels;
    QString labelText;
};

#endif
