#include "annotation/tglyphrecord.h"

#include "annotation/treaderror.h"

#include <QXmlStreamReader>
#include <QtMath>

#include <charconv>

namespace {

// Where the next point element goes.
enum class Target { None, Crop, Flexion, Cores, Triradia, CC, CT, AT, BA, CB, DC, TD, Ridge };

}

TGlyphRecord::TGlyphRecord()
    : present(triradiusSlots, false), determined(triradiusSlots, false)
{
}

QVector<QVector<QPointF>> TGlyphRecord::ridgeLines(int coreIndex) const
{
    return coreRidgeLines.value(coreIndex);
}

QVector<QVector<QPointF>> TGlyphRecord::triradiusRidgeLines(int index) const
{
    return triradiusLines.value(index);
}

QVector<QPointF> TGlyphRecord::palmCount(int i) const
{
    switch (i) {
    case 0: return ba;
    case 1: return cb;
    case 2: return dc;
    case 3: return td;
    default: return QVector<QPointF>();
    }
}

void TGlyphRecord::setPalmCount(int i, const QVector<QPointF>& points)
{
    switch (i) {
    case 0: ba = points; break;
    case 1: cb = points; break;
    case 2: dc = points; break;
    case 3: td = points; break;
    default: break;
    }
}

bool TGlyphRecord::operator==(const TGlyphRecord& o) const
{
    return src == o.src && xPpi == o.xPpi && yPpi == o.yPpi && angle == o.angle
           && flip == o.flip && crop == o.crop && flexion == o.flexion && cores == o.cores
           && triradia == o.triradia && present == o.present && determined == o.determined
           && cc == o.cc && ct == o.ct && at == o.at && ba == o.ba && cb == o.cb && dc == o.dc
           && td == o.td && coreRidgeLines == o.coreRidgeLines
           && triradiusLines == o.triradiusLines && settings == o.settings;
}

QStringList TGlyphRecord::setting(const QString& type) const
{
    return settings.value(type);
}

// A coordinate that does not parse, or is not a finite number, reads as 0.
static double coordinate(const QStringRef& text)
{
    // A set holds thousands of coordinates: those in the plain form the writers
    // give (sign, digits, point, exponent) are read without the locale handling
    // of toDouble, which gives the same correctly rounded value for them.
    char plain[32];
    const int n = text.size();
    bool simple = n > 0 && n < int(sizeof plain);
    for (int i = 0; simple && i < n; ++i) {
        const ushort c = text.at(i).unicode();
        simple = (c >= '0' && c <= '9') || c == '.' || c == '-' || c == 'e' || c == '+';
        plain[i] = char(c);
    }
    double v = 0;
    if (simple) {
        const std::from_chars_result read = std::from_chars(plain, plain + n, v);
        simple = read.ec == std::errc() && read.ptr == plain + n;
    }
    if (!simple)
        v = text.toDouble();
    return qIsFinite(v) ? v : 0.0;
}

static void appendLine(QVector<QVector<QVector<QPointF>>>& perLandmark, int index,
                       const QVector<QPointF>& line)
{
    // A ridge line read before any landmark of its kind has no owner: dropped.
    if (index < 0)
        return;
    while (perLandmark.size() <= index)
        perLandmark.append(QVector<QVector<QPointF>>());
    perLandmark[index].append(line);
}

