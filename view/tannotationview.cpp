#include "view/tannotationview.h"

#include "analysis/ridgeflow.h"
#include "analysis/ridgeprofile.h"
#include "analysis/singularpoints.h"
#include "view/tannotationtool.h"
#include "view/tgraphicsvertexitem.h"
#include "view/trcline.h"
#include "view/tridgecounttool.h"
#include "view/ttracetool.h"

#include <QKeyEvent>
#include <QMouseEvent>

#include <algorithm>
#include <limits>

TAnnotationView::TAnnotationView(QWidget* parent)
    : TGlyphView(parent)
{
    tracingTools.push_back(std::make_unique<TTraceTool>(this, Triradius));
    tracingTools.push_back(std::make_unique<TTraceTool>(this, Core));
    countingTool = std::make_unique<TRidgeCountTool>(this);
}

TAnnotationView::~TAnnotationView() = default;

void TAnnotationView::addPlacingTool(std::unique_ptr<TAnnotationTool> tool)
{
    placingTools.push_back(std::move(tool));
}

bool TAnnotationView::isLandmark(const QGraphicsItem* item) const
{
    if (!item)
        return false;
    for (TLandmark kind : {Core, Triradius})
        for (const TGraphicsVertexItem* landmark : landmarks(kind))
            if (landmark == item)
                return true;
    return false;
}

TRCLine* TAnnotationView::countedLineAt(const QPointF& scenePos) const
{
    TRCLine* item = TRCLine::lineAt(scene, scenePos, transform());
    return item && countedLines().contains(item) ? item : nullptr;
}

// ---------------------------------------------------------------------------
// Tool modes

void TAnnotationView::setLandmarksMovable(const QList<TGraphicsVertexItem*>& landmarks,
                                          bool movable)
{
    for (TGraphicsVertexItem* landmark : landmarks) {
        landmark->setFlag(QGraphicsItem::ItemIsMovable, movable);
        landmark->setFlag(QGraphicsItem::ItemSendsGeometryChanges, true);
    }
}

void TAnnotationView::addCores(bool add)
{
    addingCores = add;
    setLandmarksMovable(landmarks(Core), add);
}

void TAnnotationView::addTriradia(bool add)
{
    addingTriradia = add;
    setLandmarksMovable(landmarks(Triradius), add);
}

void TAnnotationView::addRidgePoints(bool add)
{
    addingRidgePoints = add;
    for (TRCLine* line : countedLines())
        line->setEditable(add);
}

void TAnnotationView::addRadiants(bool add)
{
    addingRadiants = add;
    currentVertex = nullptr;
}

void TAnnotationView::addCentralLines(bool add)
{
    addingCentralLines = add;
    currentVertex = nullptr;
}

void TAnnotationView::cancelRidgePoints()
{
    for (TRCLine* line : countedLines())
        line->clearRidgePoints();
}

void TAnnotationView::cancelRadiants()
{
    for (TGraphicsVertexItem* t : landmarks(Triradius))
        t->clearRidgeLines();
}

void TAnnotationView::cancelCentralLines()
{
    for (TGraphicsVertexItem* c : landmarks(Core))
        c->clearRidgeLines();
}

// ---------------------------------------------------------------------------
// Suggested ridge points

QVector<QPointF> TAnnotationView::suggestedRidgePoints(const TRCLine* counted) const
{
    // Read from the print as cut, unturned: turns and mirrors keep distances, and
    // no turned copy of a large scan is made.
    const QImage print = croppedPixmap().toImage();
    const QTransform shown = displayTransform();
    const QLineF line = shown.inverted().map(counted->line());
    const QVector<QPointF> found = ridgeprofile::crossings(print, line);
    const QVector<QPointF> placed = counted->ridgePointPositions();
    const double spacing = ridgeprofile::period(print, line);
    QVector<QPointF> suggested;
    for (int i = 0; i < found.size(); ++i) {
        // The spacing along the line changes with the ridges' slant; the
        // neighbouring crossings tell it best, the line's period otherwise.
        double local = found.size() > 1 ? std::numeric_limits<double>::max() : spacing;
        if (i > 0)
            local = qMin(local, QLineF(found.at(i - 1), found.at(i)).length());
        if (i + 1 < found.size())
            local = qMin(local, QLineF(found.at(i), found.at(i + 1)).length());
        const QPointF p = shown.map(found.at(i));
        const bool taken = std::any_of(placed.begin(), placed.end(), [&](const QPointF& q) {
            return QLineF(p, q).length() < local / 2;
        });
        if (!taken)
            suggested.append(p);
    }
    return suggested;
}

