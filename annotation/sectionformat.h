#ifndef SECTIONFORMAT_H
#define SECTIONFORMAT_H

#include <QList>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <functional>

class QTextStream;

// The pieces every annotation section and set file is written from, so finger,
// palm and set writers produce the same bytes for the same things.
namespace sectionformat {

// Six significant digits, exponent form below 1e-4 or from 1e6 on.
QString number(double value);
// The text of an attribute value with &, <, > and " escaped, and tab, line feed and
// carriage return as character references, so the reader does not turn them into
// blanks. Characters XML 1.0 cannot hold in any form (see storable) are left out.
QString escaped(const QString& text);
// The text without the characters an XML 1.0 file cannot hold, written raw or as
// references: control characters other than tab, line feed and carriage return,
// U+FFFE, U+FFFF and unpaired surrogates.
QString storable(const QString& text);
// Whether every character of text can be written into a file and read back.
bool isStorable(const QString& text);
// indent blanks, text, CR LF.
void writeLine(QTextStream& out, int indent, const QString& text);
// x="X" y="Y"
QString pointAttributes(const QPointF& p);
// <point x="X" y="Y" /> at the given indentation.
void writePoint(QTextStream& out, int indent, const QPointF& p);
// <open>, one point line per point at indent + 2, </close>; at indent 2.
void writePointBlock(QTextStream& out, const QString& open, const QString& close,
                     const QVector<QPointF>& points);
// A core or triradius at indentation 4 with its traced ridge lines. extra is put
// after the coordinates (such as p="1" d="0"); leafEnd closes a point without lines.
void writeLandmark(QTextStream& out, const QPointF& position,
                   const QVector<QVector<QPointF>>& ridgeLines,
                   const QString& extra = QString(), const QString& leafEnd = " />");
// <setting type="T" first=".." second=".." [third=".."] /> at indentation 2; the
// values name first, second and (when there are three) third.
void writeSetting(QTextStream& out, const QString& type, const QStringList& values);
// A row of answered flags as a setting value: "1" for an answered box, "0" for
// one the examiner has not chosen an entry in yet.
QString answerFlags(const QVector<bool>& answered);
// The count flags such a value holds. Only a "0" marks a box unanswered: an
// absent or short value (a set written before answers were kept) answers the
// rest.
QVector<bool> answers(const QString& flags, int count);
// <image src="SRC" xdpi="X" ydpi="Y"/> at indentation 0.
void writeImage(QTextStream& out, const QString& src, double xPpi, double yPpi);

// Writes body as UTF-8 into fileName through a QSaveFile, so an existing file is
// replaced only by a complete new one. On failure returns false with the reason
// in error and leaves any earlier file as it was. The one exception: an existing
// writable file in a folder that is not writable is written in place.
bool writeTextFile(const QString& fileName, const std::function<void(QTextStream&)>& body,
                   QString* error);
// The same with the XML declaration before body.
bool writeXmlFile(const QString& fileName, const std::function<void(QTextStream&)>& body,
                  QString* error);

// Sets UTF-8 on a stream that a section or set file is written to.
void prepareStream(QTextStream& out);

}

#endif
