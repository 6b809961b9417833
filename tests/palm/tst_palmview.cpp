#include "palm/tpalmview.h"
#include "testsupport.h"
#include "view/tgraphicsvertexitem.h"
#include "view/trcline.h"

#include <QApplication>
#include <QGraphicsLineItem>
#include <QGraphicsScene>
#include <QMenu>
#include <QSignalSpy>
#include <QTimer>
#include <QtMath>
#include <QtTest/QtTest>
#include <memory>

using Slot = TPalmView::Slot;

// The unsigned angle at t between the rays towards a and towards d.
static double rayAngle(QPointF a, QPointF t, QPointF d)
{
    const QPointF u = a - t, v = d - t;
    return qAbs(qRadiansToDegrees(qAtan2(u.x() * v.y() - u.y() * v.x(), u.x() * v.x() + u.y() * v.y())));
}

// Reads the entries of the next popup menu (checked and enabled state) and closes it.
// Each try schedules the next afresh rather than through a function that holds
// itself, which would never be freed.
static void inspectMenu(QList<bool>* checked, QList<bool>* enabled, int delayMs = 0)
{
    QTimer::singleShot(delayMs, [=]() {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu) {
            inspectMenu(checked, enabled, 10);
            return;
        }
        for (QAction* a : menu->actions()) {
            checked->append(a->isChecked());
            enabled->append(a->isEnabled());
        }
        menu->close();
    });
}

class TestPalmView : public QObject
{
    Q_OBJECT
    std::unique_ptr<TPalmView> view;

