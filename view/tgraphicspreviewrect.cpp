#include "view/tgraphicspreviewrect.h"

#include <QBrush>
#include <QCursor>
#include <QGraphicsScene>
#include <QPen>

TGraphicsPreviewRect::TGraphicsPreviewRect()
{
    setPen(QPen(Qt::blue));
    setBrush(QBrush(QColor(0, 0, 255, 75), Qt::SolidPattern));
    setFlags(ItemIsMovable | ItemSendsGeometryChanges | ItemSendsScenePositionChanges);
    setCursor(Qt::PointingHandCursor);
}

QVariant TGraphicsPreviewRect::itemChange(GraphicsItemChange change, const QVariant& value)
{
    if (change != ItemPositionChange || !scene())
        return QGraphicsRectItem::itemChange(change, value);
    const QPointF p = value.toPointF();
    const QRectF s = scene()->sceneRect();
    const QRectF r = rect();
    if (s.contains(p) && s.contains(p + QPointF(r.x() + r.width(), r.y() + r.height()))) {
        emit itemMoved(p);
        return QGraphicsRectItem::itemChange(change, value);
    }
    qreal x = qMin(qMax(p.x(), s.left()), s.left() + s.width());
    x = qMin(x, s.width() - r.width());
    qreal y = qMin(qMax(p.y(), s.top()), s.top() + s.height());
    y = qMin(y, s.height() - r.height());
    emit itemMoved(QPointF(x, y));
    return QGraphicsRectItem::itemChange(ItemPositionChange, QVariant(QPointF(x, y)));
}
