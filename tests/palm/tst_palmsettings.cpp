#include "annotation/palmformula.h"
#include "annotation/tglyphrecord.h"
#include "palm/tpalmsettings.h"
#include "testsupport.h"

#include <QCheckBox>
#include <QComboBox>
#include <QTableWidgetItem>
#include <QtTest/QtTest>

using namespace palmformula;

class TestPalmSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { testsupport::isolateSettings(); }

    void mainLineIndices_data()
    {
        QTest::addColumn<QList<int>>("values");   // a1, a2, d1, d2
        QTest::addColumn<bool>("aDual");
        QTest::addColumn<bool>("dDual");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("simple") << QList<int>{3, 4, 2, 5} << false << false << QStringList{"5", "", "", ""};
        QTest::newRow("X on A, 0 on D") << QList<int>{10, 1, 9, 1} << false << false << QStringList{"8", "", "", ""};
        QTest::newRow("A dual") << QList<int>{2, 6, 3, 1} << true << false << QStringList{"5", "", "9", ""};
        QTest::newRow("D dual") << QList<int>{2, 6, 3, 4} << false << true << QStringList{"5", "6", "", ""};
        QTest::newRow("both dual, far codes") << QList<int>{9, 10, 10, 9} << true << true << QStringList{"8", "8", "8", "8"};
    }
    void mainLineIndices()
    {
        QFETCH(QList<int>, values);
        QFETCH(bool, aDual);
        QFETCH(bool, dDual);
        QFETCH(QStringList, expected);
        QCOMPARE(palmformula::mainLineIndices(values[0], values[1], aDual, values[2], values[3], dDual),
                 expected);
    }

    void formulaParts()
    {
        QVector<Termination> lines(5, Termination{false, "1", "1"});
        lines[0] = {true, "5'", "X"};
        lines[4] = {false, "13''", "2"};
        QVector<Pattern> patterns(8, Pattern{Predefined, "Ld", ""});
        patterns[0] = {Predefined, "Au", ""};
        patterns[1] = {Custom, "Au", "Wx"};
        patterns[2] = {Predefined, "O", ""};
        patterns[3] = {NotAvailable, "V", "ignored"};
        patterns[5] = {NotAvailable, "D", ""};
        patterns[6] = {Custom, "W", ""};
        QCOMPARE(formula(lines, {true, false, false, true, true}, patterns),
                 QString("5'/X.1.1.1.13''-t.t3.tb-Au/Wx.O:Ld...Ld"));
    }

    void panelDerivesItsSummary()
    {
        TPalmSettings panel;
        QCOMPARE(panel.formula(), QString("1.1.1.1.1--Au.O:Ld.Ld.Ld.Ld"));
        for (int i = 0; i < 4; ++i)
            QVERIFY(panel.mainLineIndex(i).isEmpty());
        QVERIFY(!panel.secondTerminationBox(3)->isEnabled());

        panel.firstTerminationBox(3)->setCurrentText("X");
        panel.firstTerminationBox(0)->setCurrentText("0");
        QCOMPARE(panel.mainLineIndex(0), QString("8"));
        QVERIFY(panel.mainLineIndex(1).isEmpty() && panel.mainLineIndex(2).isEmpty()
                && panel.mainLineIndex(3).isEmpty());
        panel.dualBox(3)->setCurrentText("Dual");
        QVERIFY(panel.secondTerminationBox(3)->isEnabled());
        QCOMPARE(panel.mainLineIndex(2), QString("2"));
        QVERIFY(panel.mainLineIndex(3).isEmpty());
        QCOMPARE(panel.formula(), QString("0.1.1.X/1.1--Au.O:Ld.Ld.Ld.Ld"));

        panel.axialPresentBoxes().at(0)->setChecked(true);
        panel.axialPresentBoxes().at(4)->setChecked(true);
        QVERIFY(panel.formula().contains("-t.tb-"));

        panel.patternOptionBox(1)->setCurrentText("predefined");
        QVERIFY(panel.formula().contains("-Au/Au.O:"));
        panel.patternOptionBox(4)->setCurrentText("custom");
        QVERIFY(!panel.predefinedPatternBox(4)->isEnabled());
        QVERIFY(panel.patternTextItem(4)->flags() & Qt::ItemIsEditable);
        panel.patternTextItem(4)->setText("Lx");
        QVERIFY(panel.formula().endsWith(":Lx.Ld.Ld.Ld"));
        panel.patternOptionBox(4)->setCurrentText("not available");
        QVERIFY(!(panel.patternTextItem(4)->flags() & Qt::ItemIsEditable));
        QCOMPARE(panel.patternTextItem(4)->text(), QString("Lx"));   // kept for later

        panel.setAngle(true, 90.0);
        QCOMPARE(panel.angleText(), QString("90\u00B0"));
        panel.setAngle(true, 47.1234567);
        QCOMPARE(panel.angleText(), QString("47.1235\u00B0"));
        panel.setAngle(false, 47.0);
        QVERIFY(panel.angleText().isEmpty());

        panel.setAngle(true, 10);
        panel.clear();
        QVERIFY(panel.formula().isEmpty() && panel.angleText().isEmpty()
                && panel.mainLineIndex(0).isEmpty());
        QCOMPARE(panel.patternOptionBox(1)->currentIndex(), 2);
        QCOMPARE(panel.patternOptionBox(4)->currentIndex(), 0);
        QVERIFY(panel.patternTextItem(4)->text().isEmpty());
        QCOMPARE(panel.firstTerminationBox(3)->currentText(), QString("1"));
        panel.firstTerminationBox(2)->setCurrentText("4");
        QCOMPARE(panel.formula(), QString("1.1.4.1.1-t.tb-Au.O:Ld.Ld.Ld.Ld"));
    }

    void loadRestoresKnownTexts()
    {
        TGlyphRecord record;
        record.settings["Aterm"] = QStringList{"Dual", "13'", "5''"};
        record.settings["Dterm"] = QStringList{"Sideways", "nine", "2"};   // unknown texts stay
        record.settings["Thenar2"] = QStringList{"custom", "W", "a&b\"<c>"};
        record.settings["I3"] = QStringList{"predefined", "M"};   // too short: ignored
        TPalmSettings panel;
        panel.load(record);
        QCOMPARE(panel.dualBox(3)->currentText(), QString("Dual"));
        QCOMPARE(panel.secondTerminationBox(3)->currentText(), QString("5''"));
        QCOMPARE(panel.dualBox(0)->currentText(), QString("Simple"));
        QCOMPARE(panel.firstTerminationBox(0)->currentText(), QString("1"));
        QCOMPARE(panel.secondTerminationBox(0)->currentText(), QString("2"));
        QCOMPARE(panel.predefinedPatternBox(6)->currentText(), QString("Ld"));
        QCOMPARE(panel.formula(), QString("1.1.1.13'/5''.1--Au.O/a&b\"<c>:Ld.Ld.Ld.Ld"));
        QCOMPARE(panel.mainLineIndex(2), QString("7"));

        // A classification the cleared panel already shows changes no box, yet is
        // summed up all the same.
        panel.clear();
        panel.load(TGlyphRecord());
        QCOMPARE(panel.formula(), QString("1.1.1.1.1--Au.O:Ld.Ld.Ld.Ld"));
        QCOMPARE(panel.mainLineIndex(0), QString("2"));
    }
};

QTEST_MAIN(TestPalmSettings)
#include "tst_palmsettings.moc"