int TAnnotationView::suggestOn(TRCLine* counted)
{
    const int added = addSuggestions(counted);
    emit suggested(suggestionText({{countedLineName(counted), added}}));
    return added;
}

void TAnnotationView::suggestRidgePoints()
{
    QVector<QPair<QString, int>> placed;
    for (TRCLine* line : countedLines())
        placed.append({countedLineName(line), addSuggestions(line)});
    emit suggested(suggestionText(placed));
}

int TAnnotationView::addSuggestions(TRCLine* counted)
{
    const QVector<QPointF> added = suggestedRidgePoints(counted);
    counted->addSuggestedPoints(added);
    return added.size();
}

QString TAnnotationView::suggestionText(const QVector<QPair<QString, int>>& placed)
{
    int total = 0;
    QStringList lines;
    for (const auto& line : placed) {
        total += line.second;
        if (line.second > 0)
            lines.append(QString("%1 on %2").arg(line.second).arg(line.first));
    }
    if (placed.isEmpty())
        return "No counted line to suggest ridge points on.";
    if (total == 0)
        return "No ridge points suggested: every line has its points.";
    return QString("%1 ridge point%2 suggested: %3. Outlined points are the print's "
                   "suggestion; check them.")
        .arg(total).arg(total == 1 ? "" : "s", lines.join(", "));
}

QVector<TAnnotationView::Suggested> TAnnotationView::foundLandmarks() const
{
    // Read on the print as cut, unturned: the flow is shared with the ridge counts.
    const QImage print = croppedPixmap().toImage();
    const QTransform shown = displayTransform();
    const auto flow = RidgeFlow::of(print);
    QVector<Suggested> found;
    for (const singularpoints::Landmark& l : singularpoints::find(print, horizontalPpi()))
        found.append({l.kind, shown.map(l.position), flow->period(l.position)});
    return found;
}

bool TAnnotationView::isPlaced(const Suggested& found) const
{
    for (const TGraphicsVertexItem* placed : landmarks(found.kind))
        if (QLineF(placed->pos(), found.position).length() < found.period)
            return true;
    return false;
}

// ---------------------------------------------------------------------------
// Mouse and keys

bool TAnnotationView::pressFirst(QMouseEvent*, const QPointF&)
{
    return false;
}

void TAnnotationView::startLandmarkDrag(QMouseEvent* event)
{
    TGlyphView::startLandmarkDrag(event);
}

