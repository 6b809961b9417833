// ridgemap-bench: the costs an examiner feels on full-size scans, each measured
// against a floor taken in the same run, so the ratios hold on a noisy machine;
// and how well suggested ridge points match prints whose ridges are known.

#include "analysis/ridgeprofile.h"
#include "annotation/setfile.h"
#include "app/mainwindow.h"
#include "finger/tdermatoglypheditor.h"
#include "finger/tdermatoglyphview.h"
#include "palm/tpalmeditor.h"
#include "palm/tpalmview.h"
#include "tables/commandline.h"
#include "view/tglyphview.h"
#include "view/tgraphicspreview.h"
#include "view/tgraphicsvertexitem.h"
#include "view/trcline.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGraphicsView>
#include <QImageReader>
#include <QMouseEvent>
#include <QPixmap>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <iterator>
#include <malloc.h>
#include <memory>
#include <random>
#include <unistd.h>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// Measuring

double seconds(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e9;
}

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

qint64 residentBytes()
{
    QFile statm("/proc/self/statm");
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() * sysconf(_SC_PAGESIZE) : 0;
}

// Bytes the process has read from files so far: a decode reads the whole file,
// so this counts how often a scan was decoded.
qint64 bytesRead()
{
    QFile io("/proc/self/io");
    if (!io.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : io.readAll().split('\n'))
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    return 0;
}

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QApplication::processEvents();
    malloc_trim(0);
}

// One scenario line: every figure with its floor, ratio and target.
struct Figure {
    double value;
    double floor;
    double target;
    QString unit;
    int decimals;
};

bool report(const QString& name, const QVector<Figure>& figures)
{
    QStringList values, floors, ratios, targets;
    bool ok = true;
    for (const Figure& f : figures) {
        const double ratio = f.floor > 0 ? f.value / f.floor : INFINITY;
        ok = ok && ratio <= f.target;
        values << QString::number(f.value, 'f', f.decimals) + " " + f.unit;
        floors << QString::number(f.floor, 'f', f.decimals) + " " + f.unit;
        ratios << QString::number(ratio, 'f', 2);
        targets << QString::number(f.target);
    }
    std::printf("bench %s: %s; floor %s; ratio %s (target <= %s) %s\n", qPrintable(name),
                qPrintable(values.join(", ")), qPrintable(floors.join(", ")),
                qPrintable(ratios.join(", ")), qPrintable(targets.join(", ")), ok ? "ok" : "FAIL");
    std::fflush(stdout);
    return ok;
}

// ---------------------------------------------------------------------------
// Synthetic scans

