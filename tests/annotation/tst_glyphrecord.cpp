#include "testsupport.h"

#include "annotation/tglyphrecord.h"
#include "annotation/treaderror.h"

#include <QXmlStreamReader>
#include <QtTest>

static TGlyphRecord readSection(const QString& text, bool* complete = nullptr)
{
    QXmlStreamReader xml(text);
    TGlyphRecord record;
    const bool done = record.read(xml);
    if (complete)
        *complete = done;
    return record;
}

class TestGlyphRecord : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { testsupport::isolateSettings(); }

    void readsAFingerSection()
    {
        bool complete = false;
        const TGlyphRecord r = readSection(
            "<dermatoglyph>"
            "<image src=\"R&amp;D &quot;scan&quot;.tif\" xdpi=\"500\" ydpi=\"500\"/>"
            "<crop><point x=\"1.5\" y=\"2\" /><point x=\"3\" y=\"4\" /></crop>"
            "<transform angle=\"90\" flip=\"1\" />"
            "<flexion><point x=\"5\" y=\"6\" /></flexion>"
            "<core><point x=\"10\" y=\"11\">"
            "<line type=\"ridge\"><point x=\"1\" y=\"1\"/><point x=\"2\" y=\"2\"/></line>"
            "<line type=\"ridge\"><point x=\"3\" y=\"3\"/></line>"
            "</point><point x=\"20\" y=\"21\" /></core>"
            "<triradium><point x=\"30\" y=\"31\" /><point x=\"40\" y=\"41\">"
            "<line type=\"ridge\"><point x=\"4\" y=\"4\"/></line></point></triradium>"
            "<line type=\"cc\"><point x=\"7\" y=\"7\" /></line>"
            "<line type=\"ct\"><point x=\"8\" y=\"8\" /></line>"
            "<line type=\"ct\"></line>"
            "<setting type=\"rotation\" first=\"clockwise\" second=\"concentric\" third=\"x\" />"
            "<setting type=\"flexion\" first=\"1\" second=\"0\" />"
            "</dermatoglyph>", &complete);
        QVERIFY(complete);
        QCOMPARE(r.src, QString("R&D \"scan\".tif"));
        QCOMPARE(r.crop, (QVector<QPointF>{QPointF(1.5, 2), QPointF(3, 4)}));
        QCOMPARE(r.angle, 90);
        QVERIFY(r.flip);
        QCOMPARE(r.flexion, QVector<QPointF>{QPointF(5, 6)});
        QCOMPARE(r.cores, (QVector<QPointF>{QPointF(10, 11), QPointF(20, 21)}));
        QCOMPARE(r.ridgeLines(0),
                 (QVector<QVector<QPointF>>{{QPointF(1, 1), QPointF(2, 2)}, {QPointF(3, 3)}}));
        QVERIFY(r.ridgeLines(1).isEmpty());
        QCOMPARE(r.triradia, (QVector<QPointF>{QPointF(30, 31), QPointF(40, 41)}));
        QVERIFY(r.triradiusRidgeLines(0).isEmpty());
        QCOMPARE(r.triradiusRidgeLines(1), QVector<QVector<QPointF>>{{QPointF(4, 4)}});
        QCOMPARE(r.cc, QVector<QPointF>{QPointF(7, 7)});
        QCOMPARE(r.ct, (QVector<QVector<QPointF>>{{QPointF(8, 8)}, {}}));
        QCOMPARE(r.setting("rotation"), (QStringList{"clockwise", "concentric", "x"}));
        QCOMPARE(r.setting("flexion"), (QStringList{"1", "0", ""}));
        QVERIFY(r.setting("termination").isEmpty());
    }

    void flipOnlyForOne_data()
    {
        QTest::addColumn<QString>("flip");
        QTest::addColumn<bool>("flipped");
        QTest::newRow("0") << "0" << false;
        QTest::newRow("1") << "1" << true;
        QTest::newRow("2") << "2" << false;
        QTest::newRow("junk") << "yes" << false;
    }
    void flipOnlyForOne()
    {
        QFETCH(QString, flip);
        QFETCH(bool, flipped);
        const TGlyphRecord r = readSection("<dermatoglyph><transform angle=\"x\" flip=\"" + flip
                                           + "\" /></dermatoglyph>");
        QCOMPARE(r.flip, flipped);
        QCOMPARE(r.angle, 0);
    }

    void wrongRootRaisesTheMessage()
    {
        QXmlStreamReader xml(QString("<palm><crop/></palm>"));
        TGlyphRecord record;
        try {
            record.read(xml);
            QFAIL("no error raised");
        } catch (const TReadError& e) {
            QCOMPARE(e.message(),
                     QString("Error reading XML file: the first element is not \"dermatoglyph\"."));
        }
    }

    void strayContentIsIgnored()
    {
        const TGlyphRecord r = readSection(
            "<dermatoglyph>"
            "<point x=\"1\" y=\"1\" />"                                   // no list yet
            "<core><line type=\"ridge\"><point x=\"2\" y=\"2\"/></line></core>" // no core yet
            "<unknown><point x=\"9\" y=\"9\" /></unknown>"                 // skipped subtree
            "<core><point x=\"3\" y=\"3\" bogus=\"1\" /></core>"
            "<setting type=\"mood\" first=\"a\" second=\"b\" third=\"c\" />"
            "<point x=\"abc\" y=\"4\" />"                                  // goes to cores
            "</dermatoglyph>");
        QCOMPARE(r.cores, (QVector<QPointF>{QPointF(3, 3), QPointF(0, 4)}));
        QVERIFY(r.coreRidgeLines.isEmpty() || r.ridgeLines(0).isEmpty());
        QCOMPARE(r.setting("mood"), (QStringList{"a", "b", "c"}));
    }

    void triradiusFlagsPastTheSlotsAreDropped()
    {
        QString text = "<dermatoglyph><triradium>";
        for (int i = 0; i < 19; ++i)
            text += QString("<point x=\"%1\" y=\"0\" p=\"1\" d=\"%2\" />").arg(i).arg(i % 2);
        text += "</triradium></dermatoglyph>";
        const TGlyphRecord r = readSection(text);
        QCOMPARE(r.triradia.size(), 19);
        QCOMPARE(r.present.size(), 17);
        QVERIFY(r.present.at(16));
        QVERIFY(r.determined.at(1) && !r.determined.at(2));
    }

    void malformedInputKeepsWhatWasRead()
    {
        bool complete = true;
        const TGlyphRecord r = readSection(
            "<dermatoglyph><core><point x=\"1\" y=\"2\" /></core><flexion><point x=", &complete);
        QVERIFY(!complete);
        QCOMPARE(r.cores, QVector<QPointF>{QPointF(1, 2)});
    }

    void sectionsFollowOneAnother()
    {
        QXmlStreamReader xml(QString("<set><dermatoglyph><core><point x=\"1\" y=\"1\" /></core>"
                                     "</dermatoglyph><dermatoglyph><triradium>"
                                     "<point x=\"2\" y=\"2\" /></triradium></dermatoglyph></set>"));
        QVERIFY(xml.readNextStartElement());
        TGlyphRecord first, second;
        QVERIFY(first.read(xml));
        QVERIFY(second.read(xml));
        QCOMPARE(first.cores.size(), 1);
        QVERIFY(first.triradia.isEmpty());
        QCOMPARE(second.triradia, QVector<QPointF>{QPointF(2, 2)});
        QVERIFY(second.cores.isEmpty());
    }
};

QTEST_MAIN(TestGlyphRecord)
#include "tst_glyphrecord.moc"
