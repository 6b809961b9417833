#include "annotation/tglyphrecord.h"
#include "palm/tpalmeditor.h"
#include "palm/tpalmsettings.h"
#include "palm/tpalmview.h"
#include "testsupport.h"
#include "view/tgraphicsvertexitem.h"
#include "view/trcline.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGraphicsTextItem>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidgetItem>
#include <QTemporaryDir>
#include <QTextStream>
#include <QXmlStreamReader>
#include <QtTest/QtTest>
#include <memory>

using Slot = TPalmView::Slot;

static QString lines(const QStringList& text)
{
    return text.join("\r\n") + "\r\n";
}

static const QStringList defaultSettings = {
    "  <setting type=\"Dterm\" first=\"Simple\" second=\"1\" third=\"1\" />",
    "  <setting type=\"Cterm\" first=\"Simple\" second=\"1\" third=\"1\" />",
    "  <setting type=\"Bterm\" first=\"Simple\" second=\"1\" third=\"1\" />",
    "  <setting type=\"Aterm\" first=\"Simple\" second=\"1\" third=\"1\" />",
    "  <setting type=\"Tterm\" first=\"Simple\" second=\"1\" third=\"1\" />",
    "  <setting type=\"Hypothenar1\" first=\"predefined\" second=\"Au\" third=\"\" />",
    "  <setting type=\"Hypothenar2\" first=\"not available\" second=\"Au\" third=\"\" />",
    "  <setting type=\"Thenar1\" first=\"predefined\" second=\"O\" third=\"\" />",
    "  <setting type=\"Thenar2\" first=\"not available\" second=\"O\" third=\"\" />",
    "  <setting type=\"I1\" first=\"predefined\" second=\"Ld\" third=\"\" />",
    "  <setting type=\"I2\" first=\"predefined\" second=\"Ld\" third=\"\" />",
    "  <setting type=\"I3\" first=\"predefined\" second=\"Ld\" third=\"\" />",
    "  <setting type=\"I4\" first=\"predefined\" second=\"Ld\" third=\"\" />",
};

static const QString emptySlot = "    <point x=\"0\" y=\"0\" p=\"0\" d=\"0\"/>";

class TestPalmFile : public QObject
{
    Q_OBJECT

    static std::unique_ptr<TPalmEditor> newEditor()
    {
        std::unique_ptr<TPalmEditor> editor(new TPalmEditor);
        editor->resize(1200, 800);
        editor->show();
        QImage image(400, 300, QImage::Format_RGB32);
        image.fill(Qt::white);
        editor->importImage(image);
        return editor;
    }
    static QString section(TPalmEditor& editor) { return testsupport::sectionText(&editor); }
    static TGlyphRecord read(const QString& text)
    {
        QXmlStreamReader xml(text);
        TGlyphRecord record;
        record.read(xml);
        return record;
    }
    // A palm with something of every kind the section holds.
    static void annotate(TPalmEditor& editor)
    {
        TPalmView* view = editor.palmGlyphView();
        TGraphicsVertexItem* a = view->addTriradius(Slot::A, QPointF(50, 60));
        view->addTriradius(Slot::B, QPointF(150.5, 60));
        a->addRidgeLine();
        a->addRidgePoint(QPointF(40, 70));
        a->addRidgePoint(QPointF(30, 80));
        a->addRidgeLine();
        a->addRidgePoint(QPointF(60, 70));
        TGraphicsVertexItem* core = view->addCorePoint(QPointF(200, 150));
        core->addRidgeLine();
        core->addRidgePoint(QPointF(210, 160));
        view->addCorePoint(QPointF(300, 100));
        view->connectPoints();
        view->addRidgePoints(true);
        view->addRidgePoint(QPointF(120, 55), 0);
        view->addRidgePoint(QPointF(80, 65), 0);
        view->addRidgePoints(false);
        editor.presentBox(16)->setChecked(true);
        TPalmSettings* panel = editor.settingsPanel();
        // Chosen as the examiner does: rows A and I2 are answered, the others not.
        for (const auto& [box, text] : {std::pair(panel->dualBox(3), "Dual"),
                                        std::pair(panel->secondTerminationBox(3), "X"),
                                        std::pair(panel->patternOptionBox(5), "custom")}) {
            box->setCurrentText(text);
            emit box->activated(box->currentIndex());
        }
        panel->patternTextItem(5)->setText("a&b<\"c\">");
    }

private slots:
    void initTestCase() { testsupport::isolateSettings(); }

    void emptyPalmSection()
    {
        auto editor = newEditor();
        editor->presentBox(Slot::T)->setChecked(true);
        QStringList expected = {"<dermatoglyph>", "<image src=\"\" xdpi=\"96\" ydpi=\"96\"/>",
                                "  <crop>", "  </crop>", "  <transform angle=\"0\" flip=\"0\" />",
                                "  <triradium>"};
        for (int i = 0; i < 17; ++i)
            expected << (i == Slot::T ? "    <point x=\"0\" y=\"0\" p=\"1\" d=\"0\"/>" : emptySlot);
        // Nothing answered but the second hypothenar and thenar areas.
        expected << "  </triradium>" << "  <core>" << "  </core>" << defaultSettings
                 << "  <setting type=\"answered\" first=\"00000\" second=\"01010000\" />"
                 << "</dermatoglyph>";
        QCOMPARE(section(*editor), lines(expected));
    }

