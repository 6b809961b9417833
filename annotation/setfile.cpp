#include "annotation/setfile.h"

#include "annotation/sectionformat.h"
#include "annotation/treaderror.h"

#include <QFile>
#include <QIODevice>
#include <QSize>
#include <QTextStream>
#include <QXmlStreamReader>

namespace setfile {

QStringList slotNames()
{
    return {"L1", "L2", "L3", "L4", "L5", "R1", "R2", "R3", "R4", "R5", "LPalm", "RPalm"};
}

static QString xmlError(const QXmlStreamReader& xml)
{
    return QString("Error reading XML file: %1 (line %2, column %3).")
        .arg(xml.errorString())
        .arg(xml.lineNumber())
        .arg(xml.columnNumber());
}

Contents read(QIODevice& device, bool tracedLines)
{
    Contents contents;
    QXmlStreamReader xml(&device);
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("dermatoglyphset")) {
        if (xml.hasError())
            throw TReadError(xmlError(xml));
        throw TReadError("Error reading XML file: the first element is not \"dermatoglyphset\".");
    }
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("images")) {
        if (xml.hasError())
            throw TReadError(xmlError(xml));
        throw TReadError("Error reading XML file: the second element is not \"images\".");
    }
    int n = 0;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement && xml.name() == QLatin1String("images"))
            break;
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() != QLatin1String("image")) {
            xml.skipCurrentElement();
            continue;
        }
        // A list longer than the twelve slots: the extra images have no slot.
        if (n < slotCount) {
            const QXmlStreamAttributes a = xml.attributes();
            contents.images[n].src = a.value("src").toString();
            contents.images[n].xPpi = a.value("xdpi").toInt();
            contents.images[n].yPpi = a.value("ydpi").toInt();
            contents.sizes[n] = QSize(a.value("width").toInt(), a.value("height").toInt());
        }
        ++n;
    }
    if (xml.hasError())
        throw TReadError(xmlError(xml));
    for (int i = 0; i < slotCount; ++i) {
        bool complete = false;
        try {
            complete = contents.records[i].read(xml, tracedLines);
        } catch (const TReadError&) {
            // A file cut short reads as a missing section: name the real cause.
            if (xml.hasError())
                throw TReadError(xmlError(xml));
            if (xml.isEndElement() || xml.isEndDocument())
                throw TReadError(QString("Error reading XML file: the file ends after %1 of "
                                         "the twelve prints.").arg(i));
            throw;
        }
        if (!complete) {
            if (xml.hasError())
                throw TReadError(xmlError(xml));
            throw TReadError(QString("Error reading XML file: the file ends after %1 of the "
                                     "twelve prints.").arg(i));
        }
    }
    // A program that knew no details stopped here, so whatever follows cannot
    // make a set unreadable.
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("details")) {
            const QXmlStreamAttributes a = xml.attributes();
            contents.subject = a.value("subject").toString();
            contents.examiner = a.value("examiner").toString();
            contents.date = a.value("date").toString();
            break;
        }
        xml.skipCurrentElement();
    }
    return contents;
}

void writeImageList(QTextStream& out, const QVector<SlotImage>& images,
                    const QVector<QSize>& sizes)
{
    using sectionformat::writeLine;
    writeLine(out, 0, "<dermatoglyphset>");
    writeLine(out, 2, "<images>");
    for (int i = 0; i < images.size(); ++i) {
        // A slot without image has no size, whatever QSize calls that.
        const QSize size = sizes.value(i).expandedTo(QSize(0, 0));
        writeLine(out, 4, "<image src=\"" + sectionformat::escaped(images[i].src)
                              + "\" xdpi=\"" + QString::number(images[i].xPpi)
                              + "\" ydpi=\"" + QString::number(images[i].yPpi)
                              + "\" width=\"" + QString::number(size.width())
                              + "\" height=\"" + QString::number(size.height()) + "\" />");
    }
    writeLine(out, 2, "</images>");
}

bool isSetFile(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QXmlStreamReader xml(&file);
    return xml.readNextStartElement() && xml.name() == QLatin1String("dermatoglyphset");
}

sectionwriter::Kind kindOf(int slot)
{
    return slot < 10 ? sectionwriter::Finger : sectionwriter::Palm;
}

void write(QTextStream& out, const Contents& contents)
{
    writeImageList(out, contents.images, contents.sizes);
    for (int i = 0; i < slotCount; ++i)
        sectionwriter::write(out, contents.records.value(i), kindOf(i),
                             kindOf(i) == sectionwriter::Palm);
    using sectionformat::escaped;
    if (!contents.subject.isEmpty() || !contents.examiner.isEmpty() || !contents.date.isEmpty())
        sectionformat::writeLine(out, 2, "<details subject=\"" + escaped(contents.subject)
                                             + "\" examiner=\"" + escaped(contents.examiner)
                                             + "\" date=\"" + escaped(contents.date) + "\" />");
    sectionformat::writeLine(out, 0, "</dermatoglyphset>");
}

}
