// Sets and tables: an annotated set opened, and 1,000 sets read into the
// result tables by the command line.

#include "bench/harness.h"
#include "bench/scenarios.h"

#include "view/tgraphicsvertexitem.h"
#include "view/trcline.h"
#include "tables/commandline.h"
#include "app/mainwindow.h"
#include "annotation/setfile.h"
#include "finger/tdermatoglyphview.h"
#include "palm/tpalmview.h"
#include "view/tglypheditor.h"
#include "view/tglyphview.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QSpinBox>
#include <QXmlStreamReader>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace bench {

namespace {

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

}
