#include "finger/tdermatoglyphview.h"

#include "analysis/singularpoints.h"
#include "annotation/fingerlines.h"
#include "annotation/sectionformat.h"
#include "annotation/sectionwriter.h"
#include "annotation/tglyphrecord.h"
#include "finger/tfingersettings.h"
#include "view/markpens.h"
#include "view/tgraphicsvertexitem.h"
#include "view/tlandmarktool.h"
#include "view/trcline.h"

#include <QCursor>
#include <QGraphicsLineItem>
#include <QGraphicsScene>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTextStream>

#include <algorithm>

TDermatoglyphView::TDermatoglyphView(QWidget* parent)
    : TAnnotationView(parent),
      crease(TGlyphView::scene, this)
{
    // Either kind from one menu, or cores or triradii alone, at most two of each.
    addPlacingTool(std::make_unique<TLandmarkTool>(
        this, [this] { return addingPoints; },
        [this](const QPointF& p, const QPoint& at) { offerLandmarks(p, at, true, true); }));
    addPlacingTool(std::make_unique<TLandmarkTool>(
        this, [this] { return addingCores; },
        [this](const QPointF& p, const QPoint& at) { offerLandmarks(p, at, true, false); }));
    addPlacingTool(std::make_unique<TLandmarkTool>(
        this, [this] { return addingTriradia; },
        [this](const QPointF& p, const QPoint& at) { offerLandmarks(p, at, false, true); }));
}

TDermatoglyphView::~TDermatoglyphView()
{
    // Landmarks take their traced lines with them; they must go while those lines
    // are still alive, before the scene clears whatever is left.
    qDeleteAll(cores);
    qDeleteAll(triradia);
    cores.clear();
    triradia.clear();
    currentVertex = nullptr;
}

// ---------------------------------------------------------------------------
// Tool modes

QList<TGraphicsVertexItem*> TDermatoglyphView::landmarks(TLandmark kind) const
{
    return kind == Core ? cores : triradia;
}

QList<TRCLine*> TDermatoglyphView::countedLines() const
{
    QList<TRCLine*> lines;
    if (coreCoreCount)
        lines.append(coreCoreCount);
    return lines + coreTriradiusCounts;
}

QString TDermatoglyphView::countedLineName(const TRCLine* line) const
{
    if (line == coreCoreCount)
        return "core\u2013core";
    const int i = coreTriradiusCounts.indexOf(const_cast<TRCLine*>(line));
    const QVector<QPair<int, int>> pairs = fingerlines::coreTriradiusPairs(cores.size(),
                                                                           triradia.size());
    if (i < 0 || i >= pairs.size())
        return "a counted line";
    // Two of a kind are told apart by their side on the screen.
    auto named = [](const char* kind, int index, int of) {
        return of < 2 ? QString(kind) : QString(index == 0 ? "left " : "right ") + kind;
    };
    return named("core", pairs.at(i).first, cores.size()) + "\u2013"
           + named("triradius", pairs.at(i).second, triradia.size());
}

void TDermatoglyphView::paintFlex(bool paint)
{
    paintingFlex = paint;
}

void TDermatoglyphView::addPoints(bool add)
{
    addingPoints = add;
    setLandmarksMovable(cores, add);
    setLandmarksMovable(triradia, add);
}

// ---------------------------------------------------------------------------
// Landmarks

void TDermatoglyphView::offerLandmarks(const QPointF& point, const QPoint& menuPos, bool core,
                                       bool triradius)
{
    QMenu menu;
    QAction* addCoreAction = core ? menu.addAction("Add core point") : nullptr;
    QAction* addTriradiusAction = triradius ? menu.addAction("Add triradial point") : nullptr;
    // A tool for one kind places at most two of it.
    if (core && !triradius)
        addCoreAction->setEnabled(cores.size() < 2);
    if (triradius && !core)
        addTriradiusAction->setEnabled(triradia.size() < 2);
    QAction* chosen = menu.exec(menuPos);
    if (chosen && chosen == addCoreAction)
        addLandmark(point, Core);
    else if (chosen && chosen == addTriradiusAction)
        addLandmark(point, Triradius);
}

void TDermatoglyphView::addPoint(const QPointF& point, const QPoint& globalPos)
{
    offerLandmarks(point, viewport()->mapToGlobal(globalPos), true, true);
}

void TDermatoglyphView::addCore(const QPointF& point, const QPoint& globalPos)
{
    offerLandmarks(point, viewport()->mapToGlobal(globalPos), true, false);
}

