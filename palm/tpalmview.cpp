#include "palm/tpalmview.h"

#include "annotation/sectionformat.h"
#include "annotation/tglyphrecord.h"
#include "view/tgraphicsvertexitem.h"
#include "view/trcline.h"
#include "annotation/palmlines.h"
#include "palm/tpalmsettings.h"

#include <QGraphicsLineItem>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QTextStream>

TPalmView::TPalmView(QWidget* parent)
    : TGlyphView(parent),
      triradiusLabels(palmlines::slotLabels())
{
    triradia.fill(nullptr, triradiusLabels.size());
    triradiusLines.fill(nullptr, countLineCount);
    triradiusCounts.fill(nullptr, countLineCount);
    // Only their geometry is used, for the atd angle.
    atLine = scene->addLine(QLineF());
    dtLine = scene->addLine(QLineF());
    atLine->hide();
    dtLine->hide();
}

TPalmView::~TPalmView()
{
    // A landmark deletes its traced points, segments and labels itself; it must go
    // before the scene does, or the scene would delete those a second time.
    qDeleteAll(triradia);
    qDeleteAll(cores);
}

QStringList TPalmView::countLineNames()
{
    return {"ba", "cb", "dc", "td"};
}

bool TPalmView::isLandmark(TGraphicsVertexItem* item) const
{
    return item && (triradia.contains(item) || cores.contains(item));
}

void TPalmView::addTriradia(bool enabled)
{
    addingTriradia = enabled;
    for (TGraphicsVertexItem* item : qAsConst(triradia))
        if (item)
            item->setFlag(QGraphicsItem::ItemIsMovable, enabled);
}

void TPalmView::addCores(bool add)
{
    addingCores = add;
    for (TGraphicsVertexItem* item : qAsConst(cores))
        item->setFlag(QGraphicsItem::ItemIsMovable, add);
}

void TPalmView::addRidgePoints(bool add)
{
    addingRidgePoints = add;
    for (TRCLine* line : qAsConst(triradiusCounts))
        if (line)
            line->setEditable(add);
}

void TPalmView::addRadiants(bool add)
{
    addingRadiants = add;
    currentVertex = nullptr;
}

void TPalmView::addCentralLines(bool add)
{
    addingCentralLines = add;
    currentVertex = nullptr;
}

void TPalmView::removeTriradius(int i)
{
    TGraphicsVertexItem* item = triradia.value(i);
    if (item) {
        if (item == currentVertex)
            currentVertex = nullptr;
        item->clearRidgeLines();
        delete item;
        triradia[i] = nullptr;
    }
    emit triradiumChanged(i, false);
    connectPoints();
}

void TPalmView::cancelTriradia()
{
    for (int i = 0; i < triradia.size(); ++i)
        removeTriradius(i);
}

void TPalmView::cancelTriradium(int i)
{
    if (i < 0 || i >= triradia.size())
        return;
    removeTriradius(i);
}

void TPalmView::cancelCores()
{
    if (cores.contains(currentVertex))
        currentVertex = nullptr;
    qDeleteAll(cores);
    cores.clear();
}

void TPalmView::suggestRidgePoints()
{
    for (TRCLine* line : qAsConst(triradiusCounts))
        if (line)
            suggestOn(line);
}

void TPalmView::cancelRidgePoints()
{
    for (TRCLine* line : qAsConst(triradiusCounts))
        if (line)
            line->clearRidgePoints();
}

void TPalmView::cancelRadiants()
{
    for (TGraphicsVertexItem* item : qAsConst(triradia))
        if (item)
            item->clearRidgeLines();
}

void TPalmView::cancelCentralLines()
{
    for (TGraphicsVertexItem* item : qAsConst(cores))
        item->clearRidgeLines();
}

TGraphicsVertexItem* TPalmView::addTriradius(int i, const QPointF& p)
{
    if (i < 0 || i >= triradia.size())
        return nullptr;
    if (triradia.at(i))
        return triradia.at(i);
    auto* item = new TGraphicsVertexItem;
    triradia[i] = item;
    // Positioned before it enters the scene, so a point read from a file keeps
    // its coordinates even while no image gives the scene its extent.
    item->setPos(p);
    scene->addItem(item);
    QPen pen;
    pen.setColor(Qt::red);
    item->setMarkerPen(pen);
    item->setMarkerBrush(QBrush(Qt::red, Qt::SolidPattern));
    item->setTriradius();
    emit triradiumChanged(i, true);
    auto* text = new QGraphicsTextItem(item);
    text->setHtml("<font color=\"red\">" + triradiusLabels.at(i) + "</font>");
    text->setFlag(QGraphicsItem::ItemIgnoresTransformations);
    text->setZValue(50);
    text->setPos(-5, 10);
    connect(item, &TGraphicsVertexItem::moved, this, &TPalmView::connectPoints);
    item->setFlag(QGraphicsItem::ItemIsMovable);
    item->setFlag(QGraphicsItem::ItemSendsGeometryChanges);
    item->setLinesRed();
    return item;
}

