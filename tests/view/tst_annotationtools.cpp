#include "finger/fingertestview.h"
#include "testsupport.h"

#include "annotation/geometry.h"
#include "annotation/tglyphrecord.h"
#include "view/tgraphicsvertexitem.h"
#include "view/trcline.h"

#include <QGraphicsLineItem>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QSignalSpy>
#include <QtTest>

#include <cmath>

static QString labelOf(const TRCLine* line)
{
    return line->label()->toPlainText();
}

// The tools both annotation views share, driven through the finger view: tracing
// radiants and central lines, counting ridges and taking the suggested points.
class TestAnnotationTools : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { testsupport::isolateSettings(); }

    void radiantsAreTracedAndLimited()
    {
        FingerTestView view;
        TGraphicsVertexItem* t = view.addLandmark(QPointF(200, 150), Triradius);
        view.addRadiants(true);
        QList<bool> enabled;
        QStringList entries;
        for (int i = 0; i < 3; ++i) {
            enabled.clear();
            entries.clear();
            testsupport::chooseMenuEntry("Add radiant", &entries, &enabled);
            view.click(t->pos(), Qt::RightButton);
            QCOMPARE(entries, (QStringList{"Add radiant", "Delete radiants"}));
            QVERIFY(enabled.at(0));
            QCOMPARE(view.tracedLandmark(), t);
            if (i == 2) {
                // An opened line without points does not count yet.
                enabled.clear();
                testsupport::chooseMenuEntry("Add radiant", nullptr, &enabled);
                view.click(t->pos(), Qt::RightButton);
                QVERIFY(enabled.at(0));
            }
            view.click(QPointF(250 + 30 * i, 60));
            view.click(QPointF(260 + 30 * i, 40));
        }
        QCOMPARE(t->ridgeLineCount(), 3);
        QCOMPARE(t->ridgeLines().at(2).size(), 2);

        view.key(Qt::Key_Escape);
        QCOMPARE(t->ridgeLines().at(2).size(), 1);
        view.key(Qt::Key_Left);              // not passed on, changes nothing
        QCOMPARE(t->ridgeLines().at(2).size(), 1);

        enabled.clear();
        testsupport::chooseMenuEntry(QString(), nullptr, &enabled);
        view.click(t->pos(), Qt::RightButton);
        QCOMPARE(enabled, (QList<bool>{false, true}));

        testsupport::chooseMenuEntry("Delete radiants");
        view.click(t->pos(), Qt::RightButton);
        QCOMPARE(t->ridgeLineCount(), 0);
        QVERIFY(!view.tracedLandmark());
        view.click(QPointF(300, 200));       // no open line: nothing traced
        view.key(Qt::Key_Escape);
        QVERIFY(t->ridgeLinePoints().isEmpty());
    }

    void centralLineOnePerCore()
    {
        FingerTestView view;
        TGraphicsVertexItem* core = view.addLandmark(QPointF(150, 150), Core);
        TGraphicsVertexItem* t = view.addLandmark(QPointF(250, 150), Triradius);
        view.addCentralLines(true);
        testsupport::chooseMenuEntry("Add central line");
        view.click(core->pos(), Qt::RightButton);
        view.click(QPointF(160, 100));
        QCOMPARE(core->ridgeLineCount(), 1);
        QCOMPARE(core->ridgeLineSegments().at(0).at(0)->line().p1(), core->pos());

        QList<bool> enabled;
        testsupport::chooseMenuEntry(QString(), nullptr, &enabled);
        view.click(core->pos(), Qt::RightButton);
        QCOMPARE(enabled, (QList<bool>{false, true}));

        // A triradius offers nothing in central-line mode, nor a core with both
        // tracing modes on (radiants are asked first).
        view.click(t->pos(), Qt::RightButton);
        view.addRadiants(true);
        view.click(core->pos(), Qt::RightButton);
        QVERIFY(t->ridgeLinePoints().isEmpty());

        // Switching a tracing mode ends the line being traced.
        QVERIFY(!view.tracedLandmark());
        view.click(QPointF(170, 90));
        QCOMPARE(core->ridgeLines().at(0).size(), 1);

        view.cancelCentralLines();
        QCOMPARE(core->ridgeLineCount(), 0);
    }

    void cancelsNeverLeaveADanglingTrace_data()
    {
        QTest::addColumn<int>("which");
        QTest::newRow("cancelCores") << 0;
        QTest::newRow("cancelTriradia") << 1;
        QTest::newRow("cancelLandmarks") << 2;
        QTest::newRow("reset") << 3;
    }
    void cancelsNeverLeaveADanglingTrace()
    {
        QFETCH(int, which);
        FingerTestView view;
        TGraphicsVertexItem* core = view.addLandmark(QPointF(150, 150), Core);
        TGraphicsVertexItem* t = view.addLandmark(QPointF(250, 150), Triradius);
        const bool onCore = which != 1;
        view.addCentralLines(onCore);
        view.addRadiants(!onCore);
        testsupport::chooseMenuEntry(onCore ? "Add central line" : "Add radiant");
        view.click((onCore ? core : t)->pos(), Qt::RightButton);
        view.click(QPointF(200, 80));
        QCOMPARE(view.tracedLandmark(), onCore ? core : t);
        switch (which) {
        case 0: view.cancelCores(); break;
        case 1: view.cancelTriradia(); break;
        case 2: view.cancelLandmarks(); break;
        default: {
            QImage image(400, 300, QImage::Format_RGB32);
            image.fill(Qt::white);
            view.reset();
            view.setImage(image);
        }
        }
        QVERIFY(!view.tracedLandmark());
        view.click(QPointF(210, 90));
        view.key(Qt::Key_Escape);
    }

    void ridgePointsCountOnceAndStay()
    {
        FingerTestView view;
        view.addCores(true);
        testsupport::chooseMenuEntry("Add core point");
        view.click(QPointF(100, 100));
        view.addCores(false);
        view.addTriradia(true);
        testsupport::chooseMenuEntry("Add triradial point");
        view.click(QPointF(300, 100));
        view.addTriradia(false);
        TRCLine* line = view.coreTriradiusCountLines().value(0);
        QVERIFY(line);

        view.addRidgePoints(true);
        view.click(QPointF(150, 100));
        // Three screen pixels beside the line still count, at the foot.
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier,
                          view.at(QPointF(200, 100)) + QPoint(0, 3));
        // A double click is two presses; the second lands on the point the first
        // placed, and a press on a ridge point means that point: one point.
        const QPoint twice = view.at(QPointF(250, 100));
        QTest::mousePress(view.viewport(), Qt::LeftButton, Qt::NoModifier, twice);
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, Qt::NoModifier, twice);
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, twice + QPoint(1, 1));
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, Qt::NoModifier, twice + QPoint(1, 1));
        QCOMPARE(line->count(), 3);
        const QPointF beside = line->points().at(1)->pos();
        QVERIFY(QLineF(lineIntersectionFoot(line->line(), beside), beside).length() < 1e-9);
        // A click on a ridge point or on the landmark marker means that marker.
        view.click(line->points().at(0)->pos());
        view.click(QPointF(100, 100));
        view.click(QPointF(200, 110));       // too far beside the line
        QCOMPARE(line->count(), 3);

        // Menus dismissed or refused, and a second triradius that leaves this
        // line's ends where they are, keep the count.
        view.addRidgePoints(false);
        view.addCores(true);
        testsupport::chooseMenuEntry(QString());
        view.click(QPointF(200, 250));
        view.addCores(false);
        view.addPoints(true);
        testsupport::chooseMenuEntry("Add triradial point");
        view.click(QPointF(200, 280));
        QCOMPARE(view.triradiusItems().size(), 2);
        QCOMPARE(view.coreTriradiusCountLines().size(), 2);
        QCOMPARE(view.coreTriradiusCountLines().at(1), line);
        QCOMPARE(line->count(), 3);
        QCOMPARE(labelOf(line), QString("3"));

        // A line made while the ridge tool is on takes clicks at once; a double
        // click on a landmark outside the landmark tools moves nothing.
        view.addPoints(false);
        view.addRidgePoints(true);
        view.cancelTriradia();
        view.addTriradia(true);
        testsupport::chooseMenuEntry("Add triradial point");
        view.click(QPointF(100, 250));
        view.addTriradia(false);
        view.click(QPointF(100, 200));
        QCOMPARE(view.coreTriradiusCountLines().at(0)->count(), 1);
        const QPointF placed = view.coreItems().at(0)->pos();
        const QPoint core = view.at(placed);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, core);
        QTest::mouseDClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, core);
        view.moveMouse(core + QPoint(40, 30));
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, Qt::NoModifier, core + QPoint(40, 30));
        QCOMPARE(view.coreItems().at(0)->pos(), placed);
        QCOMPARE(view.coreTriradiusCountLines().at(0)->count(), 1);

        // A click on a landmark in its tool, with a pixel of jitter, does not move it.
        view.addRidgePoints(false);
        view.addCores(true);
        QTest::mousePress(view.viewport(), Qt::LeftButton, Qt::NoModifier, core);
        view.moveMouse(core + QPoint(1, 1));
        QTest::mouseRelease(view.viewport(), Qt::LeftButton, Qt::NoModifier, core + QPoint(1, 1));
        QCOMPARE(view.coreItems().at(0)->pos(), placed);
        QCOMPARE(view.coreTriradiusCountLines().at(0)->count(), 1);
    }

    void suggestedRidgePointsThroughTheMenu()
    {
        // Dark ridges 12 pixels apart between the core and the triradius.
        QImage ridges(400, 300, QImage::Format_Grayscale8);
        ridges.fill(235);
        for (int x = 64; x < 336; x += 12)
            for (int dx = 0; dx < 4; ++dx)
                for (int y = 0; y < 300; ++y)
                    ridges.scanLine(y)[x + dx] = 40;
        FingerTestView view;
        view.setImage(ridges);
        view.flip(true);   // read from the unturned print, placed on the shown one
        view.addLandmark(QPointF(45, 150), Core);
        view.addLandmark(QPointF(355, 150), Triradius);
        view.connectPoints();
        view.addRidgePoints(true);
        TRCLine* line = view.coreTriradiusCountLines().at(0);
        view.click(QPointF(120, 150));   // one placed by hand first
        QCOMPARE(line->count(), 1);
        testsupport::chooseMenuEntry("Suggest ridge points");
        view.click(QPointF(200, 150), Qt::RightButton);
        QCOMPARE(line->count(), 23);
        for (int i = 0; i < line->count(); ++i) {
            const double x = 400 - line->ridgePointPositions().at(i).x();   // mirrored back
            if (qAbs(x - 280) < 3)
                continue;   // the hand's own point stays where it was clicked
            QVERIFY2(qAbs(std::fmod(x - 65.5, 12.0)) < 1 || qAbs(std::fmod(x - 65.5, 12.0)) > 11,
                     qPrintable(QString::number(x)));
        }
        // Asked again, nothing is counted twice.
        view.suggestRidgePoints();
        QCOMPARE(line->count(), 23);
    }
};

QTEST_MAIN(TestAnnotationTools)
#include "tst_annotationtools.moc"