void TDermatoglyphView::addTriradium(const QPointF& point, const QPoint& globalPos)
{
    offerLandmarks(point, viewport()->mapToGlobal(globalPos), false, true);
}

bool TDermatoglyphView::placeAtPointer(TLandmark kind)
{
    const QPoint at = viewport()->mapFromGlobal(QCursor::pos());
    const QPointF p = mapToScene(at);
    if (!viewport()->rect().contains(at) || !sceneRect().contains(p)
        || landmarks(kind).size() >= 2)
        return false;
    addLandmark(p, kind);
    connectPoints();
    return true;
}

QString TDermatoglyphView::suggestLandmarks()
{
    int added[2] = {0, 0};
    for (const Suggested& found : foundLandmarks())
        if (!isPlaced(found)) {
            addLandmark(found.position, found.kind);
            ++added[found.kind];
        }
    if (added[Core] + added[Triradius] > 0)
        connectPoints();
    if (added[Core] + added[Triradius] == 0)
        return "No landmarks suggested: the print shows none beyond those placed.";
    return QString("Suggested %1 core%2 and %3 triradi%4; check them.")
        .arg(added[Core]).arg(added[Core] == 1 ? "" : "s")
        .arg(added[Triradius]).arg(added[Triradius] == 1 ? "us" : "i");
}

QString TDermatoglyphView::suggestedPattern(bool rightHand) const
{
    // The pattern is read as the print is shown, fingertip up.
    QVector<singularpoints::Landmark> placed;
    for (TLandmark kind : {Core, Triradius})
        for (const TGraphicsVertexItem* item : landmarks(kind))
            placed.append({kind, item->pos(), 1.0});
    const QImage shown = croppedPixmap().toImage().transformed(displayTransform());
    return singularpoints::suggestPattern(shown, placed, rightHand, isFlipped());
}

void TDermatoglyphView::removeLandmark(TGraphicsVertexItem* landmark)
{
    cores.removeOne(landmark);
    triradia.removeOne(landmark);
    deleteLandmark(landmark);
    connectPoints();
    addPerpendicularLines();
    emit count(cores.size(), triradia.size());
}

TGraphicsVertexItem* TDermatoglyphView::makeLandmark(const QPointF& point, TLandmark landmark)
{
    auto* item = new TGraphicsVertexItem;
    scene->addItem(item);
    item->setPos(point);
    item->setZValue(2000);
    if (landmark == Core) {
        item->setMarkerBrush(QBrush(Qt::yellow, Qt::SolidPattern));
        item->setMarkerPen(QPen(Qt::yellow));
        item->setCore();
    } else {
        item->setMarkerBrush(QBrush(Qt::red, Qt::SolidPattern));
        item->setMarkerPen(QPen(Qt::red));
        item->setTriradius();
        item->setLinesRed();
    }
    connect(item, &TGraphicsVertexItem::moved, this, &TDermatoglyphView::connectPoints);
    connect(item, &TGraphicsVertexItem::moved, this, &TDermatoglyphView::addPerpendicularLines);
    return item;
}

TGraphicsVertexItem* TDermatoglyphView::addLandmark(const QPointF& point, TLandmark landmark)
{
    TGraphicsVertexItem* item = makeLandmark(point, landmark);
    QList<TGraphicsVertexItem*>* target = landmark == Core ? &cores : &triradia;
    // Kept sorted by x so index 0 is the leftmost; equal x goes after.
    int i = 0;
    while (i < target->size() && target->at(i)->pos().x() <= point.x())
        ++i;
    target->insert(i, item);

    addPerpendicularLines();
    item->setFlag(QGraphicsItem::ItemIsMovable);
    item->setFlag(QGraphicsItem::ItemSendsGeometryChanges);
    emit count(cores.size(), triradia.size());
    return item;
}

void TDermatoglyphView::deleteLandmarks(QList<TGraphicsVertexItem*>& landmarks)
{
    for (TGraphicsVertexItem* landmark : qAsConst(landmarks))
        deleteLandmark(landmark);
    landmarks.clear();
}

void TDermatoglyphView::deleteCoreTriradiusLines()
{
    qDeleteAll(coreTriradiusLines);
    coreTriradiusLines.clear();
    qDeleteAll(coreTriradiusCounts);
    coreTriradiusCounts.clear();
}

void TDermatoglyphView::deleteCoreLines()
{
    delete coreCoreLine;
    coreCoreLine = nullptr;
    delete coreCoreCount;
    coreCoreCount = nullptr;
}