// Gray ridges circling one centre per print, ridge spacing about 0.45 mm, with
// some grain, so the codec works as hard as on a real scan.
QImage ridgeScan(int width, int height, int ppi, int columns, int rows)
{
    QImage image(width, height, QImage::Format_Grayscale8);
    const double period = ppi / 25.4 * 0.45;
    std::vector<uchar> wave(1024);
    for (int i = 0; i < 1024; ++i)
        wave[i] = uchar(150 + 80 * std::cos(i * 2 * M_PI / 1024));
    quint32 grain = 12345;
    const double cellW = double(width) / columns;
    const double cellH = double(height) / rows;
    for (int y = 0; y < height; ++y) {
        uchar* line = image.scanLine(y);
        const double cy = (std::floor(y / cellH) + 0.5) * cellH;
        for (int x = 0; x < width; ++x) {
            const double cx = (std::floor(x / cellW) + 0.5) * cellW;
            const double dy = (y - cy) * 1.3;
            const double r = std::sqrt((x - cx) * (x - cx) + dy * dy);
            grain = grain * 1664525u + 1013904223u;
            const int v = wave[int(r / period * 1024) & 1023] + int(grain >> 28) - 8;
            line[x] = uchar(qBound(0, v, 255));
        }
    }
    const int dotsPerMeter = qRound(ppi / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

QImage decode(const QString& fileName)
{
    QImageReader reader(fileName);
    return reader.read();
}

void showAndSettle(QWidget* widget, const QSize& size)
{
    widget->resize(size);
    widget->show();
    settle();
}

// ---------------------------------------------------------------------------
// Scenarios

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

// A traced line of n points from landmark towards end, wavering as a hand does;
// none for n = 0.
void trace(TGraphicsVertexItem* landmark, const QPointF& end, int n)
{
    if (n == 0)
        return;
    landmark->addRidgeLine();
    const QPointF start = landmark->pos();
    for (int k = 1; k <= n; ++k)
        landmark->addRidgePoint(start + (end - start) * k / n + QPointF(k % 2 ? 1.5 : -1.5, 0));
}

// n ridge points spread along a ridge-count line.
void countRidges(TRCLine* line, int n)
{
    for (int k = 1; line && k <= n; ++k) {
        const QPointF p = line->line().pointAt(k / (n + 1.0));
        line->addRidgePoint(p.x(), p.y());
    }
}

// Crops, turns and annotates every slot of a set (landmarks and crease; with
// traced, also traced lines and ridge counts, as fully as an examiner does) and
// writes it beside the scan.
QString writeAnnotatedSet(const QString& scan, const QString& dir, bool traced = false)
{
    MainWindow window;
    showAndSettle(&window, QSize(1200, 800));
    QMetaObject::invokeMethod(&window, "importImage", Qt::DirectConnection, Q_ARG(QString, scan));
    const QSize size = QImageReader(scan).size();
    for (int i = 0; i < setfile::slotCount; ++i) {
        TGlyphEditor* editor = window.editor(i);
        TGlyphView* view = editor->glyphView();
        // Fingers in two rows of five, palms each one half of the card.
        QRectF r;
        if (i < 10)
            r = QRectF((i % 5) * size.width() / 5.0, (i / 5) * size.height() / 2.0,
                       size.width() / 5.0, size.height() / 2.0).adjusted(40, 60, -40, -60);
        else
            r = QRectF((i - 10) * size.width() / 2.0, 0, size.width() / 2.0, size.height())
                    .adjusted(50, 50, -50, -50);
        view->selectCrop(true);
        for (const QPointF& p : {r.topLeft(), r.topRight(), r.bottomRight(), r.bottomLeft()})
            QMetaObject::invokeMethod(view, "addSelectionPoint", Qt::DirectConnection,
                                      Q_ARG(QPointF, p));
        view->crop();
        editor->findChild<QSpinBox*>("spinBoxRotate")->setValue(2 + i % 4);
        const QRectF shown = view->sceneRect();
        auto at = [&](double fx, double fy) {
            return QPointF(shown.left() + fx * shown.width(), shown.top() + fy * shown.height());
        };
        const int points = traced ? 15 : 0;
        if (auto* finger = qobject_cast<TDermatoglyphView*>(view)) {
            trace(finger->addLandmark(at(0.4, 0.4), Core), at(0.45, 0.2), points);
            trace(finger->addLandmark(at(0.6, 0.4), Core), at(0.55, 0.2), points);
            for (double x : {0.25, 0.75}) {
                TGraphicsVertexItem* t = finger->addLandmark(at(x, 0.6), Triradius);
                for (const QPointF& end : {at(x, 0.1), at(0.5, 0.7), at(x, 0.8)})
                    trace(t, end, points);
            }
            finger->connectPoints();
            finger->addRidgePoints(true);
            countRidges(finger->coreCoreCountLine(), traced ? 6 : 0);
            for (TRCLine* line : finger->coreTriradiusCountLines())
                countRidges(line, traced ? 14 : 0);
            finger->addRidgePoints(false);
            for (const QPointF& p : {at(0.2, 0.85), at(0.8, 0.83), at(0.8, 0.88), at(0.2, 0.9)})
                finger->addVertex(p);
        } else if (auto* palm = qobject_cast<TPalmView*>(view)) {
            for (int t = 0; t < 4; ++t)
                palm->addTriradius(t, at(0.2 + 0.2 * t, 0.3));
            palm->addTriradius(4, at(0.5, 0.85));
            for (int t = 0; t < 5; ++t)
                for (const QPointF& end : {at(0.1, 0.1), at(0.5, 0.5), at(0.9, 0.1)})
                    trace(palm->triradius(t), end, points);
            palm->connectPoints();
            palm->addRidgePoints(true);
            for (int line = 0; line < TPalmView::countLineCount; ++line)
                countRidges(palm->countLine(line), traced ? 30 : 0);
            palm->addRidgePoints(false);
        }
    }
    const QString path = dir + "/set.xml";
    window.writeSet(path);
    return path;
}

bool openSet(const QString& scan, const QString& dir)
{
    const QString set = writeAnnotatedSet(scan, dir);
    settle();
    const double fileSize = QFileInfo(scan).size();
    std::vector<double> times, floors, decodes;
    for (int rep = 0; rep < 3; ++rep) {
        floors.push_back(seconds([&] { decode(scan); }));
        settle();
        auto* window = new MainWindow;
        showAndSettle(window, QSize(1200, 800));
        const qint64 before = bytesRead();
        times.push_back(seconds([&] { window->openSet(set); }));
        decodes.push_back(std::round((bytesRead() - before) / fileSize));
        delete window;
        settle();
    }
    return report("open-set", {{median(times), median(floors), 1.5, "s", 3},
                               {*std::max_element(decodes.begin(), decodes.end()), 1, 1,
                                "decodes", 0}});
}

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

// The medians of n runs of floor and of value, in milliseconds. Alternated, so a
// busy moment of the machine weighs on both alike.
std::pair<double, double> alternated(const std::function<double()>& floor,
                                     const std::function<double()>& value, int n)
{
    std::vector<double> floors, values;
    for (int i = 0; i < n; ++i) {
        floors.push_back(floor());
        values.push_back(value());
    }
    return {median(floors) * 1000, median(values) * 1000};
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

bool fitRepaintStep(const QString& large, const QString& small)
{
    TGlyphView smallView;
    TGlyphView largeView;
    const auto [floor, value] = alternated(fitRepaint(smallView, small),
                                           fitRepaint(largeView, large), 31);
    return report("fit-repaint", {{value, floor, 1.5, "ms", 3}});
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

// The command line reads 1,000 full sets into both result tables, against a plain
// XML read-through of the same files.
bool resultsTable(const QString& scan, const QString& dir)
{
    const QString set = writeAnnotatedSet(scan, dir, true);
    QFile source(set);
    source.open(QIODevice::ReadOnly);
    const QByteArray bytes = source.readAll();
    QDir(dir).mkdir("study");
    QStringList files;
    for (int i = 0; i < 1000; ++i) {
        files << QString("%1/study/set%2.xml").arg(dir).arg(i, 4, 10, QLatin1Char('0'));
        QFile copy(files.last());
        if (!copy.open(QIODevice::WriteOnly) || copy.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "ridgemap-bench: cannot write the study\n");
            return false;
        }
    }
    const QStringList arguments = QStringList{"ridgemap", "--results", dir + "/prints.csv",
                                              "--summary", dir + "/sets.csv"} + files;
    auto readThrough = [&] {
        for (const QString& name : files) {
            QFile file(name);
            file.open(QIODevice::ReadOnly);
            QXmlStreamReader xml(&file);
            while (!xml.atEnd())
                xml.readNext();
        }
    };
    readThrough();   // the files into the page cache before anything is timed
    std::vector<double> times, floors;
    for (int rep = 0; rep < 7; ++rep) {
        floors.push_back(seconds(readThrough));
        times.push_back(seconds([&] { commandline::run(arguments); }));
    }
    return report("results-table", {{median(times), median(floors), 1.5, "s", 3}});
}

// ---------------------------------------------------------------------------
// Prints with known ridges

// A curved ridge field whose phase grows by one from each ridge centre line to
// the next: ridges lie where it is a whole number, furrows where it is a half.
struct RidgeField {
    bool loop = true;
    double period = 10;   // pixels
    QPointF centre;
    double cosA = 1;
    double sinA = 0;
    double warp = 0;      // pixels
    double warpScale = 0.01;
    double shift1 = 0;
    double shift2 = 0;
    double core = 0;      // whorl: half length of its innermost furrow

    double phase(const QPointF& p) const
    {
        const double dx = p.x() - centre.x();
        const double dy = p.y() - centre.y();
        const double u = cosA * dx + sinA * dy;
        const double v = -sinA * dx + cosA * dy;
        const double bu = u + warp * std::sin(v * warpScale + shift1);
        const double bv = v + warp * std::sin(u * warpScale + shift2);
        // Nested hairpins opening along u, or rings round a short furrow; the
        // innermost line of either is a furrow, so every ridge crosses cleanly.
        const double d = loop ? (bu > 0 ? std::abs(bv) : std::hypot(bu, bv))
                              : std::hypot(bu - std::clamp(bu, -core, core), bv);
        return d / period + 0.5;
    }

    // Moves p across the ridges until its phase is target.
    QPointF snapped(QPointF p, double target) const
    {
        for (int i = 0; i < 4; ++i) {
            const double h = 0.25;
            const QPointF g((phase(p + QPointF(h, 0)) - phase(p - QPointF(h, 0))) / (2 * h),
                            (phase(p + QPointF(0, h)) - phase(p - QPointF(0, h))) / (2 * h));
            const double g2 = g.x() * g.x() + g.y() * g.y();
            if (g2 <= 0)
                break;
            p += g * ((target - phase(p)) / g2);
        }
        return p;
    }
};

double nearestWhole(double phase) { return std::abs(phase - std::round(phase)); }

// What the examiner would see where a line meets a ridge's centre line: ink
// along most of its way through the ridge, paper well clear of ink along
// most, or neither, where a line passes by a ridge's end and either count is
// right.
enum class Ink { Present, Absent, Unsure };

// Breaks in ridges, islands and dots inside longer breaks, pores and specks.
struct PrintMark {
    enum Kind { Break, Pore, Speck } kind;
    QPointF c;
    QPointF tangent;     // along the ridge at c
    long ridge;          // the phase of the ridge a break belongs to
    double radius;       // pixels: the break's half length, a pore's or speck's radius
    double island = 0;   // pixels: half length of the island left inside a break
};

struct Degradation {
    const char* name;
    bool faint, noisy, blurred, uneven, broken, dots, pores;
};

const Degradation degradations[] = {
    {"clean", false, false, false, false, false, false, false},
    {"faint", true, false, false, false, false, false, false},
    {"noisy", false, true, false, false, false, false, false},
    {"blurred", false, false, true, false, false, false, false},
    {"uneven", false, false, false, true, false, false, false},
    {"broken", false, false, false, false, true, false, false},
    {"dots", false, false, false, false, false, true, false},
    {"pores", false, false, false, false, false, false, true},
    {"combined", true, true, true, true, true, true, true},
};

// Linear ramp from 1 inside radius to 0 outside, one pixel wide: the
// anti-aliased edge of a round mark.
double inside(double distance, double radius)
{
    return std::clamp(0.5 - (distance - radius), 0.0, 1.0);
}

struct SyntheticPrint {
    QImage image;
    RidgeField field;
    std::vector<PrintMark> marks;
    double halfWidth = 0;   // of a ridge, pixels, give or take 15 %
    QPointF widthWave;      // direction and frequency of the ridges' change of width
    double widthShift = 0;
    // Marks by cell of two periods, so each point looks at the few near it.
    double cell = 1;
    int cells = 0;
    std::vector<std::vector<int>> grid;

    const std::vector<int>& marksNear(const QPointF& p) const
    {
        const int cx = std::clamp(int(p.x() / cell), 0, cells - 1);
        const int cy = std::clamp(int(p.y() / cell), 0, cells - 1);
        return grid[size_t(cy * cells + cx)];
    }

    // Whether p is near enough to the break m to lose or keep ink by it: near
    // its stretch of ridge, not on another stretch of the same ridge that comes
    // back by it round a core.
    bool nearBreak(const QPointF& p, const PrintMark& m) const
    {
        const QPointF d = p - m.c;
        return QLineF(p, m.c).length() <= m.radius + halfWidth + 1
               && std::abs(d.x() * m.tangent.y() - d.y() * m.tangent.x()) < 0.5 * field.period;
    }

    // How much of the pixel at p the ridges' ink covers, with breaks and
    // islands (pores and specks are the renderer's).
    double ridgeInk(const QPointF& p) const
    {
        const double phase = field.phase(p);
        const long ridge = std::lround(phase);
        const double off = (phase - ridge) * field.period;   // from the ridge's centre line
        const double w =
            halfWidth * (1 + 0.15 * std::sin(QPointF::dotProduct(p, widthWave) + widthShift));
        double dark = inside(std::abs(off), w);
        for (int i : marksNear(p)) {
            const PrintMark& m = marks[size_t(i)];
            if (m.kind != PrintMark::Break || m.ridge != ridge || !nearBreak(p, m))
                continue;
            // Ridge ends and islands are rounded like the ridge is wide.
            const double a = std::abs(QPointF::dotProduct(p - m.c, m.tangent));
            const double toEnd = std::max(0.0, m.radius + w - a);
            dark = std::min(dark, inside(std::hypot(toEnd, off), w));
            if (m.island > 0) {
                const double toIsland = std::max(0.0, a - (m.island - w));
                dark = std::max(dark, inside(std::hypot(toIsland, off), w));
            }
        }
        return dark;
    }

    // What line shows of the ridge with the given phase that it crosses at q,
    // judged along its way through the ridge.
    Ink inkAt(const QLineF& line, const QPointF& q, long ridge) const
    {
        const QPointF step = (line.p2() - line.p1()) / line.length() * 0.25;
        const double inner = halfWidth / field.period;
        // Points on ink, and points within a pixel and a half of ink.
        int inked = 0;
        int near = 0;
        int all = 0;
        for (int sign : {-1, 1})
            for (QPointF p = q; all < 1000 && std::abs(field.phase(p) - ridge) < inner;
                 p += step * sign) {
                ++all;
                if (ridgeInk(p) >= 0.5) {
                    ++inked;
                    ++near;
                    continue;
                }
                for (int k = 0; k < 8; ++k) {
                    const QPointF around(std::cos(k * M_PI / 4), std::sin(k * M_PI / 4));
                    if (ridgeInk(p + around * 1.5) >= 0.5) {
                        ++near;
                        break;
                    }
                }
            }
        if (inked >= 0.75 * all)
            return Ink::Present;
        return near <= 0.25 * all ? Ink::Absent : Ink::Unsure;
    }
};

// Gaussian blur of a float image, separable.
void blur(std::vector<float>& pixels, int width, int height, double sigma)
{
    const int radius = int(std::ceil(3 * sigma));
    std::vector<float> kernel(size_t(2 * radius + 1));
    float sum = 0;
    for (int k = -radius; k <= radius; ++k)
        sum += kernel[size_t(k + radius)] = float(std::exp(-0.5 * k * k / (sigma * sigma)));
    for (float& k : kernel)
        k /= sum;
    // Across, then down, each pass reading the other's result.
    std::vector<float> across(pixels.size());
    for (int pass = 0; pass < 2; ++pass) {
        const std::vector<float>& in = pass == 0 ? pixels : across;
        std::vector<float>& out = pass == 0 ? across : pixels;
        const int dx = pass == 0 ? 1 : 0;
        const int dy = 1 - dx;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                float v = 0;
                for (int k = -radius; k <= radius; ++k) {
                    const int xx = std::clamp(x + k * dx, 0, width - 1);
                    const int yy = std::clamp(y + k * dy, 0, height - 1);
                    v += kernel[size_t(k + radius)] * in[size_t(yy * width + xx)];
                }
                out[size_t(y * width + x)] = v;
            }
    }
}

// A print of 28 mm square with a loop- or whorl-like ridge field, degraded as
// asked; every random choice comes from random, so a seed gives the same print.
SyntheticPrint syntheticPrint(bool loop, int ppi, const Degradation& how, std::mt19937& random)
{
    auto uniform = [&](double a, double b) {
        return std::uniform_real_distribution<double>(a, b)(random);
    };
    SyntheticPrint print;
    const int size = qRound(28 / 25.4 * ppi);
    RidgeField& f = print.field;
    f.loop = loop;
    f.period = uniform(0.42, 0.55) / 25.4 * ppi;
    f.centre = QPointF(uniform(0.35, 0.65) * size, uniform(0.35, 0.65) * size);
    const double angle = uniform(0, 2 * M_PI);
    f.cosA = std::cos(angle);
    f.sinA = std::sin(angle);
    f.warpScale = 2 * M_PI / (size * uniform(0.7, 1.3));
    f.warp = uniform(0.1, 0.2) / f.warpScale;   // bends the ridges, spacing within 20 %
    f.shift1 = uniform(0, 2 * M_PI);
    f.shift2 = uniform(0, 2 * M_PI);
    f.core = uniform(0.5, 2) * f.period;
    print.halfWidth = 0.27 * f.period;
    const double halfWidth = print.halfWidth;
    const double widthAngle = uniform(0, 2 * M_PI);
    print.widthWave = QPointF(std::cos(widthAngle), std::sin(widthAngle)) * (4 * M_PI / size);
    print.widthShift = uniform(0, 2 * M_PI);

    auto tangent = [&](const QPointF& c) {
        const QPointF g(f.phase(c + QPointF(0.25, 0)) - f.phase(c - QPointF(0.25, 0)),
                        f.phase(c + QPointF(0, 0.25)) - f.phase(c - QPointF(0, 0.25)));
        return QPointF(-g.y(), g.x()) / std::hypot(g.x(), g.y());
    };
    // Marks at random places moved onto ridge centre lines (or furrows for specks).
    const double area = double(size) * size / (f.period * f.period);
    // Each mark's sizes in periods, as (least, most) of a uniform choice.
    auto place = [&](PrintMark::Kind kind, double perArea, double offset, double least,
                     double most, double islandLeast = 0, double islandMost = 0) {
        const int n = int(area * perArea);
        for (int i = 0; i < n; ++i) {
            const QPointF p(uniform(0, size), uniform(0, size));
            const QPointF c = f.snapped(p, std::floor(f.phase(p)) + offset);
            const double island = islandMost > 0 ? uniform(islandLeast, islandMost) * f.period : 0;
            const double radius = island + uniform(least, most) * f.period;
            print.marks.push_back(
                {kind, c, tangent(c), long(std::lround(f.phase(c))), radius, island});
        }
    };
    if (how.broken)
        place(PrintMark::Break, 1.0 / 20, 0, 0.3, 0.8);
    if (how.dots) {
        // Islands and dots as thick as the ridges, alone in a longer break, and
        // specks thinner than them in the furrows.
        place(PrintMark::Break, 1.0 / 40, 0, 0.8, 1.2, 0.27, 1);
        place(PrintMark::Speck, 1.0 / 6, 0.5, 0.07, 0.1);
    }
    if (how.pores)
        place(PrintMark::Pore, 1.0, 0, 0.08, 0.13);

    print.cell = 2 * f.period;
    print.cells = int(std::ceil(size / print.cell)) + 1;
    const int cells = print.cells;
    print.grid.resize(size_t(cells * cells));
    for (int i = 0; i < int(print.marks.size()); ++i) {
        const PrintMark& m = print.marks[size_t(i)];
        const double r = m.radius + 1.15 * halfWidth + 1;
        const int x0 = std::max(0, int((m.c.x() - r) / print.cell));
        const int x1 = std::min(cells - 1, int((m.c.x() + r) / print.cell));
        const int y0 = std::max(0, int((m.c.y() - r) / print.cell));
        const int y1 = std::min(cells - 1, int((m.c.y() + r) / print.cell));
        for (int cy = y0; cy <= y1; ++cy)
            for (int cx = x0; cx <= x1; ++cx)
                print.grid[size_t(cy * cells + cx)].push_back(i);
    }

    // Paper at 225, ridges taking 80 % of the light; faint regions and the
    // inking gradient vary smoothly over the print.
    const double paper = 225;
    const double faintAngle = uniform(0, 2 * M_PI);
    const double faintShift = uniform(0, 2 * M_PI);
    const double faintScale = 2 * M_PI / (size * uniform(0.8, 1.2));
    const double rampAngle = uniform(0, 2 * M_PI);
    const QPointF ramp(std::cos(rampAngle), std::sin(rampAngle));
    const double rampFrom = std::min({0.0, ramp.x(), ramp.y(), ramp.x() + ramp.y()}) * size;
    const double rampTo = std::max({0.0, ramp.x(), ramp.y(), ramp.x() + ramp.y()}) * size;
    std::vector<float> pixels(size_t(size) * size);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            const QPointF p(x + 0.5, y + 0.5);
            double dark = print.ridgeInk(p);
            double speck = 0;
            for (int i : print.marksNear(p)) {
                const PrintMark& m = print.marks[size_t(i)];
                const double d = QLineF(p, m.c).length();
                if (m.kind == PrintMark::Pore)
                    dark *= 1 - inside(d, m.radius);
                else if (m.kind == PrintMark::Speck)
                    speck = std::max(speck, inside(d, m.radius));
            }
            dark = std::max(dark, speck);
            double contrast = 1;
            double background = paper;
            const double u = (x * std::cos(faintAngle) + y * std::sin(faintAngle)) * faintScale;
            if (how.faint)   // from full contrast down to 20 %
                contrast = 0.6 + 0.4 * std::sin(u + faintShift);
            if (how.uneven)   // the paper from 225 down to 145 across the print
                background -= 80 * (QPointF::dotProduct(p, ramp) - rampFrom) / (rampTo - rampFrom);
            pixels[size_t(y * size + x)] = float(background * (1 - 0.8 * contrast * dark));
        }
    if (how.blurred)
        blur(pixels, size, size, 0.07 / 25.4 * ppi);
    if (how.noisy) {
        // Grain: noise correlated over about a pixel and a half, plus white noise.
        std::normal_distribution<float> normal(0, 1);
        std::vector<float> grain(pixels.size());
        for (float& g : grain)
            g = normal(random);
        blur(grain, size, size, 0.8);
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] += 8 / 0.35f * grain[i] + 12 * normal(random);
    }
    print.image = QImage(size, size, QImage::Format_Grayscale8);
    for (int y = 0; y < size; ++y) {
        uchar* line = print.image.scanLine(y);
        for (int x = 0; x < size; ++x)
            line[x] = uchar(std::clamp(std::lround(pixels[size_t(y * size + x)]), 0L, 255L));
    }
    const int dotsPerMeter = qRound(ppi / 0.0254);
    print.image.setDotsPerMeterX(dotsPerMeter);
    print.image.setDotsPerMeterY(dotsPerMeter);
    return print;
}

