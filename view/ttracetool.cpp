#include "view/ttracetool.h"

#include "view/tannotationview.h"
#include "view/tgraphicsvertexitem.h"

#include <QKeyEvent>
#include <QMenu>

TTraceTool::TTraceTool(TAnnotationView* view, TLandmark from)
    : TAnnotationTool(view), from(from)
{
}

bool TTraceTool::isActive() const
{
    return from == Triradius ? view->isAddingRadiants() : view->isAddingCentralLines();
}

int TTraceTool::lineLimit() const
{
    return from == Triradius ? 3 : 1;
}

bool TTraceTool::press(QMouseEvent*, const QPointF& scenePos)
{
    if (TGraphicsVertexItem* traced = view->tracedVertex())
        traced->addRidgePoint(scenePos);
    return true;
}

bool TTraceTool::rightPress(const QPointF&, TGraphicsVertexItem* item, const QPoint& menuPos)
{
    if (!item || !view->landmarks(from).contains(item))
        return true;
    const bool radiants = from == Triradius;
    QMenu menu;
    QAction* add = menu.addAction(radiants ? "Add radiant" : "Add central line");
    add->setEnabled(item->ridgeLineCount() < lineLimit());
    menu.addSeparator();
    QAction* remove = menu.addAction(radiants ? "Delete radiants" : "Delete central lines");
    QAction* chosen = menu.exec(menuPos);
    if (chosen == add) {
        item->addRidgeLine();
        view->setTracedVertex(item);
    } else if (chosen == remove) {
        item->clearRidgeLines();
        view->setTracedVertex(nullptr);
    }
    return true;
}

bool TTraceTool::key(QKeyEvent* event)
{
    if (event->key() != Qt::Key_Escape || !view->tracedVertex())
        return false;
    view->tracedVertex()->removeLastRidgePoint();
    return true;
}
