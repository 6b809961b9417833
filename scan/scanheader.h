#ifndef SCANHEADER_H
#define SCANHEADER_H

#include <QPointF>

class QIODevice;

// The resolution a scan records, read from its header. Qt's readers give a scan
// that records none the screen's resolution, which cannot be told from a measured
// one; the header can tell.
namespace scanheader {

struct Resolution {
    // The file is a JPEG, PNG or TIFF and its header could be read.
    bool read = false;
    // Pixels per inch as recorded; 0 on an axis the header gives no resolution for.
    QPointF ppi;
};

// JFIF density (or else the EXIF resolution) of a JPEG, the pHYs chunk of a PNG in
// metres, the resolution tags of a TIFF's first image in inches or centimetres.
Resolution resolution(QIODevice& device);

}

#endif
