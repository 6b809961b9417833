#ifndef TGLYPHRECORD_H
#define TGLYPHRECORD_H

#include <QList>
#include <QMap>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <QVector>

class QXmlStreamReader;

// One annotation section (finger or palm) as read from a file: a plain value that
// the views, editors and panels restore themselves from.
class TGlyphRecord
{
public:
    static constexpr int triradiusSlots = 17;

    TGlyphRecord();

    // Reads the next "dermatoglyph" section from xml. Throws TReadError when the
    // next element is something else. Returns true when the section's closing tag
    // was reached, false when the reader ran out or met malformed XML first (the
    // record then keeps what was read so far). Without tracedLines the radiants
    // and central lines are read over but not kept, for readers that need no
    // more than the landmarks and counts.
    bool read(QXmlStreamReader& xml, bool tracedLines = true);

    QList<QList<QPointF>> ridgeLines(int coreIndex) const;
    QList<QList<QPointF>> triradiusRidgeLines(int index) const;
    QStringList setting(const QString& type) const;
    // The ridge points read for palm ridge-count line i (0 "ba", 1 "cb", 2 "dc",
    // 3 "td"); none for another index.
    QList<QPointF> palmCount(int i) const;

    QString src;
    QList<QPointF> cores;
    QList<QPointF> crop;
    QList<QPointF> triradia;
    QList<QPointF> flexion;
    QList<QPointF> cc;
    QList<QList<QPointF>> ct;
    QList<QPointF> at, ba, cb, dc, td;
    QList<QList<QList<QPointF>>> coreRidgeLines;
    QList<QList<QList<QPointF>>> triradiusLines;
    int angle = 0;
    bool flip = false;
    QVector<bool> present;
    QVector<bool> determined;
    QMap<QString, QStringList> settings;
};

#endif
