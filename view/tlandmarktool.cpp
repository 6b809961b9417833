#include "view/tlandmarktool.h"

#include "view/tannotationview.h"
#include "view/tgraphicsvertexitem.h"

#include <QMouseEvent>

TLandmarkTool::TLandmarkTool(TAnnotationView* view, std::function<bool()> active, Menu menu,
                             RightMenu rightMenu)
    : TAnnotationTool(view), active(std::move(active)), menu(std::move(menu)),
      rightMenu(std::move(rightMenu))
{
}

bool TLandmarkTool::isActive() const
{
    return active();
}

bool TLandmarkTool::press(QMouseEvent* event, const QPointF& scenePos)
{
    auto* item = dynamic_cast<TGraphicsVertexItem*>(view->itemAt(event->pos()));
    if (view->isLandmark(item)) {
        view->selectMark(item);
        view->startLandmarkDrag(event);
        return true;
    }
    const int before = view->landmarks(Core).size() + view->landmarks(Triradius).size();
    menu(scenePos, view->viewport()->mapToGlobal(event->pos()));
    // A dismissed menu or a refused entry adds nothing, so nothing is rebuilt.
    if (view->landmarks(Core).size() + view->landmarks(Triradius).size() != before)
        view->connectPoints();
    return true;
}

bool TLandmarkTool::rightPress(const QPointF&, TGraphicsVertexItem* item, const QPoint& menuPos)
{
    return rightMenu && view->isLandmark(item) && rightMenu(item, menuPos);
}
