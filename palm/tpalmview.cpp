#include "palm/tpalmview.h"

#include "analysis/singularpoints.h"
#include "annotation/palmlines.h"
#include "annotation/sectionformat.h"
#include "annotation/sectionwriter.h"
#include "annotation/tglyphrecord.h"
#include "palm/tpalmsettings.h"
#include "palm/tslotmenu.h"
#include "view/markpens.h"
#include "view/tgraphicsvertexitem.h"
#include "view/tlandmarktool.h"
#include "view/trcline.h"

#include <QGraphicsLineItem>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <QMenu>
#include <QTextStream>

TPalmView::TPalmView(QWidget* parent)
    : TAnnotationView(parent),
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
    addPlacingTool(std::make_unique<TLandmarkTool>(
        this, [this] { return addingCores; },
        [this](const QPointF& p, const QPoint& at) {
            QMenu menu;
            QAction* add = menu.addAction("Add core point");
            if (menu.exec(at) == add)
                addCorePoint(p);
        }));
    addPlacingTool(std::make_unique<TLandmarkTool>(
        this, [this] { return addingTriradia; },
        [this](const QPointF& p, const QPoint& at) { offerTriradius(p, at); },
        [this](TGraphicsVertexItem* item, const QPoint& at) {
            const int slot = triradia.indexOf(item);
            if (slot < 0)
                return false;
            QMenu menu;
            QAction* remove = menu.addAction("Delete triradial point");
            if (menu.exec(at) == remove)
                cancelTriradium(slot);
            return true;
        }));
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

QList<TGraphicsVertexItem*> TPalmView::landmarks(TLandmark kind) const
{
    if (kind == Core)
        return cores;
    QList<TGraphicsVertexItem*> placed;
    for (TGraphicsVertexItem* item : triradia)
        if (item)
            placed.append(item);
    return placed;
}

QList<TRCLine*> TPalmView::countedLines() const
{
    QList<TRCLine*> lines;
    for (TRCLine* line : triradiusCounts)
        if (line)
            lines.append(line);
    return lines;
}

QString TPalmView::countedLineName(const TRCLine* line) const
{
    const int i = triradiusCounts.indexOf(const_cast<TRCLine*>(line));
    QVector<bool> placed;
    for (const TGraphicsVertexItem* item : triradia)
        placed.append(item != nullptr);
    const QVector<QPair<int, int>> pairs = palmlines::countLinePairs(placed);
    if (i < 0 || pairs.at(i).first < 0)
        return "a counted line";
    return triradiusLabels.at(pairs.at(i).first) + "\u2013" + triradiusLabels.at(pairs.at(i).second);
}

void TPalmView::removeTriradius(int i)
{
    if (TGraphicsVertexItem* item = triradia.value(i)) {
        deleteLandmark(item);
        triradia[i] = nullptr;
    }
    emit triradiumChanged(i, false);
}

void TPalmView::cancelTriradia()
{
    for (int i = 0; i < triradia.size(); ++i)
        removeTriradius(i);
    connectPoints();
}

void TPalmView::cancelTriradium(int i)
{
    if (i < 0 || i >= triradia.size())
        return;
    removeTriradius(i);
    connectPoints();
}