TGraphicsVertexItem* TPalmView::addCorePoint(const QPointF& p)
{
    auto* item = new TGraphicsVertexItem;
    item->setZValue(2000);
    item->setPos(p);
    scene->addItem(item);
    item->setMarkerBrush(QBrush(Qt::yellow, Qt::SolidPattern));
    item->setMarkerPen(QPen(Qt::yellow));
    cores.append(item);
    connect(item, &TGraphicsVertexItem::moved, this, &TPalmView::connectPoints);
    item->setFlag(QGraphicsItem::ItemIsMovable);
    item->setFlag(QGraphicsItem::ItemSendsGeometryChanges);
    item->setCore();
    return item;
}

void TPalmView::addRidgePoint(const QPointF& p)
{
    TRCLine* line = TRCLine::lineAt(scene, p, transform());
    if (line && triradiusCounts.contains(line))
        line->addRidgePoint(p.x(), p.y());
}

void TPalmView::addRidgePoint(const QPointF& p, int i)
{
    if (TRCLine* line = triradiusCounts.value(i))
        line->addRidgePoint(p.x(), p.y());
}

void TPalmView::connectPoints()
{
    // A line whose two triradii are the same and where they were keeps the ridge
    // points counted on it; the others are rebuilt with none.
    const QVector<TRCLine*> previous = triradiusCounts;
    qDeleteAll(triradiusLines);
    triradiusCounts.fill(nullptr, countLineCount);
    triradiusLines.fill(nullptr, countLineCount);

    QVector<bool> placed(triradia.size());
    QVector<QPointF> positions(triradia.size());
    for (int i = 0; i < triradia.size(); ++i) {
        placed[i] = triradia.at(i) != nullptr;
        positions[i] = placed[i] ? triradia.at(i)->pos() : QPointF();
    }
    const QVector<QPair<int, int>> pairs = palmlines::countLinePairs(placed);
    for (int i = 0; i < countLineCount; ++i) {
        if (pairs.at(i).first < 0)
            continue;
        const QLineF segment(positions.at(pairs.at(i).first), positions.at(pairs.at(i).second));
        auto* dashed = new QGraphicsLineItem;
        scene->addItem(dashed);
        dashed->setLine(segment);
        QPen pen;
        pen.setStyle(Qt::DashLine);
        pen.setColor(Qt::red);
        pen.setCosmetic(true);
        dashed->setPen(pen);
        dashed->setCursor(Qt::CrossCursor);
        triradiusLines[i] = dashed;
        const TGraphicsVertexItem* start = triradia.at(pairs.at(i).first);
        const TGraphicsVertexItem* end = triradia.at(pairs.at(i).second);
        TRCLine* kept = previous.at(i) && previous.at(i)->joins(start, end, segment)
                            ? previous.at(i) : nullptr;
        if (kept) {
            triradiusCounts[i] = kept;
            continue;
        }
        auto* counted = new TRCLine;
        counted->setCountedLine(segment);
        counted->setEnds(start, end);
        // A line that appears while the ridge tool is on takes clicks at once.
        counted->setEditable(addingRidgePoints);
        triradiusCounts[i] = counted;
        scene->addItem(counted);
    }
    for (TRCLine* line : previous)
        if (!triradiusCounts.contains(line))
            delete line;

    double x = 0;
    if (palmlines::atdAngle(placed, positions, &x)) {
        const QPointF t = positions.at(pairs.at(3).second);
        atLine->setLine(QLineF(positions.at(palmlines::A), t));
        dtLine->setLine(QLineF(positions.at(pairs.at(3).first), t));
        emit angle(true, x);
    } else {
        emit angle(false, 0.0);
    }
}

void TPalmView::mapAnnotation(const QTransform& oldToNew)
{
    for (TGraphicsVertexItem* item : qAsConst(triradia))
        if (item)
            item->mapBy(oldToNew);
    for (TGraphicsVertexItem* item : qAsConst(cores))
        item->mapBy(oldToNew);
    // The counted lines move with their triradii, so the rebuild keeps them and
    // their ridge points.
    for (TRCLine* line : qAsConst(triradiusCounts))
        if (line)
            line->mapBy(oldToNew);
    connectPoints();
}

