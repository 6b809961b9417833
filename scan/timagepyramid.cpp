#include "scan/timagepyramid.h"

#include <QHash>

#include <cmath>

std::shared_ptr<TImagePyramid> TImagePyramid::of(const QImage& image)
{
    // Keyed by the pixels: every copy of one decoded scan has the same key, a
    // cropped print a key of its own.
    static QHash<qint64, std::weak_ptr<TImagePyramid>> made;
    for (auto i = made.begin(); i != made.end();) {
        if (i.value().expired())
            i = made.erase(i);
        else
            ++i;
    }
    std::shared_ptr<TImagePyramid> pyramid = made.value(image.cacheKey()).lock();
    if (!pyramid) {
        pyramid.reset(new TImagePyramid(image));
        made.insert(image.cacheKey(), pyramid);
    }
    return pyramid;
}

TImagePyramid::TImagePyramid(const QImage& image)
    : base(image)
{
    levels.append(base);
}

QImage TImagePyramid::level(int k)
{
    while (levels.size() <= k) {
        const QImage& last = levels.last();
        if (last.width() <= 1 && last.height() <= 1)
            return last;
        levels.append(halved(last));
    }
    return levels.at(qMax(0, k));
}

int TImagePyramid::levelFor(double scale) const
{
    if (!(scale > 0) || scale >= 1)
        return 0;
    return int(std::floor(std::log2(1 / scale) + 1e-9));
}

QImage TImagePyramid::halved(const QImage& image)
{
    if (image.isNull())
        return image;
    const bool gray = image.format() == QImage::Format_Grayscale8;
    const QImage source = gray || image.depth() == 32 ? image
                                                      : image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const int w = source.width();
    const int h = source.height();
    const int hw = (w + 1) / 2;
    const int hh = (h + 1) / 2;
    QImage half(hw, hh, source.format());
    for (int y = 0; y < hh; ++y) {
        const uchar* top = source.constScanLine(2 * y);
        const uchar* bottom = source.constScanLine(qMin(2 * y + 1, h - 1));
        uchar* out = half.scanLine(y);
        if (gray) {
            // Full pairs first, in a loop the compiler can widen; the odd last
            // column pairs with itself.
            const int pairs = w / 2;
            for (int x = 0; x < pairs; ++x)
                out[x] = uchar((top[2 * x] + top[2 * x + 1] + bottom[2 * x] + bottom[2 * x + 1] + 2) >> 2);
            if (w % 2)
                out[pairs] = uchar((2 * top[w - 1] + 2 * bottom[w - 1] + 2) >> 2);
        } else {
            for (int x = 0; x < hw; ++x) {
                const uchar* a = top + 8 * x;
                const uchar* b = bottom + 8 * x;
                const int step = 2 * x + 1 < w ? 4 : 0;
                for (int c = 0; c < 4; ++c)
                    out[4 * x + c] = uchar((a[c] + a[c + step] + b[c] + b[c + step] + 2) >> 2);
            }
        }
    }
    half.setDotsPerMeterX(source.dotsPerMeterX() / 2);
    half.setDotsPerMeterY(source.dotsPerMeterY() / 2);
    return half;
}
