#ifndef MARKPENS_H
#define MARKPENS_H

#include <QColor>
#include <QPen>

// The pens marks are drawn with.
namespace markpens {

// A one-pixel line at any zoom. Width 0 draws it the same as width 1, and keeps
// a line's bounding box its ends' own instead of a stroked outline worked out at
// every paint.
inline QPen cosmetic(const QColor& color, Qt::PenStyle style = Qt::SolidLine)
{
    QPen pen(color, 0);
    pen.setStyle(style);
    pen.setCosmetic(true);
    return pen;
}

// The colour of the crease's perpendiculars and of the line between two triradii.
inline QColor perpendicular()
{
    return QColor(0, 155, 0);
}

}

#endif
