#include "testsupport.h"

#include "annotation/tglyphrecord.h"
#include "app/mainwindow.h"
#include "finger/tdermatoglypheditor.h"
#include "scan/printimage.h"
#include "view/tglyphview.h"
#include "view/tgraphicspreview.h"
#include "view/timageitem.h"

#include <QGraphicsPixmapItem>
#include <QPainter>
#include <QSpinBox>
#include <QStyleOptionGraphicsItem>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

static QImage marked(int width, int height, QImage::Format format)
{
    QImage image(width, height, format);
    image.fill(Qt::white);
    QPainter p(&image);
    // The top-left corner, to see where it goes; large enough to survive a reduction.
    p.fillRect(0, 0, qMax(3, width / 20), qMax(2, height / 20), Qt::black);
    p.fillRect(width / 2, height / 3, 4, 4, Qt::gray);
    return image;
}

static QTransform turn(int angle, bool flip)
{
    QTransform t;
    t.rotate(angle, Qt::ZAxis);
    if (flip)
        t.scale(-1, 1);
    return t;
}

class TestPrintDisplay : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { testsupport::isolateSettings(); }

    void turnedItemShowsWhatATurnedCopyShowed()
    {
        const QPixmap source = QPixmap::fromImage(marked(61, 37, QImage::Format_RGB32));
        for (const auto& [angle, flip] : {std::pair(4, false), std::pair(90, false),
                                          std::pair(180, true), std::pair(270, false),
                                          std::pair(33, true), std::pair(0, true)}) {
            const QString what = QString("angle %1 flip %2").arg(angle).arg(flip);
            const QPixmap copy = source.transformed(turn(angle, flip), Qt::FastTransformation);
            TImageItem item;
            item.setImage(source, turn(angle, flip));
            // Scene coordinates are the pixels of the turned copy, so the
            // annotation stays where it was placed and read back.
            QVERIFY2(item.boundingRect() == QRectF(QPointF(0, 0), QSizeF(copy.size())), qPrintable(what));
            QVERIFY2(item.pixmap().toImage() == copy.toImage(), qPrintable(what));

            QImage painted(copy.size(), QImage::Format_ARGB32_Premultiplied);
            painted.fill(0);
            QPainter painter(&painted);
            item.paint(&painter, nullptr);
            painter.end();
            QVERIFY2(painted == copy.toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                     qPrintable(what));
        }
    }

    void reducedImageIsSmallAndTurned()
    {
        TImageItem item;
        QVERIFY(item.reducedImage(100).isNull());
        const QPixmap source = QPixmap::fromImage(marked(2000, 500, QImage::Format_Grayscale8));
        item.setImage(source, turn(90, false));
        const QImage small = item.reducedImage(256);
        QCOMPARE(small.size(), QSize(64, 256));
        // Turned clockwise, the black top-left corner is at the top right.
        QCOMPARE(qGray(small.pixel(63, 0)), 0);
        QCOMPARE(qGray(small.pixel(0, 0)), 255);
        item.setImage(source);
        QCOMPARE(item.reducedImage(4000).size(), QSize(2000, 500));
    }

    void reducedDrawingHasNoMoire()
    {
        // Ridges 2.3 pixels apart, drawn at a fifth: sampled pixel by pixel they
        // alias into broad bands; averaged they fade to an even grey.
        QImage ridges(1150, 1150, QImage::Format_Grayscale8);
        for (int y = 0; y < ridges.height(); ++y)
            for (int x = 0; x < ridges.width(); ++x)
                ridges.scanLine(y)[x] = uchar(128 + 100 * std::cos(2 * M_PI * (x + 0.3 * y) / 2.3));
        TImageItem item;
        item.setImage(QPixmap::fromImage(ridges, Qt::NoFormatConversion));
        QImage drawn(230, 230, QImage::Format_ARGB32_Premultiplied);
        drawn.fill(0);
        QPainter painter(&drawn);
        painter.scale(0.2, 0.2);
        QStyleOptionGraphicsItem option;
        option.exposedRect = item.boundingRect();
        item.paint(&painter, &option);
        painter.end();
        const QImage reference = ridges.scaled(230, 230, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        double drawnDeviation = 0;
        double difference = 0;
        for (int y = 10; y < 220; ++y)
            for (int x = 10; x < 220; ++x) {
                drawnDeviation += std::abs(qGray(drawn.pixel(x, y)) - 128);
                difference += std::abs(qGray(drawn.pixel(x, y)) - qGray(reference.pixel(x, y)));
            }
        const double n = 210.0 * 210.0;
        QVERIFY2(drawnDeviation / n < 12, qPrintable(QString::number(drawnDeviation / n)));
        QVERIFY2(difference / n < 12, qPrintable(QString::number(difference / n)));

        // A tone for the eye changes what is drawn, never the print itself.
        item.setTone(TImageItem::Inverted | TImageItem::Enhanced);
        QCOMPARE(item.pixmap().toImage(), ridges);
        QImage toned(1150, 1150, QImage::Format_ARGB32_Premultiplied);
        QPainter full(&toned);
        option.exposedRect = QRectF(0, 0, 10, 10);
        item.paint(&full, &option);
        full.end();
        QCOMPARE(qGray(toned.pixel(0, 0)), 0);
        QCOMPARE(item.reducedImage(100).size(), QSize(100, 100));
    }

    void grayScanStaysGrayAndShared()
    {
        TGlyphView view;
        const QImage scan = marked(300, 200, QImage::Format_Grayscale8);
        view.setImage(scan);
        QCOMPARE(view.croppedPixmap().toImage().format(), QImage::Format_Grayscale8);
        QCOMPARE(view.croppedPixmap().toImage().constBits(), scan.constBits());

        view.selectCrop(true);
        QMetaObject::invokeMethod(&view, "addSelectionPoint", Q_ARG(QPointF, QPointF(150, 66)));
        QMetaObject::invokeMethod(&view, "addSelectionPoint", Q_ARG(QPointF, QPointF(250, 166)));
        view.crop();
        const QImage cut = view.croppedPixmap().toImage();
        QCOMPARE(cut.format(), QImage::Format_Grayscale8);
        QCOMPARE(cut.size(), QSize(100, 100));
        QCOMPARE(qGray(cut.pixel(1, 1)), qGray(scan.pixel(151, 67)));
    }

    void displayFormats()
    {
        QImage gray16(8, 8, QImage::Format_Grayscale16);
        gray16.fill(Qt::gray);
        gray16.setDotsPerMeterX(11811);
        const QImage shown = printimage::forDisplay(gray16);
        QCOMPARE(shown.format(), QImage::Format_Grayscale8);
        QCOMPARE(shown.dotsPerMeterX(), 11811);
        QImage indexed = QImage(8, 8, QImage::Format_Grayscale8).convertToFormat(QImage::Format_Indexed8);
        QCOMPARE(printimage::forDisplay(indexed).format(), QImage::Format_Grayscale8);
        // A 1-bit scan is shown as gray, one byte a pixel, not four.
        const QImage mono = marked(8, 8, QImage::Format_Grayscale8).convertToFormat(QImage::Format_Mono);
        const QImage monoShown = printimage::forDisplay(mono);
        QCOMPARE(monoShown.format(), QImage::Format_Grayscale8);
        QCOMPARE(monoShown.convertToFormat(QImage::Format_RGB32), mono.convertToFormat(QImage::Format_RGB32));
        QCOMPARE(printimage::forDisplay(QImage(8, 8, QImage::Format_RGB888)).format(),
                 QImage::Format_RGB32);
        QCOMPARE(printimage::forDisplay(QImage(8, 8, QImage::Format_ARGB32)).format(),
                 QImage::Format_ARGB32_Premultiplied);
    }

    void importSharesOneGrayBufferAcrossSlots()
    {
        QTemporaryDir dir;
        const QString scan = dir.filePath("hands.png");
        QVERIFY(testsupport::writeImage(scan, 400, 300, 500));
        MainWindow w;
        QVERIFY(QMetaObject::invokeMethod(&w, "importImage", Q_ARG(QString, scan)));
        const uchar* pixels = w.image(0).constBits();
        QCOMPARE(w.image(0).format(), QImage::Format_Grayscale8);
        for (int i = 0; i < 12; ++i)
            QCOMPARE(w.editor(i)->glyphView()->croppedPixmap().toImage().constBits(), pixels);
    }

    void resolutionIsWhatTheScanRecords()
    {
        // A JFIF JPEG at 500 PPI; the same with JFIF units 0, where the density is an
        // aspect ratio only; and that with an EXIF block saying 300 PPI.
        QTemporaryDir dir;
        const QString path = dir.filePath("scan.jpg");
        QVERIFY(testsupport::writeImage(path, 40, 30, 500));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        const QByteArray jfif = file.readAll();
        QByteArray aspectOnly = jfif;
        aspectOnly.replace(13, 5, QByteArray::fromHex("0000010001"));
        const QByteArray exif = QByteArray::fromHex(
            "ffe1004a457869660000" "49492a0008000000" "0300"
            "1a01050001000000" "32000000" "1b01050001000000" "3a000000"
            "2801030001000000" "02000000" "00000000" "2c01000001000000" "2c01000001000000");
        const QByteArray withExif = aspectOnly.left(20) + exif + aspectOnly.mid(20);
        MainWindow w;
        for (const auto& [bytes, ppi] : {std::pair(jfif, 500), std::pair(aspectOnly, 0),
                                         std::pair(withExif, 300)}) {
            QVERIFY(file.resize(0) && file.write(bytes) == bytes.size() && file.flush());
            QVERIFY(QMetaObject::invokeMethod(&w, "importImage", Q_ARG(QString, path), Q_ARG(int, 0)));
            QCOMPARE(w.editor(0)->xPpi(), ppi);
            QCOMPARE(w.editor(0)->yPpi(), ppi);
            // Unknown shows as such, and says what to do.
            auto* box = qobject_cast<QSpinBox*>(
                w.editor(0)->findChild<QTableWidget*>("tableWidget")->cellWidget(2, 0));
            QCOMPARE(box->text() == "unknown" && box->toolTip().startsWith("Resolution unknown"),
                     ppi == 0);
        }
    }

    void navigatorCopyWaitsUntilShownAndFollowsTheTurn()
    {
        TDermatoglyphEditor editor;
        editor.importImage(QImage(3000, 1000, QImage::Format_Grayscale8));
        editor.findChild<QSpinBox*>("spinBoxRotate")->setValue(90);
        auto* navigator = editor.findChild<TGraphicsPreview*>();
        // A hidden editor (every slot an import fills) makes no navigator copy.
        QVERIFY(navigator->preview()->pixmap().isNull());
        editor.show();
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        QVERIFY(!navigator->preview()->pixmap().isNull());
        QVERIFY(navigator->preview()->pixmap().height() <= TGraphicsPreview::previewSide);
        const QRectF covered = navigator->preview()->sceneBoundingRect();
        // Within the rounding of the reduced copy's size.
        QVERIFY(qAbs(covered.height() - 3000.0) < 10);
        QVERIFY(qAbs(covered.width() - 1000.0) < 10);
    }

    void loadedTurnReachesViewAndControls()
    {
        TDermatoglyphEditor editor;
        editor.importImage(QImage(300, 200, QImage::Format_RGB32));
        TGlyphRecord record;
        record.angle = 30;
        record.flip = true;
        editor.loadAnnotation(record);
        auto* spin = editor.findChild<QSpinBox*>("spinBoxRotate");
        QCOMPARE(spin->value(), 30);
        QCOMPARE(editor.glyphView()->rotation(), 30);
        QVERIFY(editor.glyphView()->isFlipped());
        spin->setValue(31);
        QCOMPARE(editor.glyphView()->rotation(), 31);

        // Beyond the box's range the view ends where the box does.
        editor.reset();
        editor.importImage(QImage(300, 200, QImage::Format_RGB32));
        record.angle = 400;
        editor.loadAnnotation(record);
        QCOMPARE(spin->value(), 360);
        QCOMPARE(editor.glyphView()->rotation(), 360);
    }
};

QTEST_MAIN(TestPrintDisplay)
#include "tst_printdisplay.moc"
