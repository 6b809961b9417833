#include "testsupport.h"

#include "annotation/tglyphrecord.h"
#include "finger/tdermatoglypheditor.h"
#include "finger/tdermatoglyphview.h"
#include "finger/tfingersettings.h"
#include "synth/syntheticprint.h"
#include "view/trcline.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <QUndoStack>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

#include <random>

static QImage whitePrint()
{
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

static QStringList shown(TFingerSettings* panel)
{
    QStringList names;
    for (const char* name : {"labelRotation", "labelInner", "rotationInner", "labelOuter",
                             "rotationOuter", "rotation", "labelTermination", "labelRadial",
                             "terminationRadial", "labelUlnar", "terminationUlnar", "termination"}) {
        auto* w = panel->findChild<QWidget*>(name);
        if (w && !w->isHidden())
            names.append(name);
    }
    return names;
}

static QComboBox* box(TFingerSettings* panel, const char* name)
{
    return panel->findChild<QComboBox*>(name);
}

class TestFingerEditor : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { testsupport::isolateSettings(); }

    void toolGroupHandsOverInOrder()
    {
        TDermatoglyphEditor editor;
        TDermatoglyphView* view = editor.dermatoglyphView();
        QStringList events;
        connect(editor.buttonCores, &QPushButton::toggled,
                [&](bool on) { events << QString("cores %1").arg(on); });
        connect(editor.buttonTriradia, &QPushButton::toggled,
                [&](bool on) { events << QString("triradia %1").arg(on); });
        editor.buttonCores->click();
        QVERIFY(view->isAddingCores());
        editor.buttonCores->click();          // the checked one stays checked
        QVERIFY(editor.buttonCores->isChecked());
        editor.buttonTriradia->click();
        QCOMPARE(events, (QStringList{"cores 1", "cores 0", "triradia 1"}));
        QVERIFY(!view->isAddingCores());
        QVERIFY(view->isAddingTriradia());

        QCOMPARE(editor.tools()->buttons().size(), 7);
        QAbstractButton* crop = editor.tools()->buttons().last();
        crop->click();
        QVERIFY(!editor.buttonTriradia->isChecked());
        QVERIFY(view->isSelecting());
        editor.buttonRidgeCount->click();
        QVERIFY(!crop->isChecked());
        QVERIFY(!view->isSelecting());
        QVERIFY(view->isAddingRidgePoints());
        editor.buttonFlexion->click();
        QVERIFY(view->isPaintingFlex());
        editor.buttonRadiants->click();
        QVERIFY(view->isAddingRadiants() && !view->isPaintingFlex());
        editor.buttonCentralLines->click();
        QVERIFY(view->isAddingCentralLines() && !view->isAddingRadiants());
    }

    void resetUnchecksAllButTracing_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("stays");
        QTest::newRow("cores") << "buttonCores" << false;
        QTest::newRow("triradia") << "buttonTriradia" << false;
        QTest::newRow("ridge count") << "buttonRidgeCount" << false;
        QTest::newRow("flexion") << "buttonFlexion" << false;
        QTest::newRow("radiants") << "buttonRadiants" << true;
        QTest::newRow("central lines") << "buttonCentralLines" << true;
        QTest::newRow("crop selection") << "buttonSelectCrop" << false;
    }
    void resetUnchecksAllButTracing()
    {
        QFETCH(QString, button);
        QFETCH(bool, stays);
        TDermatoglyphEditor editor;
        const QMap<QString, QPushButton*> buttons{
            {"buttonCores", editor.buttonCores}, {"buttonTriradia", editor.buttonTriradia},
            {"buttonRidgeCount", editor.buttonRidgeCount}, {"buttonFlexion", editor.buttonFlexion},
            {"buttonRadiants", editor.buttonRadiants},
            {"buttonCentralLines", editor.buttonCentralLines}};
        QAbstractButton* b = buttons.value(button, nullptr);
        if (!b)
            b = editor.tools()->buttons().last();
        QVERIFY(b);
        b->click();
        editor.reset();
        QCOMPARE(b->isChecked(), stays);
        QCOMPARE(editor.tools()->checkedButton() != nullptr, stays);
        TDermatoglyphView* view = editor.dermatoglyphView();
        QVERIFY(!view->isAddingCores() && !view->isAddingTriradia());
        QVERIFY(!view->isAddingRidgePoints() && !view->isPaintingFlex());
        QCOMPARE(view->isAddingRadiants() || view->isAddingCentralLines(), stays);
    }

    void panelVisibilityFollowsTheCounts_data()
    {
        QTest::addColumn<int>("cores");
        QTest::addColumn<int>("triradia");
        QTest::addColumn<QStringList>("visible");
        QTest::newRow("0 0") << 0 << 0 << QStringList();
        QTest::newRow("0 2") << 0 << 2 << QStringList();
        QTest::newRow("1 1") << 1 << 1 << QStringList{"labelTermination", "termination"};
        QTest::newRow("1 2") << 1 << 2
                             << QStringList{"labelRotation", "rotation", "labelTermination",
                                            "termination"};
        QTest::newRow("2 1") << 2 << 1
                             << QStringList{"labelTermination", "labelRadial", "terminationRadial",
                                            "labelUlnar", "terminationUlnar"};
        QTest::newRow("2 2") << 2 << 2
                             << QStringList{"labelRotation", "labelInner", "rotationInner",
                                            "labelOuter", "rotationOuter", "labelTermination",
                                            "labelRadial", "terminationRadial", "labelUlnar",
                                            "terminationUlnar"};
        QTest::newRow("3 2") << 3 << 2 << QStringList();
    }
    void panelVisibilityFollowsTheCounts()
    {
        QFETCH(int, cores);
        QFETCH(int, triradia);
        QFETCH(QStringList, visible);
        TDermatoglyphEditor editor;
        editor.importImage(whitePrint());
        TDermatoglyphView* view = editor.dermatoglyphView();
        for (int i = 0; i < cores; ++i)
            view->addLandmark(QPointF(50 + 50 * i, 50), Core);
        for (int i = 0; i < triradia; ++i)
            view->addLandmark(QPointF(50 + 50 * i, 200), Triradius);
        QCOMPARE(shown(editor.settingsPanel()), visible);
        editor.reset();
        QVERIFY(shown(editor.settingsPanel()).isEmpty());
    }

    void panelLoadsTheRecord()
    {
        TFingerSettings panel;
        TGlyphRecord record;
        record.settings.insert("rotation", {"counter clockwise", "concentric", "clockwise"});
        record.settings.insert("termination", {"ulnar side", "sideways", "ulnar side"});
        record.settings.insert("flexion", {"1", "1", ""});
        record.settings.insert("mood", {"a", "b", "c"});
        box(&panel, "terminationUlnar")->setCurrentIndex(1);
        panel.load(record);
        QCOMPARE(box(&panel, "rotationInner")->currentIndex(), 1);
        QCOMPARE(box(&panel, "rotationOuter")->currentIndex(), 2);
        QCOMPARE(box(&panel, "rotation")->currentIndex(), 0);
        QCOMPARE(box(&panel, "terminationRadial")->currentIndex(), 1);
        QCOMPARE(box(&panel, "terminationUlnar")->currentIndex(), 1);   // unknown text: kept
        QVERIFY(panel.findChild<QCheckBox*>("flexionRadial")->isChecked());
        QVERIFY(panel.findChild<QCheckBox*>("flexionUlnar")->isChecked());

        // A missing rotation leaves the boxes as they are.
        TGlyphRecord partial;
        partial.settings.insert("extralimital", {"1", "0", ""});
        panel.load(partial);
        QCOMPARE(box(&panel, "rotationInner")->currentIndex(), 1);
        QVERIFY(panel.findChild<QCheckBox*>("extralimitalRadial")->isChecked());
        QVERIFY(panel.findChild<QCheckBox*>("flexionRadial")->isChecked());

        panel.clear();
        QCOMPARE(box(&panel, "rotationInner")->currentIndex(), 0);
        QVERIFY(!panel.findChild<QCheckBox*>("extralimitalRadial")->isChecked());
    }

    void suggestAllMarksALoopInOneStep()
    {
        // A loop grown like skin, its triradius on the viewer's left: the loop
        // opens to the right, the ulnar side of a right hand as taken.
        std::mt19937 random(11);
        const synth::Print print = synth::render(
            synth::grow(FlowModel::finger(synth::Pattern::LoopRight, random), 12), 500);
        TDermatoglyphEditor editor;
        editor.setName("R2");
        editor.importImage(synth::scan(print, synth::damages().front(), 3));
        TDermatoglyphView* view = editor.dermatoglyphView();
        editor.buttonSuggestAll->click();
        QCOMPARE(view->coreItems().size(), 1);
        QCOMPARE(view->triradiusItems().size(), 1);
        QVERIFY(view->coreTriradiusCountLines().at(0)->count() > 3);
        const QString pattern = editor.settingsPanel()->patternBox()->currentText();
        QCOMPARE(pattern, QString("ulnar loop"));
        QCOMPARE(editor.history()->count(), 1);
        QCOMPARE(editor.history()->undoText(), QString("Suggest all"));
        QVERIFY(editor.statusBar()->currentMessage().contains("Pattern: " + pattern));
        // Landmarks already there are not placed twice.
        editor.buttonSuggestLandmarks->click();
        QCOMPARE(view->coreItems().size(), 1);
        QCOMPARE(editor.history()->count(), 1);
        editor.history()->undo();
        QVERIFY(view->coreItems().isEmpty() && view->triradiusItems().isEmpty());
        QCOMPARE(editor.settingsPanel()->patternBox()->currentIndex(), 0);
        // On a left hand the same loop opens to the radial side; mirroring the
        // display turns the print and its sides alike, so the pattern stays.
        editor.setName("L2");
        editor.buttonSuggestAll->click();
        QCOMPARE(editor.settingsPanel()->patternBox()->currentText(), QString("radial loop"));
        editor.findChild<QCheckBox*>("checkBoxFlip")->click();
        editor.buttonSuggestLandmarks->click();
        QCOMPARE(view->suggestedPattern(false), QString("radial loop"));
    }

    void saveFileWritesAStandAloneFile()
    {
        QTemporaryDir dir;
        TDermatoglyphEditor editor;
        editor.importImage(whitePrint());
        editor.dermatoglyphView()->addLandmark(QPointF(100, 100), Core);
        const QString path = dir.filePath("one.xml");
        testsupport::answerFileDialog(path);
        editor.saveFile();
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<dermatoglyph>\r\n<image "));
        QVERIFY(bytes.contains("    <point x=\"100\" y=\"100\" />\r\n"));
        QCOMPARE(QSettings("Vintrel", "Ridgemap").value("path").toString(), dir.path());

        // A cancelled dialog writes nothing.
        QVERIFY(file.remove());
        testsupport::answerFileDialog(QString());
        editor.saveFile();
        QVERIFY(!QFile::exists(path));
    }
};

QTEST_MAIN(TestFingerEditor)
#include "tst_fingereditor.moc"
