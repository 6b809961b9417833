#include "finger/tdermatoglyphview.h"

#include "annotation/geometry.h"
#include "annotation/sectionformat.h"
#include "annotation/tglyphrecord.h"
#include "view/tgraphicsvertexitem.h"
#include "view/trcline.h"
#include "analysis/creaseaxis.h"
#include "annotation/fingerlines.h"
#include "finger/tfingersettings.h"

#include <QGraphicsLineItem>
#include <QGraphicsPolygonItem>
#include <QGraphicsScene>
#include <QKeyEvent>
#include <QMenu>
#include <QMessageBox>
#include <QMouseEvent>
#include <QTextStream>

#include <algorithm>

static QPen cosmeticPen(const QColor& color, Qt::PenStyle style)
{
    QPen pen;
    pen.setColor(color);
    pen.setStyle(style);
    pen.setCosmetic(true);
    return pen;
}

static const QColor axisColor(0, 0, 155);
static const QColor perpendicularColor(0, 155, 0);

TDermatoglyphView::TDermatoglyphView(QWidget* parent)
    : TGlyphView(parent),
      flexionScene(new QGraphicsScene(TGlyphView::scene->sceneRect(), this))
{
    flexionScene->setBackgroundBrush(QBrush(QColor(0, 0, 0, 0), Qt::SolidPattern));
    // Width 0 draws the same one-pixel outline, and an outline's bounding box is
    // then its vertices' own: with a wider pen every vertex added would stroke the
    // whole outline again just to find it.
    QPen areaPen = cosmeticPen(QColor(50, 100, 255), Qt::SolidLine);
    areaPen.setWidth(0);
    flexionArea = scene->addPolygon(QPolygonF(), areaPen,
                                    QBrush(QColor(100, 150, 255, 100), Qt::SolidPattern));
    flexionMask = flexionScene->addPolygon(QPolygonF(), QPen(Qt::white, 0));
    flexionLine = new QGraphicsLineItem;
    flexionLine->setPen(cosmeticPen(axisColor, Qt::DashLine));
    scene->addItem(flexionLine);
    flexionStart = new TGraphicsVertexItem;
    flexionEnd = new TGraphicsVertexItem;
    for (TGraphicsVertexItem* end : {flexionStart, flexionEnd}) {
        end->setMarkerBrush(QBrush());
        end->setMarkerPen(cosmeticPen(axisColor, Qt::SolidLine));
        scene->addItem(end);
        end->hide();
    }
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

void TDermatoglyphView::paintFlex(bool paint)
{
    paintingFlex = paint;
}

void TDermatoglyphView::setLandmarksMovable(const QList<TGraphicsVertexItem*>& landmarks,
                                            bool movable)
{
    for (TGraphicsVertexItem* landmark : landmarks) {
        landmark->setFlag(QGraphicsItem::ItemIsMovable, movable);
        landmark->setFlag(QGraphicsItem::ItemSendsGeometryChanges, true);
    }
}

void TDermatoglyphView::addPoints(bool add)
{
    addingPoints = add;
    setLandmarksMovable(cores, add);
    setLandmarksMovable(triradia, add);
}

void TDermatoglyphView::addCores(bool add)
{
    addingCores = add;
    setLandmarksMovable(cores, add);
}

void TDermatoglyphView::addTriradia(bool add)
{
    addingTriradia = add;
    setLandmarksMovable(triradia, add);
}

void TDermatoglyphView::addRidgePoints(bool add)
{
    addingRidgePoints = add;
    if (coreCoreCount)
        coreCoreCount->setEditable(add);
    for (TRCLine* line : qAsConst(coreTriradiusCounts))
        line->setEditable(add);
}

void TDermatoglyphView::addRadiants(bool add)
{
    addingRadiants = add;
    currentVertex = nullptr;
}

void TDermatoglyphView::addCentralLines(bool add)
{
    addingCentralLines = add;
    currentVertex = nullptr;
}

// ---------------------------------------------------------------------------
// Landmarks

void TDermatoglyphView::addPoint(const QPointF& point, const QPoint& globalPos)
{
    QMenu menu;
    QAction* core = menu.addAction("Add core point");
    QAction* triradius = menu.addAction("Add triradial point");
    QAction* chosen = menu.exec(viewport()->mapToGlobal(globalPos));
    if (chosen == core)
        addLandmark(point, Core);
    else if (chosen == triradius)
        addLandmark(point, Triradius);
}

void TDermatoglyphView::addCore(const QPointF& point, const QPoint& globalPos)
{
    QMenu menu;
    QAction* core = menu.addAction("Add core point");
    core->setEnabled(cores.size() < 2);
    if (menu.exec(viewport()->mapToGlobal(globalPos)) == core)
        addLandmark(point, Core);
}

void TDermatoglyphView::addTriradium(const QPointF& point, const QPoint& globalPos)
{
    QMenu menu;
    QAction* triradius = menu.addAction("Add triradial point");
    triradius->setEnabled(triradia.size() < 2);
    if (menu.exec(viewport()->mapToGlobal(globalPos)) == triradius)
        addLandmark(point, Triradius);
}

TGraphicsVertexItem* TDermatoglyphView::addLandmark(const QPointF& point, TLandmark landmark)
{
    auto* item = new TGraphicsVertexItem;
    scene->addItem(item);
    item->setPos(point);
    item->setZValue(2000);
    QList<TGraphicsVertexItem*>* target;
    if (landmark == Core) {
        item->setMarkerBrush(QBrush(Qt::yellow, Qt::SolidPattern));
        item->setMarkerPen(QPen(Qt::yellow));
        item->setCore();
        target = &cores;
    } else {
        item->setMarkerBrush(QBrush(Qt::red, Qt::SolidPattern));
        item->setMarkerPen(QPen(Qt::red));
        item->setTriradius();
        item->setLinesRed();
        target = &triradia;
    }
    connect(item, &TGraphicsVertexItem::moved, this, &TDermatoglyphView::connectPoints);
    connect(item, &TGraphicsVertexItem::moved, this, &TDermatoglyphView::addPerpendicularLines);

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
    if (landmarks.contains(currentVertex))
        currentVertex = nullptr;
    qDeleteAll(landmarks);
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

void TDermatoglyphView::cancelLandmarks()
{
    deleteLandmarks(cores);
    deleteLandmarks(triradia);
    deleteCoreLines();
    deleteTriradiusLines();
    deleteCoreTriradiusLines();
    addPerpendicularLines();
    emit count(cores.size(), triradia.size());
}

// ---------------------------------------------------------------------------
// Ridge counting and traced lines

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

    // Lines whose two landmarks are the same and where they were keep the ridge
    // points counted on them; only the lines of a moved or new landmark start at 0.
    QList<TRCLine*> previous = coreTriradiusCounts;
    if (coreCoreCount)
        previous.append(coreCoreCount);
    coreTriradiusCounts.clear();
    coreCoreCount = nullptr;
    auto countLine = [&](const TGraphicsVertexItem* a, const TGraphicsVertexItem* b) {
        const QLineF l(a->pos(), b->pos());
        for (int i = 0; i < previous.size(); ++i)
            if (previous.at(i)->joins(a, b, l))
                return previous.takeAt(i);
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
        coreCoreLine->setPen(cosmeticPen(Qt::yellow, Qt::DashLine));
        coreCoreLine->setCursor(Qt::CrossCursor);
        scene->addItem(coreCoreLine);
        coreCoreCount = countLine(cores.at(0), cores.at(1));
    }
    if (nt == 2) {
        triradiusTriradiusLine = new QGraphicsLineItem(QLineF(triradia.at(0)->pos(),
                                                              triradia.at(1)->pos()));
        triradiusTriradiusLine->setPen(cosmeticPen(perpendicularColor, Qt::DashLine));
        scene->addItem(triradiusTriradiusLine);
    }

    for (const QPair<int, int>& pair : fingerlines::coreTriradiusPairs(nc, nt)) {
        const QLineF l(cores.at(pair.first)->pos(), triradia.at(pair.second)->pos());
        auto* visible = new QGraphicsLineItem(l);
        visible->setPen(cosmeticPen(Qt::red, Qt::DashLine));
        visible->setCursor(Qt::CrossCursor);
        scene->addItem(visible);
        coreTriradiusLines.append(visible);
        coreTriradiusCounts.append(countLine(cores.at(pair.first), triradia.at(pair.second)));
    }
    qDeleteAll(previous);
}

void TDermatoglyphView::suggestRidgePoints()
{
    if (coreCoreCount)
        suggestOn(coreCoreCount);
    for (TRCLine* line : qAsConst(coreTriradiusCounts))
        suggestOn(line);
}

void TDermatoglyphView::cancelRidgePoints()
{
    if (coreCoreCount)
        coreCoreCount->clearRidgePoints();
    for (TRCLine* line : qAsConst(coreTriradiusCounts))
        line->clearRidgePoints();
}

void TDermatoglyphView::cancelRadiants()
{
    for (TGraphicsVertexItem* t : qAsConst(triradia))
        t->clearRidgeLines();
}

void TDermatoglyphView::cancelCentralLines()
{
    for (TGraphicsVertexItem* c : qAsConst(cores))
        c->clearRidgeLines();
}

// ---------------------------------------------------------------------------
// Flexion crease

QLineF TDermatoglyphView::flexionAxis() const
{
    return flexionLine->line();
}

bool TDermatoglyphView::hasFlexionAxis() const
{
    return flexionStart->isVisible();
}

void TDermatoglyphView::clearFlexionAxis()
{
    flexionStart->hide();
    flexionEnd->hide();
    flexionStart->setPos(0, 0);
    flexionEnd->setPos(0, 0);
    flexionLine->setLine(QLineF());
}

void TDermatoglyphView::addVertex(const QPointF& vertex)
{
    appendVertex(vertex);
    refitFlexion();
}

void TDermatoglyphView::appendVertex(const QPointF& vertex)
{
    flexionPolygon.append(vertex);
    auto* marker = new TGraphicsVertexItem;
    scene->addItem(marker);
    marker->setPos(vertex);
    flexionVertices.append(marker);
}

void TDermatoglyphView::refitFlexion()
{
    flexionArea->setPolygon(flexionPolygon);
    flexionMask->setPolygon(flexionPolygon);
    if (flexionPolygon.size() < 2)
        return;
    QLineF axis;
    if (!creaseaxis::fit(flexionPolygon, imageItem->boundingRect(), &axis)) {
        clearFlexionAxis();
        addPerpendicularLines();
        return;
    }
    flexionStart->show();
    flexionEnd->show();
    flexionLine->setLine(axis);
    flexionStart->setPos(axis.p1());
    flexionEnd->setPos(axis.p2());
    addPerpendicularLines();
}

void TDermatoglyphView::mapAnnotation(const QTransform& oldToNew)
{
    for (TGraphicsVertexItem* landmark : cores + triradia)
        landmark->mapBy(oldToNew);
    // The counted lines move with their landmarks, so the rebuild keeps them and
    // their ridge points.
    if (coreCoreCount)
        coreCoreCount->mapBy(oldToNew);
    for (TRCLine* line : qAsConst(coreTriradiusCounts))
        line->mapBy(oldToNew);
    connectPoints();
    flexionPolygon = oldToNew.map(flexionPolygon);
    for (int i = 0; i < flexionVertices.size(); ++i)
        flexionVertices.at(i)->setPos(flexionPolygon.value(i));
    refitFlexion();
}

void TDermatoglyphView::addPerpendicularLines()
{
    qDeleteAll(corePerpendiculars);
    corePerpendiculars.clear();
    qDeleteAll(triradiusPerpendiculars);
    triradiusPerpendiculars.clear();
    if (!flexionStart->isVisible())
        return;
    const QLineF axis = flexionLine->line();
    auto drop = [&](const QList<TGraphicsVertexItem*>& landmarks,
                    QList<QGraphicsLineItem*>& perpendiculars) {
        for (const TGraphicsVertexItem* landmark : landmarks) {
            const QPointF p = landmark->pos();
            const QPointF foot = lineIntersectionFoot(axis, p);
            QGraphicsLineItem* line = scene->addLine(QLineF(p, foot));
            line->setPen(cosmeticPen(perpendicularColor, Qt::DashLine));
            auto* footMarker = new TGraphicsVertexItem(line);
            footMarker->setMarkerBrush(QBrush(Qt::NoBrush));
            footMarker->setMarkerPen(QPen(perpendicularColor));
            footMarker->setPos(foot);
            perpendiculars.append(line);
        }
    };
    drop(cores, corePerpendiculars);
    drop(triradia, triradiusPerpendiculars);
}

void TDermatoglyphView::cancelFlexionLine()
{
    flexionPolygon.clear();
    flexionArea->setPolygon(flexionPolygon);
    flexionMask->setPolygon(flexionPolygon);
    clearFlexionAxis();
    qDeleteAll(flexionVertices);
    flexionVertices.clear();
    addPerpendicularLines();
}

// ---------------------------------------------------------------------------
// Mouse and keys

TRCLine* TDermatoglyphView::countLineAt(const QPointF& scenePos) const
{
    TRCLine* item = TRCLine::lineAt(scene, scenePos, transform());
    if (!item)
        return nullptr;
    if (item == coreCoreCount)
        return coreCoreCount;
    for (TRCLine* line : coreTriradiusCounts)
        if (item == line)
            return line;
    return nullptr;
}

void TDermatoglyphView::landmarkPress(QMouseEvent* event, const QPointF& scenePos,
                                      void (TDermatoglyphView::*menu)(const QPointF&, const QPoint&))
{
    auto* item = dynamic_cast<TGraphicsVertexItem*>(itemAt(event->pos()));
    if (item && (triradia.contains(item) || cores.contains(item))) {
        startLandmarkDrag(event);
        return;
    }
    const int landmarks = cores.size() + triradia.size();
    (this->*menu)(scenePos, event->pos());
    // A dismissed menu or a refused entry adds nothing, so nothing is rebuilt.
    if (cores.size() + triradia.size() != landmarks)
        connectPoints();
}

void TDermatoglyphView::mousePressEvent(QMouseEvent* event)
{
    const QPointF scenePos = mapToScene(event->pos());
    if (event->button() == Qt::RightButton) {
        rightPress(event, scenePos);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;

    if (calibrationPress(scenePos))
        return;
    if (paintingFlex) {
        addVertex(scenePos);
    } else if (addingPoints) {
        landmarkPress(event, scenePos, &TDermatoglyphView::addPoint);
    } else if (addingCores) {
        landmarkPress(event, scenePos, &TDermatoglyphView::addCore);
    } else if (addingTriradia) {
        landmarkPress(event, scenePos, &TDermatoglyphView::addTriradium);
    } else if (selecting) {
        addSelectionPoint(scenePos);
    } else if (addingRidgePoints) {
        if (TRCLine* line = countLineAt(scenePos))
            line->addRidgePoint(scenePos.x(), scenePos.y());
    } else if (addingCentralLines || addingRadiants) {
        if (currentVertex)
            currentVertex->addRidgePoint(scenePos);
    }
}

void TDermatoglyphView::rightPress(QMouseEvent* event, const QPointF& scenePos)
{
    const QPoint menuPos = viewport()->mapToGlobal(event->pos());
    auto* item = dynamic_cast<TGraphicsVertexItem*>(itemAt(event->pos()));
    if (!item) {
        // On a counted line, not on a point: the print's own suggestion.
        if (addingRidgePoints && !addingRadiants && !addingCentralLines)
            if (TRCLine* line = countLineAt(scenePos))
                offerSuggestion(line, menuPos);
        return;
    }

    if (addingRadiants || addingCentralLines) {
        const bool radiants = addingRadiants;
        if (!(radiants ? triradia : cores).contains(item))
            return;
        QMenu menu;
        QAction* add = menu.addAction(radiants ? "Add radiant" : "Add central line");
        add->setEnabled(radiants ? item->ridgeLineCount() <= 2 : item->ridgeLineCount() <= 0);
        menu.addSeparator();
        QAction* remove = menu.addAction(radiants ? "Delete radiants" : "Delete central lines");
        QAction* chosen = menu.exec(menuPos);
        if (chosen == add) {
            item->addRidgeLine();
            currentVertex = item;
        } else if (chosen == remove) {
            item->clearRidgeLines();
            currentVertex = nullptr;
        }
        return;
    }

    if (addingRidgePoints) {
        QList<TRCLine*> lines;
        if (coreCoreCount)
            lines.append(coreCoreCount);
        lines.append(coreTriradiusCounts);
        for (TRCLine* line : qAsConst(lines)) {
            if (!line->hasRidgePoint(item))
                continue;
            QMenu menu;
            QAction* remove = menu.addAction("Delete ridge point");
            if (menu.exec(menuPos) == remove) {
                line->removeRidgePoint(item);
                return;   // the point is gone; no other line can hold it
            }
        }
    }
}

void TDermatoglyphView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && (addingCentralLines || addingRadiants) && currentVertex)
        currentVertex->removeLastRidgePoint();
}