QString TPalmView::suggestLandmarks(bool rightHand)
{
    const QVector<Suggested> found = foundLandmarks();
    QVector<QPointF> triradii;
    QVector<Suggested> triradiusFinds;
    int cores = 0;
    for (const Suggested& f : found) {
        if (f.kind == Triradius) {
            triradii.append(f.position);
            triradiusFinds.append(f);
        } else if (!isPlaced(f)) {
            addCorePoint(f.position);
            ++cores;
        }
    }
    const QStringList names = singularpoints::palmNames(triradii, rightHand, isFlipped());
    QStringList placed;
    int others = 0;
    for (int i = 0; i < triradiusFinds.size(); ++i) {
        const int slot = triradiusLabels.indexOf(names.value(i));
        if (slot < 0) {
            ++others;
            continue;
        }
        if (triradia.at(slot) || isPlaced(triradiusFinds.at(i)))
            continue;
        addTriradius(slot, triradiusFinds.at(i).position);
        placed.append(names.value(i));
    }
    connectPoints();
    QString text = placed.isEmpty() && cores == 0
                       ? QString("No landmarks suggested beyond those placed.")
                       : QString("Suggested triradi%1 %2 and %3 core%4; check them.")
                             .arg(placed.size() == 1 ? "us" : "i")
                             .arg(placed.isEmpty() ? QString("none") : placed.join(", "))
                             .arg(cores).arg(cores == 1 ? "" : "s");
    if (others > 0)
        text += QString(" %1 other triradi%2 found, not placed: place %3 by hand if it is one.")
                    .arg(others).arg(others == 1 ? "us" : "i").arg(others == 1 ? "it" : "them");
    return text;
}

void TPalmView::removeLandmark(TGraphicsVertexItem* landmark)
{
    const int slot = triradia.indexOf(landmark);
    if (slot >= 0) {
        cancelTriradium(slot);
        return;
    }
    cores.removeOne(landmark);
    deleteLandmark(landmark);
}

void TPalmView::cancelCores()
{
    for (TGraphicsVertexItem* core : qAsConst(cores))
        deleteLandmark(core);
    cores.clear();
}

