#include "view/trcline.h"

#include "annotation/geometry.h"
#include "view/tcountlabel.h"
#include "view/tgraphicsvertexitem.h"

#include <algorithm>
#include <cmath>

#include <QCursor>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsTextItem>
#include <QPen>

// Whether a point read back stands for marker, written from it to six digits.
static bool sameTo6Digits(const QPointF& point, const QPointF& marker)
{
    const double precision = 1e-5 * std::max({1.0, std::abs(point.x()), std::abs(point.y())});
    return QLineF(point, marker).length() <= precision;
}

TRCLine::TRCLine()
    : QGraphicsLineItem(nullptr),
      countLabel(new TCountLabel(this))
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

static bool isCountLabel(const QGraphicsItem* item)
{
    const auto* line = dynamic_cast<const TRCLine*>(item->parentItem());
    return line && item == line->label();
}

TRCLine* TRCLine::lineAt(const QGraphicsScene* scene, const QPointF& scenePos,
                         const QTransform& viewTransform)
{
    const QList<QGraphicsItem*> under = scene->items(scenePos, Qt::IntersectsItemShape,
                                                     Qt::DescendingOrder, viewTransform);
    for (QGraphicsItem* item : under) {
        if (isCountLabel(item))
            continue;
        if (auto* line = dynamic_cast<TRCLine*>(item))
            return line;
        // A marker or its text sits above the lines: the click meant it.
        for (const QGraphicsItem* i = item; i; i = i->parentItem())
            if (dynamic_cast<const TGraphicsVertexItem*>(i))
                return nullptr;
        break;
    }

    // The line is drawn a pixel or two wide at any zoom; a click just beside it
    // still means it.
    bool invertible = false;
    const QTransform toScene = viewTransform.inverted(&invertible);
    if (!invertible)
        return nullptr;
    const QPointF screen = viewTransform.map(scenePos);
    const QRectF around(screen - QPointF(clickTolerance, clickTolerance),
                        QSizeF(2 * clickTolerance, 2 * clickTolerance));
    TRCLine* nearest = nullptr;
    double best = clickTolerance;
    for (QGraphicsItem* item : scene->items(toScene.mapRect(around), Qt::IntersectsItemBoundingRect,
                                            Qt::DescendingOrder, viewTransform)) {
        auto* line = dynamic_cast<TRCLine*>(item);
        if (!line)
            continue;
        const QLineF shown = viewTransform.map(line->line());
        const QPointF foot = lineIntersectionFoot(shown, screen);
        // Only beside the segment, not beyond its ends.
        const double t = QPointF::dotProduct(foot - shown.p1(), shown.p2() - shown.p1())
                         / std::max(1e-12, QPointF::dotProduct(shown.p2() - shown.p1(),
                                                               shown.p2() - shown.p1()));
        if (t < 0 || t > 1)
            continue;
        const double distance = QLineF(screen, foot).length();
        if (distance <= best) {
            best = distance;
            nearest = line;
        }
    }
    return nearest;
}

void TRCLine::setEnds(const QGraphicsItem* start, const QGraphicsItem* end)
{
    startItem = start;
    endItem = end;
}

bool TRCLine::hasEnds(const QGraphicsItem* start, const QGraphicsItem* end) const
{
    return start && start == startItem && end == endItem;
}

void TRCLine::follow(const QLineF& l)
{
    const QLineF before = line();
    const QPointF along = before.p2() - before.p1();
    const double length2 = QPointF::dotProduct(along, along);
    for (int i = ridgePoints.size() - 1; i >= 0; --i) {
        TGraphicsVertexItem* p = ridgePoints.at(i);
        const double t = length2 > 0 ? QPointF::dotProduct(p->pos() - before.p1(), along) / length2 : 0;
        // A point beyond the old ends has no place on the new line.
        if (t < 0 || t > 1) {
            delete ridgePoints.takeAt(i);
            continue;
        }
        p->setPos(l.pointAt(t));
    }
    setLine(l);
    placeLabel();
    updateLabel();
}

void TRCLine::mapBy(const QTransform& t)
{
    setLine(t.map(line()));
    for (TGraphicsVertexItem* p : qAsConst(ridgePoints))
        p->setPos(t.map(p->pos()));
    placeLabel();
}

void TRCLine::setEditable(bool value)
{
    editable = value;
}

void TRCLine::setCountedLine(const QLineF& l)
{
    setLine(l);
    // Red and a step larger than the text around it; set once, so a new count
    // changes only the number.
    countLabel->setDefaultTextColor(Qt::red);
    QFont font = countLabel->font();
    font.setPointSizeF(font.pointSizeF() * 1.2);
    countLabel->setFont(font);
    countLabel->setPlainText("0");
    countLabel->setFlag(QGraphicsItem::ItemIgnoresTransformations);
    countLabel->setZValue(50);
    placeLabel();
}

void TRCLine::placeLabel()
{
    // Centred 20 units to the side of the line's middle.
    const QLineF l = line();
    QLineF normal = l.normalVector();
    normal.translate((l.p2() - l.p1()) / 2);
    normal.setLength(20);
    const QRectF box = countLabel->boundingRect();
    countLabel->setPos(normal.p2() - QPointF(box.width() / 2, box.height() / 2));
}

void TRCLine::addRidgePoint(double x, double y)
{
    if (!editable)
        return;
    insertRidgePoint(x, y);
    updateLabel();
}

void TRCLine::addSuggestedPoints(const QVector<QPointF>& points)
{
    for (const QPointF& p : points) {
        TGraphicsVertexItem* marker = insertRidgePoint(p.x(), p.y());
        // An outline, so the ridge under a suggested point can be checked.
        marker->setMarkerBrush(Qt::NoBrush);
        marker->setMarkerPen(QPen(QColor(255, 140, 0), 2));
    }
    updateLabel();
}

TGraphicsVertexItem* TRCLine::insertRidgePoint(double x, double y)
{
    const QPointF click(x, y);
    QPointF foot = lineIntersectionFoot(line(), click);
    // A point read back from a file lies on the line up to the six digits it was
    // written with; projecting it again would shift its last digit at every save.
    if (sameTo6Digits(click, foot))
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
    return marker;
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

void TRCLine::setRidgePoints(const QVector<QPointF>& points)
{
    // Points already there stay; only the others go or come, so taking back one
    // click costs one marker, not the whole line.
    QVector<QPointF> missing = points;
    for (int i = ridgePoints.size() - 1; i >= 0; --i) {
        const QPointF at = ridgePoints.at(i)->pos();
        const auto kept = std::find_if(missing.begin(), missing.end(),
                                       [&](const QPointF& p) { return sameTo6Digits(p, at); });
        if (kept != missing.end())
            missing.erase(kept);
        else
            delete ridgePoints.takeAt(i);
    }
    for (const QPointF& p : qAsConst(missing))
        insertRidgePoint(p.x(), p.y());
    updateLabel();
}

bool TRCLine::hasRidgePoint(TGraphicsVertexItem* point) const
{
    return ridgePoints.contains(point);
}

QVector<QPointF> TRCLine::ridgePointPositions() const
{
    QVector<QPointF> positions;
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
    const QString text = QString::number(ridgePoints.size());
    if (countLabel->toPlainText() != text)
        countLabel->setPlainText(text);
}
