#include "annotation/sectionformat.h"

#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

namespace sectionformat {

QString number(double value)
{
    return QString::number(value, 'g', 6);
}

QString escaped(const QString& text)
{
    const QString kept = storable(text);
    QString result;
    result.reserve(kept.size());
    for (const QChar c : kept) {
        switch (c.unicode()) {
        case '&': result += QLatin1String("&amp;"); break;
        case '<': result += QLatin1String("&lt;"); break;
        case '>': result += QLatin1String("&gt;"); break;
        case '"': result += QLatin1String("&quot;"); break;
        case '\t': result += QLatin1String("&#9;"); break;
        case '\n': result += QLatin1String("&#10;"); break;
        case '\r': result += QLatin1String("&#13;"); break;
        default: result += c;
        }
    }
    return result;
}

QString storable(const QString& text)
{
    QString result;
    result.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const ushort u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            result += c;
            result += text.at(++i);
            continue;
        }
        const bool control = u < 0x20 && u != '\t' && u != '\n' && u != '\r';
        if (control || c.isSurrogate() || u == 0xFFFE || u == 0xFFFF)
            continue;
        result += c;
    }
    return result;
}

bool isStorable(const QString& text)
{
    return storable(text).size() == text.size();
}

void writeLine(QTextStream& out, int indent, const QString& text)
{
    out << QString(indent, QLatin1Char(' ')) << text << "\r\n";
}

QString pointAttributes(const QPointF& p)
{
    return "x=\"" + number(p.x()) + "\" y=\"" + number(p.y()) + "\"";
}

void writePoint(QTextStream& out, int indent, const QPointF& p)
{
    writeLine(out, indent, "<point " + pointAttributes(p) + " />");
}

void writePointBlock(QTextStream& out, const QString& open, const QString& close,
                     const QVector<QPointF>& points)
{
    writeLine(out, 2, open);
    for (const QPointF& p : points)
        writePoint(out, 4, p);
    writeLine(out, 2, close);
}

void writeLandmark(QTextStream& out, const QPointF& position,
                   const QVector<QVector<QPointF>>& ridgeLines, const QString& extra,
                   const QString& leafEnd)
{
    const QString head = "<point " + pointAttributes(position) + extra;
    if (ridgeLines.isEmpty()) {
        writeLine(out, 4, head + leafEnd);
        return;
    }
    writeLine(out, 4, head + ">");
    for (const QVector<QPointF>& line : ridgeLines) {
        writeLine(out, 6, "<line type=\"ridge\">");
        for (const QPointF& p : line)
            writeLine(out, 8, "<point " + pointAttributes(p) + "/>");
        writeLine(out, 6, "</line>");
    }
    writeLine(out, 4, "</point>");
}

void writeSetting(QTextStream& out, const QString& type, const QStringList& values)
{
    static const char* const names[] = {"first", "second", "third"};
    QString text = "<setting type=\"" + escaped(type) + "\"";
    for (int i = 0; i < values.size() && i < 3; ++i)
        text += QString(" ") + names[i] + "=\"" + escaped(values.at(i)) + "\"";
    writeLine(out, 2, text + " />");
}

QString answerFlags(const QVector<bool>& answered)
{
    QString flags;
    for (const bool a : answered)
        flags += a ? QLatin1Char('1') : QLatin1Char('0');
    return flags;
}

QVector<bool> answers(const QString& flags, int count)
{
    QVector<bool> answered(count, true);
    for (int i = 0; i < count && i < flags.size(); ++i)
        answered[i] = flags.at(i) != QLatin1Char('0');
    return answered;
}

void writeImage(QTextStream& out, const QString& src, double xPpi, double yPpi)
{
    writeLine(out, 0, "<image src=\"" + escaped(src) + "\" xdpi=\"" + number(xPpi)
                          + "\" ydpi=\"" + number(yPpi) + "\"/>");
}

void prepareStream(QTextStream& out)
{
    out.setCodec("UTF-8");
}

bool writeXmlFile(const QString& fileName, const std::function<void(QTextStream&)>& body,
                  QString* error)
{
    return writeTextFile(fileName, [&body](QTextStream& out) {
        writeLine(out, 0, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>");
        body(out);
    }, error);
}

bool writeTextFile(const QString& fileName, const std::function<void(QTextStream&)>& body,
                   QString* error)
{
    QSaveFile file(fileName);
    // Saving over a file the user may write, in a folder where no temporary file can
    // be made beside it: written in place, as a plain save would.
    const QFileInfo info(fileName);
    if (info.exists() && info.isWritable() && !QFileInfo(info.absolutePath()).isWritable())
        file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    {
        QTextStream out(&file);
        prepareStream(out);
        body(out);
        out.flush();
        if (out.status() != QTextStream::Ok) {
            if (error)
                *error = file.errorString();
            file.cancelWriting();
            return false;
        }
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

}
