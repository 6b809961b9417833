#include "view/tcountlabel.h"

#include <QPainter>

TCountLabel::TCountLabel(QGraphicsItem* parent)
    : QGraphicsTextItem(parent)
{
}

void TCountLabel::paint(QPainter* painter, const QStyleOptionGraphicsItem* option,
                        QWidget* widget)
{
    painter->save();
    painter->setPen(Qt::NoPen);
    painter->setBrush(QColor(255, 255, 255, 200));
    painter->drawRoundedRect(boundingRect().adjusted(3, 3, -3, -3), 3, 3);
    painter->restore();
    QGraphicsTextItem::paint(painter, option, widget);
}
