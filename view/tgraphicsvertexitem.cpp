#include "view/tgraphicsvertexitem.h"

#include <QGraphicsLineItem>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QHash>
#include <QPainter>
#include <QPixmap>

static const QColor markerColor(50, 100, 255);
static const QColor traceColor(126, 46, 31);
static const QPointF labelOffset(10, 10);

TGraphicsVertexItem::TGraphicsVertexItem(QGraphicsItem* parent)
    : QObject(nullptr),
      QGraphicsPixmapItem(parent),
      markerPen(markerColor),
      markerBrush(markerColor, Qt::SolidPattern),
      pointBrush(traceColor, Qt::SolidPattern)
{
    // Width 0 draws the same one-pixel line, and a segment's bounding box is then
    // its ends' own instead of a stroked outline worked out at every paint.
    linePen.setWidth(0);
    linePen.setCosmetic(true);
    linePen.setColor(traceColor);
    linePen.setStyle(Qt::DashDotLine);
    setFlag(QGraphicsItem::ItemIgnoresTransformations);
    setZValue(1000);
    updatePixmap();
}

TGraphicsVertexItem::~TGraphicsVertexItem()
{
    clearRidgeLines();
}

void TGraphicsVertexItem::setMarkerBrush(const QBrush& brush)
{
    markerBrush = brush;
    updatePixmap();
}

void TGraphicsVertexItem::setMarkerPen(const QPen& pen)
{
    markerPen = pen;
    updatePixmap();
}

void TGraphicsVertexItem::setCore()
{
    drawAsCore = true;
    updatePixmap();
}

void TGraphicsVertexItem::setTriradius()
{
    drawAsTriradius = true;
    updatePixmap();
}

void TGraphicsVertexItem::setLinesRed()
{
    linePen.setColor(Qt::red);
    pointBrush.setColor(Qt::red);
}

void TGraphicsVertexItem::setLabel(const QString& text)
{
    labelText = text.toUpper().left(1);
}

void TGraphicsVertexItem::updatePixmap()
{
    const bool large = drawAsCore || drawAsTriradius;
    // Markers come by the hundred in a few looks: each look is drawn once.
    static QHash<QString, QPixmap> drawn;
    const QString look = QString("%1 %2 %3 %4 %5 %6 %7")
                             .arg(drawAsCore).arg(drawAsTriradius)
                             .arg(markerPen.color().rgba()).arg(markerPen.widthF())
                             .arg(markerPen.style()).arg(markerBrush.color().rgba())
                             .arg(markerBrush.style());
    QPixmap pixmap = drawn.value(look);
    if (pixmap.isNull()) {
        pixmap = QPixmap(large ? 9 : 7, large ? 9 : 7);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setPen(markerPen);
        painter.setBrush(markerBrush);
        if (drawAsCore) {
            painter.drawEllipse(QRect(0, 0, 8, 8));
        } else if (drawAsTriradius) {
            const QPoint corners[3] = {QPoint(4, 0), QPoint(0, 8), QPoint(8, 8)};
            painter.drawPolygon(corners, 3, Qt::OddEvenFill);
        } else {
            const QRect square(0, 0, 6, 6);
            painter.drawRects(&square, 1);
        }
        painter.end();
        drawn.insert(look, pixmap);
    }
    setPixmap(pixmap);
    setOffset(large ? QPointF(-5, -5) : QPointF(-4, -4));
}

void TGraphicsVertexItem::addRidgeLine()
{
    if (!ridgePoints.isEmpty() && ridgePoints.last().isEmpty())
        return;   // at most one open empty line
    ridgePoints.append(QList<TGraphicsVertexItem*>());
    ridgeSegments.append(QList<QGraphicsLineItem*>());
    auto* text = new QGraphicsTextItem;
    text->setFlag(QGraphicsItem::ItemIgnoresTransformations);
    text->setHtml("<font color=\"red\">" + labelText + "</font>");
    text->hide();
    if (scene())
        scene()->addItem(text);
    ridgeLabels.append(text);
}

