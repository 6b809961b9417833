#ifndef TGRAPHICSPREVIEWRECT_H
#define TGRAPHICSPREVIEWRECT_H

#include <QGraphicsRectItem>
#include <QObject>

// The navigator's frame of the visible region: movable, kept inside the print,
// and reporting where it was moved.
class TGraphicsPreviewRect : public QObject, public QGraphicsRectItem
{
    Q_OBJECT
public:
    TGraphicsPreviewRect();

signals:
    void itemMoved(const QPointF& position);

protected:
    QVariant itemChange(GraphicsItemChange change, const QVariant& value) override;
};

#endif