    QPoint at(QPointF scenePos) const { return view->mapFromScene(scenePos); }
    void click(QPointF scenePos, Qt::MouseButton button = Qt::LeftButton)
    {
        QTest::mouseClick(view->viewport(), button, Qt::NoModifier, at(scenePos));
    }
    void drag(QPointF from, QPointF to)
    {
        QWidget* vp = view->viewport();
        QTest::mousePress(vp, Qt::LeftButton, Qt::NoModifier, at(from));
        QMouseEvent move(QEvent::MouseMove, at(to), vp->mapToGlobal(at(to)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(vp, &move);
        QTest::mouseRelease(vp, Qt::LeftButton, Qt::NoModifier, at(to));
    }
    QVector<int> lineIndices() const
    {
        QVector<int> found;
        for (int i = 0; i < TPalmView::countLineCount; ++i) {
            // A dashed line and its ridge-count line exist together or not at all.
            if (bool(view->countLine(i)) != bool(view->connectingLine(i)))
                found.append(-1);
            else if (view->countLine(i))
                found.append(i);
        }
        return found;
    }

private slots:
    void initTestCase() { testsupport::isolateSettings(); }
    void init()
    {
        view.reset(new TPalmView);
        view->resize(500, 400);
        view->show();
        QImage image(400, 300, QImage::Format_RGB32);
        image.fill(Qt::white);
        view->setImage(image);
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    }
    void cleanup() { view.reset(); }

    void linesFollowThePairTable_data()
    {
        QTest::addColumn<QList<int>>("placed");
        QTest::addColumn<QVector<int>>("lines");
        QTest::addColumn<int>("lastEnd");   // the far end of line 3, -1 without it
        QTest::newRow("none") << QList<int>{} << QVector<int>{} << -1;
        QTest::newRow("a b") << QList<int>{Slot::A, Slot::B} << QVector<int>{0} << -1;
        QTest::newRow("all digital and t") << QList<int>{0, 1, 2, 3, 4} << QVector<int>{0, 1, 2, 3} << int(Slot::T);
        QTest::newRow("cd replaces c and d") << QList<int>{0, 1, 2, 3, 4, 5} << QVector<int>{0, 1, 3} << int(Slot::T);
        QTest::newRow("cd without b") << QList<int>{0, 5, 4} << QVector<int>{3} << int(Slot::T);
        QTest::newRow("t2 stands in for t") << QList<int>{0, 3, 12} << QVector<int>{3} << int(Slot::T2);
        QTest::newRow("t wins over t2") << QList<int>{0, 3, 12, 4} << QVector<int>{3} << int(Slot::T);
        QTest::newRow("tb before t1") << QList<int>{3, 11, 10} << QVector<int>{3} << int(Slot::TB);
        QTest::newRow("extra slots draw nothing") << QList<int>{6, 7, 14, 16} << QVector<int>{} << -1;
    }
    void linesFollowThePairTable()
    {
        QFETCH(QList<int>, placed);
        QFETCH(QVector<int>, lines);
        QFETCH(int, lastEnd);
        QSignalSpy angles(view.get(), &TPalmView::angle);
        for (int s : placed)
            view->addTriradius(s, QPointF(20 + 20 * s, 40 + 13 * (s % 5)));
        view->connectPoints();
        QCOMPARE(lineIndices(), lines);
        if (lastEnd >= 0) {
            const QPointF start = view->triradius(placed.contains(Slot::CD) ? Slot::CD : Slot::D)->pos();
            QCOMPARE(view->countLine(3)->line(), QLineF(start, view->triradius(lastEnd)->pos()));
        }
        if (view->countLine(1) && placed.contains(Slot::CD))
            QCOMPARE(view->countLine(1)->line().p2(), view->triradius(Slot::CD)->pos());
        const bool withAngle = placed.contains(Slot::A) && lastEnd >= 0;
        QCOMPARE(angles.last().at(0).toBool(), withAngle);
        if (!withAngle)
            QCOMPARE(angles.last().at(1).toDouble(), 0.0);
    }

    void atdAngleIsTheUnsignedAngleAtT_data()
    {
        QTest::addColumn<QPointF>("a");
        QTest::addColumn<QPointF>("d");
        QTest::addColumn<QPointF>("t");
        QTest::addColumn<double>("expected");   // negative: only the independent value
        QTest::newRow("right") << QPointF(100, 100) << QPointF(300, 200) << QPointF(100, 200) << 90.0;
        QTest::newRow("straight") << QPointF(50, 150) << QPointF(350, 150) << QPointF(200, 150) << 180.0;
        QTest::newRow("same direction") << QPointF(100, 100) << QPointF(150, 150) << QPointF(200, 200) << 0.0;
        QTest::newRow("wide") << QPointF(30, 40) << QPointF(370, 60) << QPointF(210, 280) << -1.0;
        QTest::newRow("narrow") << QPointF(180, 20) << QPointF(220, 25) << QPointF(190, 290) << -1.0;
        QTest::newRow("reflex side") << QPointF(300, 50) << QPointF(20, 80) << QPointF(150, 250) << -1.0;
    }
    void atdAngleIsTheUnsignedAngleAtT()
    {
        QFETCH(QPointF, a);
        QFETCH(QPointF, d);
        QFETCH(QPointF, t);
        QFETCH(double, expected);
        QSignalSpy angles(view.get(), &TPalmView::angle);
        view->addTriradius(Slot::A, a);
        view->addTriradius(Slot::D, d);
        view->addTriradius(Slot::T, t);
        view->connectPoints();
        QVERIFY(angles.last().at(0).toBool());
        const double x = angles.last().at(1).toDouble();
        QVERIFY2(qAbs(x - rayAngle(a, t, d)) < 1e-9, qPrintable(QString::number(x)));
        if (expected >= 0)
            QVERIFY(qAbs(x - expected) < 1e-9);
        // The same angle through cd in place of d.
        view->addTriradius(Slot::CD, d);
        view->cancelTriradium(Slot::D);
        QVERIFY(qAbs(angles.last().at(1).toDouble() - x) < 1e-9);
    }

    void triradiusMenuMarksPlacedSlots()
    {
        view->addTriradia(true);
        view->addTriradius(Slot::B, QPointF(100, 100));
        QStringList entries;
        QList<bool> enabled;
        testsupport::chooseMenuEntry("Add triradius t", &entries, &enabled);
        QSignalSpy changed(view.get(), &TPalmView::triradiumChanged);
        click(QPointF(200, 200));
        QCOMPARE(entries.size(), 17);
        QCOMPARE(entries.first(), QString("Add triradius a"));
        QCOMPARE(entries.at(5), QString("Add triradius cd"));
        QVERIFY(!enabled.at(Slot::B) && enabled.at(Slot::A));
        QCOMPARE(changed.size(), 1);
        QCOMPARE(changed.first(), (QList<QVariant>{int(Slot::T), true}));
        QVERIFY(qAbs(view->triradius(Slot::T)->pos().x() - 200) < 1.5);
        QVERIFY(view->triradius(Slot::T)->label().isEmpty());

        // The next free of a, b, c, d and t is picked already; typing a name picks
        // a slot ("c" alone waits: "cd" goes on from it).
        QString picked;
        QTimer::singleShot(0, [&picked] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            QVERIFY(menu && menu->activeAction());
            picked = menu->activeAction()->text();
            QTest::keyClick(menu, Qt::Key_C);
            QTest::keyClick(menu, Qt::Key_D);
        });
        click(QPointF(250, 150));
        QCOMPARE(picked, QString("Add triradius a"));
        QVERIFY(view->triradius(Slot::CD));
        QVERIFY(qAbs(view->triradius(Slot::CD)->pos().x() - 250) < 1.5);

        for (int i = 0; i < 17; ++i)
            view->addTriradius(i, QPointF(10 + 20 * i, 250));
        QList<bool> checked;
        enabled.clear();
        QSignalSpy angles(view.get(), &TPalmView::angle);
        inspectMenu(&checked, &enabled);
        click(QPointF(300, 20));
        QCOMPARE(checked, QList<bool>() << QVector<bool>(17, true).toList());
        QCOMPARE(enabled, QList<bool>() << QVector<bool>(17, false).toList());
        QCOMPARE(angles.size(), 0);   // a closed menu placed nothing, so nothing is rebuilt
    }

    void deletingTriradiiAndCores()
    {
        view->addTriradia(true);
        TGraphicsVertexItem* a = view->addTriradius(Slot::A, QPointF(100, 100));
        QCOMPARE(view->addTriradius(Slot::A, QPointF(5, 5)), a);   // an occupied slot stays
        view->addTriradius(Slot::B, QPointF(200, 100));
        view->connectPoints();
        testsupport::chooseMenuEntry("Delete triradial point");
        click(QPointF(100, 100), Qt::RightButton);
        QVERIFY(!view->triradius(Slot::A));
        QVERIFY(!view->countLine(0));

        QSignalSpy changed(view.get(), &TPalmView::triradiumChanged);
        view->cancelTriradia();
        QCOMPARE(changed.size(), 17);
        for (int i = 0; i < 17; ++i)
            QCOMPARE(changed.at(i), (QList<QVariant>{i, false}));

        // A right click in core mode or with no tool does nothing.
        view->addTriradia(false);
        view->addCores(true);
        view->addCorePoint(QPointF(150, 150));
        click(QPointF(150, 150), Qt::RightButton);
        QCOMPARE(view->corePoints().size(), 1);
        view->cancelCores();
        QVERIFY(view->corePoints().isEmpty());
    }

    void ridgePointsOnCountLines()
    {
        view->addTriradius(Slot::A, QPointF(50, 100));
        view->addTriradius(Slot::B, QPointF(350, 100));
        view->connectPoints();
        view->addRidgePoint(QPointF(150, 100));
        QCOMPARE(view->countLine(0)->count(), 0);   // not editable before the tool is on
        view->addRidgePoints(true);
        click(QPointF(150, 100.3));
        click(QPointF(250, 99.7));
        view->addRidgePoint(QPointF(100, 100), 0);
        view->addRidgePoint(QPointF(100, 100), 2);   // no line 2: nothing
        QCOMPARE(view->countLine(0)->count(), 3);
        const QPointF onLine = view->countLine(0)->points().at(1)->scenePos();
        QVERIFY(qAbs(onLine.y() - 100) < 1e-6);

        testsupport::chooseMenuEntry("Delete ridge point");
        click(onLine, Qt::RightButton);
        QCOMPARE(view->countLine(0)->count(), 2);
        view->cancelRidgePoints();
        QCOMPARE(view->countLine(0)->count(), 0);
        QVERIFY(view->countLine(0));

        // Lines that appear while the tool is on take points at once.
        view->addTriradius(Slot::C, QPointF(350, 250));
        view->connectPoints();
        view->addRidgePoint(QPointF(350, 200));
        QCOMPARE(view->countLine(1)->count(), 1);
        view->cancelTriradium(Slot::C);
        view->addRidgePoint(QPointF(150, 100));
        QCOMPARE(view->countLine(0)->count(), 1);
    }

    void ridgePointsStayThroughUnrelatedEdits()
    {
        view->addTriradius(Slot::A, QPointF(50, 100));
        view->addTriradius(Slot::B, QPointF(350, 100));
        view->connectPoints();
        view->addRidgePoints(true);
        click(QPointF(100, 100));
        // A double click with a pixel of jitter: its second press lands on the
        // point the first placed, which takes it, so one point.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, at(QPointF(200, 100)));
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                           at(QPointF(200, 100)) + QPoint(1, 0));
        QTest::mouseRelease(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                            at(QPointF(200, 100)) + QPoint(1, 0));
        // Beside the line by three screen pixels: still a point, at the foot.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier,
                          at(QPointF(300, 100)) + QPoint(0, -3));
        // On a point or a triradius marker: nothing.
        click(view->countLine(0)->points().at(0)->pos());
        click(QPointF(350, 100));
        TRCLine* ab = view->countLine(0);
        QCOMPARE(ab->count(), 3);
        view->addRidgePoints(false);

