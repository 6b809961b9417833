#ifndef SETFILE_H
#define SETFILE_H

#include "annotation/sectionwriter.h"
#include "annotation/tglyphrecord.h"

#include <QSize>
#include <QString>
#include <QStringList>
#include <QVector>

class QIODevice;
class QTextStream;

// The set file without widgets: what a set file holds once read and checked, and
// the lines of its image list.
namespace setfile {

constexpr int slotCount = 12;
// The slots' names in slot order: L1 to L5, R1 to R5, LPalm, RPalm.
QStringList slotNames();

struct SlotImage {
    QString src;
    int xPpi = 0;
    int yPpi = 0;
};

struct Contents {
    QVector<SlotImage> images = QVector<SlotImage>(slotCount);
    // The sizes of the images as imported, before any crop; empty when not given.
    QVector<QSize> sizes = QVector<QSize>(slotCount);
    QVector<TGlyphRecord> records = QVector<TGlyphRecord>(slotCount);
    // Who the prints are of, who took them down and when, as the examiner typed
    // them; empty when not given.
    QString subject;
    QString examiner;
    QString date;
};

// Reads and checks a whole set file: the image list, all twelve sections and the
// set's details after them. Throws TReadError with the text for the user on any
// structural error, malformed or truncated XML included; nothing is returned
// half-read. What follows the twelve sections is read as leniently as before
// the details were kept there. Without tracedLines the sections' radiants and
// central lines are checked but not kept.
Contents read(QIODevice& device, bool tracedLines = true);

// Lines 2 to 4 and 5 of a set file: the root, the image list and its end.
void writeImageList(QTextStream& out, const QVector<SlotImage>& images,
                    const QVector<QSize>& sizes);

// A whole set file after its XML declaration: the image list, the twelve sections
// (fingers, then palms with their image element), the details when any is given,
// and the closing tag.
void write(QTextStream& out, const Contents& contents);

// Whether the file at path is a set file (its first element is "dermatoglyphset").
bool isSetFile(const QString& path);

// The kind of section slot i holds.
sectionwriter::Kind kindOf(int slot);

}

#endif
