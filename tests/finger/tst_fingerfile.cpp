#include "testsupport.h"

#include "annotation/tglyphrecord.h"
#include "finger/tdermatoglypheditor.h"
#include "finger/tdermatoglyphview.h"
#include "finger/tfingersettings.h"
#include "view/tgraphicsvertexitem.h"
#include "view/trcline.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTextStream>
#include <QXmlStreamReader>
#include <QtTest>

static QImage whitePrint()
{
    QImage image(400, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

static QByteArray section(TDermatoglyphEditor& editor)
{
    QByteArray bytes;
    QTextStream out(&bytes);
    out.setCodec("UTF-8");
    editor.writeAnnotation(out);
    out.flush();
    return bytes;
}

static TGlyphRecord readBack(const QByteArray& bytes)
{
    QXmlStreamReader xml(bytes);
    TGlyphRecord record;
    if (!record.read(xml))
        qWarning("section not complete");
    return record;
}

static void tick(TFingerSettings* panel, const char* name, bool on)
{
    panel->findChild<QCheckBox*>(name)->setChecked(on);
}

// As the examiner's choice does, the entry shown included: the box is answered.
static void choose(TFingerSettings* panel, const char* name, int index)
{
    QComboBox* box = panel->findChild<QComboBox*>(name);
    box->setCurrentIndex(index);
    emit box->activated(index);
}

// Two cores with a central line (and an opened empty one), two triradii with a
// radiant, a ridge point on the core-core and one core-triradius line, a crop
// and a flexion outline, and a classification with every question answered
// (as it is once the examiner classified the print with other landmarks too),
// which is written as the program always wrote it.
static void annotate(TDermatoglyphEditor& editor)
{
    editor.importImage(whitePrint());
    TDermatoglyphView* view = editor.dermatoglyphView();
    TGlyphRecord crop;
    crop.crop = {QPointF(10, 10), QPointF(390, 10), QPointF(390, 290), QPointF(10, 290)};
    view->loadImageState(crop);
    view->addVertex(QPointF(20.123456, 200));
    view->addVertex(QPointF(200, 210));
    TGraphicsVertexItem* left = view->addLandmark(QPointF(100.5, 50), Core);
    TGraphicsVertexItem* right = view->addLandmark(QPointF(300, 50), Core);
    view->addLandmark(QPointF(100.5, 150), Triradius);
    TGraphicsVertexItem* t = view->addLandmark(QPointF(300, 160), Triradius);
    left->addRidgeLine();
    left->addRidgePoint(QPointF(110, 70));
    left->addRidgePoint(QPointF(120, 80));
    right->addRidgeLine();
    t->addRidgeLine();
    t->addRidgePoint(QPointF(340, 170));
    view->connectPoints();
    view->addRidgePoints(true);
    view->coreCoreCountLine()->addRidgePoint(150, 55);
    view->coreTriradiusCountLines().at(0)->addRidgePoint(104, 100);
    view->addRidgePoints(false);

    TFingerSettings* panel = editor.settingsPanel();
    tick(panel, "flexionRadial", true);
    tick(panel, "extralimitalUlnar", true);
    choose(panel, "rotationInner", 1);
    choose(panel, "rotationOuter", 2);
    choose(panel, "terminationRadial", 1);
    for (const char* shownBefore : {"rotation", "terminationUlnar", "termination"})
        choose(panel, shownBefore, 0);
}

static const char* const expectedSection =
    "<dermatoglyph>\r\n"
    "  <crop>\r\n"
    "    <point x=\"10\" y=\"10\" />\r\n"
    "    <point x=\"390\" y=\"10\" />\r\n"
    "    <point x=\"390\" y=\"290\" />\r\n"
    "    <point x=\"10\" y=\"290\" />\r\n"
    "  </crop>\r\n"
    "  <transform angle=\"0\" flip=\"0\" />\r\n"
    "  <flexion>\r\n"
    "    <point x=\"20.1235\" y=\"200\" />\r\n"
    "    <point x=\"200\" y=\"210\" />\r\n"
    "  </flexion>\r\n"
    "  <core>\r\n"
    "    <point x=\"100.5\" y=\"50\">\r\n"
    "      <line type=\"ridge\">\r\n"
    "        <point x=\"110\" y=\"70\"/>\r\n"
    "        <point x=\"120\" y=\"80\"/>\r\n"
    "      </line>\r\n"
    "    </point>\r\n"
    "    <point x=\"300\" y=\"50\" />\r\n"
    "  </core>\r\n"
    "  <triradium>\r\n"
    "    <point x=\"100.5\" y=\"150\" />\r\n"
    "    <point x=\"300\" y=\"160\">\r\n"
    "      <line type=\"ridge\">\r\n"
    "        <point x=\"340\" y=\"170\"/>\r\n"
    "      </line>\r\n"
    "    </point>\r\n"
    "  </triradium>\r\n"
    "  <line type=\"cc\">\r\n"
    "    <point x=\"150\" y=\"50\" />\r\n"
    "  </line>\r\n"
    "  <line type=\"ct\">\r\n"
    "    <point x=\"100.5\" y=\"100\" />\r\n"
    "  </line>\r\n"
    "  <line type=\"ct\">\r\n"
    "  </line>\r\n"
    "  <setting type=\"flexion\" first=\"1\" second=\"0\" />\r\n"
    "  <setting type=\"extralimital\" first=\"0\" second=\"1\" />\r\n"
    "  <setting type=\"rotation\" first=\"counter clockwise\" second=\"concentric\" third=\"clockwise\" />\r\n"
    "  <setting type=\"termination\" first=\"ulnar side\" second=\"radial side\" third=\"radial side\" />\r\n"
    "</dermatoglyph>\r\n";

class TestFingerFile : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { testsupport::isolateSettings(); }

    void sectionIsWrittenToTheByte()
    {
        TDermatoglyphEditor editor;
        annotate(editor);
        QCOMPARE(QString::fromUtf8(section(editor)), QString::fromLatin1(expectedSection));
    }

    void writeReadLoadWriteIsIdentical()
    {
        TDermatoglyphEditor first;
        annotate(first);
        const QByteArray written = section(first);
        const TGlyphRecord record = readBack(written);
        QCOMPARE(record.ridgeLines(0).size(), 1);

        TDermatoglyphEditor second;
        second.importImage(whitePrint());
        second.loadAnnotation(record);
        QCOMPARE(section(second), written);
        QVERIFY(second.dermatoglyphView()->hasFlexionAxis());
    }

    void minimalSection()
    {
        TDermatoglyphEditor editor;
        editor.importImage(whitePrint());
        TDermatoglyphView* view = editor.dermatoglyphView();
        view->addLandmark(QPointF(1234.5678, 0.00001), Core);
        choose(editor.settingsPanel(), "pattern", 2);
        const QString text = QString::fromUtf8(section(editor));
        QVERIFY(text.contains("  <crop>\r\n  </crop>\r\n"));
        QVERIFY(text.contains("  <flexion>\r\n  </flexion>\r\n"));
        QVERIFY(text.contains("    <point x=\"1234.57\" y=\"1e-05\" />\r\n"));
        QVERIFY(!text.contains("type=\"cc\""));
        QVERIFY(!text.contains("type=\"ct\""));
        // After clear(): every box at its first entry, none answered; a pattern.
        QVERIFY(text.contains("  <setting type=\"flexion\" first=\"0\" second=\"0\" />\r\n"
                              "  <setting type=\"extralimital\" first=\"0\" second=\"0\" />\r\n"
                              "  <setting type=\"rotation\" first=\"clockwise\" second=\"clockwise\" third=\"clockwise\" />\r\n"
                              "  <setting type=\"termination\" first=\"radial side\" second=\"radial side\" third=\"radial side\" />\r\n"
                              "  <setting type=\"pattern\" first=\"tented arch\" />\r\n"
                              "  <setting type=\"answered\" first=\"000\" second=\"000\" />\r\n"
                              "</dermatoglyph>\r\n"));
    }

    void coreCoreLineOnlyWithTwoCores()
    {
        TDermatoglyphEditor editor;
        editor.importImage(whitePrint());
        TDermatoglyphView* view = editor.dermatoglyphView();
        view->addLandmark(QPointF(100, 100), Core);
        view->addLandmark(QPointF(200, 100), Core);
        view->connectPoints();
        QString text = QString::fromUtf8(section(editor));
        QVERIFY(text.contains("  <line type=\"cc\">\r\n  </line>\r\n"));
        QVERIFY(!text.contains("type=\"ct\""));
        view->addLandmark(QPointF(300, 100), Core);
        view->connectPoints();
        text = QString::fromUtf8(section(editor));
        QVERIFY(!text.contains("type=\"cc\""));
    }

    void standAloneFileEscapesAndReadsBack()
    {
        QTemporaryDir dir;
        const QString name = "R&D \"scan\" <1>.tif";
        TDermatoglyphView view;
        QImage image = whitePrint();
        image.setDotsPerMeterX(19685);   // 500 ppi
        image.setDotsPerMeterY(19685);
        view.setImage(image, name);
        TFingerSettings panel;
        const QString path = dir.filePath("finger.xml");
        QVERIFY(view.save(path, &panel, true));
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<dermatoglyph>\r\n"
                                 "<image src=\"R&amp;D &quot;scan&quot; &lt;1&gt;.tif\" "
                                 "xdpi=\"500\" ydpi=\"500\"/>\r\n  <crop>\r\n"));
        QXmlStreamReader xml(bytes);
        TGlyphRecord record;
        QVERIFY(record.read(xml));
        QCOMPARE(record.src, name);
    }

    void unwritableFileIsReported()
    {
        QTemporaryDir dir;
        const QString blocker = dir.filePath("plain");
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("keep");
        file.close();

        TDermatoglyphView view;
        view.setImage(whitePrint());
        TFingerSettings panel;
        QString title;
        testsupport::onNextModal([&title](QWidget* w) {
            title = w->windowTitle();
            if (auto* box = qobject_cast<QMessageBox*>(w))
                box->accept();
        });
        QVERIFY(!view.save(blocker + "/finger.xml", &panel, true));
        QCOMPARE(title, QString("Ridgemap"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("keep"));
    }
};

QTEST_MAIN(TestFingerFile)
#include "tst_fingerfile.moc"
