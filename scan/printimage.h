#ifndef PRINTIMAGE_H
#define PRINTIMAGE_H

#include <QImage>
#include <QString>

// Reading scans safely and once: the checks every image read goes through, and the
// one conversion that lets all slots share the pixels their pixmaps are made from.
namespace printimage {

// What the import dialogs offer: every kind of scan at once, then each kind.
constexpr const char* fileFilter =
    "Images (*.jpg *.jpeg *.tif *.tiff *.png);;*.jpg *.jpeg;;*.tif *.tiff;;*.png";

// Scans whose header declares more pixels than this are refused before decoding.
constexpr qint64 maxPixels = 256LL * 1000 * 1000;

// Decodes fileName, which must be a regular file (or a link to one). On failure
// returns a null image and the reason in error (the reader's own reason, that the
// file is no regular file, or that the image is too large). The image carries the
// resolution the file records; without one its logicalDpiX/Y are 0.
QImage load(const QString& fileName, QString* error);

// The part rect of image without copying a pixel: the cut shares the image's
// memory and keeps it alive. Prints are only read, never written, so a crop of a
// scan costs nothing however large.
QImage cut(const QImage& image, const QRect& rect);

// The image in the format the slots' pixmaps hold: 8-bit gray for gray scans
// (1-bit ones too), otherwise 32-bit. Pixmaps made from it with
// Qt::NoFormatConversion share its pixels instead of converting them for every slot.
QImage forDisplay(const QImage& image);

}

#endif