        view->addTriradia(true);
        testsupport::chooseMenuEntry("Add triradius o1");
        click(QPointF(200, 250));
        testsupport::chooseMenuEntry(QString());
        click(QPointF(250, 250));
        view->cancelTriradium(Slot::D);
        view->addTriradia(false);
        view->addCores(true);
        testsupport::chooseMenuEntry("Add core point");
        click(QPointF(100, 200));
        drag(QPointF(100, 200), QPointF(140, 230));
        QVERIFY(view->corePoints().at(0)->pos() != QPointF(100, 200));
        view->addCores(false);
        QCOMPARE(view->countLine(0), ab);
        QCOMPARE(ab->count(), 3);

        // Turned and mirrored, the points stay on their pixels and keep counting.
        const QTransform toImage = view->displayTransform().inverted();
        const QVector<QPointF> pixels = toImage.map(QPolygonF(ab->ridgePointPositions()));
        view->rotate(90);
        view->flip(true);
        QCOMPARE(view->countLine(0)->count(), 3);
        const QVector<QPointF> turned = view->displayTransform().inverted().map(
            QPolygonF(view->countLine(0)->ridgePointPositions()));
        for (int i = 0; i < pixels.size(); ++i)
            QVERIFY(QLineF(pixels.at(i), turned.at(i)).length() < 1e-6);
        QVERIFY(QLineF(view->triradius(Slot::A)->pos(),
                       view->displayTransform().map(QPointF(50, 100))).length() < 1e-6);
    }

    void draggingATriradiusKeepsItsRidgePoints()
    {
        view->addTriradius(Slot::A, QPointF(50, 100));
        view->addTriradius(Slot::B, QPointF(350, 100));
        TGraphicsVertexItem* core = view->addCorePoint(QPointF(200, 250));
        view->connectPoints();
        view->addRidgePoints(true);
        view->addRidgePoint(QPointF(150, 100));
        QCOMPARE(view->countLine(0)->count(), 1);

        // Without the core tool the core cannot be dragged.
        drag(QPointF(200, 250), QPointF(220, 260));
        QCOMPARE(core->pos(), QPointF(200, 250));
        QCOMPARE(view->countLine(0)->count(), 1);

        // A core is no end of a counted line: dragging it keeps the count.
        view->addRidgePoints(false);
        view->addCores(true);
        drag(QPointF(200, 250), QPointF(220, 260));
        QVERIFY(core->pos() != QPointF(200, 250));
        QCOMPARE(view->countLine(0)->count(), 1);

        view->addCores(false);
        view->addTriradia(true);
        QSignalSpy angles(view.get(), &TPalmView::angle);
        drag(QPointF(350, 100), QPointF(330, 150));
        const QPointF b = view->triradius(Slot::B)->pos();
        QVERIFY(b.y() > 120);
        QVERIFY(!angles.isEmpty());
        // The line ends where the triradius is now, and keeps its count.
        QCOMPARE(view->countLine(0)->line().p2(), b);
        QCOMPARE(view->countLine(0)->count(), 1);
    }

    void tracingRadiantsAndCentralLines()
    {
        TGraphicsVertexItem* t = view->addTriradius(Slot::T, QPointF(200, 200));
        TGraphicsVertexItem* core = view->addCorePoint(QPointF(100, 100));
        view->addRadiants(true);
        click(QPointF(210, 210));   // no radiant opened: nothing
        QCOMPARE(t->ridgeLineCount(), 0);
        QTest::keyClick(view.get(), Qt::Key_Escape);   // nothing current: nothing

        for (int line = 0; line < 3; ++line) {
            QList<bool> enabled;
            testsupport::chooseMenuEntry("Add radiant", nullptr, &enabled);
            click(QPointF(200, 200), Qt::RightButton);
            QCOMPARE(enabled.first(), true);
            QCOMPARE(view->tracedVertex(), t);
            click(QPointF(220 + 10 * line, 180));
            click(QPointF(240 + 10 * line, 160));
        }
        QCOMPARE(t->ridgeLineCount(), 3);
        QList<bool> enabled;
        testsupport::chooseMenuEntry("Add radiant", nullptr, &enabled);
        click(QPointF(200, 200), Qt::RightButton);
        QCOMPARE(enabled, (QList<bool>{false, true}));
        QTest::keyClick(view.get(), Qt::Key_Escape);
        QCOMPARE(t->ridgeLinePoints().last().size(), 1);
        QTest::keyClick(view.get(), Qt::Key_Escape);
        QTest::keyClick(view.get(), Qt::Key_Escape);   // an empty line stays as it is
        QCOMPARE(t->ridgeLineCount(), 2);

        // Deleting the traced triradius leaves no current vertex behind.
        view->cancelTriradium(Slot::T);
        QVERIFY(!view->tracedVertex());
        click(QPointF(250, 250));
        QTest::keyClick(view.get(), Qt::Key_Escape);

        view->addRadiants(false);
        view->addCentralLines(true);
        testsupport::chooseMenuEntry("Add central line");
        click(QPointF(100, 100), Qt::RightButton);
        click(QPointF(120, 80));
        enabled.clear();
        testsupport::chooseMenuEntry("Delete central lines", nullptr, &enabled);
        click(QPointF(100, 100), Qt::RightButton);
        QCOMPARE(enabled, (QList<bool>{false, true}));
        QCOMPARE(core->ridgeLineCount(), 0);
        QVERIFY(!view->tracedVertex());

        testsupport::chooseMenuEntry("Add central line");
        click(QPointF(100, 100), Qt::RightButton);
        view->cancelCores();
        QVERIFY(!view->tracedVertex());
        click(QPointF(130, 130));
    }

    void resetEmptiesTheView()
    {
        view->addTriradius(Slot::A, QPointF(50, 100));
        view->addTriradius(Slot::B, QPointF(350, 100));
        TGraphicsVertexItem* core = view->addCorePoint(QPointF(200, 250));
        core->addRidgeLine();
        core->addRidgePoint(QPointF(210, 260));
        view->connectPoints();
        view->addCentralLines(true);
        QSignalSpy changed(view.get(), &TPalmView::triradiumChanged);
        QSignalSpy angles(view.get(), &TPalmView::angle);
        view->reset();
        QCOMPARE(changed.size(), 17);
        QVERIFY(!angles.isEmpty() && !angles.last().at(0).toBool());
        QVERIFY(view->corePoints().isEmpty() && !view->countLine(0) && !view->tracedVertex());
        QVERIFY(view->isAddingCentralLines());
    }
};

QTEST_MAIN(TestPalmView)
#include "tst_palmview.moc"
