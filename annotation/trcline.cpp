#include "annotation/trcline.h"

#include "annotation/geometry.h"
#include "annotation/tgraphicsvertexitem.h"

#include <algorithm>
#include <cmath>

#include <QCursor>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsTextItem>
#include <QPen>

TRCLine::TRCLine()
    : QGraphicsLineItem(nullptr),
      countLabel(new QGraphicsTextItem(this))
{
    QPen wide;
    wide.setWidth(2);
    wide.setColor(QColor(0, 0, 255, 50));
    wide.setCosmetic(true);
    setPen(wide);
    setCursor(Qt::CrossCursor);
    setAcceptedMouseButtons(Qt::LeftButton);
    setZValue(900);
}

TRCLine* TRCLine::lineAt(const QGraphicsScene* scene, const QPointF& scenePos,
                         const QTransform& viewTransform)
{
    const QList<QGraphicsItem*> items = scene->items(scenePos, Qt::IntersectsItemShape,
                                                     Qt::DescendingOrder, viewTransform);
    for (QGraphicsItem* item : items) {
        if (auto* line = dynamic_cast<TRCLine*>(item))
            return line;
    }
    return nullptr;
}

void TRCLine::setEditable(bool value)
{
    editable = value;
}

void TRCLine::setCountedLine(const QLineF& l)
{
    setLine(l);
    QLineF normal = l.normalVector();
    normal.translate((l.p2() - l.p1()) / 2);
    normal.setLength(20);
    countLabel->setHtml("<font color=\"red\" size=\"4\">0</font>");
    countLabel->setFlag(QGraphicsItem::ItemIgnoresTransformations);
    countLabel->setZValue(50);
    const QRectF box = countLabel->boundingRect();
    countLabel->setPos(normal.p2() - QPointF(box.width() / 2, box.height() / 2));
}

void TRCLine::addRidgePoint(double x, double y)
{
    if (!editable)
        return;
    const QPointF click(x, y);
    QPointF foot = lineIntersectionFoot(line(), click);
    // A point read back from a file lies on the line up to the six digits it was
    // written with; projecting it again would shift its last digit at every save.
    const double precision = 1e-5 * std::max({1.0, std::abs(x), std::abs(y)});
    if (QLineF(click, foot).length() <= precision)
        foot = click;
    auto* marker = new TGraphicsVertexItem(this);
    marker->setPos(foot);
    marker->setMarkerPen(QPen(Qt::red));
    marker->setMarkerBrush(QBrush(Qt::yellow, Qt::SolidPattern));
    marker->setZValue(800);
    const QPointF p1 = line().p1();
    const double clickDistance = QLineF(p1, click).length();
    int i = 0;
    while (i < ridgePoints.size() && QLineF(p1, ridgePoints.at(i)->pos()).length() <= clickDistance)
        ++i;
    ridgePoints.insert(i, marker);
    updateLabel();
}

void TRCLine::removeRidgePoint(TGraphicsVertexItem* point)
{
    if (!ridgePoints.removeOne(point))
        return;
    delete point;
    updateLabel();
}

void TRCLine::clearRidgePoints()
{
    qDeleteAll(ridgePoints);
    ridgePoints.clear();
    updateLabel();
}

bool TRCLine::hasRidgePoint(TGraphicsVertexItem* point) const
{
    return ridgePoints.contains(point);
}

QList<QPointF> TRCLine::ridgePointPositions() const
{
    QList<QPointF> positions;
    for (const TGraphicsVertexItem* p : ridgePoints)
        positions.append(p->pos());
    return positions;
}

void TRCLine::mousePressEvent(QGraphicsSceneMouseEvent* event)
{
    const QPointF p = event->scenePos();
    addRidgePoint(p.x(), p.y());
    event->accept();
}

void TRCLine::updateLabel()
{
    countLabel->setHtml("<font color=\"red\" size=\"4\">" + QString::number(ridgePoints.size())
                        + "</font>");
}
