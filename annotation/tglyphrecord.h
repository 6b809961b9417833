#ifndef TGLYPHRECORD_H
#define TGLYPHRECORD_H

#include <QList>
#include <QMap>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <QVector>

class QXmlStreamReader;

// One annotation section (finger or palm) as plain data: what the reader fills from
// a file, what the views, panels and editors give as their state and take back,
// what the writer turns into the section's text, and what undo keeps.
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

    QVector<QVector<QPointF>> ridgeLines(int coreIndex) const;
    QVector<QVector<QPointF>> triradiusRidgeLines(int index) const;
    QStringList setting(const QString& type) const;
    // The ridge points read for palm ridge-count line i (0 "ba", 1 "cb", 2 "dc",
    // 3 "td"); none for another index.
    QVector<QPointF> palmCount(int i) const;
    void setPalmCount(int i, const QVector<QPointF>& points);

    // Equal in every field, coordinates compared as QPointF does (to about twelve
    // digits).
    bool operator==(const TGlyphRecord& other) const;
    bool operator!=(const TGlyphRecord& other) const { return !(*this == other); }

    QString src;
    // The resolution the image element gives (a palm section, a stand-alone file).
    double xPpi = 0;
    double yPpi = 0;
    QVector<QPointF> cores;
    QVector<QPointF> crop;
    QVector<QPointF> triradia;
    QVector<QPointF> flexion;
    QVector<QPointF> cc;
    QVector<QVector<QPointF>> ct;
    QVector<QPointF> at, ba, cb, dc, td;
    QVector<QVector<QVector<QPointF>>> coreRidgeLines;
    QVector<QVector<QVector<QPointF>>> triradiusLines;
    int angle = 0;
    bool flip = false;
    QVector<bool> present;
    QVector<bool> determined;
    QMap<QString, QStringList> settings;
};

#endif