// A counted line between two landmarks on print and where its ridges cross it.
struct CountedLine {
    QLineF line;
    std::vector<QPointF> crossings;
    int unsure = 0;   // crossings of a ridge's end, which count or not
};

// A line between random points, each on a ridge or in a furrow as landmarks
// are, with 5 to 30 ridges crossing it; false after many tries. Lines that
// graze a ridge are not drawn, since no examiner could be sure of their count;
// crossings by a break's or an island's end are counted as unsure.
bool countedLine(const SyntheticPrint& print, std::mt19937& random, CountedLine* out)
{
    const RidgeField& f = print.field;
    const double size = print.image.width();
    auto uniform = [&](double a, double b) {
        return std::uniform_real_distribution<double>(a, b)(random);
    };
    // A landmark on a ridge sits on its ink, never in a break.
    auto landmark = [&] {
        for (;;) {
            const QPointF p(uniform(2 * f.period, size - 2 * f.period),
                            uniform(2 * f.period, size - 2 * f.period));
            const double target = std::floor(f.phase(p)) + (uniform(0, 1) < 0.5 ? 0 : 0.5);
            const QPointF q = f.snapped(p, target);
            if (target != std::floor(target) || print.ridgeInk(q) >= 0.99)
                return q;
        }
    };
    for (int attempt = 0; attempt < 1000; ++attempt) {
        const QPointF a = landmark();
        const QPointF b = landmark();
        const QLineF line(a, b);
        const double length = line.length();
        if (length < 2 * f.period)
            continue;
        const int steps = int(std::ceil(length / 0.25));
        std::vector<double> phase(size_t(steps + 1));
        for (int j = 0; j <= steps; ++j)
            phase[size_t(j)] = f.phase(line.pointAt(double(j) / steps));
        bool sure = true;
        int unsure = 0;
        std::vector<QPointF> crossings;
        for (int j = 0; j < steps && sure; ++j) {
            const double p0 = phase[size_t(j)];
            const double p1 = phase[size_t(j + 1)];
            if (j > 0 && (p0 - phase[size_t(j - 1)]) * (p1 - p0) < 0 && nearestWhole(p0) < 0.4)
                sure = false;
            const long last = long(std::floor(std::max(p0, p1)));
            for (long k = long(std::floor(std::min(p0, p1))) + 1; k <= last; ++k) {
                const double t = (j + (k - p0) / (p1 - p0)) / steps;
                const double along = t * length;
                // The landmarks' own ridges.
                if ((along < 0.5 * f.period && nearestWhole(phase.front()) < 0.01)
                    || (length - along < 0.5 * f.period && nearestWhole(phase.back()) < 0.01))
                    continue;
                const QPointF q = line.pointAt(t);
                const Ink ink = print.inkAt(line, q, k);
                if (ink == Ink::Unsure)
                    ++unsure;
                else if (ink == Ink::Present)
                    crossings.push_back(q);
            }
        }
        if (!sure || crossings.size() < 5 || crossings.size() + unsure > 30)
            continue;
        *out = {line, crossings, unsure};
        return true;
    }
    return false;
}

