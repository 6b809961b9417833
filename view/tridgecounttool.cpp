#include "view/tridgecounttool.h"

#include "view/tannotationview.h"
#include "view/trcline.h"

#include <QMenu>

TRidgeCountTool::TRidgeCountTool(TAnnotationView* view)
    : TAnnotationTool(view)
{
}

bool TRidgeCountTool::isActive() const
{
    return view->isAddingRidgePoints();
}

bool TRidgeCountTool::press(QMouseEvent*, const QPointF& scenePos)
{
    // A click on a ridge point picks it, to be deleted with a key.
    if (TGraphicsVertexItem* point = view->ridgePointAt(scenePos)) {
        view->selectMark(point);
        return true;
    }
    if (TRCLine* line = view->countedLineAt(scenePos))
        line->addRidgePoint(scenePos.x(), scenePos.y());
    return true;
}

bool TRidgeCountTool::rightPress(const QPointF& scenePos, TGraphicsVertexItem* item,
                                 const QPoint& menuPos)
{
    if (!item) {
        // On a counted line, not on a point: the print's own suggestion.
        if (TRCLine* line = view->countedLineAt(scenePos)) {
            QMenu menu;
            QAction* suggest = menu.addAction("Suggest ridge points");
            if (menu.exec(menuPos) == suggest)
                view->suggestOn(line);
        }
        return true;
    }
    for (TRCLine* line : view->countedLines()) {
        if (!line->hasRidgePoint(item))
            continue;
        QMenu menu;
        QAction* remove = menu.addAction("Delete ridge point");
        if (menu.exec(menuPos) == remove)
            line->removeRidgePoint(item);
        return true;   // a ridge point sits on one line only
    }
    return true;
}
