#ifndef TANNOTATIONTOOL_H
#define TANNOTATIONTOOL_H

#include <QPoint>
#include <QPointF>

class QKeyEvent;
class QMouseEvent;
class TAnnotationView;
class TGraphicsVertexItem;

// One way of marking a print that the examiner switches on with a tool button:
// the annotation view hands it the presses and keys while its mode is on.
class TAnnotationTool
{
public:
    explicit TAnnotationTool(TAnnotationView* view) : view(view) {}
    virtual ~TAnnotationTool() = default;
    TAnnotationTool(const TAnnotationTool&) = delete;
    TAnnotationTool& operator=(const TAnnotationTool&) = delete;

    // Whether the tool's mode is on in the view.
    virtual bool isActive() const = 0;
    // A left press at scenePos; true when the tool took it.
    virtual bool press(QMouseEvent* event, const QPointF& scenePos);
    // A right press at scenePos on item (a marker, or null); true when taken.
    // menuPos is where a menu opens, in global coordinates.
    virtual bool rightPress(const QPointF& scenePos, TGraphicsVertexItem* item,
                            const QPoint& menuPos);
    // A key; true when taken.
    virtual bool key(QKeyEvent* event);

protected:
    TAnnotationView* view;
};

#endif