    void richPalmSection()
    {
        auto editor = newEditor();
        annotate(*editor);
        QStringList expected = {"<dermatoglyph>", "<image src=\"\" xdpi=\"96\" ydpi=\"96\"/>",
                                "  <crop>", "  </crop>", "  <transform angle=\"0\" flip=\"0\" />",
                                "  <triradium>",
                                "    <point x=\"50\" y=\"60\" p=\"1\" d=\"1\">",
                                "      <line type=\"ridge\">",
                                "        <point x=\"40\" y=\"70\"/>",
                                "        <point x=\"30\" y=\"80\"/>",
                                "      </line>",
                                "      <line type=\"ridge\">",
                                "        <point x=\"60\" y=\"70\"/>",
                                "      </line>",
                                "    </point>",
                                "    <point x=\"150.5\" y=\"60\" p=\"1\" d=\"1\"/>"};
        for (int i = 2; i < 16; ++i)
            expected << emptySlot;
        expected << "    <point x=\"0\" y=\"0\" p=\"1\" d=\"0\"/>"
                 << "  </triradium>"
                 << "  <line type=\"ba\">" << "    <point x=\"80\" y=\"60\" />"
                 << "    <point x=\"120\" y=\"60\" />" << "  </line>"
                 << "  <core>" << "    <point x=\"200\" y=\"150\">"
                 << "      <line type=\"ridge\">" << "        <point x=\"210\" y=\"160\"/>"
                 << "      </line>" << "    </point>" << "    <point x=\"300\" y=\"100\" />"
                 << "  </core>";
        QStringList settings = defaultSettings;
        settings[3] = "  <setting type=\"Aterm\" first=\"Dual\" second=\"1\" third=\"X\" />";
        settings[10] = "  <setting type=\"I2\" first=\"custom\" second=\"Ld\" "
                       "third=\"a&amp;b&lt;&quot;c&quot;&gt;\" />";
        expected << settings
                 << "  <setting type=\"answered\" first=\"00010\" second=\"01010100\" />"
                 << "</dermatoglyph>";
        QCOMPARE(section(*editor), lines(expected));
    }

    void fusedCdLinesAreNamedByIndex()
    {
        auto editor = newEditor();
        TPalmView* view = editor->palmGlyphView();
        for (int s : {Slot::B, Slot::C, Slot::D, Slot::CD, Slot::T})
            view->addTriradius(s, QPointF(30 + 40 * s, 50 + 10 * s));
        view->connectPoints();
        const QString text = section(*editor);
        QVERIFY(text.contains("  <line type=\"cb\">\r\n  </line>\r\n  <line type=\"td\">\r\n  </line>\r\n  <core>"));
        QVERIFY(!text.contains("\"dc\"") && !text.contains("\"ba\""));
    }

    void writeReadLoadWriteIsStable()
    {
        auto first = newEditor();
        TPalmView* view = first->palmGlyphView();
        // A crop outline first, so the annotation sits on the cropped print.
        view->selectCrop(true);
        for (QPointF p : {QPointF(10, 10), QPointF(390, 12), QPointF(380, 290), QPointF(15, 280)})
            QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->mapFromScene(p));
        view->crop();
        annotate(*first);
        // Ridge points on the lines themselves: a point off an oblique line would
        // come back projected from its six-digit form.
        view->addTriradius(Slot::C, QPointF(250.5, 160));
        view->addTriradius(Slot::D, QPointF(270, 180));
        view->addTriradius(Slot::T2, QPointF(300, 240));
        view->connectPoints();
        view->addRidgePoints(true);
        view->addRidgePoint(QPointF(280, 200), 3);
        view->addRidgePoint(QPointF(200.5, 110), 1);
        view->addRidgePoints(false);
        const QString written = section(*first);
        QVERIFY(written.contains("<line type=\"td\">"));

