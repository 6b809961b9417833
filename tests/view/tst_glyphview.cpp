#include "testsupport.h"

#include "annotation/tglyphrecord.h"
#include "view/tglyphview.h"
#include "view/tgraphicsvertexitem.h"

#include <QGraphicsPixmapItem>
#include <QPainter>
#include <QSignalSpy>
#include <QtTest>

// Exposes the press rules the annotation views feed the base view with.
class ClickableView : public TGlyphView
{
public:
    using TGlyphView::addSelectionPoint;
    using TGlyphView::calibrationPress;
};

class TestGlyphView : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { testsupport::isolateSettings(); }

    void cropsToOutlineAndMovesIt()
    {
        ClickableView view;
        QImage image(200, 100, QImage::Format_RGB32);
        image.fill(Qt::white);
        image.setPixel(10, 20, qRgb(255, 0, 0));     // top-left pixel of the crop
        view.setImage(image);
        QSignalSpy rects(&view, &TGlyphView::sceneRectChanged);
        QSignalSpy cropped(&view, &TGlyphView::cropped);
        view.selectCrop(true);
        const QPolygonF clicked({QPointF(10, 20), QPointF(110, 20), QPointF(110, 70), QPointF(10, 70)});
        for (const QPointF& p : clicked)
            view.addSelectionPoint(p);
        QCOMPARE(view.selectionRect(), QRectF(10, 20, 100, 50));
        view.crop();
        QCOMPARE(view.croppedPixmap().size(), QSize(100, 50));
        QCOMPARE(view.croppedPixmap().toImage().pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(view.selectionPolygon(),
                 QPolygonF({QPointF(0, 0), QPointF(100, 0), QPointF(100, 50), QPointF(0, 50)}));
        QCOMPARE(view.cropOutline(), clicked);
        QCOMPARE(view.selectionMarkerItems().at(2)->pos(), QPointF(100, 50));
        QVERIFY(!view.isSelecting());
        QCOMPARE(cropped.count(), 1);
        QCOMPARE(rects.last().at(0).toRectF(), QRectF(0, 0, 100, 50));
    }

    void emptyOutlineKeepsWholeImage()
    {
        ClickableView view;
        view.setImage(QImage(80, 60, QImage::Format_RGB32));
        view.addSelectionPoint(QPointF(5, 5));
        QSignalSpy cropped(&view, &TGlyphView::cropped);
        view.crop();
        QCOMPARE(view.croppedPixmap().size(), QSize(80, 60));
        QCOMPARE(cropped.count(), 1);
        QCOMPARE(view.cropOutline().size(), 1);
    }

    void rotationAndMirrorRebuildDisplay()
    {
        TGlyphView view;
        QImage image(200, 100, QImage::Format_RGB32);
        image.fill(Qt::white);
        image.setPixel(0, 0, qRgb(0, 0, 255));
        view.setImage(image);
        view.rotate(90);
        QCOMPARE(view.pixmapItem()->pixmap().size(), QSize(100, 200));
        QCOMPARE(view.sceneRect(), QRectF(0, 0, 100, 200));
        // Turned clockwise, the top-left pixel goes to the top-right corner.
        QCOMPARE(view.currentImage().pixel(99, 0), qRgb(0, 0, 255));
        view.flip(true);
        // Mirrored first, then turned: the top-left pixel ends bottom-right.
        QCOMPARE(view.currentImage().pixel(99, 199), qRgb(0, 0, 255));
        view.flip(false);
        view.rotate(0);
        QCOMPARE(view.pixmapItem()->pixmap().size(), QSize(200, 100));
        QCOMPARE(view.croppedPixmap().size(), QSize(200, 100));
    }

    void cropOnTurnedDisplayCutsWhatWasOutlined()
    {
        ClickableView view;
        QImage image(200, 100, QImage::Format_RGB32);
        image.fill(Qt::white);
        image.setPixel(150, 10, qRgb(0, 255, 0));
        view.setImage(image);
        view.rotate(90);
        // Displayed 100 x 200: the image pixel (150, 10) shows at (89, 150).
        view.selectCrop(true);
        for (const QPointF& p : {QPointF(80, 140), QPointF(95, 140), QPointF(95, 160), QPointF(80, 160)})
            view.addSelectionPoint(p);
        QCOMPARE(view.selectionMarkerItems().first()->pos(), QPointF(80, 140));
        view.crop();
        const QImage shown = view.currentImage();
        QCOMPARE(view.rotation(), 90);
        QCOMPARE(shown.size(), QSize(15, 20));
        bool found = false;
        for (int y = 0; y < shown.height(); ++y)
            for (int x = 0; x < shown.width(); ++x)
                found = found || shown.pixel(x, y) == qRgb(0, 255, 0);
        QVERIFY(found);
    }

    void calibrationMeasuresTwoClicks()
    {
        ClickableView view;
        view.setImage(QImage(100, 100, QImage::Format_RGB32));
        QSignalSpy spy(&view, &TGlyphView::calibrated);
        QVERIFY(!view.calibrationPress(QPointF(0, 10)));
        view.calibrate(true);
        QVERIFY(view.calibrationPress(QPointF(0, 10)));
        QCOMPARE(spy.count(), 0);
        QVERIFY(view.calibrationPress(QPointF(30, 50)));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.at(0).at(0).toDouble(), 50.0);
        QVERIFY(!view.isCalibrating());

        // A measurement may start at the scene's origin.
        view.calibrate(true);
        QVERIFY(view.calibrationPress(QPointF(0, 0)));
        QVERIFY(view.calibrationPress(QPointF(3, 4)));
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.at(1).at(0).toDouble(), 5.0);

        view.calibrate(true);
        view.calibrationPress(QPointF(3, 4));
        view.reset();
        QVERIFY(view.isCalibrating());   // a measurement survives the reset
    }

    void emptyImageLeavesViewEmpty()
    {
        TGlyphView view;
        view.setImage(QImage(10, 10, QImage::Format_RGB32));
        QSignalSpy ppi(&view, &TGlyphView::ppichanged);
        view.setImage(QImage());
        QCOMPARE(ppi.count(), 1);
        QCOMPARE(ppi.at(0).at(0).toInt(), 0);
        QCOMPARE(ppi.at(0).at(1).toInt(), 0);
        QVERIFY(view.fileName().isEmpty());
        QVERIFY(view.pixmapItem()->pixmap().isNull());
    }

    void imageStateReplaysCropThenTurn()
    {
        TGlyphView view;
        QImage image(300, 200, QImage::Format_RGB32);
        image.fill(Qt::white);
        image.setPixel(10, 10, qRgb(255, 0, 0));   // top-left pixel of the crop
        view.setImage(image);
        // Crop points are the unturned print's, whatever the view shows.
        view.rotate(270);
        view.flip(true);
        TGlyphRecord record;
        record.crop = {QPointF(10, 10), QPointF(110, 10), QPointF(110, 60)};
        record.angle = 90;
        record.flip = true;
        view.loadImageState(record);
        QCOMPARE(view.croppedPixmap().size(), QSize(100, 50));
        QCOMPARE(view.croppedPixmap().toImage().pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(view.pixmapItem()->pixmap().size(), QSize(50, 100));
        QVERIFY(view.isFlipped());
        QVERIFY(!view.isSelecting());
    }
};

QTEST_MAIN(TestGlyphView)
#include "tst_glyphview.moc"
