#include "scan/printgeometry.h"

#include <QImage>

namespace printgeometry {

QTransform turn(int angle, bool flipped)
{
    // A whole turn is not exactly the identity in floating point; it must show
    // the print exactly as an unturned one.
    if (angle % 360 == 0 && !flipped)
        return QTransform();
    QTransform t;
    t.rotate(angle, Qt::ZAxis);
    if (flipped)
        t.scale(-1, 1);
    return t;
}

QRect cropRect(const QSize& image, const QPolygonF& outline)
{
    const QRect whole(QPoint(0, 0), image);
    QRect cut = whole;
    // Bounded by the image before it is rounded: points read from a file may lie
    // anywhere, far beyond what an int holds.
    const QRect box = outline.boundingRect()
                          .intersected(QRectF(whole).adjusted(-1, -1, 1, 1))
                          .toRect();
    if (!box.isEmpty())
        cut = cut.intersected(box);
    // An outline beside the image cuts nothing away: QImage::copy takes the
    // null rectangle the intersection gives for the whole image.
    return cut.isNull() ? whole : cut;
}

QRectF turnedRect(const QSize& size, const QTransform& turn)
{
    if (size.isEmpty())
        return QRectF();
    // The size QImage::transformed gives the turned copy, so scene coordinates
    // stay the pixels a turned copy would have.
    if (turn.type() <= QTransform::TxScale)
        return QRectF(0, 0, qRound(qAbs(turn.m11()) * size.width()),
                      qRound(qAbs(turn.m22()) * size.height()));
    const QTransform placed = QImage::trueMatrix(turn, size.width(), size.height());
    const QRect r = placed.map(QPolygonF(QRectF(QPointF(0, 0), QSizeF(size))))
                        .boundingRect().toAlignedRect();
    return QRectF(QPointF(0, 0), QSizeF(r.size()));
}

QRectF displayedRect(const QSize& imported, const QPolygonF& crop, int angle, bool flipped)
{
    const QSize cropped = crop.isEmpty() ? imported : cropRect(imported, crop).size();
    return turnedRect(cropped, turn(angle, flipped));
}

}
