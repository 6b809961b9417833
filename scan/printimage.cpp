#include "scan/printimage.h"

#include "scan/scanheader.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>

#include <algorithm>

namespace printimage {

// The resolution the scan records, which Qt's readers replace by the screen's when
// there is none. An axis without one gets one dot per metre, which reads as 0 PPI.
static void keepRecordedResolution(QImage& image, const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const scanheader::Resolution recorded = scanheader::resolution(file);
    // Another format: as its reader gives it.
    if (!recorded.read)
        return;
    const int x = qMax(1, qRound(recorded.ppi.x() / 0.0254));
    const int y = qMax(1, qRound(recorded.ppi.y() / 0.0254));
    // Where the reader agrees, its own value stays, to the last dot per metre.
    if (x == 1 || qRound(recorded.ppi.x()) != image.logicalDpiX())
        image.setDotsPerMeterX(x);
    if (y == 1 || qRound(recorded.ppi.y()) != image.logicalDpiY())
        image.setDotsPerMeterY(y);
}

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
    if (image.isNull()) {
        if (error)
            *error = reader.errorString();
        return image;
    }
    keepRecordedResolution(image, fileName);
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
    // Only formats whose grayness is known without looking at every pixel: the gray
    // ones and those with a gray colour table, 1-bit scans among them.
    const QVector<QRgb> table = image.colorTable();
    const bool grayTable = !table.isEmpty()
                           && std::all_of(table.cbegin(), table.cend(),
                                          [](QRgb c) { return qIsGray(c); });
    const bool gray = image.format() == QImage::Format_Grayscale8
                      || image.format() == QImage::Format_Grayscale16
                      || (image.depth() <= 8 && !image.hasAlphaChannel() && grayTable);
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
