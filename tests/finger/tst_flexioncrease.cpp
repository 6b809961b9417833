#include "fingertestview.h"
#include "testsupport.h"

#include "view/tgraphicsvertexitem.h"

#include <QGraphicsLineItem>
#include <QGraphicsPolygonItem>
#include <QtMath>
#include <QtTest>

static double distanceToLine(const QLineF& line, const QPointF& p)
{
    const QPointF d = line.p2() - line.p1();
    const double length = std::hypot(d.x(), d.y());
    const QPointF v = p - line.p1();
    return std::abs(d.x() * v.y() - d.y() * v.x()) / length;
}

// Angle of the undirected line in degrees, in [0, 180).
static double direction(const QLineF& line)
{
    double a = qRadiansToDegrees(std::atan2(line.dy(), line.dx()));
    while (a < 0)
        a += 180;
    while (a >= 180)
        a -= 180;
    return a;
}

static bool near(const QPointF& a, const QPointF& b, double tolerance)
{
    return QLineF(a, b).length() <= tolerance;
}

class TestFlexionCrease : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { testsupport::isolateSettings(); }

    void oneVertexGivesNoAxis()
    {
        FingerTestView view;
        view.addLandmark(QPointF(100, 100), Core);
        view.paintFlex(true);
        view.click(QPointF(50, 200));
        QCOMPARE(view.flexionVertexItems().size(), 1);
        QCOMPARE(view.flexionAreaItem()->polygon().size(), 1);
        QVERIFY(!view.hasFlexionAxis());
        QVERIFY(!view.flexionEndItem()->isVisible());
        QVERIFY(view.corePerpendicularItems().isEmpty());
    }

    void twoVerticesGiveTheirSegment_data()
    {
        QTest::addColumn<QPointF>("a");
        QTest::addColumn<QPointF>("b");
        QTest::newRow("level") << QPointF(50, 200) << QPointF(350, 200);
        QTest::newRow("slanted") << QPointF(60, 250) << QPointF(340, 110);
        QTest::newRow("upright") << QPointF(200, 20) << QPointF(200, 280);
    }
    void twoVerticesGiveTheirSegment()
    {
        QFETCH(QPointF, a);
        QFETCH(QPointF, b);
        FingerTestView view;
        view.addVertex(a);
        view.addVertex(b);
        QVERIFY(view.hasFlexionAxis());
        const QLineF axis = view.flexionAxis();
        // The ends are the outermost outline pixels, within a pixel of the vertices.
        const bool forward = near(axis.p1(), a, 1.5) && near(axis.p2(), b, 1.5);
        const bool backward = near(axis.p1(), b, 1.5) && near(axis.p2(), a, 1.5);
        QVERIFY2(forward || backward, qPrintable(QString("axis %1,%2 - %3,%4")
                                                     .arg(axis.x1()).arg(axis.y1())
                                                     .arg(axis.x2()).arg(axis.y2())));
        QCOMPARE(view.flexionStartItem()->pos(), axis.p1());
        QCOMPARE(view.flexionEndItem()->pos(), axis.p2());
    }

    void longThinPolygonGivesItsDirection_data()
    {
        QTest::addColumn<double>("degrees");
        QTest::newRow("12") << 12.0;
        QTest::newRow("35") << 35.0;
        QTest::newRow("-20") << -20.0;
        QTest::newRow("95") << 95.0;
    }
    void longThinPolygonGivesItsDirection()
    {
        QFETCH(double, degrees);
        FingerTestView view;
        QTransform turn;
        turn.translate(200, 150);
        turn.rotate(degrees);
        const QPolygonF strip = turn.map(QPolygonF({QPointF(-120, -6), QPointF(120, -6),
                                                    QPointF(120, 6), QPointF(-120, 6)}));
        for (const QPointF& p : strip)
            view.addVertex(p);
        double expected = std::fmod(degrees + 360, 180.0);
        double delta = std::abs(direction(view.flexionAxis()) - expected);
        delta = qMin(delta, 180 - delta);
        QVERIFY2(delta < 1.0, qPrintable(QString::number(delta)));
        QVERIFY(qAbs(view.flexionAxis().length() - 240) < 3);
    }

    void perpendicularsMeetTheAxisSquarely()
    {
        FingerTestView view;
        view.addVertex(QPointF(40, 260));
        view.addVertex(QPointF(360, 200));
        TGraphicsVertexItem* triradius = view.addLandmark(QPointF(300, 120), Triradius);
        TGraphicsVertexItem* core = view.addLandmark(QPointF(150, 60), Core);
        QCOMPARE(view.corePerpendicularItems().size(), 1);
        QCOMPARE(view.triradiusPerpendicularItems().size(), 1);

        auto check = [&](QGraphicsLineItem* perpendicular, TGraphicsVertexItem* landmark) {
            const QLineF axis = view.flexionAxis();
            const QLineF line = perpendicular->line();
            QCOMPARE(line.p1(), landmark->pos());
            QVERIFY(distanceToLine(axis, line.p2()) < 1e-6);
            const double dot = line.dx() * axis.dx() + line.dy() * axis.dy();
            QVERIFY(qAbs(dot) / (line.length() * axis.length()) < 1e-9);
            const auto children = perpendicular->childItems();
            QCOMPARE(children.size(), 1);
            QCOMPARE(children.at(0)->pos(), line.p2());
        };
        check(view.corePerpendicularItems().at(0), core);
        check(view.triradiusPerpendicularItems().at(0), triradius);

        // They follow a moved landmark at once.
        core->setPos(180, 40);
        check(view.corePerpendicularItems().at(0), core);

        // A new vertex refits the axis; the perpendiculars go to the new one.
        view.addVertex(QPointF(360, 280));
        check(view.corePerpendicularItems().at(0), core);
        check(view.triradiusPerpendicularItems().at(0), triradius);
    }

    void everyVertexRefitsFromAllVertices()
    {
        const QVector<QPointF> outline{QPointF(60, 100), QPointF(340, 110), QPointF(330, 140),
                                     QPointF(80, 260)};
        FingerTestView stepwise;
        QList<QLineF> axes;
        for (const QPointF& p : outline) {
            stepwise.addVertex(p);
            axes.append(stepwise.flexionAxis());
        }
        QVERIFY(axes.at(1) != axes.at(2));
        QVERIFY(axes.at(2) != axes.at(3));
        // Replaying the same outline (as loading does) gives the same axis.
        FingerTestView replayed;
        for (const QPointF& p : outline)
            replayed.addVertex(p);
        QCOMPARE(replayed.flexionAxis(), axes.last());
    }

    void degenerateOutlinesNeverThrow_data()
    {
        QTest::addColumn<QVector<QPointF>>("points");
        QTest::newRow("same point") << QVector<QPointF>{QPointF(100, 100), QPointF(100, 100)};
        QTest::newRow("sub-pixel") << QVector<QPointF>{QPointF(100.2, 100.2), QPointF(100.3, 100.4)};
        QTest::newRow("at the corner") << QVector<QPointF>{QPointF(0, 0), QPointF(0, 0), QPointF(0.1, 0)};
    }
    void degenerateOutlinesNeverThrow()
    {
        QFETCH(QVector<QPointF>, points);
        FingerTestView view;
        view.addLandmark(QPointF(200, 200), Core);
        for (const QPointF& p : points)
            view.addVertex(p);
        QCOMPARE(view.flexionOutline().size(), points.size());
        // Either an axis with its perpendicular, or neither.
        QCOMPARE(view.corePerpendicularItems().size(), view.hasFlexionAxis() ? 1 : 0);
        QCOMPARE(view.flexionEndItem()->isVisible(), view.hasFlexionAxis());
    }

    void cancelKeepsTheLandmarks()
    {
        FingerTestView view;
        view.addLandmark(QPointF(100, 60), Core);
        view.addLandmark(QPointF(300, 80), Triradius);
        view.addVertex(QPointF(40, 220));
        view.addVertex(QPointF(360, 240));
        view.addVertex(QPointF(350, 270));
        view.cancelFlexionLine();
        QVERIFY(view.flexionOutline().isEmpty());
        QVERIFY(view.flexionAreaItem()->polygon().isEmpty());
        QVERIFY(view.flexionMaskItem()->polygon().isEmpty());
        QVERIFY(view.flexionVertexItems().isEmpty());
        QVERIFY(!view.hasFlexionAxis());
        QCOMPARE(view.flexionAxis(), QLineF());
        QCOMPARE(view.flexionStartItem()->pos(), QPointF(0, 0));
        QVERIFY(view.corePerpendicularItems().isEmpty());
        QVERIFY(view.triradiusPerpendicularItems().isEmpty());
        QCOMPARE(view.coreItems().size(), 1);
        QCOMPARE(view.triradiusItems().size(), 1);

        // A new outline starts from scratch.
        view.addVertex(QPointF(50, 150));
        QVERIFY(!view.hasFlexionAxis());
    }
};

QTEST_MAIN(TestFlexionCrease)
#include "tst_flexioncrease.moc"