        const TGlyphRecord record = read(written);
        auto second = newEditor();
        second->loadAnnotation(record);
        QCOMPARE(section(*second), written);
        TPalmView* loaded = second->palmGlyphView();
        QCOMPARE(loaded->triradius(Slot::A)->label(), QString("A"));
        QCOMPARE(loaded->triradius(Slot::T2)->label(), QString("T"));
        QVERIFY(loaded->triradius(Slot::A)->ridgeLineLabels().first()->toHtml().contains(">A<"));
        QCOMPARE(loaded->triradius(Slot::A)->ridgeLines(), view->triradius(Slot::A)->ridgeLines());
        QVERIFY(second->determinedBox(Slot::T2)->isChecked());
        QVERIFY(second->settingsPanel()->axialPresentBoxes().at(2)->isChecked());
        QCOMPARE(second->settingsPanel()->formula(), first->settingsPanel()->formula());
    }

    void loaderKeepsOnlyWhatTheSectionSupports()
    {
        TGlyphRecord record;
        record.triradia = {QPointF(50, 60), QPointF(150, 60), QPointF(100, 100)};
        record.present[0] = true;
        record.determined[0] = true;
        record.present[1] = true;   // present but not determined: no triradius
        record.determined[2] = true;
        record.ba = {QPointF(80, 60)};   // b is not placed: these points have no line
        record.td = {QPointF(1, 1)};
        for (int i = 3; i < 20; ++i)
            record.triradia.append(QPointF(i, i));   // past slot 16: ignored
        auto editor = newEditor();
        QPushButton* ridge = editor->ridgeCountButton();
        ridge->setChecked(true);
        editor->loadAnnotation(record);
        TPalmView* view = editor->palmGlyphView();
        QVERIFY(view->triradius(Slot::A) && !view->triradius(Slot::B) && view->triradius(Slot::C));
        QVERIFY(editor->presentBox(Slot::B)->isChecked() && !editor->determinedBox(Slot::B)->isChecked());
        QVERIFY(!view->countLine(0));
        // The tool that was down works on the loaded annotation.
        QVERIFY(view->isAddingRidgePoints());

        // A short section: the slots it lacks are empty and not present.
        TGlyphRecord shortRecord;
        shortRecord.triradia = {QPointF(40, 40)};
        shortRecord.determined[0] = shortRecord.present[0] = true;
        shortRecord.determined[4] = shortRecord.present[4] = true;   // flags without a point
        editor->reset();
        editor->loadAnnotation(shortRecord);
        QVERIFY(view->triradius(Slot::A) && !view->triradius(Slot::T));
        QVERIFY(!editor->determinedBox(Slot::T)->isChecked());
    }

    void editorWiring()
    {
        auto editor = newEditor();
        TPalmView* view = editor->palmGlyphView();
        TPalmSettings* panel = editor->settingsPanel();
        editor->presentBox(Slot::T)->setChecked(true);
        QVERIFY(panel->formula().contains("-t-"));
        editor->presentBox(Slot::T)->setChecked(false);
        QVERIFY(panel->formula().contains("--"));
        const QString before = panel->formula();
        editor->presentBox(Slot::A)->setChecked(true);
        QCOMPARE(panel->formula(), before);

        view->addTriradius(Slot::TB, QPointF(100, 100));
        QVERIFY(editor->presentBox(Slot::TB)->isChecked() && editor->determinedBox(Slot::TB)->isChecked());
        QVERIFY(panel->formula().contains("-tb-"));
        QTest::mouseClick(editor->cancelTriradiusButton(Slot::TB), Qt::LeftButton);
        QVERIFY(!view->triradius(Slot::TB));
        QVERIFY(editor->presentBox(Slot::TB)->isChecked() && !editor->determinedBox(Slot::TB)->isChecked());

        view->addTriradius(Slot::A, QPointF(50, 50));
        view->addTriradius(Slot::D, QPointF(250, 50));
        view->addTriradius(Slot::T, QPointF(150, 150));
        view->connectPoints();
        QCOMPARE(panel->angleText(), QString("90\u00B0"));

        // The crop-selection button shares the exclusive group with the tools.
        editor->triradiaButton()->setChecked(true);
        QVERIFY(view->isAddingTriradia());
        QList<QAbstractButton*> group = editor->tools()->buttons();
        QCOMPARE(group.size(), 6);
        QAbstractButton* selectCrop = editor->findChild<QPushButton*>("buttonSelectCrop");
        QVERIFY(group.contains(selectCrop));
        selectCrop->click();
        QVERIFY(!editor->triradiaButton()->isChecked() && !view->isAddingTriradia());

        editor->radiantsButton()->setChecked(true);
        editor->reset();
        QVERIFY(editor->radiantsButton()->isChecked() && view->isAddingRadiants());
        QVERIFY(!editor->presentBox(Slot::A)->isChecked() && !editor->determinedBox(Slot::A)->isChecked());
        QVERIFY(!view->triradius(Slot::A) && panel->angleText().isEmpty());
        QVERIFY(panel->formula().isEmpty());
    }

    void standAloneFile()
    {
        QTemporaryDir dir;
        auto editor = newEditor();
        annotate(*editor);
        const QString name = dir.filePath("palm.xml");
        testsupport::answerFileDialog(name);
        editor->saveFile();
        QFile file(name);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QCOMPARE(bytes, ("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n" + section(*editor)).toUtf8());

        // A file that cannot be written is reported.
        const QString unwritable = dir.filePath("missing/palm.xml");
        QString message;
        testsupport::onNextModal([&](QWidget* w) {
            auto* dialog = qobject_cast<QFileDialog*>(w);
            QVERIFY(dialog);
            testsupport::captureMessageBox(&message);
            dialog->selectFile(unwritable);
            if (auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit"))
                edit->setText(unwritable);
            QMetaObject::invokeMethod(dialog, "accept");
        });
        editor->saveFile();
        QVERIFY2(message.contains("missing/palm.xml"), qPrintable(message));
        QVERIFY(!QFile::exists(unwritable));
    }
};

QTEST_MAIN(TestPalmFile)
#include "tst_palmfile.moc"
