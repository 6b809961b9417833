#ifndef TIMAGEPYRAMID_H
#define TIMAGEPYRAMID_H

#include <QImage>
#include <QVector>

#include <memory>

// Reduced copies of a print by area averaging, each half the size of the one
// before, so a print shown smaller than 1:1 is drawn without moiré. Made once
// per image, when first needed, and shared by every slot showing those pixels.
class TImagePyramid
{
public:
    // The pyramid of image: the one already made for these pixels, or a new one.
    static std::shared_ptr<TImagePyramid> of(const QImage& image);

    // The image reduced by 2^k (level 0 is the image itself); each pixel is the
    // mean of the 2^k × 2^k pixels it covers. Never below one pixel a side.
    QImage level(int k);
    // The level that draws the image at scale (screen pixels per image pixel)
    // from at least as many pixels as the screen shows: 0 at 1:1 and above.
    int levelFor(double scale) const;
    const QImage& image() const { return base; }

    // One reduction step: every pixel the mean of a 2 × 2 block (the last row or
    // column repeated when the size is odd). 8-bit gray and 32-bit images.
    static QImage halved(const QImage& image);

private:
    explicit TImagePyramid(const QImage& image);

    QImage base;
    QVector<QImage> levels;
};

#endif
