#ifndef TIMAGEITEM_H
#define TIMAGEITEM_H

#include <QGraphicsItem>
#include <QPixmap>
#include <QTransform>
#include <QVector>

#include <memory>

class TImagePyramid;

// The displayed print: paints the cropped image through the display's rotation and
// mirror, so turning a print changes a transform instead of copying its pixels.
// Shown smaller than 1:1 it is drawn from area-averaged reductions; its tone can
// be changed for the eye without touching the pixels.
class TImageItem : public QGraphicsItem
{
public:
    // How the print is drawn for the eye; saved, exported and measured pixels
    // never change.
    enum Tone { Natural = 0, Enhanced = 1, Inverted = 2 };

    explicit TImageItem(QGraphicsItem* parent = nullptr);
    ~TImageItem() override;

    // Shows image turned and mirrored by turn; the result is moved so its bounding
    // box starts at the origin, as QPixmap::transformed would place it.
    void setImage(const QPixmap& image, const QTransform& turn = QTransform());
    QPixmap source() const { return image; }
    // The image as displayed. Shared with the source when nothing is turned,
    // otherwise made on demand, so only callers that need the pixels pay for them.
    QPixmap pixmap() const;
    // The displayed image with its longest side at most side pixels, in the tone
    // shown, reduced by area averaging before it is turned, so the cost follows
    // the result, not the print.
    QImage reducedImage(int side) const;

    // Enhanced stretches the print's grey levels between its darkest and
    // lightest percent; Inverted shows ridges light.
    void setTone(int tone);
    int tone() const { return toneFlags; }

    QRectF boundingRect() const override;
    void paint(QPainter* painter, const QStyleOptionGraphicsItem* option,
               QWidget* widget = nullptr) override;

private:
    // The image reduced k times, in the tone shown.
    QImage tonedLevel(int k) const;
    QImage toned(const QImage& image) const;
    void makeToneTable();

    QPixmap image;
    QTransform turn;
    QTransform placed;
    QRectF bounds;
    std::shared_ptr<TImagePyramid> pyramid;
    int toneFlags = Natural;
    QVector<uchar> toneTable;
    mutable QVector<QImage> tonedLevels;
};

#endif
