#include "tables/agreementtable.h"

#include "annotation/palmformula.h"
#include "annotation/palmlines.h"
#include "annotation/tglyphrecord.h"
#include "scan/printgeometry.h"
#include "tables/columns.h"
#include "tables/resultstable.h"
#include "tables/statistics.h"

#include <QHash>
#include <QImage>
#include <QTransform>

#include <algorithm>
#include <cmath>

namespace agreementtable {

namespace {

using namespace columns;

const int fingerCount = 10;
const int leftPalm = 10;
const int setLevel = -1;
const int decimals = 3;

enum Source { PrintColumn, RidgeCount, SetColumn, MainLine };

struct Trait
{
    QString name;
    int slot;
    bool category;
    Source source;
    int column;
};

QVector<Trait> makeTraits()
{
    QVector<Trait> traits;
    auto fingers = [&traits](const QString& name, bool category, Source source, int column) {
        for (int slot = 0; slot < fingerCount; ++slot)
            traits.append({name, slot, category, source, column});
    };
    fingers("pattern", true, PrintColumn, Pattern);
    fingers("rc_max", false, RidgeCount, RcMax);
    fingers("rc_radial", false, PrintColumn, RcRadial);
    fingers("rc_ulnar", false, PrintColumn, RcUlnar);
    for (int column = Core1Crease; column <= Triradius2Crease; ++column)
        fingers(prints().at(column).name, false, PrintColumn, column);
    traits.append({"tfrc", setLevel, false, SetColumn, SetTfrc});
    traits.append({"afrc", setLevel, false, SetColumn, SetAfrc});
    for (int column : {RcAb, RcBc, RcCd, Atd})
        for (int slot = leftPalm; slot < setfile::slotCount; ++slot)
            traits.append({prints().at(column).name, slot, false, PrintColumn, column});
    const QStringList lines = {"line_d", "line_c", "line_b", "line_a", "line_t"};
    for (int line = 0; line < lines.size(); ++line)
        for (int slot = leftPalm; slot < setfile::slotCount; ++slot)
            traits.append({lines.at(line), slot, true, MainLine, line});
    return traits;
}

const QVector<Trait>& traits()
{
    static const QVector<Trait> list = makeTraits();
    return list;
}

QString slotName(int slot)
{
    static const QStringList names = setfile::slotNames();
    return slot == setLevel ? QString() : names.at(slot);
}

QString subjectOf(const Examination& e)
{
    return e.contents.subject.trimmed();
}

// How many decimals a value of the tables is written with.
int decimalsOf(const QString& value)
{
    const int point = value.indexOf('.');
    return point < 0 ? 0 : value.size() - point - 1;
}

QStringList emptyRow(int size)
{
    QStringList row;
    row.reserve(size);
    for (int i = 0; i < size; ++i)
        row.append(QString());
    return row;
}

QStringList agreementRow(const QString& trait, const QString& slot, bool category,
                         const QStringList& a, const QStringList& b)
{
    QStringList row = emptyRow(AgreementCount);
    row[AgreementTrait] = trait;
    row[AgreementSlot] = slot;
    row[AgreementPairs] = QString::number(a.size());
    if (a.isEmpty())
        return row;
    if (category) {
        const statistics::CategoryAgreement c = statistics::categoryAgreement(a, b);
        row[AgreementShare] = resultstable::decimal(c.share, decimals);
        row[AgreementKappa] = resultstable::decimal(c.kappa, decimals);
        return row;
    }
    QVector<double> x, y;
    QVector<QVector<double>> ratings;
    for (int i = 0; i < a.size(); ++i) {
        x.append(a.at(i).toDouble());
        y.append(b.at(i).toDouble());
        ratings.append({x.last(), y.last()});
    }
    const statistics::Differences d = statistics::differences(x, y);
    const double values[] = {d.meanA, d.meanB, d.meanDifference, d.sdDifference, d.tem,
                             d.relativeTem};
    for (int i = 0; i < 6; ++i)
        row[AgreementMeanA + i] = resultstable::decimal(values[i], decimals);
    const statistics::Icc icc = statistics::icc(ratings);
    for (int form = 1; form <= 2; ++form) {
        const statistics::Estimate& e = icc.single[form];
        const int at = form == 1 ? AgreementIcc21 : AgreementIcc31;
        row[at] = resultstable::decimal(e.value, decimals);
        row[at + 1] = resultstable::decimal(e.lower, decimals);
        row[at + 2] = resultstable::decimal(e.upper, decimals);
    }
    return row;
}

// Where the points of a print lie on its scan: in millimetres where both
// resolutions are known, else in scan pixels.
struct ScanFrame
{
    bool known = false;
    bool measured = false;
    QTransform toScan;
    QSize size;
};

ScanFrame scanFrame(const Examination& e, int slot)
{
    ScanFrame f;
    const TGlyphRecord& r = e.contents.records.at(slot);
    const setfile::SlotImage& image = e.contents.images.at(slot);
    f.size = e.contents.sizes.at(slot);
    // The view shows the crop of the unturned scan, turned and mirrored; its
    // rotation box stops at 360.
    const QTransform turn = printgeometry::turn(qMin(r.angle, 360), r.flip);
    QTransform shown;
    if (!r.crop.isEmpty() || !turn.isIdentity()) {
        // Where the crop or turn lands depends on the scan's size.
        if (f.size.isEmpty())
            return f;
        const QRect cut = r.crop.isEmpty() ? QRect(QPoint(0, 0), f.size)
                                           : printgeometry::cropRect(f.size, QPolygonF(r.crop));
        shown = QTransform::fromTranslate(-cut.left(), -cut.top())
                * QImage::trueMatrix(turn, cut.width(), cut.height());
    }
    f.toScan = shown.inverted(&f.known);
    if (resultstable::hasResolution(image)) {
        f.measured = true;
        f.toScan *= QTransform::fromScale(25.4 / image.xPpi, 25.4 / image.yPpi);
    }
    return f;
}

// The landmarks both examiners placed on a print, each as its name and the
// distance between the two points (empty where it cannot be measured).
class Landmarks
{
public:
    Landmarks(const Examination& a, const Examination& b, int slot)
        : fa(scanFrame(a, slot)), fb(scanFrame(b, slot))
    {
        // Sets that give their scans' sizes and differ there hold different scans.
        comparable = fa.known && fb.known
                     && (fa.size.isEmpty() || fb.size.isEmpty() || fa.size == fb.size);
        measured = comparable && fa.measured && fb.measured;
    }

