#include "annotation/sectionwriter.h"

#include "annotation/fingerlines.h"
#include "annotation/palmformula.h"
#include "annotation/palmlines.h"
#include "annotation/sectionformat.h"
#include "annotation/tglyphrecord.h"

#include <QTextStream>

namespace sectionwriter {

QStringList settingTypes(Kind kind)
{
    // Those after today's are written only when they say something, so a section
    // whose every box was answered reads as before.
    if (kind == Finger)
        return {"flexion", "extralimital", "rotation", "termination", "pattern", "answered"};
    return palmformula::terminationTypes() + palmformula::patternTypes()
           + QStringList{"answered"};
}

int settingArity(const QString& type)
{
    if (type == QLatin1String("pattern"))
        return 1;
    return type == QLatin1String("flexion") || type == QLatin1String("extralimital")
                   || type == QLatin1String("answered")
               ? 2
               : 3;
}

void writeSettings(QTextStream& out, const TGlyphRecord& record, Kind kind)
{
    for (const QString& type : settingTypes(kind)) {
        const auto found = record.settings.constFind(type);
        if (found == record.settings.constEnd())
            continue;
        QStringList values = found.value();
        const int arity = settingArity(type);
        while (values.size() < arity)
            values.append(QString());
        sectionformat::writeSetting(out, type, values.mid(0, arity));
    }
}

void writeHead(QTextStream& out, const TGlyphRecord& record, bool withImage)
{
    using namespace sectionformat;
    writeLine(out, 0, "<dermatoglyph>");
    if (withImage)
        writeImage(out, record.src, record.xPpi, record.yPpi);
    writePointBlock(out, "<crop>", "</crop>", record.crop);
    writeLine(out, 2, "<transform angle=\"" + QString::number(record.angle) + "\" flip=\""
                          + (record.flip ? "1" : "0") + "\" />");
}

// Traced lines without points are not written: a line opened and never traced.
static QVector<QVector<QPointF>> traced(const QVector<QVector<QPointF>>& lines)
{
    QVector<QVector<QPointF>> kept;
    for (const QVector<QPointF>& line : lines)
        if (!line.isEmpty())
            kept.append(line);
    return kept;
}

static void writeFinger(QTextStream& out, const TGlyphRecord& record)
{
    using namespace sectionformat;
    writePointBlock(out, "<flexion>", "</flexion>", record.flexion);
    writeLine(out, 2, "<core>");
    for (int i = 0; i < record.cores.size(); ++i)
        writeLandmark(out, record.cores.at(i), traced(record.ridgeLines(i)));
    writeLine(out, 2, "</core>");
    writeLine(out, 2, "<triradium>");
    for (int i = 0; i < record.triradia.size(); ++i)
        writeLandmark(out, record.triradia.at(i), traced(record.triradiusRidgeLines(i)));
    writeLine(out, 2, "</triradium>");
    if (fingerlines::hasCoreCoreLine(record.cores.size()))
        writePointBlock(out, "<line type=\"cc\">", "</line>", record.cc);
    const int lines = fingerlines::coreTriradiusPairs(record.cores.size(),
                                                      record.triradia.size()).size();
    for (int i = 0; i < lines; ++i)
        writePointBlock(out, "<line type=\"ct\">", "</line>", record.ct.value(i));
}

static void writePalm(QTextStream& out, const TGlyphRecord& record)
{
    using namespace sectionformat;
    writeLine(out, 2, "<triradium>");
    QVector<bool> placed(palmlines::slotCount);
    for (int i = 0; i < palmlines::slotCount; ++i) {
        placed[i] = i < record.triradia.size() && record.determined.value(i);
        const QString flags = QString(" p=\"%1\" d=\"%2\"")
                                  .arg(record.present.value(i) ? 1 : 0)
                                  .arg(record.determined.value(i) ? 1 : 0);
        writeLandmark(out, record.triradia.value(i), traced(record.triradiusRidgeLines(i)), flags,
                      "/>");
    }
    writeLine(out, 2, "</triradium>");
    static const char* const names[] = {"ba", "cb", "dc", "td"};
    const QVector<QPair<int, int>> pairs = palmlines::countLinePairs(placed);
    for (int i = 0; i < palmlines::lineCount; ++i)
        if (pairs.at(i).first >= 0)
            writePointBlock(out, QString("<line type=\"%1\">").arg(names[i]), "</line>",
                            record.palmCount(i));
    writeLine(out, 2, "<core>");
    for (int i = 0; i < record.cores.size(); ++i)
        writeLandmark(out, record.cores.at(i), traced(record.ridgeLines(i)));
    writeLine(out, 2, "</core>");
}

void write(QTextStream& out, const TGlyphRecord& record, Kind kind, bool withImage)
{
    writeHead(out, record, withImage);
    if (kind == Finger)
        writeFinger(out, record);
    else
        writePalm(out, record);
    writeSettings(out, record, kind);
    sectionformat::writeLine(out, 0, "</dermatoglyph>");
}

QString text(const TGlyphRecord& record, Kind kind, bool withImage)
{
    QString section;
    QTextStream out(&section);
    write(out, record, kind, withImage);
    out.flush();
    return section;
}

bool writeFile(const QString& fileName, const TGlyphRecord& record, Kind kind, QString* error)
{
    return sectionformat::writeXmlFile(
        fileName, [&](QTextStream& out) { write(out, record, kind, true); }, error);
}

}
