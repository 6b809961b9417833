#include "tables/resultstable.h"

#include "analysis/creaseaxis.h"
#include "annotation/fingerchoices.h"
#include "annotation/fingerlines.h"
#include "annotation/geometry.h"
#include "annotation/palmformula.h"
#include "annotation/palmlines.h"
#include "annotation/tglyphrecord.h"
#include "scan/printgeometry.h"
#include "tables/columns.h"

#include <QFileInfo>
#include <QMap>
#include <QTextStream>

#include <algorithm>
#include <cmath>

namespace resultstable {

namespace {

using namespace columns;

const int fingerCount = 10;
const int leftPalm = 10;
const int rightPalm = 11;

QString count(int n)
{
    return QString::number(n);
}

// The finger view sorts landmarks by x as it places them; equal x keeps the
// order they came in.
QVector<QPointF> sortedByX(QVector<QPointF> points)
{
    std::stable_sort(points.begin(), points.end(),
                     [](const QPointF& a, const QPointF& b) { return a.x() < b.x(); });
    return points;
}

// The length of the perpendicular from p to the axis in millimetres; empty
// without a resolution to measure by.
QString creaseDistance(const QPointF& p, const QLineF& axis, const setfile::SlotImage& image)
{
    if (!hasResolution(image))
        return QString();
    const QPointF d = lineIntersectionFoot(axis, p) - p;
    return QString::number(std::hypot(d.x() * 25.4 / image.xPpi, d.y() * 25.4 / image.yPpi),
                           'f', 3);
}

// The panel's questions, each where the panel asks it for the print's cores and
// triradii (TFingerSettings::updatePanels) and the examiner answered it.
void fingerClassification(const fingerchoices::Classification& c, int cores, int triradia,
                          QStringList& row)
{
    for (int i = 0; i < 2; ++i) {
        row[FlexionRadial + i] = c.flexion[i] ? "1" : "0";
        row[ExtralimitalRadial + i] = c.extralimital[i] ? "1" : "0";
    }
    const bool asked[2][3] = {
        {cores == 2 && triradia == 2, cores == 2 && triradia == 2, cores == 1 && triradia == 2},
        {cores == 2, cores == 2, cores == 1}};
    for (int i = 0; i < 3; ++i) {
        if (asked[0][i] && c.rotationAnswered[i])
            row[Rotation1 + i] = c.rotation[i];
        if (asked[1][i] && c.terminationAnswered[i])
            row[Termination1 + i] = c.termination[i];
    }
}

// The counts on the radial and ulnar triradius. counts holds the core-triradius
// counts in line order (rc_ct1, rc_ct2), lines the landmarks they join.
void sideCounts(const QVector<int>& counts, const QVector<QPair<int, int>>& lines,
                const QVector<QPointF>& cores, const QVector<QPointF>& triradia,
                bool rightHand, bool mirrored, QStringList& row)
{
    QString left, right;
    if (lines.size() == 2) {
        left = count(counts.at(0));
        right = count(counts.at(1));
    } else if (lines.size() == 1) {
        const double dx = triradia.at(lines.at(0).second).x() - cores.at(lines.at(0).first).x();
        if (dx < 0)
            left = count(counts.at(0));
        else if (dx > 0)
            right = count(counts.at(0));
    }
    // The ulnar side of a right hand is on the viewer's right as taken.
    const bool ulnarOnRight = rightHand != mirrored;
    row[RcUlnar] = ulnarOnRight ? right : left;
    row[RcRadial] = ulnarOnRight ? left : right;
}

void fingerValues(int slot, const TGlyphRecord& record, const setfile::SlotImage& image,
                  const QSize& imported, QStringList& row)
{
    const fingerchoices::Classification c = fingerchoices::loadedClassification(record.settings);
    const QVector<QPointF> cores = sortedByX(record.cores);
    const QVector<QPointF> triradia = sortedByX(record.triradia);
    const bool annotated = !cores.isEmpty() || !triradia.isEmpty() || !c.pattern.isEmpty();
    row[Pattern] = c.pattern;
    if (annotated) {
        row[Cores] = count(cores.size());
        row[Triradii] = count(triradia.size());
        fingerClassification(c, cores.size(), triradia.size(), row);
    }
    if (fingerlines::hasCoreCoreLine(cores.size()))
        row[RcCc] = count(record.cc.size());
    const QVector<QPair<int, int>> pairs =
        fingerlines::coreTriradiusPairs(cores.size(), triradia.size());
    QVector<int> counts;
    for (int i = 0; i < 2 && i < pairs.size(); ++i) {
        counts.append(record.ct.value(i).size());
        row[RcCt1 + i] = count(counts.last());
    }
    if (!counts.isEmpty())
        row[RcMax] = count(*std::max_element(counts.begin(), counts.end()));
    // More than two lines is a marking slip: no side can be told.
    if (pairs.size() <= 2)
        sideCounts(counts, pairs, cores, triradia, slot >= 5, record.flip, row);

    // The editor fits the axis within the print as it shows it after the crop,
    // turn and mirror; its rotation box stops at 360 and turns the print there.
    const QRectF shown = printgeometry::displayedRect(imported, QPolygonF(record.crop),
                                                      qMin(record.angle, 360), record.flip);
    QLineF axis;
    const bool crease = creaseaxis::fit(QPolygonF(record.flexion), shown, &axis);
    row[Crease] = crease ? "1" : annotated ? "0" : "";
    for (int i = 0; crease && i < 2; ++i) {
        if (i < cores.size())
            row[Core1Crease + i] = creaseDistance(cores.at(i), axis, image);
        if (i < triradia.size())
            row[Triradius1Crease + i] = creaseDistance(triradia.at(i), axis, image);
    }
}

void palmValues(const TGlyphRecord& record, QStringList& row)
{
    // The palm view places a triradius only in a determined slot that the
    // section has a point for.
    QVector<bool> placed(palmlines::slotCount);
    QVector<bool> present(palmlines::slotCount);
    QVector<QPointF> positions(palmlines::slotCount);
    static const QStringList labels = palmlines::slotLabels();
    QStringList names;
    for (int i = 0; i < palmlines::slotCount && i < record.triradia.size(); ++i) {
        placed[i] = record.determined.value(i);
        present[i] = record.present.value(i);
        positions[i] = record.triradia.at(i);
        if (placed[i])
            names.append(labels.at(i));
    }
    row[PalmTriradii] = names.join('.');

    const QVector<QPair<int, int>> pairs = palmlines::countLinePairs(placed);
    for (int i = 0; i < palmlines::lineCount; ++i)
        if (pairs.at(i).first >= 0)
            row[RcAb + i] = count(record.palmCount(i).size());
    double atd = 0;
    if (palmlines::atdAngle(placed, positions, &atd))
        row[Atd] = QString::number(atd, 'f', 2);

    // The panel's axial boxes follow the "pres." boxes of t, t1, t2, t3, tb.
    QVector<bool> axial;
    for (int slot : {palmlines::T, palmlines::T1, palmlines::T2, palmlines::T3, palmlines::TB})
        axial.append(present.at(slot));
    const palmformula::Classification c = palmformula::loadedClassification(record.settings);
    row[PalmFormula] = palmformula::answeredFormula(c, axial);
    const QStringList indices = palmformula::answeredMainLineIndices(c);
    for (int i = 0; i < 4; ++i)
        row[MliA1D1 + i] = indices.at(i);
}

}

bool hasResolution(const setfile::SlotImage& image)
{
    return image.xPpi > 0 && image.yPpi > 0;
}

QString setKey(const QString& path)
{
    return QFileInfo(path).fileName();
}

QStringList printColumns()
{
    static const QStringList list = names(prints());
    return list;
}

QStringList setColumns()
{
    static const QStringList list = names(summaries());
    return list;
}

QVector<QStringList> printRows(const QString& path, const setfile::Contents& contents)
{
    static const QStringList slotNames = setfile::slotNames();
    QVector<QStringList> rows;
    for (int i = 0; i < setfile::slotCount; ++i) {
        QStringList row;
        row.reserve(PrintCount);
        for (int k = 0; k < PrintCount; ++k)
            row.append(QString());
        row[Set] = setKey(path);
        row[Path] = path;
        row[Subject] = contents.subject;
        row[Examiner] = contents.examiner;
        row[Date] = contents.date;
        row[Slot] = slotNames.at(i);
        row[Hand] = slotNames.at(i).left(1);
        if (i < fingerCount)
            row[Digit] = count(i % 5 + 1);
        const setfile::SlotImage& image = contents.images.at(i);
        // Nothing of a slot without image was recorded, whatever its section holds.
        if (!image.src.isEmpty()) {
            row[Image] = image.src;
            if (image.xPpi > 0)
                row[XPpi] = count(image.xPpi);
            if (image.yPpi > 0)
                row[YPpi] = count(image.yPpi);
            if (i < fingerCount)
                fingerValues(i, contents.records.at(i), image, contents.sizes.at(i), row);
            else
                palmValues(contents.records.at(i), row);
        }
        rows.append(row);
    }
    return rows;
}

QStringList setRow(const QVector<QStringList>& rows)
{
    int annotated = 0;
    int classified = 0;
    int pii = 0;
    int tfrc = 0;
    int afrc = 0;
    QMap<QString, int> groups;
    for (int i = 0; i < fingerCount; ++i) {
        const QStringList& row = rows.at(i);
        // A finger not annotated has its counts empty.
        if (row.at(Cores).isEmpty())
            continue;
        ++annotated;
        // A finger has at most two triradii; more can only be a marking slip.
        pii += qMin(row.at(Triradii).toInt(), 2);
        tfrc += fingerRidgeCount(row).toInt();
        afrc += row.at(RcCt1).toInt() + row.at(RcCt2).toInt();
        if (!row.at(Pattern).isEmpty()) {
            ++classified;
            ++groups[fingerchoices::patternGroup(row.at(Pattern))];
        }
    }
    QStringList set = rows.at(0).mid(Set, Date + 1);
    while (set.size() < SummaryCount)
        set.append(QString());
    set[SetFingersAnnotated] = count(annotated);
    if (annotated == fingerCount) {
        set[SetPii] = count(pii);
        set[SetTfrc] = count(tfrc);
        set[SetAfrc] = count(afrc);
    }
    const QStringList& left = rows.at(leftPalm);
    const QStringList& right = rows.at(rightPalm);
    set[SetLeftAb] = left.at(RcAb);
    set[SetRightAb] = right.at(RcAb);
    set[SetLeftAtd] = left.at(Atd);
    set[SetRightAtd] = right.at(Atd);
    set[SetLeftFormula] = left.at(PalmFormula);
    set[SetRightFormula] = right.at(PalmFormula);
    set[SetFingersClassified] = count(classified);
    if (classified == fingerCount) {
        set[SetArches] = count(groups.value("arch"));
        set[SetUlnarLoops] = count(groups.value("ulnar loop"));
        set[SetRadialLoops] = count(groups.value("radial loop"));
        set[SetWhorls] = count(groups.value("whorl"));
    }
    return set;
}

QString fingerRidgeCount(const QStringList& row)
{
    if (row.at(Cores).isEmpty())
        return QString();
    return row.at(RcMax).isEmpty() ? QStringLiteral("0") : row.at(RcMax);
}

QString decimal(double value, int decimals)
{
    if (!std::isfinite(value))
        return QString();
    const QString text = QString::number(value, 'f', decimals);
    // -0.001 to three decimals would read "-0.000".
    if (text.startsWith('-') && text.count('0') == text.size() - (decimals > 0 ? 2 : 1))
        return text.mid(1);
    return text;
}

void writeRow(QTextStream& out, const QStringList& fields)
{
    for (int i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out << ',';
        const QString& field = fields.at(i);
        if (field.contains(QLatin1Char(',')) || field.contains(QLatin1Char('"'))
            || field.contains(QLatin1Char('\n')) || field.contains(QLatin1Char('\r'))) {
            QString quoted = field;
            quoted.replace(QLatin1String("\""), QLatin1String("\"\""));
            out << '"' << quoted << '"';
        } else {
            out << field;
        }
    }
    out << "\r\n";
}

}