void TAnnotationView::mousePressEvent(QMouseEvent* event)
{
    const QPointF scenePos = mapToScene(event->pos());
    if (event->button() == Qt::RightButton) {
        auto* item = dynamic_cast<TGraphicsVertexItem*>(itemAt(event->pos()));
        const QPoint menuPos = viewport()->mapToGlobal(event->pos());
        for (const auto& tool : tracingTools)
            if (tool->isActive() && tool->rightPress(scenePos, item, menuPos))
                return;
        for (const auto& tool : placingTools)
            if (tool->isActive() && tool->rightPress(scenePos, item, menuPos))
                return;
        if (countingTool->isActive())
            countingTool->rightPress(scenePos, item, menuPos);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    if (calibrationPress(scenePos) || pressFirst(event, scenePos))
        return;
    for (const auto& tool : tracingTools)
        if (tool->isActive() && tool->press(event, scenePos))
            return;
    if (selecting) {
        addSelectionPoint(scenePos);
        return;
    }
    for (const auto& tool : placingTools)
        if (tool->isActive() && tool->press(event, scenePos))
            return;
    if (countingTool->isActive())
        countingTool->press(event, scenePos);
}

void TAnnotationView::keyPressEvent(QKeyEvent* event)
{
    for (const auto& tool : tracingTools)
        if (tool->isActive() && tool->key(event))
            return;
}

// ---------------------------------------------------------------------------
// Loading

void TAnnotationView::placeLandmark(TGraphicsVertexItem* landmark, const QPointF& p)
{
    if (landmark->pos() == p)
        return;
    const bool guarded = landmark->flags() & QGraphicsItem::ItemSendsGeometryChanges;
    landmark->setFlag(QGraphicsItem::ItemSendsGeometryChanges, false);
    landmark->setPos(p);
    landmark->setFlag(QGraphicsItem::ItemSendsGeometryChanges, guarded);
}

void TAnnotationView::deleteLandmark(TGraphicsVertexItem* landmark)
{
    if (landmark == currentVertex)
        currentVertex = nullptr;
    delete landmark;
}

void TAnnotationView::selectMark(TGraphicsVertexItem* mark)
{
    if (picked == mark)
        return;
    if (picked)
        picked->setSelected(false);
    picked = mark;
    if (mark) {
        mark->setFlag(QGraphicsItem::ItemIsSelectable);
        mark->setSelected(true);
    }
}

TGraphicsVertexItem* TAnnotationView::ridgePointAt(const QPointF& scenePos) const
{
    for (QGraphicsItem* item : scene->items(scenePos, Qt::IntersectsItemShape, Qt::DescendingOrder,
                                            transform())) {
        auto* point = dynamic_cast<TGraphicsVertexItem*>(item);
        for (TRCLine* line : countedLines())
            if (point && line->hasRidgePoint(point))
                return point;
    }
    return nullptr;
}

void TAnnotationView::deleteSelectedMark()
{
    TGraphicsVertexItem* mark = picked;
    if (!mark)
        return;
    picked = nullptr;
    if (isLandmark(mark)) {
        removeLandmark(mark);
        return;
    }
    for (TRCLine* line : countedLines())
        if (line->hasRidgePoint(mark)) {
            line->removeRidgePoint(mark);
            return;
        }
}

void TAnnotationView::loadTraces(TGraphicsVertexItem* landmark, const QVector<QVector<QPointF>>& lines)
{
    QVector<QVector<QPointF>> wanted;
    for (const QVector<QPointF>& line : lines)
        if (!line.isEmpty())
            wanted.append(line);
    if (landmark->ridgeLines() != wanted)
        landmark->setRidgeLines(wanted, landmark == currentVertex);
}

void TAnnotationView::loadLandmarks(QList<TGraphicsVertexItem*>& items, const QVector<QPointF>& targets,
                                    const std::function<TGraphicsVertexItem*(const QPointF&)>& create,
                                    const std::function<QVector<QVector<QPointF>>(int)>& lines)
{
    // A landmark already at a target's place is that landmark; the rest pair up
    // nearest first, so a landmark moved, turned or mapped back is kept.
    QVector<int> itemOf(targets.size(), -1);
    QVector<bool> taken(items.size(), false);
    for (int t = 0; t < targets.size(); ++t)
        for (int i = 0; i < items.size(); ++i)
            if (!taken.at(i) && items.at(i)->pos() == targets.at(t)) {
                itemOf[t] = i;
                taken[i] = true;
                break;
            }
    struct Pair { double distance; int target; int item; };
    std::vector<Pair> pairs;
    // Pairing by distance weighs every pair; a file with thousands of landmarks
    // pairs the rest in order instead.
    const int left = int(std::count(itemOf.begin(), itemOf.end(), -1));
    const bool nearest = qint64(left) * items.size() <= 4096;
    for (int t = 0; t < targets.size(); ++t) {
        if (itemOf.at(t) >= 0)
            continue;
        for (int i = 0; i < items.size(); ++i)
            if (!taken.at(i)) {
                if (nearest) {
                    pairs.push_back({QLineF(items.at(i)->pos(), targets.at(t)).length(), t, i});
                } else {
                    itemOf[t] = i;
                    taken[i] = true;
                    break;
                }
            }
    }
    std::sort(pairs.begin(), pairs.end(), [](const Pair& a, const Pair& b) {
        return a.distance < b.distance;
    });
    for (const Pair& p : pairs)
        if (itemOf.at(p.target) < 0 && !taken.at(p.item)) {
            itemOf[p.target] = p.item;
            taken[p.item] = true;
        }

    for (int i = 0; i < items.size(); ++i)
        if (!taken.at(i))
            deleteLandmark(items.at(i));
    QList<TGraphicsVertexItem*> loaded;
    for (int t = 0; t < targets.size(); ++t) {
        TGraphicsVertexItem* item = itemOf.at(t) >= 0 ? items.at(itemOf.at(t)) : create(targets.at(t));
        placeLandmark(item, targets.at(t));
        loadTraces(item, lines(t));
        loaded.append(item);
    }
    items = loaded;
}

void TAnnotationView::recordLandmarks(const QList<TGraphicsVertexItem*>& items,
                                      QVector<QPointF>& positions,
                                      QVector<QVector<QVector<QPointF>>>& lines)
{
    positions.clear();
    lines.clear();
    int lastTraced = -1;
    for (int i = 0; i < items.size(); ++i) {
        positions.append(items.at(i)->pos());
        lines.append(items.at(i)->ridgeLines());
        if (!lines.last().isEmpty())
            lastTraced = i;
    }
    lines.erase(lines.begin() + (lastTraced + 1), lines.end());
}