void TDermatoglyphView::deleteTriradiusLines()
{
    delete triradiusTriradiusLine;
    triradiusTriradiusLine = nullptr;
}

void TDermatoglyphView::cancelCores()
{
    deleteLandmarks(cores);
    deleteCoreLines();
    deleteCoreTriradiusLines();
    addPerpendicularLines();
    emit count(cores.size(), triradia.size());
}

void TDermatoglyphView::cancelTriradia()
{
    deleteLandmarks(triradia);
    deleteTriradiusLines();
    deleteCoreTriradiusLines();
    addPerpendicularLines();
    emit count(cores.size(), triradia.size());
}

void TDermatoglyphView::deleteAllLandmarks()
{
    deleteLandmarks(cores);
    deleteLandmarks(triradia);
    deleteCoreLines();
    deleteTriradiusLines();
    deleteCoreTriradiusLines();
    addPerpendicularLines();
}

void TDermatoglyphView::cancelLandmarks()
{
    deleteAllLandmarks();
    emit count(cores.size(), triradia.size());
}

// ---------------------------------------------------------------------------
// Ridge counting

void TDermatoglyphView::connectPoints()
{
    // Index 0 stays the leftmost landmark, also after a drag or a turn, as the
    // lists are written and as a reload orders them; a pairing that changes with
    // the order counts afresh.
    auto byX = [](const TGraphicsVertexItem* a, const TGraphicsVertexItem* b) {
        return a->pos().x() < b->pos().x();
    };
    std::stable_sort(cores.begin(), cores.end(), byX);
    std::stable_sort(triradia.begin(), triradia.end(), byX);

    const int nc = cores.size();
    const int nt = triradia.size();

    // Lines whose two landmarks are the same keep the ridge points counted on
    // them, moved along when a landmark was nudged; only the lines of a new
    // pairing start at 0.
    QList<TRCLine*> previous = coreTriradiusCounts;
    if (coreCoreCount)
        previous.append(coreCoreCount);
    coreTriradiusCounts.clear();
    coreCoreCount = nullptr;
    auto countLine = [&](const TGraphicsVertexItem* a, const TGraphicsVertexItem* b) {
        const QLineF l(a->pos(), b->pos());
        // The same two landmarks, moved or not: the points follow them.
        for (int i = 0; i < previous.size(); ++i)
            if (previous.at(i)->hasEnds(a, b)) {
                TRCLine* kept = previous.takeAt(i);
                if (kept->line() != l)
                    kept->follow(l);
                return kept;
            }
        auto* counted = new TRCLine;
        counted->setCountedLine(l);
        counted->setEnds(a, b);
        // A line that appears while the ridge tool is on takes clicks at once.
        counted->setEditable(addingRidgePoints);
        scene->addItem(counted);
        return counted;
    };

    deleteCoreLines();
    deleteTriradiusLines();
    qDeleteAll(coreTriradiusLines);
    coreTriradiusLines.clear();

    if (fingerlines::hasCoreCoreLine(nc)) {
        const QLineF l(cores.at(0)->pos(), cores.at(1)->pos());
        coreCoreLine = new QGraphicsLineItem(l);
        coreCoreLine->setPen(markpens::cosmetic(Qt::yellow, Qt::DashLine));
        coreCoreLine->setCursor(Qt::CrossCursor);
        scene->addItem(coreCoreLine);
        coreCoreCount = countLine(cores.at(0), cores.at(1));
    }
    if (nt == 2) {
        triradiusTriradiusLine = new QGraphicsLineItem(QLineF(triradia.at(0)->pos(),
                                                              triradia.at(1)->pos()));
        triradiusTriradiusLine->setPen(markpens::cosmetic(markpens::perpendicular(), Qt::DashLine));
        scene->addItem(triradiusTriradiusLine);
    }

    for (const QPair<int, int>& pair : fingerlines::coreTriradiusPairs(nc, nt)) {
        const QLineF l(cores.at(pair.first)->pos(), triradia.at(pair.second)->pos());
        auto* visible = new QGraphicsLineItem(l);
        visible->setPen(markpens::cosmetic(Qt::red, Qt::DashLine));
        visible->setCursor(Qt::CrossCursor);
        scene->addItem(visible);
        coreTriradiusLines.append(visible);
        coreTriradiusCounts.append(countLine(cores.at(pair.first), triradia.at(pair.second)));
    }
    qDeleteAll(previous);
}