void TGraphicsVertexItem::addRidgePoint(const QPointF& point)
{
    if (ridgePoints.isEmpty() || !scene())
        return;
    auto* marker = new TGraphicsVertexItem;
    marker->setMarkerBrush(pointBrush);
    marker->setMarkerPen(QPen(Qt::yellow));
    scene()->addItem(marker);
    marker->setPos(point);
    const QPointF start = ridgePoints.last().isEmpty() ? pos() : ridgePoints.last().last()->pos();
    ridgePoints.last().append(marker);
    QGraphicsLineItem* segment = scene()->addLine(QLineF(start, point));
    segment->setPen(linePen);
    ridgeSegments.last().append(segment);
    QGraphicsTextItem* text = ridgeLabels.last();
    text->show();
    text->setPos(point + labelOffset);
}

void TGraphicsVertexItem::removeLastRidgePoint()
{
    if (ridgePoints.isEmpty() || ridgePoints.last().isEmpty())
        return;
    delete ridgePoints.last().takeLast();
    delete ridgeSegments.last().takeLast();
    QGraphicsTextItem* text = ridgeLabels.last();
    if (ridgePoints.last().isEmpty())
        text->hide();
    else
        text->setPos(ridgePoints.last().last()->pos() + labelOffset);
}

void TGraphicsVertexItem::clearRidgeLines()
{
    for (const auto& line : qAsConst(ridgePoints))
        qDeleteAll(line);
    for (const auto& line : qAsConst(ridgeSegments))
        qDeleteAll(line);
    qDeleteAll(ridgeLabels);
    ridgePoints.clear();
    ridgeSegments.clear();
    ridgeLabels.clear();
}

void TGraphicsVertexItem::setRidgeLines(const QVector<QVector<QPointF>>& lines, bool tracing)
{
    const int open = ridgePoints.size();
    clearRidgeLines();
    for (const QVector<QPointF>& line : lines) {
        addRidgeLine();
        for (const QPointF& p : line)
            addRidgePoint(p);
    }
    if (tracing && ridgePoints.size() < open)
        addRidgeLine();
}

QVector<QVector<QPointF>> TGraphicsVertexItem::ridgeLines() const
{
    QVector<QVector<QPointF>> lines;
    for (const auto& line : ridgePoints) {
        if (line.isEmpty())
            continue;
        QVector<QPointF> points;
        for (const TGraphicsVertexItem* p : line)
            points.append(p->pos());
        lines.append(points);
    }
    return lines;
}

int TGraphicsVertexItem::ridgeLineCount() const
{
    int n = 0;
    for (const auto& line : ridgePoints)
        if (!line.isEmpty())
            ++n;
    return n;
}

void TGraphicsVertexItem::mapBy(const QTransform& t)
{
    const bool guarded = flags() & ItemSendsGeometryChanges;
    setFlag(ItemSendsGeometryChanges, false);
    setPos(t.map(pos()));
    setFlag(ItemSendsGeometryChanges, guarded);
    for (const auto& line : qAsConst(ridgePoints))
        for (TGraphicsVertexItem* point : line)
            point->setPos(t.map(point->pos()));
    for (const auto& line : qAsConst(ridgeSegments))
        for (QGraphicsLineItem* segment : line)
            segment->setLine(t.map(segment->line()));
    for (int i = 0; i < ridgeLabels.size(); ++i)
        if (!ridgePoints.at(i).isEmpty())
            ridgeLabels.at(i)->setPos(ridgePoints.at(i).last()->pos() + labelOffset);
}

QVariant TGraphicsVertexItem::itemChange(GraphicsItemChange change, const QVariant& value)
{
    if (change == ItemPositionChange && scene()) {
        // A marker never leaves the print: a step whose rounded position falls
        // outside the scene rectangle is refused.
        if (!scene()->sceneRect().contains(value.toPoint()))
            return pos();
    } else if (change == ItemPositionHasChanged && scene()) {
        // Announced once the position has taken effect, so dependent lines are
        // rebuilt from where the marker is now.
        emit moved();
    }
    return QGraphicsPixmapItem::itemChange(change, value);
}
