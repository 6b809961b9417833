#include "testsupport.h"

#include "view/tglypheditor.h"
#include "view/tglyphview.h"
#include "view/tgraphicspreview.h"
#include "view/tgraphicspreviewrect.h"
#include "view/twheeleater.h"
#include "view/verticallabel.h"

#include <QDoubleSpinBox>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>

// The editor frame with a plain view, as the finger and palm editors build it.
class PlainEditor : public TGlyphEditor
{
public:
    PlainEditor()
    {
        view = new TGlyphView;
        centralLayout()->addWidget(view);
        setupConnections();
    }
    void writeAnnotation(QTextStream&) override {}
    void saveFile() override {}
    void exportFile() override {}

    TGlyphView* plainView() const { return view; }
    QString xSpacing() const { return itemXSpacing->text(); }
    QString ySpacing() const { return itemYSpacing->text(); }
    QDoubleSpinBox* distance() const { return spinBoxDistance; }
    QPushButton* calibrateButton() const { return buttonCalibrate; }
    QSlider* slider() const { return findChild<QSlider*>("horizontalSlider"); }
    QDoubleSpinBox* zoom() const { return findChild<QDoubleSpinBox*>("spinBoxScale"); }
};

class TestGlyphEditor : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { testsupport::isolateSettings(); }

    void spacingFollowsResolution()
    {
        PlainEditor editor;
        editor.setDpi(254, 300);
        QCOMPARE(editor.xSpacing(), QString("0.1"));
        QCOMPARE(editor.ySpacing(), QString("0.0846667"));
        QCOMPARE(editor.plainView()->horizontalPpi(), 254.0);
        editor.setDpi(0, 300);
        QCOMPARE(editor.xSpacing(), QString());
        QCOMPARE(editor.xPpi(), 0);
        QCOMPARE(editor.yPpi(), 300);
    }

    void calibrationSetsBothResolutions()
    {
        PlainEditor editor;
        editor.distance()->setValue(50);
        editor.calibrateButton()->setChecked(true);
        QVERIFY(editor.plainView()->isCalibrating());
        editor.calibrate(590);
        QCOMPARE(editor.xPpi(), 299);
        QCOMPARE(editor.yPpi(), 299);
        QVERIFY(!editor.calibrateButton()->isChecked());
        QVERIFY(!editor.plainView()->isCalibrating());
        editor.reset();
        QCOMPARE(editor.distance()->value(), 1);
        QCOMPARE(editor.xSpacing(), QString());
    }

    void zoomCouplesSliderSpinBoxAndView()
    {
        PlainEditor editor;
        editor.importImage(QImage(400, 300, QImage::Format_RGB32));
        // From another value, so that 100 is a change whatever the import fitted.
        editor.slider()->setValue(50);
        editor.slider()->setValue(100);
        QCOMPARE(editor.zoom()->value(), 100.0);
        QCOMPARE(editor.plainView()->transform().m11(), 1.0);
        editor.zoom()->setValue(150.5);
        QCOMPARE(editor.slider()->value(), 150);
        QCOMPARE(editor.zoom()->value(), 150.0);
        QVERIFY(qAbs(editor.plainView()->transform().m11() - 1.505) < 1e-9);
        editor.zoom()->setValue(150.5);
        QCOMPARE(editor.slider()->value(), 150);
        QCOMPARE(editor.zoom()->value(), 150.5);
        editor.slider()->setValue(200);
        QCOMPARE(editor.zoom()->value(), 200.0);
        QVERIFY(qAbs(editor.plainView()->transform().m11() - 2.0) < 1e-9);
    }

    void cropControlsLockAfterCrop()
    {
        PlainEditor editor;
        editor.importImage(QImage(100, 100, QImage::Format_RGB32));
        auto* crop = editor.findChild<QPushButton*>("buttonCrop");
        auto* select = editor.findChild<QPushButton*>("buttonSelectCrop");
        select->setChecked(true);
        QVERIFY(editor.plainView()->isSelecting());
        crop->click();
        QVERIFY(!crop->isEnabled());
        QVERIFY(!select->isEnabled());
        editor.reset();
        QVERIFY(crop->isEnabled());
        QVERIFY(!select->isChecked());
        QVERIFY(editor.plainView()->fileName().isEmpty());
    }

    void screenshotOfSelectionAtMagnification()
    {
        QTemporaryDir dir;
        PlainEditor editor;
        QImage image(300, 200, QImage::Format_RGB32);
        image.fill(Qt::gray);
        editor.importImage(image);
        auto* view = editor.plainView();
        QMetaObject::invokeMethod(view, "addSelectionPoint", Q_ARG(QPointF, QPointF(10, 20)));
        QMetaObject::invokeMethod(view, "addSelectionPoint", Q_ARG(QPointF, QPointF(110, 70)));
        editor.slider()->setValue(200);
        const QString shot = dir.filePath("shot.png");
        testsupport::answerFileDialog(shot);
        editor.exportScreenshot();
        QCOMPARE(QImage(shot).size(), QSize(205, 105));

        // No outline: the whole print is exported.
        view->cancelSelection();
        const QString whole = dir.filePath("whole.png");
        testsupport::answerFileDialog(whole);
        editor.exportScreenshot();
        QCOMPARE(QImage(whole).size(), QSize(600, 400));

        QString message;
        testsupport::answerFileDialog(dir.filePath("missing/folder/shot.png"));
        testsupport::captureMessageBox(&message);
        editor.exportScreenshot();
        QVERIFY(message.contains("could not be saved"));
    }

    void navigatorFramesAndScrollsTheView()
    {
        TGraphicsPreview idle;
        idle.fitRect();
        QVERIFY(!idle.frame()->isVisible());

        QGraphicsView main;
        QGraphicsScene scene;
        QGraphicsPixmapItem* item = scene.addPixmap(QPixmap(1000, 800));
        main.setScene(&scene);
        main.resize(300, 200);
        main.show();
        QVERIFY(QTest::qWaitForWindowExposed(&main));
        main.setTransform(QTransform::fromScale(2, 2));
        TGraphicsPreview preview;
        preview.setView(&main);
        preview.setItem(item);
        preview.setImage(QImage(1000, 800, QImage::Format_RGB32));
        preview.fitRect();
        QVERIFY(preview.frame()->isVisible());
        // The copy is reduced, but covers the print's whole scene rectangle.
        QVERIFY(preview.preview()->pixmap().width() <= TGraphicsPreview::previewSide);
        QCOMPARE(preview.preview()->sceneBoundingRect().width(), 1000.0);

        preview.frame()->setPos(100, 40);
        QCOMPARE(main.horizontalScrollBar()->value(), 200);
        QCOMPARE(main.verticalScrollBar()->value(), 80);

        // Past the right edge the frame stops with its right side on the image's.
        const double width = preview.frame()->rect().width();
        preview.frame()->setPos(5000, 40);
        QCOMPARE(preview.frame()->pos().x() + preview.frame()->rect().right(), 1000.0);
        QVERIFY(width > 0);
        QCOMPARE(main.horizontalScrollBar()->value(), main.horizontalScrollBar()->maximum());
    }

    void wheelEaterSwallowsWheelOnly()
    {
        TWheelEater eater;
        QScrollBar bar(Qt::Vertical);
        bar.setRange(0, 100);
        bar.installEventFilter(&eater);
        QWheelEvent wheel(QPointF(1, 1), QPointF(1, 1), QPoint(), QPoint(0, -120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&bar, &wheel);
        QCOMPARE(bar.value(), 0);
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QApplication::sendEvent(&bar, &key);
        QCOMPARE(bar.value(), 1);
    }

    void verticalLabelTurnsItsSize()
    {
        VerticalLabel vertical;
        QLabel plain;
        vertical.setText("Radial side");
        plain.setText("Radial side");
        QCOMPARE(vertical.sizeHint(), plain.sizeHint().transposed());
        QCOMPARE(vertical.minimumSizeHint(), plain.minimumSizeHint().transposed());
    }
};

QTEST_MAIN(TestGlyphEditor)
#include "tst_glypheditor.moc"