    // A's points of one kind, left to right as A shows them, each paired with
    // B's nearest that no nearer pair took; left to right where positions cannot
    // be compared.
    void nearest(const QString& kind, QVector<QPointF> a, QVector<QPointF> b)
    {
        for (QVector<QPointF>* points : {&a, &b})
            std::stable_sort(points->begin(), points->end(),
                             [](const QPointF& p, const QPointF& q) { return p.x() < q.x(); });
        QVector<int> partner(a.size(), -1);
        if (!comparable) {
            for (int i = 0; i < a.size() && i < b.size(); ++i)
                partner[i] = i;
        } else {
            struct Candidate { double distance; int i; int j; };
            QVector<Candidate> candidates;
            for (int i = 0; i < a.size(); ++i)
                for (int j = 0; j < b.size(); ++j)
                    candidates.append({apart(a.at(i), b.at(j)), i, j});
            std::stable_sort(candidates.begin(), candidates.end(),
                             [](const Candidate& p, const Candidate& q) {
                                 return p.distance < q.distance;
                             });
            QVector<bool> taken(b.size(), false);
            for (const Candidate& c : candidates)
                if (partner.at(c.i) < 0 && !taken.at(c.j)) {
                    partner[c.i] = c.j;
                    taken[c.j] = true;
                }
        }
        for (int i = 0; i < a.size(); ++i)
            if (partner.at(i) >= 0)
                add(kind + QString::number(i + 1), a.at(i), b.at(partner.at(i)));
    }