void TPalmView::offerTriradius(const QPointF& p, const QPoint& menuPos)
{
    QVector<bool> placed;
    for (const TGraphicsVertexItem* item : qAsConst(triradia))
        placed.append(item != nullptr);
    TSlotMenu menu(triradiusLabels, placed);
    const int index = menu.choose(menuPos);
    if (index >= 0)
        addTriradius(index, p);
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

TGraphicsVertexItem* TPalmView::makeCore(const QPointF& p)
{
    auto* item = new TGraphicsVertexItem;
    item->setZValue(2000);
    item->setPos(p);
    scene->addItem(item);
    item->setMarkerBrush(QBrush(Qt::yellow, Qt::SolidPattern));
    item->setMarkerPen(QPen(Qt::yellow));
    connect(item, &TGraphicsVertexItem::moved, this, &TPalmView::connectPoints);
    item->setFlag(QGraphicsItem::ItemIsMovable);
    item->setFlag(QGraphicsItem::ItemSendsGeometryChanges);
    item->setCore();
    return item;
}

TGraphicsVertexItem* TPalmView::addCorePoint(const QPointF& p)
{
    TGraphicsVertexItem* item = makeCore(p);
    cores.append(item);
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
    // A line whose two triradii are the same keeps the ridge points counted on it,
    // moved along when a triradius was nudged; the others are rebuilt with none.
    const QVector<TRCLine*> previous = triradiusCounts;
    triradiusCounts.fill(nullptr, countLineCount);

    QVector<bool> placed(triradia.size());
    QVector<QPointF> positions(triradia.size());
    for (int i = 0; i < triradia.size(); ++i) {
        placed[i] = triradia.at(i) != nullptr;
        positions[i] = placed[i] ? triradia.at(i)->pos() : QPointF();
    }
    const QVector<QPair<int, int>> pairs = palmlines::countLinePairs(placed);
    for (int i = 0; i < countLineCount; ++i) {
        if (pairs.at(i).first < 0) {
            delete triradiusLines.at(i);
            triradiusLines[i] = nullptr;
            continue;
        }
        const QLineF segment(positions.at(pairs.at(i).first), positions.at(pairs.at(i).second));
        // The dashed line of a pair that stays is moved, not made again.
        QGraphicsLineItem* dashed = triradiusLines.at(i);
        if (!dashed) {
            dashed = new QGraphicsLineItem;
            dashed->setPen(markpens::cosmetic(Qt::red, Qt::DashLine));
            dashed->setCursor(Qt::CrossCursor);
            scene->addItem(dashed);
            triradiusLines[i] = dashed;
        }
        if (dashed->line() != segment)
            dashed->setLine(segment);
        const TGraphicsVertexItem* start = triradia.at(pairs.at(i).first);
        const TGraphicsVertexItem* end = triradia.at(pairs.at(i).second);
        // The same two triradii, moved or not: the points follow them.
        TRCLine* kept = previous.at(i) && previous.at(i)->hasEnds(start, end) ? previous.at(i)
                                                                                : nullptr;
        if (kept) {
            if (kept->line() != segment)
                kept->follow(segment);
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
    TGlyphView::reset();
    for (int i = 0; i < triradia.size(); ++i)
        removeTriradius(i);
    cancelCores();
    connectPoints();
}

void TPalmView::loadAnnotation(const TGlyphRecord& record)
{
    // Slots past the points in the section are empty; points past the last slot
    // have no slot to go to.
    for (int i = 0; i < triradia.size(); ++i) {
        const bool placed = i < record.triradia.size() && record.determined.value(i);
        TGraphicsVertexItem* item = triradia.at(i);
        if (!placed) {
            if (item)
                removeTriradius(i);
            continue;
        }
        if (!item) {
            item = addTriradius(i, record.triradia.at(i));
            item->setLabel(triradiusLabels.at(i));
            item->setZValue(2000);
        }
        placeLandmark(item, record.triradia.at(i));
        loadTraces(item, record.triradiusRidgeLines(i));
    }
    loadLandmarks(cores, record.cores, [this](const QPointF& p) { return makeCore(p); },
                  [&](int k) { return record.ridgeLines(k); });
    connectPoints();
    // A line whose triradii are not in the section has no points to take.
    for (int i = 0; i < countLineCount; ++i)
        if (TRCLine* line = triradiusCounts.at(i))
            if (line->ridgePointPositions() != record.palmCount(i))
                line->setRidgePoints(record.palmCount(i));
    // The tools stay as their buttons show them: the loaded landmarks are as
    // movable as the tools say.
    setLandmarksMovable(landmarks(Triradius), addingTriradia);
    setLandmarksMovable(cores, addingCores);
}

TGlyphRecord TPalmView::record() const
{
    TGlyphRecord r;
    recordImageState(r);
    QVector<QVector<QVector<QPointF>>> lines;
    for (int i = 0; i < triradia.size(); ++i) {
        const TGraphicsVertexItem* item = triradia.at(i);
        r.triradia.append(item ? item->pos() : QPointF(0, 0));
        r.determined[i] = item != nullptr;
        lines.append(item ? item->ridgeLines() : QVector<QVector<QPointF>>());
    }
    while (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    r.triradiusLines = lines;
    recordLandmarks(cores, r.cores, r.coreRidgeLines);
    for (int i = 0; i < countLineCount; ++i)
        if (const TRCLine* line = triradiusCounts.at(i))
            r.setPalmCount(i, line->ridgePointPositions());
    return r;
}

void TPalmView::save(QTextStream& out, bool saveImage, const QVector<bool>& present,
                     const QVector<bool>& determined, TPalmSettings* settings)
{
    TGlyphRecord r = record();
    for (int i = 0; i < palmlines::slotCount; ++i) {
        r.present[i] = present.value(i);
        r.determined[i] = determined.value(i);
    }
    if (settings)
        r.settings = settings->record().settings;
    sectionwriter::write(out, r, sectionwriter::Palm, saveImage);
}

bool TPalmView::save(const QString& fileName, bool saveImage, const QVector<bool>& present,
                     const QVector<bool>& determined, TPalmSettings* settings, QString* error)
{
    return sectionformat::writeXmlFile(
        fileName,
        [&](QTextStream& out) { save(out, saveImage, present, determined, settings); },
        error);
}