// ---------------------------------------------------------------------------
// Flexion crease

void TDermatoglyphView::addVertex(const QPointF& vertex)
{
    crease.addVertex(vertex, imageItem->boundingRect());
    addPerpendicularLines();
}

void TDermatoglyphView::addPerpendicularLines()
{
    crease.dropPerpendiculars(cores, triradia);
}

void TDermatoglyphView::cancelFlexionLine()
{
    crease.clear();
    addPerpendicularLines();
}

void TDermatoglyphView::mapAnnotation(const QTransform& oldToNew)
{
    for (TGraphicsVertexItem* landmark : cores + triradia)
        landmark->mapBy(oldToNew);
    // The counted lines move with their landmarks, so the rebuild keeps them and
    // their ridge points.
    for (TRCLine* line : countedLines())
        line->mapBy(oldToNew);
    connectPoints();
    crease.mapBy(oldToNew, imageItem->boundingRect());
    addPerpendicularLines();
}

// ---------------------------------------------------------------------------
// Mouse

bool TDermatoglyphView::pressFirst(QMouseEvent*, const QPointF& scenePos)
{
    if (!paintingFlex)
        return false;
    addVertex(scenePos);
    return true;
}

// ---------------------------------------------------------------------------
// Lifecycle

void TDermatoglyphView::reset()
{
    TGlyphView::reset();
    cancelFlexionLine();
    // Emptied without a count: the panel is cleared by the editor.
    deleteAllLandmarks();
    paintingFlex = false;
    addingPoints = false;
    addingCores = false;
    addingTriradia = false;
    addingRidgePoints = false;
}

// ---------------------------------------------------------------------------
// Record

void TDermatoglyphView::loadAnnotation(const TGlyphRecord& record)
{
    const int coresBefore = cores.size();
    const int triradiaBefore = triradia.size();
    // Landmarks first and the crease axis fitted once from all vertices, at a
    // cost that grows with neither their product nor their number times the
    // print's size.
    loadLandmarks(cores, record.cores,
                  [this](const QPointF& p) { return makeLandmark(p, Core); },
                  [&](int i) { return record.ridgeLines(i); });
    loadLandmarks(triradia, record.triradia,
                  [this](const QPointF& p) { return makeLandmark(p, Triradius); },
                  [&](int i) { return record.triradiusRidgeLines(i); });
    if (QPolygonF(record.flexion) != crease.outline())
        crease.setOutline(QPolygonF(record.flexion), imageItem->boundingRect());
    connectPoints();
    addPerpendicularLines();
    if (coreCoreCount && coreCoreCount->ridgePointPositions() != record.cc)
        coreCoreCount->setRidgePoints(record.cc);
    for (int i = 0; i < coreTriradiusCounts.size(); ++i)
        if (coreTriradiusCounts.at(i)->ridgePointPositions() != record.ct.value(i))
            coreTriradiusCounts.at(i)->setRidgePoints(record.ct.value(i));
    // Loaded landmarks can be dragged only where the tools allow it.
    setLandmarksMovable(cores, addingPoints || addingCores);
    setLandmarksMovable(triradia, addingPoints || addingTriradia);
    if (cores.size() != coresBefore || triradia.size() != triradiaBefore)
        emit count(cores.size(), triradia.size());
}

TGlyphRecord TDermatoglyphView::record() const
{
    TGlyphRecord r;
    recordImageState(r);
    r.flexion = crease.outline();
    recordLandmarks(cores, r.cores, r.coreRidgeLines);
    recordLandmarks(triradia, r.triradia, r.triradiusLines);
    if (coreCoreCount)
        r.cc = coreCoreCount->ridgePointPositions();
    for (const TRCLine* line : coreTriradiusCounts)
        r.ct.append(line->ridgePointPositions());
    return r;
}

void TDermatoglyphView::save(QTextStream& out, TFingerSettings* settings, bool saveImage)
{
    TGlyphRecord r = record();
    if (settings)
        r.settings = settings->record().settings;
    sectionwriter::write(out, r, sectionwriter::Finger, saveImage);
}

bool TDermatoglyphView::save(const QString& fileName, TFingerSettings* settings, bool saveImage)
{
    QString error;
    const bool written = sectionformat::writeXmlFile(
        fileName, [&](QTextStream& out) { save(out, settings, saveImage); }, &error);
    if (!written)
        QMessageBox::warning(this, "Ridgemap",
                             QString("The annotation could not be saved as %1:\n%2")
                                 .arg(fileName, error));
    return written;
}