    void add(const QString& name, const QPointF& a, const QPointF& b)
    {
        found.append({name, measured ? resultstable::decimal(apart(a, b), decimals) : QString()});
    }

    QVector<QPair<QString, QString>> found;

private:
    double apart(const QPointF& a, const QPointF& b) const
    {
        const QPointF d = fa.toScan.map(a) - fb.toScan.map(b);
        return std::hypot(d.x(), d.y());
    }

    ScanFrame fa;
    ScanFrame fb;
    bool comparable = false;
    bool measured = false;
};

QVector<QPair<QString, QString>> landmarks(const Examination& a, const Examination& b, int slot)
{
    Landmarks found(a, b, slot);
    const TGlyphRecord& ra = a.contents.records.at(slot);
    const TGlyphRecord& rb = b.contents.records.at(slot);
    if (slot < fingerCount) {
        found.nearest("core", ra.cores, rb.cores);
        found.nearest("triradius", ra.triradia, rb.triradia);
        return found.found;
    }
    // A palm view places a triradius only in a determined slot.
    static const QStringList labels = palmlines::slotLabels();
    for (int i = 0; i < palmlines::slotCount; ++i)
        if (i < ra.triradia.size() && i < rb.triradia.size() && ra.determined.value(i)
            && rb.determined.value(i))
            found.add("triradius_" + labels.at(i), ra.triradia.at(i), rb.triradia.at(i));
    return found.found;
}

}

Examination examination(const QString& path, const setfile::Contents& contents,
                        const QVector<QStringList>& printRows, const QStringList& setRow)
{
    Examination e{path, contents, QStringList()};
    palmformula::Classification palms[2];
    for (int p = 0; p < 2; ++p)
        palms[p] = palmformula::loadedClassification(contents.records.at(leftPalm + p).settings);
    for (const Trait& t : traits()) {
        QString value;
        switch (t.source) {
        case PrintColumn: value = printRows.at(t.slot).at(t.column); break;
        case RidgeCount: value = resultstable::fingerRidgeCount(printRows.at(t.slot)); break;
        case SetColumn: value = setRow.at(t.column); break;
        case MainLine: {
            // Nothing of a slot without image was recorded.
            const palmformula::Classification& c = palms[t.slot - leftPalm];
            if (!contents.images.at(t.slot).src.isEmpty() && c.linesAnswered.value(t.column)) {
                const palmformula::Termination& line = c.terminations.at(t.column);
                value = line.dual ? line.first + "/" + line.second : line.first;
            }
            break;
        }
        }
        e.values.append(value);
    }
    return e;
}

Pairing pairSets(const QVector<Examination>& a, const QVector<Examination>& b)
{
    Pairing pairing;
    QVector<int> partnerOfA(a.size(), -1);
    QVector<bool> taken(b.size(), false);
    QHash<QString, QVector<int>> bySubject;
    for (int j = 0; j < b.size(); ++j)
        if (!subjectOf(b.at(j)).isEmpty())
            bySubject[subjectOf(b.at(j))].append(j);
    for (int i = 0; i < a.size(); ++i) {
        QVector<int>& candidates = bySubject[subjectOf(a.at(i))];
        if (!subjectOf(a.at(i)).isEmpty() && !candidates.isEmpty()) {
            partnerOfA[i] = candidates.takeFirst();
            taken[partnerOfA.at(i)] = true;
        }
    }
    // Two sets that both name their subject, differently, are of two subjects
    // whatever their files are called.
    QHash<QString, QVector<int>> byName;
    for (int j = 0; j < b.size(); ++j)
        if (!taken.at(j))
            byName[resultstable::setKey(b.at(j).path)].append(j);
    for (int i = 0; i < a.size(); ++i) {
        if (partnerOfA.at(i) >= 0)
            continue;
        QVector<int>& candidates = byName[resultstable::setKey(a.at(i).path)];
        for (int k = 0; k < candidates.size(); ++k) {
            const int j = candidates.at(k);
            if (subjectOf(a.at(i)).isEmpty() || subjectOf(b.at(j)).isEmpty()) {
                partnerOfA[i] = j;
                taken[j] = true;
                candidates.removeAt(k);
                break;
            }
        }
    }
    for (int i = 0; i < a.size(); ++i) {
        if (partnerOfA.at(i) >= 0)
            pairing.pairs.append({i, partnerOfA.at(i)});
        else
            pairing.unpairedA.append(i);
    }
    for (int j = 0; j < b.size(); ++j)
        if (!taken.at(j))
            pairing.unpairedB.append(j);
    return pairing;
}

QStringList agreementColumns()
{
    static const QStringList list = names(agreement());
    return list;
}

QStringList pairColumns()
{
    static const QStringList list = names(columns::pairs());
    return list;
}

QVector<QStringList> agreementRows(const QVector<Examination>& a, const QVector<Examination>& b,
                                   const QVector<QPair<int, int>>& pairs)
{
    QVector<QStringList> rows;
    // The patterns of all fingers together come first.
    QStringList pooledA, pooledB;
    for (int t = 0; t < traits().size() && traits().at(t).name == "pattern"; ++t)
        for (const QPair<int, int>& p : pairs) {
            const QString& va = a.at(p.first).values.at(t);
            const QString& vb = b.at(p.second).values.at(t);
            if (!va.isEmpty() && !vb.isEmpty()) {
                pooledA.append(va);
                pooledB.append(vb);
            }
        }
    rows.append(agreementRow("pattern", "L1-R5", true, pooledA, pooledB));
    for (int t = 0; t < traits().size(); ++t) {
        QStringList va, vb;
        for (const QPair<int, int>& p : pairs) {
            const QString& x = a.at(p.first).values.at(t);
            const QString& y = b.at(p.second).values.at(t);
            if (!x.isEmpty() && !y.isEmpty()) {
                va.append(x);
                vb.append(y);
            }
        }
        const Trait& trait = traits().at(t);
        rows.append(agreementRow(trait.name, slotName(trait.slot), trait.category, va, vb));
    }
    return rows;
}

QVector<QStringList> pairRows(const QVector<Examination>& a, const QVector<Examination>& b,
                              const QVector<QPair<int, int>>& pairs)
{
    QVector<QStringList> rows;
    for (const QPair<int, int>& p : pairs) {
        const Examination& ea = a.at(p.first);
        const Examination& eb = b.at(p.second);
        QStringList row = emptyRow(PairCount);
        row[PairSubject] = subjectOf(ea).isEmpty() ? subjectOf(eb) : subjectOf(ea);
        row[PairSetA] = ea.path;
        row[PairSetB] = eb.path;
        // The prints in slot order, the set's own traits after them.
        for (int slot = 0; slot <= setfile::slotCount; ++slot) {
            const int wanted = slot < setfile::slotCount ? slot : setLevel;
            for (int t = 0; t < traits().size(); ++t) {
                const Trait& trait = traits().at(t);
                const QString& x = ea.values.at(t);
                const QString& y = eb.values.at(t);
                if (trait.slot != wanted || (x.isEmpty() && y.isEmpty()))
                    continue;
                QStringList r = row;
                r[PairSlot] = slotName(wanted);
                r[PairTrait] = trait.name;
                r[PairValueA] = x;
                r[PairValueB] = y;
                if (!trait.category && !x.isEmpty() && !y.isEmpty())
                    r[PairDifference] = resultstable::decimal(
                        x.toDouble() - y.toDouble(), qMax(decimalsOf(x), decimalsOf(y)));
                rows.append(r);
            }
            if (wanted == setLevel || ea.contents.images.at(slot).src.isEmpty()
                || eb.contents.images.at(slot).src.isEmpty())
                continue;
            for (const auto& landmark : landmarks(ea, eb, slot)) {
                QStringList r = row;
                r[PairSlot] = slotName(slot);
                r[PairTrait] = landmark.first;
                r[PairDistance] = landmark.second;
                rows.append(r);
            }
        }
    }
    return rows;
}

}