// Suggested ridge points on lines across synthetic prints with known ridges,
// per kind of degradation and overall, against absolute targets; each figure
// counts as a target of its own.
void ridgeSuggest(int* met, int* total)
{
    std::mt19937 random(20240517);   // the same prints and lines in every run
    struct Tally {
        int lines = 0;
        int exact = 0;
        int ridges = 0;
        int unsure = 0;   // lines meeting a break's end
        double countError = 0;
        double positionError = 0;
        int points = 0;
        std::vector<double> times;   // per line, scaled to 600 pixels
    };
    const int classes = int(std::size(degradations));
    std::vector<Tally> tallies(size_t(classes + 1));
    Tally& overall = tallies.back();
    for (int c = 0; c < classes; ++c) {
        Tally& tally = tallies[size_t(c)];
        // Two each of loops and whorls at 500 and 1000 PPI, as gray and as
        // colour scans, which are shown as 32-bit images.
        for (int variant = 0; variant < 16; ++variant) {
            const bool loop = variant % 2 == 0;
            const int ppi = variant / 2 % 2 ? 1000 : 500;
            SyntheticPrint print = syntheticPrint(loop, ppi, degradations[c], random);
            if (variant / 4 % 2)
                print.image = print.image.convertToFormat(QImage::Format_RGB32);
            for (int i = 0; i < 50; ++i) {
                CountedLine counted;
                if (!countedLine(print, random, &counted))
                    break;
                QVector<QPointF> suggested;
                const double time = seconds([&] {
                    suggested = ridgeprofile::crossings(print.image, counted.line);
                });
                const int least = int(counted.crossings.size());
                const int most = least + counted.unsure;
                const int found = int(suggested.size());
                const int error = found < least ? least - found : found > most ? found - most : 0;
                for (Tally* t : {&tally, &overall}) {
                    ++t->lines;
                    t->exact += error == 0;
                    t->ridges += least;
                    t->unsure += counted.unsure > 0;
                    t->countError += error;
                    t->times.push_back(time / counted.line.length() * 600);
                    // Distance to the nearest ridge centre line, in periods.
                    for (const QPointF& q : suggested) {
                        t->positionError += nearestWhole(print.field.phase(q));
                        ++t->points;
                    }
                }
            }
        }
    }
    auto share = [](double part, int whole) { return part / std::max(1, whole); };
    std::printf("bench ridge-suggest: %-9s %6s %8s %6s %9s %10s\n", "class", "lines", "exact",
                "MAE", "position", "per 600px");
    for (int c = 0; c <= classes; ++c) {
        const Tally& t = tallies[size_t(c)];
        std::printf("bench ridge-suggest: %-9s %6d %7.1f%% %6.3f %7.3f P %7.3f ms\n",
                    c < classes ? degradations[c].name : "overall", t.lines,
                    100 * share(t.exact, t.lines), share(t.countError, t.lines),
                    share(t.positionError, t.points), median(t.times) * 1000);
    }
    std::printf("bench ridge-suggest: %.1f ridges a line; %d lines pass a break's end, where "
                "either count is right\n",
                share(overall.ridges, overall.lines), overall.unsure);
    auto target = [&](const QString& figure, double value, const char* unit, bool atLeast,
                      double goal) {
        const bool ok = atLeast ? value >= goal : value <= goal;
        std::printf("bench ridge-suggest %s: %.3f %s (target %s %g) %s\n", qPrintable(figure),
                    value, unit, atLeast ? ">=" : "<=", goal, ok ? "ok" : "FAIL");
        ++*total;
        *met += ok ? 1 : 0;
    };
    for (int c = 0; c < classes; ++c)
        target(QString("exact %1").arg(degradations[c].name),
               100 * share(tallies[size_t(c)].exact, tallies[size_t(c)].lines), "%", true,
               c + 1 < classes ? 95 : 80);
    target("count error", share(overall.countError, overall.lines), "ridges", false, 0.2);
    target("position error", share(overall.positionError, overall.points), "periods", false, 0.2);
    target("time", median(overall.times) * 1000, "ms per 600 px", false, 2);
    std::fflush(stdout);
}

