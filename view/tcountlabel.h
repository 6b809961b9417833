#ifndef TCOUNTLABEL_H
#define TCOUNTLABEL_H

#include <QGraphicsTextItem>

// The count of a counted line, in red on a pale ground, so it reads on dark
// ridges as on paper.
class TCountLabel : public QGraphicsTextItem
{
public:
    explicit TCountLabel(QGraphicsItem* parent = nullptr);

    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option,
               QWidget* widget) override;
};

#endif
