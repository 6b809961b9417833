#include "testsupport.h"

#include "annotation/geometry.h"
#include "view/tgraphicsvertexitem.h"
#include "view/trcline.h"

#include <QGraphicsLineItem>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QGraphicsView>
#include <QSignalSpy>
#include <QtTest>

class TestAnnotationItems : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { testsupport::isolateSettings(); }

    void footOfPerpendicular()
    {
        const QLineF slanted(QPointF(0, 0), QPointF(100, 100));
        const QPointF foot = lineIntersectionFoot(slanted, QPointF(100, 0));
        QVERIFY(qAbs(foot.x() - 50) < 1e-9 && qAbs(foot.y() - 50) < 1e-9);
        // Beyond the segment's ends the line counts as infinite.
        const QPointF beyond = lineIntersectionFoot(QLineF(0, 0, 10, 0), QPointF(30, -4));
        QVERIFY(qAbs(beyond.x() - 30) < 1e-9 && qAbs(beyond.y()) < 1e-9);
        // A line of no length has only its start point to offer.
        QCOMPARE(lineIntersectionFoot(QLineF(5, 5, 5, 5), QPointF(9, 9)), QPointF(5, 5));
    }

    void markersKeepTheirPixelSizeAtAnyZoom()
    {
        QGraphicsScene scene(0, 0, 200, 200);
        QGraphicsView view(&scene);
        auto* core = new TGraphicsVertexItem;
        core->setCore();
        auto* plain = new TGraphicsVertexItem;
        scene.addItem(core);
        scene.addItem(plain);
        for (qreal zoom : {0.25, 1.0, 4.0}) {
            view.resetTransform();
            view.scale(zoom, zoom);
            const QTransform device = core->deviceTransform(view.viewportTransform());
            QCOMPARE(device.mapRect(core->boundingRect()).size(), QSizeF(9, 9));
            const QTransform plainDevice = plain->deviceTransform(view.viewportTransform());
            QCOMPARE(plainDevice.mapRect(plain->boundingRect()).size(), QSizeF(7, 7));
        }
        // Centred on the position.
        QCOMPARE(core->offset(), QPointF(-5, -5));
        QCOMPARE(plain->offset(), QPointF(-4, -4));
    }

    void moveGuardAndSignal()
    {
        QGraphicsScene scene(0, 0, 100, 100);
        auto* marker = new TGraphicsVertexItem;
        scene.addItem(marker);
        marker->setFlag(QGraphicsItem::ItemIsMovable);
        marker->setFlag(QGraphicsItem::ItemSendsGeometryChanges);
        marker->setPos(50, 50);
        QSignalSpy moved(marker, &TGraphicsVertexItem::moved);
        QVector<QPointF> seen;
        connect(marker, &TGraphicsVertexItem::moved, [&]() { seen.append(marker->pos()); });

        marker->setPos(60, 40);
        QCOMPARE(moved.count(), 1);
        // Listeners read the position that has just taken effect.
        QCOMPARE(seen.last(), QPointF(60, 40));

        // 100.4 rounds onto the edge (inside), 100.6 rounds past it (refused).
        marker->setPos(100.4, 40);
        QCOMPARE(marker->pos(), QPointF(100.4, 40));
        marker->setPos(100.6, 40);
        QCOMPARE(marker->pos(), QPointF(100.4, 40));
        marker->setPos(-3, 40);
        QCOMPARE(marker->pos(), QPointF(100.4, 40));
        QCOMPARE(moved.count(), 2);
    }

    void ridgeLinesOfALandmark()
    {
        QGraphicsScene scene(0, 0, 300, 300);
        auto* owner = new TGraphicsVertexItem;
        scene.addItem(owner);
        owner->setPos(10, 10);
        const int baseline = scene.items().size();

        owner->addRidgePoint(QPointF(50, 50));   // no line opened yet
        QCOMPARE(scene.items().size(), baseline);

        owner->addRidgeLine();
        owner->addRidgeLine();                   // still one open empty line
        QCOMPARE(owner->ridgeLinePoints().size(), 1);
        QCOMPARE(owner->ridgeLineCount(), 0);
        QVERIFY(owner->ridgeLines().isEmpty());

        owner->addRidgePoint(QPointF(20, 30));
        QCOMPARE(owner->ridgeLineSegments().at(0).at(0)->line(), QLineF(10, 10, 20, 30));
        QGraphicsTextItem* label = owner->ridgeLineLabels().at(0);
        QVERIFY(label->isVisible());
        QCOMPARE(label->pos(), QPointF(30, 40));
        owner->addRidgePoint(QPointF(40, 35));
        QCOMPARE(owner->ridgeLineSegments().at(0).at(1)->line(), QLineF(20, 30, 40, 35));
        QCOMPARE(label->pos(), QPointF(50, 45));

        owner->removeLastRidgePoint();
        QCOMPARE(label->pos(), QPointF(30, 40));
        owner->removeLastRidgePoint();
        QVERIFY(!label->isVisible());
        owner->removeLastRidgePoint();           // empty line: nothing happens
        QCOMPARE(owner->ridgeLinePoints().at(0).size(), 0);

        owner->addRidgePoint(QPointF(100, 100));
        owner->addRidgeLine();                   // opened, left empty
        owner->addRidgeLine();
        QCOMPARE(owner->ridgeLinePoints().size(), 2);
        owner->addRidgePoint(QPointF(120, 100));
        owner->addRidgeLine();
        QCOMPARE(owner->ridgeLineCount(), 2);
        QCOMPARE(owner->ridgeLines(),
                 (QVector<QVector<QPointF>>{{QPointF(100, 100)}, {QPointF(120, 100)}}));

        // The owner takes its points, segments and labels with it.
        delete owner;
        QCOMPARE(scene.items().size(), baseline - 1);
    }

    void ridgeCountLine()
    {
        QGraphicsScene scene(0, 0, 300, 300);
        auto* line = new TRCLine;
        scene.addItem(line);
        line->setCountedLine(QLineF(10, 20, 210, 20));
        QVERIFY(line->label()->toPlainText() == "0");

        line->addRidgePoint(50, 30);             // not editable yet
        QCOMPARE(line->count(), 0);

        line->setEditable(true);
        line->addRidgePoint(150, 27);
        line->addRidgePoint(60, 11);
        line->addRidgePoint(100, 25);
        QCOMPARE(line->ridgePointPositions(),
                 (QVector<QPointF>{QPointF(60, 20), QPointF(100, 20), QPointF(150, 20)}));
        QCOMPARE(line->label()->toPlainText(), QString("3"));

        TGraphicsVertexItem* middle = line->points().at(1);
        QVERIFY(line->hasRidgePoint(middle));
        QCOMPARE(middle->parentItem(), line);
        line->removeRidgePoint(middle);
        QCOMPARE(line->count(), 2);
        QCOMPARE(line->label()->toPlainText(), QString("2"));

        line->clearRidgePoints();
        QCOMPARE(line->count(), 0);
        QCOMPARE(line->label()->toPlainText(), QString("0"));
    }

    void lineIsFoundUnderItsLabelWhenZoomedOut()
    {
        QGraphicsScene scene(0, 0, 1000, 1000);
        auto* line = new TRCLine;
        scene.addItem(line);
        line->setCountedLine(QLineF(100, 100, 900, 900));
        // At a quarter, the label keeps its screen size and covers the line's middle.
        const QTransform zoomedOut = QTransform::fromScale(0.25, 0.25);
        QPointF onLine;
        for (double t = 0.3; t < 0.7 && onLine.isNull(); t += 0.01) {
            if (scene.itemAt(line->line().pointAt(t), zoomedOut) == line->label())
                onLine = line->line().pointAt(t);
        }
        QVERIFY(!onLine.isNull());
        QCOMPARE(TRCLine::lineAt(&scene, onLine, zoomedOut), line);
        QCOMPARE(TRCLine::lineAt(&scene, QPointF(700, 300), zoomedOut), nullptr);
    }

    void pointReadBackStaysWhereItWasWritten()
    {
        TRCLine line;
        line.setCountedLine(QLineF(120, 60, 260, 70.5));
        line.setEditable(true);
        line.addRidgePoint(189.99, 65.2493);        // on the line to six digits
        QCOMPARE(line.ridgePointPositions().at(0), QPointF(189.99, 65.2493));
        line.addRidgePoint(150, 80);                // a click beside it is projected
        QVERIFY(qAbs(line.ridgePointPositions().at(0).y() - 80) > 1);
    }

    void pointsAtEqualDistanceKeepTheirOrder()
    {
        TRCLine line;
        line.setCountedLine(QLineF(0, 0, 100, 0));
        line.setEditable(true);
        line.addRidgePoint(40, 3);
        TGraphicsVertexItem* first = line.points().at(0);
        line.addRidgePoint(40, -3);
        QCOMPARE(line.points().at(0), first);
        QCOMPARE(line.count(), 2);
    }
};

QTEST_MAIN(TestAnnotationItems)
#include "tst_annotationitems.moc"