// The offscreen platform's remarks on every window shown are noise here.
void quietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains("propagateSizeHints") || message.contains("XDG_RUNTIME_DIR"))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

}

// bench/agreementbench.cpp: the agreement and subject tables of the study folder
// that results-table writes.
bool agreementTables(const QString& study);

int main(int argc, char** argv)
{
    // Freed image buffers go back to the system at once, so resident memory shows
    // what the program holds rather than what the allocator keeps for later.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 20);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "ridgemap-bench: no temporary folder\n");
        return 2;
    }
    // The program's settings go to the temporary folder, never the user's own.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath("config")));
    qInstallMessageHandler(quietOffscreen);
    QApplication app(argc, argv);

    // Scenario names on the command line run only those, for profiling one.
    const QStringList chosen = app.arguments().mid(1);

    // A ten-print card at 600 PPI, a palm at 1000 PPI and a small print, written
    // only when a scenario that reads them runs.
    const QString card = dir.filePath("card.jpg");
    const QString palm = dir.filePath("palm.jpg");
    const QString small = dir.filePath("small.jpg");
    const QStringList scanScenarios = {"import-both-hands", "open-set", "annotate-step",
                                       "rotate-step", "undo-step", "fit-repaint",
                                       "results-table", "agreement-tables"};
    if (chosen.isEmpty() || std::any_of(scanScenarios.begin(), scanScenarios.end(),
                                        [&](const QString& s) { return chosen.contains(s); })) {
        if (!ridgeScan(4800, 5000, 600, 5, 2).save(card, "JPG", 90)
            || !ridgeScan(5600, 5700, 1000, 1, 1).save(palm, "JPG", 90)
            || !ridgeScan(1000, 1000, 1000, 1, 1).save(small, "JPG", 90)) {
            std::fprintf(stderr, "ridgemap-bench: cannot write the scans\n");
            return 2;
        }
        decode(card);   // warm the codec and the page cache before anything is timed
    }

    int met = 0;
    int total = 0;
    auto run = [&](const QString& name, const std::function<bool()>& scenario) {
        if (!chosen.isEmpty() && !chosen.contains(name))
            return;
        ++total;
        met += scenario() ? 1 : 0;
    };
    run("import-both-hands", [&] { return importBothHands(card); });
    run("open-set", [&] { return openSet(card, dir.path()); });
    run("annotate-step", [&] { return annotateStep(palm, small); });
    run("rotate-step", [&] { return rotateStep(palm); });
    run("flexion-fit", [] { return flexionFit(); });
    run("undo-step", [&] { return undoStep(palm); });
    run("fit-repaint", [&] { return fitRepaintStep(palm, small); });
    run("results-table", [&] { return resultsTable(card, dir.path()); });
    run("agreement-tables", [&] {
        if (!QDir(dir.filePath("study")).exists())
            resultsTable(card, dir.path());
        return agreementTables(dir.filePath("study"));
    });
    // Each of its figures has a target of its own.
    if (chosen.isEmpty() || chosen.contains("ridge-suggest"))
        ridgeSuggest(&met, &total);
    std::printf("bench: %d of %d targets met\n", met, total);
    return met == total ? 0 : 1;
}
