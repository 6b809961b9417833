#include "testsupport.h"

#include "annotation/tglyphrecord.h"
#include "finger/tdermatoglypheditor.h"
#include "finger/tfingersettings.h"
#include "palm/tpalmeditor.h"
#include "view/tglypheditor.h"
#include "view/tglyphview.h"
#include "view/tgraphicspreview.h"
#include "view/tgraphicspreviewrect.h"
#include "view/twheeleater.h"
#include "view/verticallabel.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QWheelEvent>
#include <QtTest>

// A print view that takes calibration clicks, as the annotation views do.
class ClickView : public TGlyphView
{
protected:
    void mousePressEvent(QMouseEvent* event) override { calibrationPress(mapToScene(event->pos())); }
};

// The editor frame with a plain view, as the finger and palm editors build it.
class PlainEditor : public TGlyphEditor
{
public:
    PlainEditor()
    {
        view = new ClickView;
        centralLayout()->addWidget(view);
        setupConnections();
        trackActions();
    }
    TGlyphRecord record() const override
    {
        TGlyphRecord r;
        view->recordImageState(r);
        return r;
    }
    sectionwriter::Kind kind() const override { return sectionwriter::Finger; }
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

        // By mouse, with tenths of a millimetre: the line follows the pointer
        // between the clicks and the result is reported.
        editor.resize(800, 600);
        editor.show();
        editor.importImage(QImage(400, 300, QImage::Format_RGB32));
        QVERIFY(QTest::qWaitForWindowExposed(&editor));
        editor.slider()->setValue(50);
        editor.slider()->setValue(100);
        TGlyphView* view = editor.plainView();
        editor.distance()->setValue(10.5);
        editor.calibrateButton()->setChecked(true);
        QWidget* viewport = view->viewport();
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, view->mapFromScene(QPointF(10, 10)));
        QTest::mouseMove(viewport, view->mapFromScene(QPointF(60, 10)));
        QMouseEvent move(QEvent::MouseMove, view->mapFromScene(QPointF(90, 10)), Qt::NoButton,
                         Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(viewport, &move);
        QVERIFY(view->calibrationLineItem()->isVisible());
        QVERIFY(QLineF(view->calibrationLineItem()->line().p2(), QPointF(90, 10)).length() < 1);
        QTest::mouseClick(viewport, Qt::LeftButton, Qt::NoModifier, view->mapFromScene(QPointF(110, 10)));
        QVERIFY(!view->calibrationLineItem()->isVisible());
        QCOMPARE(editor.statusBar()->currentMessage(),
                 QString("100.0 px = 10.5 mm \u2192 241 PPI"));
    }

    void everythingShowsWholeOnASmallScreen()
    {
        TDermatoglyphEditor finger;
        TPalmEditor palm;
        finger.settingsPanel()->updatePanels(2, 2);
        for (TGlyphEditor* editor : {static_cast<TGlyphEditor*>(&finger), static_cast<TGlyphEditor*>(&palm)}) {
            editor->show();
            editor->setWindowState(Qt::WindowNoState);
            editor->resize(1366, 740);
            QVERIFY(QTest::qWaitForWindowExposed(editor));
            editor->importImage(QImage(900, 900, QImage::Format_Grayscale8));
            QApplication::processEvents();
            for (QComboBox* box : editor->findChildren<QComboBox*>())
                if (box->isVisible())
                    QVERIFY2(box->width() >= box->sizeHint().width(), qPrintable(box->currentText()));
            // Closed pages of the side panel are out of sight.
            for (QScrollArea* area : editor->findChildren<QScrollArea*>())
                if (area->isVisible())
                    QCOMPARE(area->horizontalScrollBar()->maximum(), 0);
            for (QTableWidget* table : editor->findChildren<QTableWidget*>()) {
                QCOMPARE(table->verticalScrollBar()->maximum(), 0);
                QCOMPARE(table->horizontalScrollBar()->maximum(), 0);
            }
            // The print has the most room: at least 60 % of a laptop's width.
            QVERIFY2(editor->glyphView()->width() >= 0.6 * 1366,
                     qPrintable(QString::number(editor->glyphView()->width())));
        }
    }

    void keysAndWheelZoomAndPan()
    {
        PlainEditor editor;
        editor.resize(900, 700);
        editor.show();
        editor.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&editor));
        editor.importImage(QImage(2000, 1500, QImage::Format_RGB32));
        editor.fitView();
        TGlyphView* view = editor.plainView();
        const double fit = editor.zoom()->value();
        QTest::keyClick(&editor, Qt::Key_Plus, Qt::ControlModifier);
        QCOMPARE(editor.zoom()->value(), double(qRound(fit * 1.25)));
        QCOMPARE(view->transform().m11() * 100, editor.zoom()->value());
        QTest::keyClick(&editor, Qt::Key_Minus, Qt::ControlModifier);
        QTest::keyClick(&editor, Qt::Key_Minus, Qt::ControlModifier);
        QVERIFY(editor.zoom()->value() < fit);
        QTest::keyClick(&editor, Qt::Key_0, Qt::ControlModifier);
        QCOMPARE(editor.zoom()->value(), fit);

        // The wheel zooms about the pointer, and the controls follow.
        editor.slider()->setValue(60);
        const QPoint pointer = view->viewport()->rect().center() + QPoint(-90, 60);
        const QPointF under = view->mapToScene(pointer);
        QWheelEvent wheel(pointer, view->viewport()->mapToGlobal(pointer), QPoint(), QPoint(0, 240),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view->viewport(), &wheel);
        QCOMPARE(editor.zoom()->value(), double(qRound(qRound(60 * 1.25) * 1.25)));
        QCOMPARE(editor.slider()->value(), int(editor.zoom()->value()));
        QCOMPARE(view->transform().m11() * 100, editor.zoom()->value());
        QVERIFY(QLineF(view->mapToScene(pointer), under).length() < 2);
        // Shift and the wheel scroll instead.
        const int top = view->verticalScrollBar()->value();
        QWheelEvent scroll(pointer, view->viewport()->mapToGlobal(pointer), QPoint(), QPoint(0, -120),
                           Qt::NoButton, Qt::ShiftModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view->viewport(), &scroll);
        QVERIFY(view->verticalScrollBar()->value() > top);
        QCOMPARE(view->transform().m11() * 100, editor.zoom()->value());

        // A zoom of the examiner's own survives a resize; a fit is redone.
        const double zoomed = editor.zoom()->value();
        editor.resize(1000, 760);
        QCOMPARE(editor.zoom()->value(), zoomed);
        // The middle button drags the print along.
        const int x = view->horizontalScrollBar()->value();
        QTest::mousePress(view->viewport(), Qt::MiddleButton, Qt::NoModifier, QPoint(300, 300));
        QMouseEvent drag(QEvent::MouseMove, QPoint(250, 300), Qt::NoButton, Qt::MiddleButton,
                         Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &drag);
        QTest::mouseRelease(view->viewport(), Qt::MiddleButton, Qt::NoModifier, QPoint(250, 300));
        QCOMPARE(view->horizontalScrollBar()->value(), x + 50);
        QTest::keyClick(&editor, Qt::Key_9, Qt::ControlModifier);
        editor.resize(700, 500);
        QVERIFY(editor.zoom()->value() < fit);
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
        // The slider shows whole percents; the box keeps the fraction the view has.
        editor.zoom()->setValue(150.5);
        QCOMPARE(editor.slider()->value(), 150);
        QCOMPARE(editor.zoom()->value(), 150.5);
        QVERIFY(qAbs(editor.plainView()->transform().m11() - 1.505) < 1e-9);
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
        QPainter pattern(&image);
        for (int x = 0; x < 300; x += 7)
            pattern.drawLine(x, 0, 300 - x, 200);
        pattern.end();
        editor.importImage(image);
        auto* view = editor.plainView();
        QMetaObject::invokeMethod(view, "addSelectionPoint", Q_ARG(QPointF, QPointF(10, 20)));
        QMetaObject::invokeMethod(view, "addSelectionPoint", Q_ARG(QPointF, QPointF(110, 70)));
        editor.slider()->setValue(200);
        const QString shot = dir.filePath("shot.png");
        testsupport::answerFileDialog(shot);
        editor.exportScreenshot();
        QCOMPARE(QImage(shot).size(), QSize(205, 105));

        // Only the region is rendered, but its pixels are those of a render of the
        // whole scene, also on a turned print with an ellipse across it.
        editor.findChild<QSpinBox*>("spinBoxRotate")->setValue(90);
        view->glyphScene()->addEllipse(QRectF(40, 60, 90, 50), QPen(Qt::red, 0));
        for (int zoom : {100, 300}) {
            editor.slider()->setValue(zoom);
            const QString part = dir.filePath(QString("part%1.png").arg(zoom));
            testsupport::answerFileDialog(part);
            editor.exportScreenshot();
            const double z = zoom / 100.0;
            const QRectF scene = view->sceneRect();
            QImage whole((scene.size() * z).toSize(), QImage::Format_RGB32);
            whole.fill(Qt::white);
            QPainter painter(&whole);
            painter.setRenderHint(QPainter::Antialiasing);
            view->glyphScene()->render(&painter, QRectF(whole.rect()), scene, Qt::KeepAspectRatio);
            painter.end();
            const QRectF s = view->selectionRect();
            const QRect region((s.topLeft() * z).toPoint(), (s.size() * z).toSize() + QSize(5, 5));
            QCOMPARE(QImage(part).convertToFormat(QImage::Format_RGB32), whole.copy(region));
        }

        // No outline: the whole print is exported.
        editor.findChild<QSpinBox*>("spinBoxRotate")->setValue(0);
        editor.slider()->setValue(200);
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
