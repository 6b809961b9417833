#ifndef TIMAGEITEM_H
#define TIMAGEITEM_H

#include <QGraphicsItem>
#include <QPixmap>
#include <QTransform>

// The displayed print: paints the cropped image through the display's rotation and
// mirror, so turning a print changes a transform instead of copying its pixels.
class TImageItem : public QGraphicsItem
{
public:
    explicit TImageItem(QGraphicsItem* parent = nullptr);

    // Shows image turned and mirrored by turn; the result is moved so its bounding
    // box starts at the origin, as QPixmap::transformed would place it.
    void setImage(const QPixmap& image, const QTransform& turn = QTransform());
    QPixmap source() const { return image; }
    // The image as displayed. Shared with the source when nothing is turned,
    // otherwise made on demand, so only callers that need the pixels pay for them.
    QPixmap pixmap() const;
    // The displayed image with its longest side at most side pixels. The source is
    // reduced before it is turned, so the cost follows the result, not the print.
    QImage reducedImage(int side) const;

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option,
               QWidget* widget = nullptr) override;

private:
    QPixmap image;
    QTransform turn;
    QTransform placed;
    QRectF bounds;
};

#endif