void TPalmView::reset()
{
    cancelRadiants();
    cancelCentralLines();
    TGlyphView::reset();
    cancelTriradia();
    cancelCores();
    connectPoints();
    resumeLandmark = -1;
}

void TPalmView::mousePressEvent(QMouseEvent* event)
{
    const QPointF scenePos = mapToScene(event->pos());
    auto* vertex = dynamic_cast<TGraphicsVertexItem*>(itemAt(event->pos()));
    if (event->button() == Qt::RightButton)
        rightPress(vertex, event->pos());
    else if (event->button() == Qt::LeftButton)
        leftPress(event, vertex, scenePos);
}

void TPalmView::rightPress(TGraphicsVertexItem* vertex, const QPoint& pos)
{
    const QPoint global = mapToGlobal(pos);
    if (addingTriradia) {
        if (!vertex || !triradia.contains(vertex))
            return;
        QMenu menu;
        QAction* remove = menu.addAction("Delete triradial point");
        if (menu.exec(global) == remove) {
            const int index = triradia.indexOf(vertex);
            if (index >= 0) {
                cancelTriradium(index);
                connectPoints();
            }
        }
    } else if (addingRidgePoints) {
        if (!vertex) {
            // On a counted line, not on a point: the print's own suggestion.
            TRCLine* line = TRCLine::lineAt(scene, mapToScene(pos), transform());
            if (line && triradiusCounts.contains(line))
                offerSuggestion(line, global);
            return;
        }
        for (TRCLine* line : qAsConst(triradiusCounts)) {
            if (!line || !line->hasRidgePoint(vertex))
                continue;
            QMenu menu;
            QAction* remove = menu.addAction("Delete ridge point");
            if (menu.exec(global) == remove)
                line->removeRidgePoint(vertex);
            return;   // a ridge point sits on one line only
        }
    } else if (addingRadiants || addingCentralLines) {
        const bool radiants = addingRadiants;
        if (!vertex || !(radiants ? triradia.contains(vertex) : cores.contains(vertex)))
            return;
        QMenu menu;
        QAction* add = menu.addAction(radiants ? "Add radiant" : "Add central line");
        menu.addSeparator();
        QAction* remove = menu.addAction(radiants ? "Delete radiants" : "Delete central lines");
        add->setEnabled(vertex->ridgeLineCount() < (radiants ? 3 : 1));
        QAction* chosen = menu.exec(global);
        if (chosen == add) {
            vertex->addRidgeLine();
            currentVertex = vertex;
        } else if (chosen == remove) {
            vertex->clearRidgeLines();
            currentVertex = nullptr;
        }
    }
}

void TPalmView::leftPress(QMouseEvent* event, TGraphicsVertexItem* vertex,
                          const QPointF& scenePos)
{
    if (calibrationPress(scenePos))
        return;
    if (addingCentralLines || addingRadiants) {
        if (currentVertex)
            currentVertex->addRidgePoint(scenePos);
        return;
    }
    if (selecting) {
        addSelectionPoint(scenePos);
        return;
    }
    const QPoint global = mapToGlobal(event->pos());
    if (addingCores) {
        if (isLandmark(vertex)) {
            startLandmarkDrag(event);
            return;
        }
        QMenu menu;
        QAction* add = menu.addAction("Add core point");
        if (menu.exec(global) == add)
            addCorePoint(scenePos);
        return;
    }
    if (addingTriradia) {
        if (isLandmark(vertex)) {
            startLandmarkDrag(event);
        } else {
            QMenu menu;
            QList<QAction*> entries;
            for (int i = 0; i < triradiusLabels.size(); ++i) {
                QAction* entry = menu.addAction("Add triradius " + triradiusLabels.at(i));
                if (triradia.at(i)) {
                    entry->setCheckable(true);
                    entry->setChecked(true);
                    entry->setEnabled(false);
                }
                entries.append(entry);
            }
            const int index = entries.indexOf(menu.exec(global));
            if (index >= 0)
                addTriradius(index, scenePos);
        }
        connectPoints();
        return;
    }
    if (addingRidgePoints)
        addRidgePoint(scenePos);
}

void TPalmView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && (addingCentralLines || addingRadiants) && currentVertex)
        currentVertex->removeLastRidgePoint();
}

