#include "tables/resultstable.h"

#include "analysis/creaseaxis.h"
#include "annotation/fingerchoices.h"
#include "annotation/fingerlines.h"
#include "annotation/geometry.h"
#include "annotation/palmformula.h"
#include "annotation/palmlines.h"
#include "annotation/tglyphrecord.h"
#include "scan/printgeometry.h"

#include <QTextStream>

#include <algorithm>
#include <cmath>

namespace resultstable {

namespace {

enum PrintColumn {
    Set, Slot, Image, XPpi, YPpi, Cores, Triradii, RcCc, RcCt1, RcCt2, Crease,
    Core1Crease, Core2Crease, Triradius1Crease, Triradius2Crease,
    FlexionRadial, FlexionUlnar, ExtralimitalRadial, ExtralimitalUlnar,
    Rotation1, Rotation2, Rotation3, Termination1, Termination2, Termination3,
    PalmTriradii, RcAb, RcBc, RcCd, RcDt, Atd, PalmFormula,
    MliA1D1, MliA1D2, MliA2D1, MliA2D2, PrintColumnCount
};

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
    if (image.xPpi <= 0 || image.yPpi <= 0)
        return QString();
    const QPointF d = lineIntersectionFoot(axis, p) - p;
    return QString::number(std::hypot(d.x() * 25.4 / image.xPpi, d.y() * 25.4 / image.yPpi),
                           'f', 3);
}

void fingerClassification(const TGlyphRecord& record, QStringList& row)
{
    const fingerchoices::Classification c = fingerchoices::loadedClassification(record.settings);
    for (int i = 0; i < 2; ++i) {
        row[FlexionRadial + i] = c.flexion[i] ? "1" : "0";
        row[ExtralimitalRadial + i] = c.extralimital[i] ? "1" : "0";
    }
    for (int i = 0; i < 3; ++i) {
        row[Rotation1 + i] = c.rotation[i];
        row[Termination1 + i] = c.termination[i];
    }
}

void fingerValues(const TGlyphRecord& record, const setfile::SlotImage& image,
                  const QSize& imported, QStringList& row)
{
    const QVector<QPointF> cores = sortedByX(record.cores);
    const QVector<QPointF> triradia = sortedByX(record.triradia);
    row[Cores] = count(cores.size());
    row[Triradii] = count(triradia.size());
    if (fingerlines::hasCoreCoreLine(cores.size()))
        row[RcCc] = count(record.cc.size());
    const QVector<QPair<int, int>> pairs =
        fingerlines::coreTriradiusPairs(cores.size(), triradia.size());
    for (int i = 0; i < 2 && i < pairs.size(); ++i)
        row[RcCt1 + i] = count(record.ct.value(i).size());

    // The editor fits the axis within the print as it shows it after the crop,
    // turn and mirror; its rotation box stops at 360 and turns the print there.
    const QRectF shown = printgeometry::displayedRect(imported, QPolygonF(record.crop),
                                                      qMin(record.angle, 360), record.flip);
    QLineF axis;
    const bool crease = creaseaxis::fit(QPolygonF(record.flexion), shown, &axis);
    row[Crease] = crease ? "1" : "0";
    for (int i = 0; crease && i < 2; ++i) {
        if (i < cores.size())
            row[Core1Crease + i] = creaseDistance(cores.at(i), axis, image);
        if (i < triradia.size())
            row[Triradius1Crease + i] = creaseDistance(triradia.at(i), axis, image);
    }
    fingerClassification(record, row);
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
    row[PalmFormula] = palmformula::formula(c.terminations, axial, c.patterns);
    const QStringList indices = palmformula::mainLineIndices(c.terminations);
    for (int i = 0; i < 4; ++i)
        row[MliA1D1 + i] = indices.at(i);
}

}

QStringList printColumns()
{
    return {"set", "slot", "image", "xppi", "yppi", "cores", "triradii", "rc_cc", "rc_ct1",
            "rc_ct2", "crease", "core1_crease_mm", "core2_crease_mm", "triradius1_crease_mm",
            "triradius2_crease_mm", "flexion_radial", "flexion_ulnar", "extralimital_radial",
            "extralimital_ulnar", "rotation1", "rotation2", "rotation3", "termination1",
            "termination2", "termination3", "palm_triradii", "rc_ab", "rc_bc", "rc_cd",
            "rc_dt", "atd", "palm_formula", "mli_a1d1", "mli_a1d2", "mli_a2d1", "mli_a2d2"};
}

QStringList setColumns()
{
    return {"set", "fingers_annotated", "pii", "tfrc", "afrc", "left_ab", "right_ab",
            "left_atd", "right_atd", "left_palm_formula", "right_palm_formula"};
}

QVector<QStringList> printRows(const QString& set, const setfile::Contents& contents)
{
    static const QStringList names = setfile::slotNames();
    QVector<QStringList> rows;
    for (int i = 0; i < setfile::slotCount; ++i) {
        QStringList row;
        row.reserve(PrintColumnCount);
        for (int k = 0; k < PrintColumnCount; ++k)
            row.append(QString());
        const setfile::SlotImage& image = contents.images.at(i);
        row[Set] = set;
        row[Slot] = names.at(i);
        row[Image] = image.src;
        row[XPpi] = QString::number(image.xPpi);
        row[YPpi] = QString::number(image.yPpi);
        if (i < fingerCount)
            fingerValues(contents.records.at(i), image, contents.sizes.at(i), row);
        else
            palmValues(contents.records.at(i), row);
        rows.append(row);
    }
    return rows;
}

QStringList setRow(const QVector<QStringList>& rows)
{
    int annotated = 0;
    int pii = 0;
    int tfrc = 0;
    int afrc = 0;
    for (int i = 0; i < fingerCount; ++i) {
        const QStringList& row = rows.at(i);
        const int triradii = row.at(Triradii).toInt();
        if (row.at(Cores).toInt() + triradii > 0)
            ++annotated;
        // A finger has at most two triradii; more can only be a marking slip.
        pii += qMin(triradii, 2);
        // An empty count (no such line) reads as 0.
        const int ct1 = row.at(RcCt1).toInt();
        const int ct2 = row.at(RcCt2).toInt();
        tfrc += qMax(ct1, ct2);
        afrc += ct1 + ct2;
    }
    const QStringList& left = rows.at(leftPalm);
    const QStringList& right = rows.at(rightPalm);
    return {rows.at(0).at(Set), count(annotated), count(pii), count(tfrc), count(afrc),
            left.at(RcAb), right.at(RcAb), left.at(Atd), right.at(Atd),
            left.at(PalmFormula), right.at(PalmFormula)};
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
