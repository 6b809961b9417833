#include "analysis/ridgeprofile.h"

#include <QPainter>
#include <QtTest>

#include <cmath>
#include <functional>
#include <limits>

// Upright ridges 10 pixels apart and 5.4 wide on white paper, their centres
// at x = 5, 15, 25, ...: furrows are centred on the multiples of ten.
static QImage print(QImage::Format format = QImage::Format_Grayscale8)
{
    QImage image(200, 120, format);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    for (int x = 5; x < 200; x += 10)
        painter.fillRect(QRectF(x - 2.7, 0, 5.4, 120), QColor(40, 40, 40));
    return image;
}

static void paint(QImage* image, const std::function<void(QPainter&)>& draw)
{
    QPainter painter(image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    draw(painter);
}

// The x coordinates of the points, each checked to lie on line.
static QList<double> xs(const QVector<QPointF>& points, const QLineF& line)
{
    QList<double> result;
    for (const QPointF& p : points) {
        const QPointF d = p - line.p1();
        const double off = (d.x() * line.dy() - d.y() * line.dx()) / line.length();
        if (std::abs(off) > 1e-6)
            return {-1};
        result << p.x();
    }
    return result;
}

static bool near(const QList<double>& found, const QList<double>& expected, double tolerance)
{
    if (found.size() != expected.size())
        return false;
    for (int i = 0; i < found.size(); ++i)
        if (std::abs(found.at(i) - expected.at(i)) > tolerance)
            return false;
    return true;
}

static QString describe(const QList<double>& xs)
{
    QStringList texts;
    for (double x : xs)
        texts << QString::number(x, 'f', 1);
    return "found at x " + texts.join(' ');
}

static QList<double> centres(double from, double to, double step = 10)
{
    QList<double> result;
    for (double x = from; step > 0 ? x <= to : x >= to; x += step)
        result << x;
    return result;
}

class TestRidgeProfile : public QObject
{
    Q_OBJECT
private slots:
    void findsEveryRidgeAtItsCentre_data()
    {
        QTest::addColumn<QImage>("image");
        QTest::addColumn<QLineF>("line");
        QTest::addColumn<QList<double>>("expected");
        // From furrow to furrow every ridge between counts.
        QTest::newRow("square") << print() << QLineF(20, 60, 120, 60) << centres(25, 115);
        QTest::newRow("backwards") << print() << QLineF(120, 60, 20, 60) << centres(115, 25, -10);
        QTest::newRow("oblique") << print() << QLineF(20, 15, 120, 105) << centres(25, 115);
        QTest::newRow("colour") << print(QImage::Format_RGB32) << QLineF(20, 60, 120, 60)
                                << centres(25, 115);
        // The ridges the end points sit on are the landmarks' own.
        QTest::newRow("ends on ridges") << print() << QLineF(25, 60, 115, 60) << centres(35, 105);
        QTest::newRow("end near a ridge edge")
            << print() << QLineF(23.5, 60, 106.5, 60) << centres(35, 95);

        // Faint ridges on a dark ground count like the strong ones beside them.
        QImage faint = print();
        paint(&faint, [](QPainter& p) {
            p.fillRect(QRectF(70, 0, 130, 120), QColor(115, 115, 115));
            for (int x = 75; x < 200; x += 10)
                p.fillRect(QRectF(x - 2.7, 0, 5.4, 120), QColor(70, 70, 70));
        });
        QTest::newRow("faint region") << faint << QLineF(20, 60, 150, 60) << centres(25, 145);

        // A dot as thick as the ridges stands for the ridge broken round it; a
        // speck in a furrow is no ridge.
        QImage dots = print();
        paint(&dots, [](QPainter& p) {
            p.fillRect(QRectF(52, 40, 6, 40), Qt::white);
            p.setBrush(QColor(40, 40, 40));
            p.drawEllipse(QPointF(55, 60), 2.7, 2.7);
            p.drawEllipse(QPointF(80, 60), 0.8, 0.8);
        });
        QTest::newRow("dot and speck") << dots << QLineF(20, 60, 120, 60) << centres(25, 115);

        // A ridge broken where the line passes is not crossed there.
        QImage broken = print();
        paint(&broken, [](QPainter& p) { p.fillRect(QRectF(62, 40, 6, 40), Qt::white); });
        QTest::newRow("break") << broken << QLineF(20, 60, 120, 60)
                               << (centres(25, 55) + centres(75, 115));

        // A pore in a ridge leaves it one ridge, centred where it was.
        QImage pores = print();
        paint(&pores, [](QPainter& p) {
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(45, 60), 1.2, 1.2);
            p.drawEllipse(QPointF(86, 60), 1.2, 1.2);
        });
        QTest::newRow("pores") << pores << QLineF(20, 60, 120, 60) << centres(25, 115);
    }
    void findsEveryRidgeAtItsCentre()
    {
        QFETCH(QImage, image);
        QFETCH(QLineF, line);
        QFETCH(QList<double>, expected);
        const QList<double> found = xs(ridgeprofile::crossings(image, line), line);
        QVERIFY2(near(found, expected, 0.5), qPrintable(describe(found)));
    }

    void measuresThePeriodAlongTheLine()
    {
        QCOMPARE(qRound(ridgeprofile::period(print(), QLineF(20, 60, 120, 60)) * 10), 100);
        // Crossed at 60 degrees the ridges lie farther apart along the line.
        const QLineF oblique = QLineF::fromPolar(100, 30).translated(20, 90);
        QVERIFY(std::abs(ridgeprofile::period(print(), oblique) - 10 / std::cos(M_PI / 6)) < 0.3);
    }

    void findsNothingWhereThereIsNoRidge()
    {
        QImage paper(200, 120, QImage::Format_Grayscale8);
        paper.fill(200);
        // Paper with grain, but no ridges.
        QImage grain = paper;
        quint32 state = 1;
        for (int y = 0; y < grain.height(); ++y)
            for (int x = 0; x < grain.width(); ++x) {
                state = state * 1664525u + 1013904223u;
                grain.scanLine(y)[x] = uchar(190 + (state >> 28));
            }
        const double nan = std::numeric_limits<double>::quiet_NaN();
        const double inf = std::numeric_limits<double>::infinity();
        const struct {
            QImage image;
            QLineF line;
        } cases[] = {
            {QImage(), QLineF(20, 60, 120, 60)},
            {print(), QLineF(20, 60, 20.5, 60)},
            {print(), QLineF(20, 500, 120, 500)},         // beside the print
            {print(), QLineF(nan, 60, 120, 60)},
            {print(), QLineF(20, 60, inf, 60)},
            {paper, QLineF(20, 60, 180, 60)},
            {grain, QLineF(20, 60, 180, 60)},
        };
        for (const auto& c : cases)
            QVERIFY2(ridgeprofile::crossings(c.image, c.line).isEmpty(),
                     qPrintable(describe(xs(ridgeprofile::crossings(c.image, c.line), c.line))));
        QCOMPARE(ridgeprofile::period(paper, QLineF(20, 60, 180, 60)), 0.0);
        // A line reaching far beyond the print costs no more than the print
        // itself and still finds the ridges on it.
        const QLineF far(20, 60, 1e9, 60);
        QCOMPARE(ridgeprofile::crossings(print(), far).size(), 18);
    }
};

QTEST_MAIN(TestRidgeProfile)
#include "tst_ridgeprofile.moc"
