#include "view/timageitem.h"

#include "view/printgeometry.h"

#include <QPainter>

TImageItem::TImageItem(QGraphicsItem* parent)
    : QGraphicsItem(parent)
{
}

void TImageItem::setImage(const QPixmap& newImage, const QTransform& newTurn)
{
    prepareGeometryChange();
    image = newImage;
    turn = newTurn;
    if (image.isNull()) {
        placed = QTransform();
        bounds = QRectF();
    } else {
        placed = QPixmap::trueMatrix(turn, image.width(), image.height());
        bounds = printgeometry::turnedRect(image.size(), turn);
    }
    update();
}

QPixmap TImageItem::pixmap() const
{
    if (turn.isIdentity())
        return image;
    return image.transformed(turn, Qt::FastTransformation);
}

QImage TImageItem::reducedImage(int side) const
{
    if (image.isNull())
        return QImage();
    const QImage full = image.toImage();
    const double longest = qMax(bounds.width(), bounds.height());
    QImage small = full;
    if (longest > side) {
        const double f = side / longest;
        small = full.scaled(qMax(1, qRound(full.width() * f)), qMax(1, qRound(full.height() * f)),
                            Qt::IgnoreAspectRatio, Qt::FastTransformation);
    }
    return turn.isIdentity() ? small : small.transformed(turn, Qt::FastTransformation);
}

QRectF TImageItem::boundingRect() const
{
    return bounds;
}

void TImageItem::paint(QPainter* painter, const QStyleOptionGraphicsItem*, QWidget*)
{
    if (image.isNull())
        return;
    // Nearest pixel, as the turned copy was made and shown before.
    painter->setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter->setTransform(placed, true);
    painter->drawPixmap(0, 0, image);
}
