#include "finger/tflexioncrease.h"

#include "analysis/creaseaxis.h"
#include "annotation/geometry.h"
#include "view/markpens.h"
#include "view/tgraphicsvertexitem.h"

#include <QGraphicsLineItem>
#include <QGraphicsPolygonItem>
#include <QGraphicsScene>

static const QColor axisColor(0, 0, 155);

TFlexionCrease::TFlexionCrease(QGraphicsScene* scene, QObject* owner)
    : scene(scene),
      flexionScene(new QGraphicsScene(scene->sceneRect(), owner))
{
    flexionScene->setBackgroundBrush(QBrush(QColor(0, 0, 0, 0), Qt::SolidPattern));
    // Width 0 also keeps an outline's bounding box its vertices' own: with a wider
    // pen every vertex added would stroke the whole outline again just to find it.
    flexionArea = scene->addPolygon(QPolygonF(), markpens::cosmetic(QColor(50, 100, 255), Qt::SolidLine),
                                    QBrush(QColor(100, 150, 255, 100), Qt::SolidPattern));
    flexionMask = flexionScene->addPolygon(QPolygonF(), QPen(Qt::white, 0));
    flexionLine = new QGraphicsLineItem;
    flexionLine->setPen(markpens::cosmetic(axisColor, Qt::DashLine));
    scene->addItem(flexionLine);
    flexionStart = new TGraphicsVertexItem;
    flexionEnd = new TGraphicsVertexItem;
    for (TGraphicsVertexItem* end : {flexionStart, flexionEnd}) {
        end->setMarkerBrush(QBrush());
        end->setMarkerPen(markpens::cosmetic(axisColor, Qt::SolidLine));
        scene->addItem(end);
        end->hide();
    }
}

QLineF TFlexionCrease::axis() const
{
    return flexionLine->line();
}

bool TFlexionCrease::hasAxis() const
{
    return flexionStart->isVisible();
}

void TFlexionCrease::clearAxis()
{
    flexionStart->hide();
    flexionEnd->hide();
    flexionStart->setPos(0, 0);
    flexionEnd->setPos(0, 0);
    flexionLine->setLine(QLineF());
}

void TFlexionCrease::addVertex(const QPointF& vertex, const QRectF& print)
{
    appendVertex(vertex);
    fit(print);
}

void TFlexionCrease::setOutline(const QPolygonF& outline, const QRectF& print)
{
    clear();
    for (const QPointF& p : outline)
        appendVertex(p);
    fit(print);
}

void TFlexionCrease::appendVertex(const QPointF& vertex)
{
    flexionPolygon.append(vertex);
    auto* marker = new TGraphicsVertexItem;
    scene->addItem(marker);
    marker->setPos(vertex);
    flexionVertices.append(marker);
}

void TFlexionCrease::fit(const QRectF& print)
{
    flexionArea->setPolygon(flexionPolygon);
    flexionMask->setPolygon(flexionPolygon);
    if (flexionPolygon.size() < 2)
        return;
    QLineF fitted;
    if (!creaseaxis::fit(flexionPolygon, print, &fitted)) {
        clearAxis();
        return;
    }
    flexionStart->show();
    flexionEnd->show();
    flexionLine->setLine(fitted);
    flexionStart->setPos(fitted.p1());
    flexionEnd->setPos(fitted.p2());
}

void TFlexionCrease::mapBy(const QTransform& oldToNew, const QRectF& print)
{
    flexionPolygon = oldToNew.map(flexionPolygon);
    for (int i = 0; i < flexionVertices.size(); ++i)
        flexionVertices.at(i)->setPos(flexionPolygon.value(i));
    fit(print);
}

void TFlexionCrease::clear()
{
    flexionPolygon.clear();
    flexionArea->setPolygon(flexionPolygon);
    flexionMask->setPolygon(flexionPolygon);
    clearAxis();
    qDeleteAll(flexionVertices);
    flexionVertices.clear();
}

void TFlexionCrease::clearPerpendiculars()
{
    qDeleteAll(corePerpendiculars);
    corePerpendiculars.clear();
    qDeleteAll(triradiusPerpendiculars);
    triradiusPerpendiculars.clear();
}

void TFlexionCrease::dropPerpendiculars(const QList<TGraphicsVertexItem*>& cores,
                                        const QList<TGraphicsVertexItem*>& triradia)
{
    clearPerpendiculars();
    if (!hasAxis())
        return;
    const QLineF line = axis();
    auto drop = [&](const QList<TGraphicsVertexItem*>& landmarks,
                    QList<QGraphicsLineItem*>& perpendiculars) {
        for (const TGraphicsVertexItem* landmark : landmarks) {
            const QPointF p = landmark->pos();
            const QPointF foot = lineIntersectionFoot(line, p);
            QGraphicsLineItem* perpendicular = scene->addLine(QLineF(p, foot));
            perpendicular->setPen(markpens::cosmetic(markpens::perpendicular(), Qt::DashLine));
            auto* footMarker = new TGraphicsVertexItem(perpendicular);
            footMarker->setMarkerBrush(QBrush(Qt::NoBrush));
            footMarker->setMarkerPen(QPen(markpens::perpendicular()));
            footMarker->setPos(foot);
            perpendiculars.append(perpendicular);
        }
    };
    drop(cores, corePerpendiculars);
    drop(triradia, triradiusPerpendiculars);
}
