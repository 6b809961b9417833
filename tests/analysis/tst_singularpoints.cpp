#include "analysis/singularpoints.h"
#include "synth/syntheticprint.h"

#include <QPainter>
#include <QtTest>

#include <random>

using singularpoints::Landmark;

// A finger of the pattern grown like skin, scanned at 500 PPI.
static synth::Print grownPrint(synth::Pattern pattern, quint32 seed)
{
    std::mt19937 random(seed);
    return synth::render(synth::grow(FlowModel::finger(pattern, random), seed + 1), 500);
}

static QImage scanned(const synth::Print& print, const char* damage = "clean")
{
    for (const synth::Damage& d : synth::damages())
        if (qstrcmp(d.name, damage) == 0)
            return synth::scan(print, d, 7);
    return QImage();
}

// Each true point with one landmark of its kind within 0.6 mm, and no other.
static QString mismatch(const synth::Print& print, const QVector<Landmark>& found)
{
    const std::vector<synth::SingularPoint> truth = print.singularPoints();
    QVector<Landmark> left = found;
    for (const synth::SingularPoint& t : truth) {
        const TLandmark kind = t.kind == synth::SingularPoint::Core ? Core : Triradius;
        const auto hit = std::find_if(left.begin(), left.end(), [&](const Landmark& l) {
            return l.kind == kind && QLineF(l.position, t.position).length() <= 0.6 * print.pixelsPerMm;
        });
        if (hit == left.end())
            return QString("no %1 near (%2, %3)").arg(kind == Core ? "core" : "triradius")
                .arg(t.position.x()).arg(t.position.y());
        if (hit->strength <= 0 || hit->strength > 1)
            return QString("strength %1").arg(hit->strength);
        left.erase(hit);
    }
    if (!left.isEmpty())
        return QString("%1 more, first at (%2, %3)").arg(left.size())
            .arg(left.first().position.x()).arg(left.first().position.y());
    return QString();
}

class TestSingularPoints : public QObject
{
    Q_OBJECT
private slots:
    void findsTheTrueCoresAndTriradii_data()
    {
        QTest::addColumn<int>("pattern");
        QTest::addColumn<QString>("damage");
        QTest::newRow("loop") << int(synth::Pattern::LoopLeft) << "clean";
        QTest::newRow("whorl, noisy") << int(synth::Pattern::Whorl) << "noisy";
        QTest::newRow("tented arch") << int(synth::Pattern::TentedArch) << "clean";
        QTest::newRow("plain arch: none") << int(synth::Pattern::PlainArch) << "clean";
    }
    void findsTheTrueCoresAndTriradii()
    {
        QFETCH(int, pattern);
        QFETCH(QString, damage);
        const synth::Print print = grownPrint(synth::Pattern(pattern), 41);
        const QImage image = scanned(print, qPrintable(damage));
        const QString wrong = mismatch(print, singularpoints::find(image, 500));
        QVERIFY2(wrong.isEmpty(), qPrintable(wrong));
        // An unknown resolution is taken as 500 PPI.
        QCOMPARE(singularpoints::find(image, 0).size(), int(print.singularPoints().size()));
    }

    void nothingWhereNoRidgesTurn()
    {
        // A smudge on a plain arch: its edge turns the flow round it, but no
        // ridges do.
        const synth::Print print = grownPrint(synth::Pattern::PlainArch, 43);
        QImage image = scanned(print);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setPen(Qt::NoPen);
            painter.setBrush(QColor(60, 60, 60));
            painter.drawEllipse(QPointF(image.width() * 0.45, image.height() * 0.45), 70, 55);
        }
        QCOMPARE(singularpoints::find(image, 500).size(), 0);
        // Paper, and no image.
        QImage paper(400, 500, QImage::Format_Grayscale8);
        paper.fill(225);
        QCOMPARE(singularpoints::find(paper, 500).size(), 0);
        QCOMPARE(singularpoints::find(QImage(), 500).size(), 0);
    }

    void namesAPalmsTriradii()
    {
        // A right palm as taken: index finger on the left. An extra triradius
        // low on the hypothenar side and a second axial one above t.
        const QVector<QPointF> triradii = {{620, 330}, {150, 300}, {300, 270}, {460, 280},
                                           {400, 1050}, {650, 800}, {390, 700}};
        const QStringList right = {"d", "a", "b", "c", "t", "other", "other"};
        QCOMPARE(singularpoints::palmNames(triradii, true, false), right);
        // A left palm as taken, or a right one mirrored: index finger on the right.
        const QStringList left = {"a", "d", "c", "b", "t", "other", "other"};
        QCOMPARE(singularpoints::palmNames(triradii, false, false), left);
        QCOMPARE(singularpoints::palmNames(triradii, true, true), left);
        QCOMPARE(singularpoints::palmNames(triradii, false, true), right);
        // b missing: the gap from a to c is two fingers wide.
        const QVector<QPointF> three = {{620, 330}, {150, 300}, {460, 280}, {400, 1050}};
        QCOMPARE(singularpoints::palmNames(three, true, false), QStringList({"d", "a", "c", "t"}));
    }

    void suggestsThePatternType()
    {
        // A loop opening to the viewer's left: its triradius on the right.
        const synth::Print print = grownPrint(synth::Pattern::LoopLeft, 47);
        const QImage image = scanned(print);
        QVector<Landmark> found = singularpoints::find(image, 500);
        // The ulnar side of a right hand's print is on the viewer's right.
        QCOMPARE(singularpoints::suggestPattern(image, found, true, false), QString("radial loop"));
        QCOMPARE(singularpoints::suggestPattern(image, found, false, false), QString("ulnar loop"));
        QCOMPARE(singularpoints::suggestPattern(image, found, true, true), QString("ulnar loop"));
        // Its triradius off the print: the flow tells which way it opens.
        found.erase(std::remove_if(found.begin(), found.end(),
                                   [](const Landmark& l) { return l.kind == Triradius; }),
                    found.end());
        QCOMPARE(found.size(), 1);
        QCOMPARE(singularpoints::suggestPattern(image, found, true, false), QString("radial loop"));
        QCOMPARE(singularpoints::suggestPattern(image, {}, true, false), QString("plain arch"));
    }
};

QTEST_GUILESS_MAIN(TestSingularPoints)
#include "tst_singularpoints.moc"
