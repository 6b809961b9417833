#include "view/timageitem.h"

#include "scan/printgeometry.h"
#include "scan/timagepyramid.h"

#include <QPainter>
#include <QStyleOptionGraphicsItem>

#include <cmath>

TImageItem::TImageItem(QGraphicsItem* parent)
    : QGraphicsItem(parent)
{
    // The exposed part only is toned at full size.
    setFlag(ItemUsesExtendedStyleOption);
}

TImageItem::~TImageItem() = default;

void TImageItem::setImage(const QPixmap& newImage, const QTransform& newTurn)
{
    prepareGeometryChange();
    const bool samePixels = image.cacheKey() == newImage.cacheKey();
    image = newImage;
    turn = newTurn;
    if (image.isNull()) {
        placed = QTransform();
        bounds = QRectF();
        pyramid.reset();
    } else {
        placed = QPixmap::trueMatrix(turn, image.width(), image.height());
        bounds = printgeometry::turnedRect(image.size(), turn);
        if (!samePixels || !pyramid)
            pyramid = TImagePyramid::of(image.toImage());
    }
    if (!samePixels) {
        tonedLevels.clear();
        makeToneTable();
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
    const double longest = qMax(bounds.width(), bounds.height());
    QImage small = tonedLevel(0);
    if (longest > side) {
        // From the smallest reduction still at least as large, then smoothly.
        const double f = side / longest;
        small = tonedLevel(pyramid->levelFor(f));
        small = small.scaled(qMax(1, qRound(image.width() * f)), qMax(1, qRound(image.height() * f)),
                             Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    return turn.isIdentity() ? small : small.transformed(turn, Qt::FastTransformation);
}

void TImageItem::setTone(int tone)
{
    if (tone == toneFlags)
        return;
    toneFlags = tone;
    tonedLevels.clear();
    makeToneTable();
    update();
}

void TImageItem::makeToneTable()
{
    toneTable.clear();
    if (toneFlags == Natural || !pyramid)
        return;
    int low = 0;
    int high = 255;
    if (toneFlags & Enhanced) {
        // The grey levels of a small reduction stand for the whole print.
        const QImage sample = pyramid->level(pyramid->levelFor(256.0 / qMax(1, qMax(image.width(), image.height()))))
                                  .convertToFormat(QImage::Format_Grayscale8);
        QVector<qint64> histogram(256, 0);
        for (int y = 0; y < sample.height(); ++y) {
            const uchar* line = sample.constScanLine(y);
            for (int x = 0; x < sample.width(); ++x)
                ++histogram[line[x]];
        }
        const qint64 total = qint64(sample.width()) * sample.height();
        qint64 seen = 0;
        while (low < 255 && (seen += histogram[low]) < total / 100)
            ++low;
        seen = 0;
        while (high > 0 && (seen += histogram[high]) < total / 100)
            --high;
        if (high <= low) {
            low = 0;
            high = 255;
        }
    }
    toneTable.resize(256);
    for (int v = 0; v < 256; ++v) {
        int t = qBound(0, qRound((v - low) * 255.0 / (high - low)), 255);
        if (toneFlags & Inverted)
            t = 255 - t;
        toneTable[v] = uchar(t);
    }
}

QImage TImageItem::toned(const QImage& source) const
{
    if (toneTable.isEmpty() || source.isNull())
        return source;
    QImage result = source.format() == QImage::Format_Grayscale8 || source.depth() == 32
                        ? source.copy()
                        : source.convertToFormat(QImage::Format_RGB32);
    const int bytes = result.format() == QImage::Format_Grayscale8 ? 1 : 4;
    const bool alpha = result.hasAlphaChannel();
    for (int y = 0; y < result.height(); ++y) {
        uchar* line = result.scanLine(y);
        for (int x = 0; x < result.width() * bytes; ++x) {
            // The alpha byte of a 32-bit pixel stays (little-endian ARGB: byte 3).
            if (bytes == 4 && alpha && x % 4 == 3)
                continue;
            line[x] = toneTable[line[x]];
        }
    }
    return result;
}

QImage TImageItem::tonedLevel(int k) const
{
    if (!pyramid)
        return QImage();
    if (toneTable.isEmpty())
        return pyramid->level(k);
    if (tonedLevels.size() <= k)
        tonedLevels.resize(k + 1);
    if (tonedLevels.at(k).isNull())
        tonedLevels[k] = toned(pyramid->level(k));
    return tonedLevels.at(k);
}

QRectF TImageItem::boundingRect() const
{
    return bounds;
}

void TImageItem::paint(QPainter* painter, const QStyleOptionGraphicsItem* option, QWidget*)
{
    if (image.isNull())
        return;
    painter->setTransform(placed, true);
    const QTransform shown = painter->worldTransform();
    // A turn alone keeps the scale at 1, whatever its rounding says.
    const double scale = std::sqrt(std::abs(shown.determinant())) + 1e-6;
    const int k = pyramid->levelFor(scale);
    // Smaller than 1:1 the picture is smoothed; 1:1 and larger shows the pixels
    // themselves, nearest, as scanned.
    painter->setRenderHint(QPainter::SmoothPixmapTransform, scale < 1);
    if (k == 0) {
        if (toneTable.isEmpty()) {
            painter->drawPixmap(0, 0, image);
            return;
        }
        // Only what is exposed is toned, so a large print costs no more.
        QRect exposed = image.rect();
        if (option)
            exposed &= placed.inverted().mapRect(option->exposedRect).toAlignedRect().adjusted(-1, -1, 1, 1);
        painter->drawImage(exposed.topLeft(), toned(image.toImage().copy(exposed)));
        return;
    }
    // A reduction at least as fine as the screen, drawn over the print's extent.
    const QImage reduced = tonedLevel(k);
    painter->scale(double(image.width()) / reduced.width(), double(image.height()) / reduced.height());
    painter->drawImage(0, 0, reduced);
}