// ---------------------------------------------------------------------------
// Lifecycle

void TDermatoglyphView::reset()
{
    TGlyphView::reset();
    flexionPolygon.clear();
    flexionArea->setPolygon(flexionPolygon);
    flexionMask->setPolygon(flexionPolygon);
    flexionLine->setLine(QLineF());
    cancelCentralLines();
    cancelRadiants();
    qDeleteAll(flexionVertices);
    flexionVertices.clear();
    currentVertex = nullptr;
    qDeleteAll(cores);
    cores.clear();
    qDeleteAll(triradia);
    triradia.clear();
    qDeleteAll(corePerpendiculars);
    corePerpendiculars.clear();
    qDeleteAll(triradiusPerpendiculars);
    triradiusPerpendiculars.clear();
    deleteCoreLines();
    deleteTriradiusLines();
    deleteCoreTriradiusLines();
    clearFlexionAxis();
    paintingFlex = false;
    addingPoints = false;
    addingCores = false;
    addingTriradia = false;
    addingRidgePoints = false;
    resumeLandmark = -1;
}

void TDermatoglyphView::loadAnnotation(const TGlyphRecord& record)
{
    // The tools stay as their buttons show them.
    currentVertex = nullptr;
    // The landmarks first and the crease axis fitted once from all vertices: the
    // state that adding vertex by vertex and landmark by landmark leaves, at a cost
    // that grows with neither their product nor their number times the print's size.
    for (int i = 0; i < record.cores.size(); ++i)
        addLandmark(record.cores.at(i), Core)->setRidgeLines(record.ridgeLines(i));
    for (int i = 0; i < record.triradia.size(); ++i)
        addLandmark(record.triradia.at(i), Triradius)->setRidgeLines(record.triradiusRidgeLines(i));
    for (const QPointF& p : record.flexion)
        appendVertex(p);
    refitFlexion();

    connectPoints();
    if (coreCoreCount)
        coreCoreCount->setRidgePoints(record.cc);
    for (int i = 0; i < coreTriradiusCounts.size(); ++i)
        coreTriradiusCounts.at(i)->setRidgePoints(record.ct.value(i));
    if (resumeLandmark >= 0 && (addingRadiants || addingCentralLines)) {
        const QList<TGraphicsVertexItem*> landmarks = cores + triradia;
        currentVertex = landmarks.value(resumeLandmark);
        // The traced line lost its last points: a fresh line goes on from the landmark.
        if (currentVertex && currentVertex->ridgeLinePoints().size() < resumeLines)
            currentVertex->addRidgeLine();
    }
    resumeLandmark = -1;
    // Loaded landmarks can be dragged only where the tools allow it.
    setLandmarksMovable(cores, addingPoints || addingCores);
    setLandmarksMovable(triradia, addingPoints || addingTriradia);
}

