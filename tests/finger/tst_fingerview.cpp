#include "fingertestview.h"
#include "testsupport.h"

#include "annotation/geometry.h"
#include "annotation/tglyphrecord.h"
#include "view/tgraphicsvertexitem.h"
#include "view/trcline.h"

#include <QGraphicsLineItem>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QSignalSpy>
#include <QTextStream>
#include <QXmlStreamReader>
#include <QtTest>

#include <cmath>

static QString labelOf(const TRCLine* line)
{
    return line->label()->toPlainText();
}

class TestFingerView : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { testsupport::isolateSettings(); }

    void landmarksAreSortedByX()
    {
        FingerTestView view;
        QSignalSpy counts(&view, &TDermatoglyphView::count);
        TGraphicsVertexItem* right = view.addLandmark(QPointF(200, 50), Core);
        TGraphicsVertexItem* left = view.addLandmark(QPointF(100, 60), Core);
        TGraphicsVertexItem* sameX = view.addLandmark(QPointF(100, 70), Core);
        QCOMPARE(view.coreItems(), (QList<TGraphicsVertexItem*>{left, sameX, right}));
        view.addLandmark(QPointF(150, 200), Triradius);
        QCOMPARE(counts.count(), 4);
        QCOMPARE(counts.last(), (QList<QVariant>{3, 1}));

        QVERIFY(left->isCore());
        QCOMPARE(left->zValue(), 2000.0);
        QVERIFY(left->flags() & QGraphicsItem::ItemIsMovable);
        TGraphicsVertexItem* t = view.triradiusItems().at(0);
        QVERIFY(t->isTriradius());
        QCOMPARE(t->ridgePointBrush().color(), QColor(Qt::red));
    }

    void pairingTable_data()
    {
        QTest::addColumn<int>("nc");
        QTest::addColumn<int>("nt");
        QTest::addColumn<bool>("coreCore");
        QTest::addColumn<bool>("triradiusTriradius");
        QTest::addColumn<int>("coreTriradius");
        QTest::newRow("0c 2t") << 0 << 2 << false << true << 0;
        QTest::newRow("1c 0t") << 1 << 0 << false << false << 0;
        QTest::newRow("1c 1t") << 1 << 1 << false << false << 1;
        QTest::newRow("1c 2t") << 1 << 2 << false << true << 2;
        QTest::newRow("2c 0t") << 2 << 0 << true << false << 0;
        QTest::newRow("2c 1t") << 2 << 1 << true << false << 0;
        QTest::newRow("2c 2t") << 2 << 2 << true << true << 2;
        QTest::newRow("3c 2t") << 3 << 2 << false << true << 0;
    }
    void pairingTable()
    {
        QFETCH(int, nc);
        QFETCH(int, nt);
        QFETCH(bool, coreCore);
        QFETCH(bool, triradiusTriradius);
        QFETCH(int, coreTriradius);
        FingerTestView view;
        for (int i = 0; i < nc; ++i)
            view.addLandmark(QPointF(300 - 100 * i, 50 + 10 * i), Core);
        for (int i = 0; i < nt; ++i)
            view.addLandmark(QPointF(320 - 200 * i, 250), Triradius);
        view.connectPoints();
        QCOMPARE(view.coreCoreCountLine() != nullptr, coreCore);
        QCOMPARE(view.coreCoreLineItem() != nullptr, coreCore);
        QCOMPARE(view.triradiusTriradiusLineItem() != nullptr, triradiusTriradius);
        QCOMPARE(view.coreTriradiusCountLines().size(), coreTriradius);
        QCOMPARE(view.coreTriradiusLineItems().size(), coreTriradius);
        const auto cores = view.coreItems();
        const auto triradia = view.triradiusItems();
        for (int i = 0; i < coreTriradius; ++i) {
            // One core: to every triradius; two cores: left with left, right with right.
            const QLineF expected(cores.at(nc == 1 ? 0 : i)->pos(), triradia.at(i)->pos());
            QCOMPARE(view.coreTriradiusCountLines().at(i)->line(), expected);
            QCOMPARE(view.coreTriradiusLineItems().at(i)->line(), expected);
            QVERIFY(!view.coreTriradiusCountLines().at(i)->isEditable());
        }
        if (coreCore)
            QCOMPARE(view.coreCoreCountLine()->line(), QLineF(cores.at(0)->pos(), cores.at(1)->pos()));
    }

    void menuLimits()
    {
        FingerTestView view;
        view.addLandmark(QPointF(100, 100), Core);
        view.addLandmark(QPointF(200, 100), Core);
        view.addLandmark(QPointF(100, 200), Triradius);
        view.addLandmark(QPointF(200, 200), Triradius);

        QStringList entries;
        QList<bool> enabled;
        testsupport::chooseMenuEntry("Add core point", &entries, &enabled);
        view.addCore(QPointF(150, 150), QPoint(10, 10));
        QCOMPARE(entries, QStringList{"Add core point"});
        QCOMPARE(enabled, QList<bool>{false});
        QCOMPARE(view.coreItems().size(), 2);

        enabled.clear();
        testsupport::chooseMenuEntry("Add triradial point", nullptr, &enabled);
        view.addTriradium(QPointF(150, 150), QPoint(10, 10));
        QCOMPARE(enabled, QList<bool>{false});
        QCOMPARE(view.triradiusItems().size(), 2);

        entries.clear();
        enabled.clear();
        testsupport::chooseMenuEntry("Add core point", &entries, &enabled);
        view.addPoint(QPointF(150, 150), QPoint(10, 10));
        QCOMPARE(entries, (QStringList{"Add core point", "Add triradial point"}));
        QCOMPARE(enabled, (QList<bool>{true, true}));
        QCOMPARE(view.coreItems().size(), 3);
    }

    void clickAddsLandmarksAndLines()
    {
        FingerTestView view;
        view.addCores(true);
        testsupport::chooseMenuEntry("Add core point");
        view.click(QPointF(100, 100));
        testsupport::chooseMenuEntry("Add core point");
        view.click(QPointF(300, 100));
        QCOMPARE(view.coreItems().size(), 2);
        QVERIFY(QLineF(view.coreItems().at(0)->pos(), QPointF(100, 100)).length() < 1.5);
        QVERIFY(view.coreCoreCountLine());

        // A dismissed menu adds nothing.
        view.addCores(false);
        view.addTriradia(true);
        testsupport::chooseMenuEntry(QString());
        view.click(QPointF(200, 250));
        QVERIFY(view.triradiusItems().isEmpty());
        testsupport::chooseMenuEntry("Add triradial point");
        view.click(QPointF(200, 250));
        QCOMPARE(view.triradiusItems().size(), 1);
    }

    void pressRuleOrder()
    {
        FingerTestView view;
        // Calibration takes the press before any tool.
        view.paintFlex(true);
        view.calibrate(true);
        QSignalSpy calibrated(&view, &TGlyphView::calibrated);
        view.click(QPointF(50, 50));
        view.click(QPointF(150, 50));
        QCOMPARE(calibrated.count(), 1);
        QVERIFY(view.flexionOutline().isEmpty());
        view.click(QPointF(50, 80));
        QCOMPARE(view.flexionOutline().size(), 1);
        view.paintFlex(false);

        // Crop selection comes before ridge counting and tracing.
        view.addRidgePoints(true);
        view.selectCrop(true);
        view.click(QPointF(60, 60));
        QCOMPARE(view.selectionMarkerItems().size(), 1);

        // With no mode a left press does nothing.
        view.selectCrop(false);
        view.addRidgePoints(false);
        const int items = view.glyphScene()->items().size();
        view.click(QPointF(70, 70));
        QCOMPARE(view.glyphScene()->items().size(), items);
    }

    void ridgePointsByMouse()
    {
        FingerTestView view;
        view.addLandmark(QPointF(100, 100), Core);
        view.addLandmark(QPointF(300, 100), Core);
        view.connectPoints();
        TRCLine* cc = view.coreCoreCountLine();
        view.click(QPointF(200, 100));       // not in ridge-point mode
        QCOMPARE(cc->count(), 0);

        view.addRidgePoints(true);
        QVERIFY(cc->isEditable());
        view.click(QPointF(250, 100));
        view.click(QPointF(150, 100));
        view.click(QPointF(200, 160));       // beside the line: nothing
        QCOMPARE(cc->count(), 2);
        QCOMPARE(labelOf(cc), QString("2"));
        QVERIFY(cc->points().at(0)->pos().x() < cc->points().at(1)->pos().x());
        for (const QPointF& p : cc->ridgePointPositions())
            QVERIFY(qAbs(p.y() - 100) < 1e-9);

        const QPointF doomed = cc->points().at(0)->pos();
        testsupport::chooseMenuEntry("Delete ridge point");
        view.click(doomed, Qt::RightButton);
        QCOMPARE(cc->count(), 1);
        QCOMPARE(labelOf(cc), QString("1"));

        view.cancelRidgePoints();
        QCOMPARE(view.coreCoreCountLine(), cc);
        QCOMPARE(labelOf(cc), QString("0"));
    }

    void dragMovesLinesAndTheirPointsWithTheLandmarks()
    {
        FingerTestView view;
        TGraphicsVertexItem* core = view.addLandmark(QPointF(100, 100), Core);
        view.addLandmark(QPointF(300, 100), Core);
        view.addLandmark(QPointF(100, 250), Triradius);
        view.addLandmark(QPointF(300, 250), Triradius);
        view.connectPoints();
        view.addRidgePoints(true);
        view.coreCoreCountLine()->addRidgePoint(200, 105);
        view.coreTriradiusCountLines().at(1)->addRidgePoint(305, 180);
        view.addRidgePoints(false);
        core->addRidgeLine();
        core->addRidgePoint(QPointF(120, 60));

        view.addCores(true);
        view.drag(QPointF(100, 100), QPointF(130, 140));
        QVERIFY(QLineF(core->pos(), QPointF(130, 140)).length() < 2);
        QCOMPARE(view.coreItems().at(0), core);
        QCOMPARE(view.coreCoreLineItem()->line().p1(), core->pos());
        QCOMPARE(view.coreCoreCountLine()->line().p1(), core->pos());
        QCOMPARE(view.coreTriradiusCountLines().at(0)->line().p1(), core->pos());
        // A nudge keeps the count: the point keeps its share of the way along.
        QCOMPARE(view.coreCoreCountLine()->count(), 1);
        QCOMPARE(labelOf(view.coreCoreCountLine()), QString("1"));
        QVERIFY(QLineF(view.coreCoreCountLine()->ridgePointPositions().at(0),
                       view.coreCoreCountLine()->line().pointAt(0.5)).length() < 1e-9);
        // The right core and triradius did not move: their line keeps its count.
        QCOMPARE(view.coreTriradiusCountLines().at(1)->count(), 1);
        QCOMPARE(core->ridgeLines(), QVector<QVector<QPointF>>{{QPointF(120, 60)}});

        // Out of the print: the landmark stays inside.
        view.drag(core->pos(), QPointF(130, 340));
        QVERIFY(view.glyphScene()->sceneRect().contains(core->pos().toPoint()));
        QCOMPARE(view.coreCoreCountLine()->line().p1(), core->pos());
    }

    void cancelsAndCount()
    {
        FingerTestView view;
        view.addLandmark(QPointF(100, 100), Core);
        view.addLandmark(QPointF(300, 100), Core);
        view.addLandmark(QPointF(100, 250), Triradius);
        view.addLandmark(QPointF(300, 250), Triradius);
        view.connectPoints();
        QSignalSpy counts(&view, &TDermatoglyphView::count);

        view.cancelTriradia();
        QCOMPARE(counts.last(), (QList<QVariant>{2, 0}));
        QVERIFY(view.coreCoreLineItem());
        QVERIFY(view.coreCoreCountLine());
        QVERIFY(!view.triradiusTriradiusLineItem());
        QVERIFY(view.coreTriradiusCountLines().isEmpty());

        view.addLandmark(QPointF(100, 250), Triradius);
        view.connectPoints();
        view.cancelCores();
        QCOMPARE(counts.last(), (QList<QVariant>{0, 1}));
        QVERIFY(!view.coreCoreLineItem() && !view.coreCoreCountLine());
        QVERIFY(view.coreTriradiusLineItems().isEmpty());

        view.cancelLandmarks();
        QCOMPARE(counts.last(), (QList<QVariant>{0, 0}));
        QCOMPARE(counts.count(), 4);
    }

    void resetEmptiesAllButTheTracingModes()
    {
        FingerTestView view;
        const int baseline = view.glyphScene()->items().size();
        QSignalSpy counts(&view, &TDermatoglyphView::count);
        view.addVertex(QPointF(50, 200));
        view.addVertex(QPointF(350, 220));
        TGraphicsVertexItem* core = view.addLandmark(QPointF(100, 100), Core);
        view.addLandmark(QPointF(300, 100), Core);
        view.addLandmark(QPointF(200, 150), Triradius);
        view.connectPoints();
        core->addRidgeLine();
        core->addRidgePoint(QPointF(120, 80));
        view.paintFlex(true);
        view.addCores(true);
        view.addRidgePoints(true);
        view.addRadiants(true);
        counts.clear();

        view.reset();
        QCOMPARE(counts.count(), 0);
        QVERIFY(view.coreItems().isEmpty() && view.triradiusItems().isEmpty());
        QVERIFY(!view.coreCoreCountLine());
        QVERIFY(view.coreTriradiusCountLines().isEmpty());
        QVERIFY(view.flexionOutline().isEmpty());
        QVERIFY(!view.hasFlexionAxis());
        QVERIFY(view.corePerpendicularItems().isEmpty());
        QVERIFY(!view.isPaintingFlex() && !view.isAddingCores() && !view.isAddingRidgePoints());
        QVERIFY(view.isAddingRadiants());
        QCOMPARE(view.glyphScene()->items().size(), baseline);
    }

    void marksStayOnTheirPixelsWhenThePrintTurns()
    {
        FingerTestView view;
        TGraphicsVertexItem* core = view.addLandmark(QPointF(120, 90), Core);
        view.addLandmark(QPointF(300, 200), Triradius);
        view.connectPoints();
        view.addRidgePoints(true);
        view.coreTriradiusCountLines().at(0)->addRidgePoint(200, 150);
        view.addRidgePoints(false);
        core->addRidgeLine();
        core->addRidgePoint(QPointF(140, 60));
        for (const QPointF& p : {QPointF(40, 250), QPointF(360, 260), QPointF(350, 280)})
            view.addVertex(p);
        auto pixels = [&view]() {
            // Every mark as a pixel of the cropped image, whatever the display.
            const QTransform toImage = view.displayTransform().inverted();
            QVector<QPointF> all;
            for (const TGraphicsVertexItem* m : view.coreItems() + view.triradiusItems())
                all << toImage.map(m->pos());
            for (const QPointF& p : view.coreTriradiusCountLines().at(0)->ridgePointPositions()
                                        + view.coreItems().at(0)->ridgeLines().at(0))
                all << toImage.map(p);
            all << toImage.map(view.flexionOutline());
            return all;
        };
        auto same = [](const QVector<QPointF>& a, const QVector<QPointF>& b) {
            if (a.size() != b.size())
                return false;
            for (int i = 0; i < a.size(); ++i)
                if (QLineF(a.at(i), b.at(i)).length() > 1e-6)
                    return false;
            return true;
        };
        const QVector<QPointF> before = pixels();
        view.rotate(90);
        QVERIFY(same(pixels(), before));
        view.flip(true);
        view.rotate(33);
        QVERIFY(same(pixels(), before));
        QCOMPARE(view.coreTriradiusCountLines().at(0)->count(), 1);
        QVERIFY(view.hasFlexionAxis());
        QCOMPARE(view.corePerpendicularItems().size(), 1);

        // A crop moves the image origin; the marks follow it.
        view.selectCrop(true);
        view.rotate(0);
        view.flip(false);
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, view.at(QPointF(20, 30)));
        QTest::mouseClick(view.viewport(), Qt::LeftButton, Qt::NoModifier, view.at(QPointF(390, 290)));
        view.crop();
        QVector<QPointF> cropped = pixels();
        for (QPointF& p : cropped)
            p += QPointF(20, 30);
        QVERIFY(same(cropped, before));

        // What is written reads back onto the same pixels.
        view.rotate(200);
        QString section;
        QTextStream out(&section);
        view.save(out, nullptr);
        out.flush();
        QXmlStreamReader xml(section);
        TGlyphRecord record;
        record.read(xml);
        FingerTestView reopened;
        reopened.setImage(view.croppedPixmap().toImage());
        reopened.rotate(200);
        reopened.loadAnnotation(record);
        QString again;
        QTextStream out2(&again);
        reopened.save(out2, nullptr);
        out2.flush();
        QCOMPARE(again.section("<flexion>", 1), section.section("<flexion>", 1));
    }

    void loadNormalisesTheAnnotation()
    {
        TGlyphRecord record;
        record.cores = {QPointF(300, 100), QPointF(100, 100)};
        record.coreRidgeLines = {{{QPointF(310, 80), QPointF(320, 70)}}, {}};
        record.triradia = {QPointF(250, 250)};
        record.triradiusLines = {{{QPointF(260, 270)}, {QPointF(240, 270)}}};
        record.cc = {QPointF(150, 104), QPointF(250, 96), QPointF(200, 100)};
        record.ct = {{QPointF(1, 1)}};
        FingerTestView view;
        view.loadAnnotation(record);
        QCOMPARE(view.coreItems().at(0)->pos(), QPointF(100, 100));
        QCOMPARE(view.coreItems().at(1)->ridgeLines().at(0).size(), 2);
        QCOMPARE(view.triradiusItems().at(0)->ridgeLineCount(), 2);
        const QVector<QPointF> cc = view.coreCoreCountLine()->ridgePointPositions();
        QCOMPARE(cc.size(), 3);
        QVERIFY(cc.at(0).x() < cc.at(1).x() && cc.at(1).x() < cc.at(2).x());
        for (const QPointF& p : cc)
            QVERIFY(qAbs(p.y() - 100) < 1e-9);
        QVERIFY(view.coreTriradiusCountLines().isEmpty());   // two cores, one triradius
        QVERIFY(!view.isAddingRidgePoints());
        QVERIFY(!view.coreCoreCountLine()->isEditable());

        // The tracing tools stay as they were: a right click on a core still opens
        // its menu.
        FingerTestView tracing;
        tracing.addCentralLines(true);
        tracing.loadAnnotation(record);
        QVERIFY(tracing.isAddingCentralLines());
        QStringList entries;
        testsupport::chooseMenuEntry(QString(), &entries);
        tracing.click(QPointF(100, 100), Qt::RightButton);
        QCOMPARE(entries.value(0), QString("Add central line"));
    }
};

QTEST_MAIN(TestFingerView)
#include "tst_fingerview.moc"