bool TGlyphRecord::read(QXmlStreamReader& xml, bool tracedLines)
{
    if (!xml.readNextStartElement() || xml.name() != QLatin1String("dermatoglyph"))
        throw TReadError("Error reading XML file: the first element is not \"dermatoglyph\".");

    Target target = Target::None;
    Target savedTarget = Target::None;
    bool inRidgeLine = false;
    bool inCore = false;
    bool inTriradium = false;
    QVector<QPointF> scratch;

    auto listOf = [&](Target t) -> QVector<QPointF>* {
        switch (t) {
        case Target::Crop: return &crop;
        case Target::Flexion: return &flexion;
        case Target::Cores: return &cores;
        case Target::Triradia: return &triradia;
        case Target::CC: return &cc;
        case Target::CT: return ct.isEmpty() ? nullptr : &ct.last();
        case Target::AT: return &at;
        case Target::BA: return &ba;
        case Target::CB: return &cb;
        case Target::DC: return &dc;
        case Target::TD: return &td;
        case Target::Ridge: return &scratch;
        case Target::None: break;
        }
        return nullptr;
    };

    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::EndElement) {
            const QStringRef name = xml.name();
            if (name == QLatin1String("dermatoglyph"))
                return true;
            if (name == QLatin1String("line") && inRidgeLine) {
                if (tracedLines && inCore)
                    appendLine(coreRidgeLines, cores.size() - 1, scratch);
                else if (tracedLines && inTriradium)
                    appendLine(triradiusLines, triradia.size() - 1, scratch);
                target = savedTarget;
                inRidgeLine = false;
                scratch.clear();
            } else if (name == QLatin1String("core")) {
                inCore = false;
            } else if (name == QLatin1String("triradium")) {
                inTriradium = false;
            }
            continue;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;

        const QStringRef name = xml.name();
        const QXmlStreamAttributes attributes = xml.attributes();
        // Points are by far the most frequent element; they are looked at first.
        if (name == QLatin1String("point")) {
            if (target == Target::Ridge && !tracedLines)
                continue;
            // Latin-1 names: a name given as text would be converted for every
            // lookup.
            const QPointF p(coordinate(attributes.value(QLatin1String("x"))),
                            coordinate(attributes.value(QLatin1String("y"))));
            if (target == Target::Triradia) {
                const int i = triradia.size();
                // Only seventeen slots carry flags; later points keep none.
                if (i < triradiusSlots) {
                    if (attributes.hasAttribute(QLatin1String("p")))
                        present[i] = attributes.value(QLatin1String("p")).toInt() == 1;
                    if (attributes.hasAttribute(QLatin1String("d")))
                        determined[i] = attributes.value(QLatin1String("d")).toInt() == 1;
                }
            }
            if (QVector<QPointF>* list = listOf(target))
                list->append(p);
        } else if (name == QLatin1String("image")) {
            src = attributes.value("src").toString();
            xPpi = coordinate(attributes.value(QLatin1String("xdpi")));
            yPpi = coordinate(attributes.value(QLatin1String("ydpi")));
        } else if (name == QLatin1String("setting")) {
            QStringList values{QString(), QString(), QString()};
            values[0] = attributes.value("first").toString();
            values[1] = attributes.value("second").toString();
            values[2] = attributes.value("third").toString();
            settings.insert(attributes.value("type").toString(), values);
        } else if (name == QLatin1String("transform")) {
            angle = attributes.value("angle").toInt();
            flip = attributes.value("flip").toInt() == 1;
        } else if (name == QLatin1String("flexion")) {
            target = Target::Flexion;
        } else if (name == QLatin1String("core")) {
            inCore = true;
            inTriradium = false;
            target = Target::Cores;
        } else if (name == QLatin1String("crop")) {
            target = Target::Crop;
        } else if (name == QLatin1String("triradium")) {
            inCore = false;
            inTriradium = true;
            target = Target::Triradia;
        } else if (name == QLatin1String("line")) {
            const QStringRef type = attributes.value(QLatin1String("type"));
            if (type == QLatin1String("ridge")) {
                // A ridge line inside a ridge line keeps the outer owner's target.
                if (!inRidgeLine)
                    savedTarget = target;
                inRidgeLine = true;
                target = Target::Ridge;
            } else if (type == QLatin1String("cc")) {
                target = Target::CC;
            } else if (type == QLatin1String("at")) {
                target = Target::AT;
            } else if (type == QLatin1String("ba")) {
                target = Target::BA;
            } else if (type == QLatin1String("cb")) {
                target = Target::CB;
            } else if (type == QLatin1String("dc")) {
                target = Target::DC;
            } else if (type == QLatin1String("td")) {
                target = Target::TD;
            } else if (type == QLatin1String("ct")) {
                ct.append(QVector<QPointF>());
                target = Target::CT;
            }
        } else {
            xml.skipCurrentElement();
        }
    }
    return false;
}