bool TDermatoglyphView::updateAnnotation(const TGlyphRecord& now, const TGlyphRecord& target)
{
    if (now.cores != target.cores || now.triradia != target.triradia
        || now.flexion != target.flexion || now.cores.size() != cores.size()
        || now.triradia.size() != triradia.size())
        return false;
    for (int k = 0; k < cores.size(); ++k)
        if (now.ridgeLines(k) != target.ridgeLines(k))
            cores.at(k)->setRidgeLines(target.ridgeLines(k), cores.at(k) == currentVertex);
    for (int k = 0; k < triradia.size(); ++k)
        if (now.triradiusRidgeLines(k) != target.triradiusRidgeLines(k))
            triradia.at(k)->setRidgeLines(target.triradiusRidgeLines(k),
                                          triradia.at(k) == currentVertex);
    if (coreCoreCount && now.cc != target.cc)
        coreCoreCount->setRidgePoints(target.cc);
    for (int i = 0; i < coreTriradiusCounts.size(); ++i)
        if (now.ct.value(i) != target.ct.value(i))
            coreTriradiusCounts.at(i)->setRidgePoints(target.ct.value(i));
    return true;
}

void TDermatoglyphView::clearAnnotation()
{
    const QList<TGraphicsVertexItem*> landmarks = cores + triradia;
    resumeLandmark = landmarks.indexOf(currentVertex);
    resumeLines = currentVertex ? currentVertex->ridgeLinePoints().size() : 0;
    cancelLandmarks();
    cancelFlexionLine();
}

// ---------------------------------------------------------------------------
// File

void TDermatoglyphView::save(QTextStream& out, TFingerSettings* settings, bool saveImage)
{
    using namespace sectionformat;
    writeImageState(out, saveImage);
    writePointBlock(out, "<flexion>", "</flexion>", flexionPolygon.toList());
    writeLine(out, 2, "<core>");
    for (const TGraphicsVertexItem* core : qAsConst(cores))
        writeLandmark(out, core->pos(), core->ridgeLines());
    writeLine(out, 2, "</core>");
    writeLine(out, 2, "<triradium>");
    for (const TGraphicsVertexItem* triradius : qAsConst(triradia))
        writeLandmark(out, triradius->pos(), triradius->ridgeLines());
    writeLine(out, 2, "</triradium>");
    if (cores.size() == 2)
        writePointBlock(out, "<line type=\"cc\">", "</line>",
                        coreCoreCount ? coreCoreCount->ridgePointPositions() : QList<QPointF>());
    for (const TRCLine* line : qAsConst(coreTriradiusCounts))
        writePointBlock(out, "<line type=\"ct\">", "</line>", line->ridgePointPositions());
    if (settings)
        settings->saveSettings(out);
    writeLine(out, 0, "</dermatoglyph>");
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
