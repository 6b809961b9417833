#ifndef SECTIONWRITER_H
#define SECTIONWRITER_H

#include <QString>
#include <QStringList>

class QTextStream;
class TGlyphRecord;

// The one writer of annotation sections: a record in, the section's text out,
// byte for byte as the set file and the stand-alone files hold it. The reader
// that does the reverse is TGlyphRecord::read.
namespace sectionwriter {

enum Kind { Finger, Palm };

// The settings a section of kind holds, in the order they are written, and how
// many values each has.
QStringList settingTypes(Kind kind);
int settingArity(const QString& type);

// Writes record as a section of kind. The image element (src and resolution) is
// written when withImage is set; a palm section inside a set file has it too.
// Settings are written in their kind's order, those record does not hold and
// types of no known kind being left out; coordinates with six significant digits.
void write(QTextStream& out, const TGlyphRecord& record, Kind kind, bool withImage);

// The head every section starts with: the root's opening tag, the image element
// when withImage is set, the crop outline and the transform.
void writeHead(QTextStream& out, const TGlyphRecord& record, bool withImage);

// The settings of record that a section of kind holds, in their order.
void writeSettings(QTextStream& out, const TGlyphRecord& record, Kind kind);

// The same as a text.
QString text(const TGlyphRecord& record, Kind kind, bool withImage);

// A stand-alone file: the XML declaration and the section with its image
// element. False with the reason in error when it could not be written, an
// earlier file of that name then being left as it was.
bool writeFile(const QString& fileName, const TGlyphRecord& record, Kind kind, QString* error);

}

#endif