void TPalmView::save(QTextStream& out, bool saveImage, const QVector<bool>& present,
                     const QVector<bool>& determined, TPalmSettings* settings)
{
    using namespace sectionformat;
    writeImageState(out, saveImage);
    writeLine(out, 2, "<triradium>");
    for (int i = 0; i < triradia.size(); ++i) {
        const TGraphicsVertexItem* item = triradia.at(i);
        const QString flags = QString(" p=\"%1\" d=\"%2\"")
                                  .arg(present.value(i) ? 1 : 0)
                                  .arg(determined.value(i) ? 1 : 0);
        writeLandmark(out, item ? item->pos() : QPointF(0, 0),
                      item ? item->ridgeLines() : QList<QList<QPointF>>(), flags, "/>");
    }
    writeLine(out, 2, "</triradium>");
    const QStringList names = countLineNames();
    for (int i = 0; i < triradiusCounts.size(); ++i)
        if (const TRCLine* line = triradiusCounts.at(i))
            writePointBlock(out, "<line type=\"" + names.at(i) + "\">", "</line>",
                            line->ridgePointPositions());
    writeLine(out, 2, "<core>");
    for (const TGraphicsVertexItem* item : qAsConst(cores))
        writeLandmark(out, item->pos(), item->ridgeLines());
    writeLine(out, 2, "</core>");
    if (settings)
        settings->saveSettings(out);
    writeLine(out, 0, "</dermatoglyph>");
}

bool TPalmView::save(const QString& fileName, bool saveImage, const QVector<bool>& present,
                     const QVector<bool>& determined, TPalmSettings* settings, QString* error)
{
    return sectionformat::writeXmlFile(
        fileName,
        [&](QTextStream& out) { save(out, saveImage, present, determined, settings); },
        error);
}

void TPalmView::loadAnnotation(const TGlyphRecord& record)
{
    currentVertex = nullptr;

    for (int k = 0; k < record.cores.size(); ++k)
        addCorePoint(record.cores.at(k))->setRidgeLines(record.ridgeLines(k));

    // Slots past the points in the section are empty; points past the last slot
    // have no slot to go to.
    const int restored = qMin(int(triradia.size()), record.triradia.size());
    for (int i = 0; i < restored; ++i) {
        if (!record.determined.value(i))
            continue;
        TGraphicsVertexItem* item = addTriradius(i, record.triradia.at(i));
        item->setLabel(triradiusLabels.at(i));
        item->setZValue(2000);
        item->setRidgeLines(record.triradiusRidgeLines(i));
    }

    connectPoints();
    // A line whose triradii are not in the section has no points to take.
    for (int i = 0; i < countLineCount; ++i)
        if (TRCLine* line = triradiusCounts.at(i))
            line->setRidgePoints(record.palmCount(i));
    // The tools stay as their buttons show them: the loaded landmarks are as
    // movable as the tools say.
    addTriradia(addingTriradia);
    addCores(addingCores);
    if (resumeLandmark >= 0 && (addingRadiants || addingCentralLines)) {
        currentVertex = resumeLandmark < slotCount ? triradia.value(resumeLandmark)
                                                   : cores.value(resumeLandmark - slotCount);
        // The traced line lost its last points: a fresh line goes on from the landmark.
        if (currentVertex && currentVertex->ridgeLinePoints().size() < resumeLines)
            currentVertex->addRidgeLine();
    }
    resumeLandmark = -1;
}

bool TPalmView::updateAnnotation(const TGlyphRecord& now, const TGlyphRecord& target)
{
    // In place only while every triradius and core stays where it is.
    if (now.cores != target.cores || now.determined != target.determined
        || now.cores.size() != cores.size())
        return false;
    for (int i = 0; i < triradia.size(); ++i) {
        if (bool(triradia.at(i)) != target.determined.value(i))
            return false;
        if (triradia.at(i) && now.triradia.value(i) != target.triradia.value(i))
            return false;
    }
    for (int i = 0; i < triradia.size(); ++i)
        if (triradia.at(i) && now.triradiusRidgeLines(i) != target.triradiusRidgeLines(i))
            triradia.at(i)->setRidgeLines(target.triradiusRidgeLines(i), triradia.at(i) == currentVertex);
    for (int k = 0; k < cores.size(); ++k)
        if (now.ridgeLines(k) != target.ridgeLines(k))
            cores.at(k)->setRidgeLines(target.ridgeLines(k), cores.at(k) == currentVertex);
    for (int i = 0; i < countLineCount; ++i)
        if (triradiusCounts.at(i) && now.palmCount(i) != target.palmCount(i))
            triradiusCounts.at(i)->setRidgePoints(target.palmCount(i));
    return true;
}

void TPalmView::clearAnnotation()
{
    resumeLandmark = currentVertex ? triradia.indexOf(currentVertex) : -1;
    if (resumeLandmark < 0 && currentVertex && cores.contains(currentVertex))
        resumeLandmark = slotCount + cores.indexOf(currentVertex);
    resumeLines = currentVertex ? currentVertex->ridgeLinePoints().size() : 0;
    cancelTriradia();
    cancelCores();
}
