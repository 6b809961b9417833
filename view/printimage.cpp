#include "view/printimage.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QImageReader>

namespace printimage {

QImage load(const QString& fileName, QString* error)
{
    // A FIFO or a device would block the read or never end it.
    const QFileInfo info(fileName);
    if (info.exists() && !info.isFile()) {
        if (error)
            *error = QCoreApplication::translate("printimage", "Not a regular file");
        return QImage();
    }
    QImageReader reader(fileName);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > maxPixels) {
        if (error)
            *error = QCoreApplication::translate("printimage",
                         "The image is %1 × %2 pixels, larger than %3 megapixels.")
                         .arg(size.width()).arg(size.height()).arg(maxPixels / 1000000);
        return QImage();
    }
    QImage image = reader.read();
    if (image.isNull() && error)
        *error = reader.errorString();
    return image;
}

static void release(void* image)
{
    delete static_cast<QImage*>(image);
}

QImage cut(const QImage& image, const QRect& rect)
{
    const QRect r = rect.intersected(image.rect());
    if (r == image.rect())
        return image;
    // Formats whose pixels are whole bytes and need no colour table can be
    // addressed in place. The part is left exactly as made: any change to a
    // borrowed image would copy it after all.
    if (r.isEmpty() || image.depth() < 8 || image.format() == QImage::Format_Indexed8)
        return image.copy(r);
    auto* owner = new QImage(image);
    const uchar* first = owner->constBits() + qsizetype(r.y()) * owner->bytesPerLine()
                         + qsizetype(r.x()) * (owner->depth() / 8);
    return QImage(first, r.width(), r.height(), owner->bytesPerLine(), owner->format(), release,
                  owner);
}

QImage forDisplay(const QImage& image)
{
    if (image.isNull())
        return image;
    // Gray scans stay one byte a pixel: a 32-bit copy would quadruple the memory
    // and show nothing more.
    QImage::Format target = image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied
                                                    : QImage::Format_RGB32;
    // Only formats whose grayness is known without looking at every pixel.
    const bool gray = image.format() == QImage::Format_Grayscale8
                      || image.format() == QImage::Format_Grayscale16
                      || (image.depth() <= 8 && !image.hasAlphaChannel() && image.isGrayscale());
    if (gray)
        target = QImage::Format_Grayscale8;
    if (image.format() == target)
        return image;
    QImage converted = image.convertToFormat(target);
    // The recorded resolution travels with the pixels.
    converted.setDotsPerMeterX(image.dotsPerMeterX());
    converted.setDotsPerMeterY(image.dotsPerMeterY());
    return converted;
}

}
