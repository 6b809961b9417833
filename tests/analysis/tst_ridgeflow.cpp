#include "analysis/ridgeflow.h"
#include "analysis/ridgeprofile.h"
#include "synth/ridgetruth.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QtTest>

#include <cmath>
#include <functional>

// Upright ridges 12 pixels apart and 6 wide on paper, centred at x = 6, 18,
// 30, ...; draw adds to them, with the ridges' ink.
static QImage print(const std::function<void(QPainter&)>& draw = {})
{
    QImage image(240, 160, QImage::Format_Grayscale8);
    image.fill(225);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(45, 45, 45));
    for (int x = 6; x < 240; x += 12)
        painter.drawRect(QRectF(x - 3, 0, 6, 160));
    if (draw)
        draw(painter);
    return image;
}

static void paper(QPainter& p, const QRectF& r)
{
    p.fillRect(r, QColor(225, 225, 225));
}

class TestRidgeFlow : public QObject
{
    Q_OBJECT
private slots:
    void readsTheFlowOncePerPrint()
    {
        // The views read the print as cut from its pixmap each time; every
        // such image of one pixmap shares its pixels and so its flow.
        const QPixmap pixmap = QPixmap::fromImage(print());
        const std::shared_ptr<const RidgeFlow> flow = RidgeFlow::of(pixmap.toImage());
        QCOMPARE(pixmap.toImage().cacheKey(), pixmap.toImage().cacheKey());
        QCOMPARE(ridgeprofile::crossings(pixmap.toImage(), QLineF(12, 80, 228, 80)).size(), 18);
        QCOMPARE(RidgeFlow::of(pixmap.toImage()).get(), flow.get());
        // Other pixels have a flow of their own.
        QVERIFY(RidgeFlow::of(print().copy()).get() != flow.get());

        // What it reads: ridges upright, 12 pixels apart; none on paper.
        const QPointF along = flow->along(QPointF(120, 80));
        QVERIFY2(std::abs(along.x()) < 0.05, qPrintable(QString::number(along.x())));
        QVERIFY(std::abs(flow->period(QPointF(120, 80)) - 12) < 0.6);
        QVERIFY(flow->foreground(QPointF(120, 80)) > 0.9);
        QImage blank(240, 160, QImage::Format_Grayscale8);
        blank.fill(225);
        QCOMPARE(RidgeFlow::of(blank)->foreground(QPointF(120, 80)), 0.0);
    }

    void countsAsAnExaminerDoes_data()
    {
        QTest::addColumn<QImage>("image");
        QTest::addColumn<QLineF>("line");
        QTest::addColumn<int>("count");

        // The ridge at x = 114 forks at y = 80 into branches at x = 110 and
        // 118, its neighbours moved aside to make room. Below the fork point
        // both branches cross the line, above it one ridge does.
        const QImage fork = print([](QPainter& p) {
            paper(p, QRectF(98, 0, 32, 160));
            p.drawRect(QRectF(99.5, 0, 5, 160));
            p.drawRect(QRectF(123.5, 0, 5, 160));
            QPainterPath branches;
            branches.moveTo(114, 0);
            branches.lineTo(114, 80);
            branches.lineTo(110, 100);
            branches.lineTo(110, 160);
            branches.moveTo(114, 80);
            branches.lineTo(118, 100);
            branches.lineTo(118, 160);
            p.strokePath(branches, QPen(QColor(45, 45, 45), 4.5, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin));
        });
        QTest::newRow("fork crossed below its fork point") << fork << QLineF(12, 130, 228, 130) << 19;
        QTest::newRow("fork forking beyond the line") << fork << QLineF(12, 40, 228, 40) << 18;

        // Four ridges where three were, two thirds of the spacing apart, are four.
        const QImage close = print([](QPainter& p) {
            paper(p, QRectF(98, 0, 32, 160));
            for (double x : {101.0, 109.0, 117.0, 125.0})
                p.drawRect(QRectF(x - 2.25, 0, 4.5, 160));
        });
        QTest::newRow("two close ridges") << close << QLineF(12, 80, 228, 80) << 19;

        // A ridge that took the ink as a row of dots is one ridge, wherever
        // the line passes between them.
        const QImage dotted = print([](QPainter& p) {
            paper(p, QRectF(111, 0, 6, 160));
            for (double y = 2; y < 160; y += 6.5)
                p.drawEllipse(QPointF(114, y), 2.6, 2.6);
        });
        for (double y : {78.0, 80.5, 83.0})
            QTest::newRow(qPrintable(QString("dotted ridge at y %1").arg(y)))
                << dotted << QLineF(12, y, 228, y) << 18;

        // A ridge a pixel and a half beside an end point in the furrow is not
        // the landmark's own.
        QTest::newRow("ridge beside an end") << print() << QLineF(1.5, 80, 226.5, 80) << 19;
    }
    void countsAsAnExaminerDoes()
    {
        QFETCH(QImage, image);
        QFETCH(QLineF, line);
        QFETCH(int, count);
        QCOMPARE(ridgeprofile::crossings(image, line).size(), count);
        // Backwards alike.
        QCOMPARE(ridgeprofile::crossings(image, QLineF(line.p2(), line.p1())).size(), count);
    }

    void countsShallowLinesNearATriradius()
    {
        // A loop grown like skin; lines from its triradius at 12 to 25 degrees
        // to the ridges, against the count its undamaged ridges give.
        std::mt19937 random(7);
        const FlowModel model = FlowModel::finger(synth::Pattern::LoopLeft, random);
        const synth::Print skin = synth::render(synth::grow(model, 7), 500);
        const QImage image = synth::scan(skin, synth::damages().front(), 7);
        QPointF triradius;
        for (const synth::SingularPoint& s : skin.singularPoints())
            if (s.kind == synth::SingularPoint::Triradius)
                triradius = s.position;
        int exact = 0;
        int lines = 0;
        for (double degrees = 12; degrees <= 25; degrees += 1) {
            for (int side : {-1, 1}) {
                const double angle = skin.orientation(triradius) + side * degrees * M_PI / 180;
                const QLineF line(triradius, triradius + QPointF(std::cos(angle), std::sin(angle)) * 100);
                const synth::RidgeCount truth = synth::ridgeCount(skin, line);
                const int found = ridgeprofile::crossings(image, line).size();
                QVERIFY2(found >= truth.least - 1 && found <= truth.most + 1,
                         qPrintable(QString("%1 degrees: %2 for %3 to %4").arg(degrees * side)
                                        .arg(found).arg(truth.least).arg(truth.most)));
                exact += found >= truth.least && found <= truth.most;
                ++lines;
            }
        }
        QVERIFY2(exact >= 0.85 * lines, qPrintable(QString("%1 of %2 exact").arg(exact).arg(lines)));
    }
};

QTEST_MAIN(TestRidgeFlow)
#include "tst_ridgeflow.moc"
