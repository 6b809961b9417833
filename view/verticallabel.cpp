#include "view/verticallabel.h"

#include <QPainter>

VerticalLabel::VerticalLabel(QWidget* parent)
    : QLabel(parent)
{
}

QSize VerticalLabel::sizeHint() const
{
    return QLabel::sizeHint().transposed();
}

QSize VerticalLabel::minimumSizeHint() const
{
    return QLabel::minimumSizeHint().transposed();
}

void VerticalLabel::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(QColor(Qt::black));
    painter.setBrush(Qt::Dense1Pattern);
    painter.rotate(90);
    painter.drawText(QPointF(0, 0), text());
}
