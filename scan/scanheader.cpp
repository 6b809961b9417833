#include "scan/scanheader.h"

#include <QByteArray>
#include <QIODevice>

namespace scanheader {

namespace {

// Reads the integers of a header from a device in one byte order. Every read is a
// few bytes at a given offset, so a header naming offsets anywhere costs no more.
class Fields
{
public:
    Fields(QIODevice& device, bool bigEndian) : device(device), bigEndian(bigEndian) {}

    bool bytes(qint64 offset, int size, QByteArray* out) const
    {
        if (offset < 0 || !device.seek(offset))
            return false;
        *out = device.read(size);
        return out->size() == size;
    }
    // An unsigned integer of 1, 2 or 4 bytes; 0 when the file ends before it.
    quint32 number(qint64 offset, int size) const
    {
        QByteArray data;
        if (!bytes(offset, size, &data))
            return 0;
        quint32 value = 0;
        for (int i = 0; i < size; ++i)
            value = (value << 8) | quint8(data.at(bigEndian ? i : size - 1 - i));
        return value;
    }

private:
    QIODevice& device;
    bool bigEndian;
};

// Enough for every header seen in practice, and a bound for a hostile one.
constexpr int maxEntries = 4096;

// XResolution, YResolution and ResolutionUnit of the first image directory of a TIFF
// structure starting at base (a TIFF file, or the EXIF block of a JPEG).
QPointF tiffResolution(QIODevice& device, qint64 base)
{
    QByteArray order;
    if (!Fields(device, false).bytes(base, 2, &order) || (order != "II" && order != "MM"))
        return QPointF();
    const Fields f(device, order == "MM");
    if (f.number(base + 2, 2) != 42)
        return QPointF();
    const qint64 directory = base + f.number(base + 4, 4);
    const int count = qMin(int(f.number(directory, 2)), maxEntries);
    double x = 0;
    double y = 0;
    quint32 unit = 2;   // inches unless the file says otherwise
    for (int i = 0; i < count; ++i) {
        const qint64 entry = directory + 2 + 12 * qint64(i);
        const quint32 tag = f.number(entry, 2);
        const quint32 type = f.number(entry + 2, 2);
        double value = 0;
        if (type == 3) {            // SHORT
            value = f.number(entry + 8, 2);
        } else if (type == 4) {     // LONG
            value = f.number(entry + 8, 4);
        } else if (type == 5) {     // RATIONAL, stored elsewhere
            const qint64 at = base + f.number(entry + 8, 4);
            const quint32 denominator = f.number(at + 4, 4);
            value = denominator ? double(f.number(at, 4)) / denominator : 0;
        }
        if (tag == 0x011A)
            x = value;
        else if (tag == 0x011B)
            y = value;
        else if (tag == 0x0128)
            unit = quint32(value);
    }
    // Unit 1: an aspect ratio only, no absolute resolution.
    if (unit == 1 || unit > 3)
        return QPointF();
    const double perInch = unit == 3 ? 2.54 : 1.0;
    return QPointF(x * perInch, y * perInch);
}

Resolution jpeg(QIODevice& device)
{
    const Fields f(device, true);
    Resolution result{true, QPointF()};
    QPointF exif;
    qint64 at = 2;
    for (int segment = 0; segment < maxEntries; ++segment) {
        if (f.number(at, 1) != 0xFF)
            break;
        const quint32 marker = f.number(at + 1, 1);
        if (marker == 0xFF) {   // fill byte
            ++at;
            continue;
        }
        // Start of scan or end of image: no more header.
        if (marker == 0xDA || marker == 0xD9 || marker == 0)
            break;
        if (marker == 0x01 || (marker >= 0xD0 && marker <= 0xD7)) {
            at += 2;
            continue;
        }
        const quint32 length = f.number(at + 2, 2);
        if (length < 2)
            break;
        const qint64 data = at + 4;
        QByteArray name;
        if (marker == 0xE0 && length >= 16 && f.bytes(data, 5, &name) && name == QByteArray("JFIF", 5)) {
            const quint32 units = f.number(data + 7, 1);
            const double perInch = units == 2 ? 2.54 : 1.0;
            const QPointF density(f.number(data + 8, 2) * perInch, f.number(data + 10, 2) * perInch);
            // Units 0: the density is an aspect ratio only.
            if ((units == 1 || units == 2) && density.x() > 0 && density.y() > 0)
                result.ppi = density;
        } else if (marker == 0xE1 && f.bytes(data, 6, &name) && name == QByteArray("Exif\0\0", 6)) {
            exif = tiffResolution(device, data + 6);
        }
        at += 2 + length;
    }
    // JFIF first, as Qt's reader takes it; EXIF when JFIF gives none.
    if (result.ppi.isNull())
        result.ppi = exif;
    return result;
}

Resolution png(QIODevice& device)
{
    const Fields f(device, true);
    Resolution result{true, QPointF()};
    qint64 at = 8;
    for (int chunk = 0; chunk < maxEntries; ++chunk) {
        const quint32 length = f.number(at, 4);
        QByteArray type;
        if (!f.bytes(at + 4, 4, &type) || type == "IDAT" || type == "IEND")
            break;
        // Unit 1 is the metre; 0 gives an aspect ratio only.
        if (type == "pHYs" && length >= 9 && f.number(at + 16, 1) == 1)
            result.ppi = QPointF(f.number(at + 8, 4) * 0.0254, f.number(at + 12, 4) * 0.0254);
        at += 12 + qint64(length);
    }
    return result;
}

}

Resolution resolution(QIODevice& device)
{
    const QByteArray head = device.peek(8);
    if (head.startsWith("\xFF\xD8"))
        return jpeg(device);
    if (head == QByteArray("\x89PNG\r\n\x1A\n", 8))
        return png(device);
    if (head.startsWith(QByteArray("II*\0", 4)) || head.startsWith(QByteArray("MM\0*", 4)))
        return {true, tiffResolution(device, 0)};
    return Resolution();
}

}
