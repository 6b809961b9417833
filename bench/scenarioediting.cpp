// Editing costs an examiner feels on full-size scans, each against a floor
// taken in the same run.

#include "bench/harness.h"
#include "bench/scenarios.h"

#include "view/tgraphicsvertexitem.h"
#include "view/trcline.h"
#include "app/mainwindow.h"
#include "finger/tdermatoglypheditor.h"
#include "finger/tdermatoglyphview.h"
#include "palm/tpalmeditor.h"
#include "palm/tpalmview.h"
#include "view/tglyphview.h"
#include "view/tgraphicspreview.h"

#include <QApplication>
#include <QFileInfo>
#include <QGraphicsView>
#include <QImageReader>
#include <QMouseEvent>
#include <QPixmap>
#include <QSpinBox>
#include <QUndoStack>

#include <algorithm>
#include <malloc.h>
#include <cmath>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace bench {

namespace {


// Puts 2 cores, 2 triradii, their ridge-count lines and a crease axis on the
// print in editor, grabs a core, and returns one timed drag step with the repaint
// of the view.
std::function<double()> grabLandmark(TDermatoglyphEditor& editor, const QString& scan)
{
    showAndSettle(&editor, QSize(1100, 850));
    editor.importImage(scan);
    editor.fitView();
    auto* view = qobject_cast<TDermatoglyphView*>(editor.glyphView());
    const QRectF shown = view->sceneRect();
    auto at = [&](double fx, double fy) {
        return QPointF(shown.left() + fx * shown.width(), shown.top() + fy * shown.height());
    };
    TGraphicsVertexItem* dragged = view->addLandmark(at(0.45, 0.4), Core);
    view->addLandmark(at(0.55, 0.4), Core);
    view->addLandmark(at(0.3, 0.6), Triradius);
    view->addLandmark(at(0.7, 0.6), Triradius);
    view->connectPoints();
    for (const QPointF& p : {at(0.2, 0.85), at(0.8, 0.83), at(0.8, 0.88), at(0.2, 0.9)})
        view->addVertex(p);
    view->addCores(true);
    settle();

    QWidget* viewport = view->viewport();
    const QPoint start = view->mapFromScene(dragged->pos());
    QMouseEvent press(QEvent::MouseButtonPress, start, viewport->mapToGlobal(start), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &press);
    auto step = std::make_shared<int>(0);
    return [viewport, start, step] {
        const int i = (*step)++;
        const QPoint p = start + QPoint(i % 2 ? 3 : 0, i % 4 < 2 ? 0 : 2);
        QMouseEvent move(QEvent::MouseMove, p, viewport->mapToGlobal(p), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        return seconds([&] {
            QApplication::sendEvent(viewport, &move);
            QApplication::processEvents();
            viewport->repaint();
        });
    };
}


// A palm with every triradius slot placed, the four counted lines with 20 points
// each, radiants and a central line, in an editor that shows it.
void annotateFullPalm(TPalmEditor& editor, const QString& palm)
{
    showAndSettle(&editor, QSize(1100, 850));
    editor.importImage(palm);
    editor.fitView();
    TPalmView* view = editor.palmGlyphView();
    const QRectF shown = view->sceneRect();
    auto at = [&](double fx, double fy) {
        return QPointF(shown.left() + fx * shown.width(), shown.top() + fy * shown.height());
    };
    const QPointF digital[] = {at(0.2, 0.25), at(0.4, 0.2), at(0.6, 0.2), at(0.8, 0.25)};
    for (int i = 0; i < 4; ++i)
        view->addTriradius(i, digital[i]);
    view->addTriradius(palmlines::T, at(0.5, 0.85));
    for (int i = 6; i < TPalmView::slotCount; ++i)
        view->addTriradius(i, at(0.1 + 0.07 * (i - 6), 0.6));
    view->addTriradius(palmlines::CD, at(0.7, 0.3));
    view->cancelTriradium(palmlines::CD);
    for (int i = 0; i < 5; ++i) {
        TGraphicsVertexItem* t = view->triradius(i);
        t->addRidgeLine();
        for (int k = 1; k <= 10; ++k)
            t->addRidgePoint(t->pos() + QPointF(k * 15, k * 20));
    }
    TGraphicsVertexItem* core = view->addCorePoint(at(0.5, 0.5));
    core->addRidgeLine();
    for (int k = 1; k <= 10; ++k)
        core->addRidgePoint(core->pos() + QPointF(k * 10, -k * 12));
    view->connectPoints();
    view->addRidgePoints(true);
    for (int line = 0; line < 4; ++line)
        for (int k = 1; k <= 20; ++k)
            view->addRidgePoint(view->countLine(line)->line().pointAt(k / 21.0), line);
    editor.startHistory();
    settle();
}


// One repaint of a print fitted into an editor-sized view, after a first paint
// has made what the view keeps for it.
std::function<double()> fitRepaint(TGlyphView& view, const QString& scan)
{
    view.setImage(decode(scan));
    showAndSettle(&view, QSize(1100, 850));
    view.fitInView();
    view.viewport()->repaint();
    return [&view] { return seconds([&] { view.viewport()->repaint(); }); };
}


// One vertex added to a crease outline of n vertices; every outline has the same
// bounding box, so only the vertex count differs.
double flexionVertex(TDermatoglyphView& view, int n)
{
    QPolygonF outline;
    const int top = n - 2;
    for (int k = 0; k < top; ++k)
        outline << QPointF(600 + 800.0 * k / (top - 1), 900 + (k % 2 ? 30 : 0));
    outline << QPointF(1400, 1100) << QPointF(600, 1100);
    view.cancelFlexionLine();
    for (int k = 0; k < n - 1; ++k)
        view.addVertex(outline.at(k));
    return seconds([&] { view.addVertex(outline.last()); });
}

}

bool importBothHands(const QString& scan)
{
    std::vector<double> times, floors, added;
    const QSize size = QImageReader(scan).size();
    for (int rep = 0; rep < 3; ++rep) {
        floors.push_back(seconds([&] { decode(scan); }));
        settle();
        auto* window = new MainWindow;
        showAndSettle(window, QSize(1200, 800));
        const qint64 before = residentBytes();
        times.push_back(seconds([&] {
            QMetaObject::invokeMethod(window, "importImage", Qt::DirectConnection,
                                      Q_ARG(QString, scan));
        }));
        settle();
        added.push_back(double(residentBytes() - before));
        delete window;
        settle();
    }
    const double copy32 = double(size.width()) * size.height() * 4;
    return report("import-both-hands",
                  {{median(times), median(floors), 1.5, "s", 3},
                   {median(added) / 1e6, copy32 / 1e6, 2, "MB", 0}});
}

bool annotateStep(const QString& large, const QString& small)
{
    TDermatoglyphEditor smallEditor;
    TDermatoglyphEditor largeEditor;
    const auto [floor, value] = alternated(grabLandmark(smallEditor, small),
                                           grabLandmark(largeEditor, large), 41);
    return report("annotate-step", {{value, floor, 1.5, "ms", 3}});
}

bool rotateStep(const QString& palm)
{
    MainWindow window;
    showAndSettle(&window, QSize(1200, 800));
    QMetaObject::invokeMethod(&window, "importImage", Qt::DirectConnection, Q_ARG(QString, palm),
                              Q_ARG(int, 10));
    TGlyphEditor* editor = window.editor(10);
    showAndSettle(editor, QSize(1100, 850));
    editor->fitView();
    auto* spin = editor->findChild<QSpinBox*>("spinBoxRotate");
    auto* navigator = editor->findChild<TGraphicsPreview*>();
    QGraphicsView* thumbnail = window.thumbnail(10);
    spin->setValue(2);
    settle();

    const QPixmap pixmap = QPixmap::fromImage(decode(palm));
    std::vector<double> steps, floors;
    const int angles[] = {3, 4, 5, 4, 3};
    for (int angle : angles) {
        floors.push_back(seconds([&] {
            pixmap.transformed(QTransform().rotate(angle), Qt::FastTransformation);
        }));
        settle();
        steps.push_back(seconds([&] {
            spin->setValue(angle);
            QApplication::processEvents();
            editor->glyphView()->viewport()->repaint();
            navigator->viewport()->repaint();
            thumbnail->viewport()->repaint();
        }));
        settle();
    }
    return report("rotate-step", {{median(steps), median(floors), 1.5, "s", 3}});
}

bool undoStep(const QString& palm)
{
    TDermatoglyphEditor floorEditor;
    const std::function<double()> annotate = grabLandmark(floorEditor, palm);
    TPalmEditor editor;
    annotateFullPalm(editor, palm);
    TPalmView* view = editor.palmGlyphView();
    QWidget* viewport = view->viewport();
    const QLineF ab = view->countLine(0)->line();
    // One examiner's step to take back and forth: a ridge point on line a-b.
    view->addRidgePoint(ab.pointAt(0.51), 0);
    editor.recordStep();
    settle();
    if (editor.history()->count() != 1) {
        std::fprintf(stderr, "ridgemap-bench: the palm step was not recorded\n");
        return false;
    }

    const qint64 readBefore = bytesRead();
    const qint64 memoryBefore = residentBytes();
    std::vector<double> floors, undos, redos;
    for (int i = 0; i < 21; ++i) {
        floors.push_back(annotate());
        undos.push_back(seconds([&] {
            editor.history()->undo();
            QApplication::processEvents();
            viewport->repaint();
        }));
        redos.push_back(seconds([&] {
            editor.history()->redo();
            QApplication::processEvents();
            viewport->repaint();
        }));
    }
    settle();
    const double imageMB = QImageReader(palm).size().width() * QImageReader(palm).size().height() / 1e6;
    const double decodes = double(bytesRead() - readBefore) / QFileInfo(palm).size();
    const double addedMB = std::max<qint64>(0, residentBytes() - memoryBefore) / 1e6;

    // A full history on this palm, against one 8-bit copy of the scan: the heap
    // its steps take (a step's state after is the next one's before, and lines
    // that did not change are kept once).
    editor.startHistory();
    settle();
    const size_t heapBefore = mallinfo2().uordblks;
    for (int i = 0; i < 250; ++i) {
        view->addRidgePoint(ab.pointAt(0.02 + 0.96 * (i % 97) / 97.0), 0);
        editor.recordStep();
    }
    const double historyMB = std::max<double>(0, double(mallinfo2().uordblks) - heapBefore) / 1e6;
    return report("undo-step", {{median(undos) * 1000, median(floors) * 1000, 1.5, "ms", 3},
                                {median(redos) * 1000, median(floors) * 1000, 1.5, "ms", 3},
                                {decodes, 1, 0.5, "decodes", 2},
                                {addedMB, imageMB, 0.1, "MB", 1},
                                {historyMB, imageMB, 0.25, "MB history", 2}});
}

bool fitRepaintStep(const QString& large, const QString& small)
{
    TGlyphView smallView;
    TGlyphView largeView;
    const auto [floor, value] = alternated(fitRepaint(smallView, small),
                                           fitRepaint(largeView, large), 31);
    return report("fit-repaint", {{value, floor, 1.5, "ms", 3}});
}

bool flexionFit()
{
    TDermatoglyphView view;
    QImage image(2000, 2000, QImage::Format_Grayscale8);
    image.fill(200);
    view.setImage(image);
    showAndSettle(&view, QSize(800, 600));
    const auto [floor, value] = alternated([&] { return flexionVertex(view, 5); },
                                           [&] { return flexionVertex(view, 50); }, 41);
    return report("flexion-fit", {{value, floor, 1.5, "ms", 3}});
}

}
