#ifndef TLANDMARKTOOL_H
#define TLANDMARKTOOL_H

#include "view/tannotationtool.h"

#include <functional>

// Places landmarks: a press on a landmark grabs it to be dragged, a press
// elsewhere opens the view's menu of what can be placed there. The finger and
// palm views give their own menus (the palm names its triradius slots).
class TLandmarkTool : public TAnnotationTool
{
public:
    // The menu that places at scenePos; menuPos is where it opens.
    using Menu = std::function<void(const QPointF& scenePos, const QPoint& menuPos)>;
    // A right press on a landmark; true when taken.
    using RightMenu = std::function<bool(TGraphicsVertexItem* item, const QPoint& menuPos)>;

    TLandmarkTool(TAnnotationView* view, std::function<bool()> active, Menu menu,
                  RightMenu rightMenu = RightMenu());

    bool isActive() const override;
    bool press(QMouseEvent* event, const QPointF& scenePos) override;
    bool rightPress(const QPointF& scenePos, TGraphicsVertexItem* item,
                    const QPoint& menuPos) override;

private:
    std::function<bool()> active;
    Menu menu;
    RightMenu rightMenu;
};

#endif
