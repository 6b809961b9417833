// ridgemap-bench: the costs an examiner feels on full-size scans, each measured
// against a floor taken in the same run, so the ratios hold on a noisy machine.

#include "annotation/tgraphicsvertexitem.h"
#include "annotation/trcline.h"
#include "app/commandline.h"
#include "app/mainwindow.h"
#include "app/setfile.h"
#include "finger/tdermatoglypheditor.h"
#include "finger/tdermatoglyphview.h"
#include "palm/tpalmeditor.h"
#include "palm/tpalmview.h"
#include "view/tglyphview.h"
#include "view/tgraphicspreview.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGraphicsView>
#include <QImageReader>
#include <QMouseEvent>
#include <QPixmap>
#include <QSet>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QUndoStack>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <malloc.h>
#include <memory>
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
    view->addTriradius(TPalmView::T, at(0.5, 0.85));
    for (int i = 6; i < TPalmView::slotCount; ++i)
        view->addTriradius(i, at(0.1 + 0.07 * (i - 6), 0.6));
    view->addTriradius(TPalmView::CD, at(0.7, 0.3));
    view->cancelTriradium(TPalmView::CD);
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

    // A full history on this palm, against one 8-bit copy of the scan: the texts
    // its steps keep (a step's state after is the next one's before, one text).
    for (int i = 0; i < 250; ++i) {
        view->addRidgePoint(ab.pointAt(0.02 + 0.96 * (i % 97) / 97.0), 0);
        editor.recordStep();
    }
    QSet<const QChar*> texts;
    double historyMB = 0;
    for (int i = 0; i < editor.history()->count(); ++i) {
        const auto* step = static_cast<const TEditStep*>(editor.history()->command(i));
        for (const QString& text : {step->stateBefore().section, step->stateAfter().section})
            if (!texts.contains(text.constData())) {
                texts.insert(text.constData());
                historyMB += text.size() * sizeof(QChar) / 1e6;
            }
    }
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

// The offscreen platform's remarks on every window shown are noise here.
void quietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains("propagateSizeHints") || message.contains("XDG_RUNTIME_DIR"))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

}

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

    // A ten-print card at 600 PPI, a palm at 1000 PPI and a small print.
    const QString card = dir.filePath("card.jpg");
    const QString palm = dir.filePath("palm.jpg");
    const QString small = dir.filePath("small.jpg");
    if (!ridgeScan(4800, 5000, 600, 5, 2).save(card, "JPG", 90)
        || !ridgeScan(5600, 5700, 1000, 1, 1).save(palm, "JPG", 90)
        || !ridgeScan(1000, 1000, 1000, 1, 1).save(small, "JPG", 90)) {
        std::fprintf(stderr, "ridgemap-bench: cannot write the scans\n");
        return 2;
    }
    decode(card);   // warm the codec and the page cache before anything is timed

    // Scenario names on the command line run only those, for profiling one.
    const QStringList chosen = app.arguments().mid(1);
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
    std::printf("bench: %d of %d targets met\n", met, total);
    return met == total ? 0 : 1;
}
