// Writes the fuzzers' seed corpus with the program's own writers and checks that
// the readers take back everything they wrote. With RIDGEMAP_FUZZ_CORPUS set to a
// folder (tests/fuzz/corpus), the files are also stored there under section/ and
// setfile/.
#include "testsupport.h"

#include "annotation/tglyphrecord.h"
#include "view/tgraphicsvertexitem.h"
#include "annotation/treaderror.h"
#include "view/trcline.h"
#include "app/mainwindow.h"
#include "annotation/setfile.h"
#include "finger/tdermatoglypheditor.h"
#include "finger/tdermatoglyphview.h"
#include "palm/tpalmeditor.h"
#include "palm/tpalmview.h"

#include <QBuffer>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>
#include <QXmlStreamReader>
#include <QtTest>
#include <memory>

using Slot = TPalmView::Slot;

static void annotateFinger(TDermatoglyphEditor* editor, bool loop)
{
    TDermatoglyphView* view = editor->dermatoglyphView();
    TGlyphRecord crop;
    crop.crop = {QPointF(4, 4), QPointF(150, 6.5), QPointF(152, 110), QPointF(3, 112)};
    view->loadImageState(crop);
    view->addVertex(QPointF(10, 90));
    view->addVertex(QPointF(120.25, 95));
    TGraphicsVertexItem* core = view->addLandmark(QPointF(60, 30), Core);
    core->addRidgeLine();
    core->addRidgePoint(QPointF(64, 36));
    core->addRidgePoint(QPointF(70, 41.5));
    if (!loop) {
        view->addLandmark(QPointF(100, 32), Core);
        view->addLandmark(QPointF(130, 72), Triradius);
    }
    TGraphicsVertexItem* t = view->addLandmark(QPointF(30, 70), Triradius);
    t->addRidgeLine();
    t->addRidgePoint(QPointF(20, 75));
    view->connectPoints();
    view->addRidgePoints(true);
    if (!loop)
        view->coreCoreCountLine()->addRidgePoint(80, 31);
    view->coreTriradiusCountLines().at(0)->addRidgePoint(45, 50);
    view->addRidgePoints(false);
}

static void annotatePalm(TPalmEditor* editor)
{
    TPalmView* view = editor->palmGlyphView();
    TGraphicsVertexItem* a = view->addTriradius(Slot::A, QPointF(20, 20));
    view->addTriradius(Slot::B, QPointF(60, 18));
    view->addTriradius(Slot::T, QPointF(80, 110));
    a->addRidgeLine();
    a->addRidgePoint(QPointF(15, 30));
    TGraphicsVertexItem* core = view->addCorePoint(QPointF(90, 60));
    core->addRidgeLine();
    core->addRidgePoint(QPointF(95, 66));
    view->connectPoints();
    view->addRidgePoints(true);
    view->addRidgePoint(QPointF(40, 19), 0);
    view->addRidgePoints(false);
    editor->presentBox(Slot::T1)->setChecked(true);
}

static QByteArray sectionOf(TGlyphEditor* editor)
{
    return testsupport::sectionText(editor).toUtf8();
}

static QByteArray contentsOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class TestFuzzCorpus : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QMap<QString, QByteArray> sections;
    QMap<QString, QByteArray> sets;

    // A set with slot images, one or all prints annotated, and a rotation and
    // mirror; written by the main window's own save.
    QByteArray writeSet(const QString& name, bool annotateAll, bool withImages)
    {
        MainWindow window;
        if (withImages) {
            const QString image = dir.filePath("R&D print.png");
            if (!testsupport::writeImage(image, 160, 120, 500))
                return QByteArray();
            for (int i = 0; i < setfile::slotCount; ++i)
                QMetaObject::invokeMethod(&window, "importImage", Qt::DirectConnection,
                                          Q_ARG(QString, image), Q_ARG(int, i));
        }
        if (annotateAll) {
            for (int i = 0; i < 10; ++i)
                annotateFinger(static_cast<TDermatoglyphEditor*>(window.editor(i)), i % 2);
            annotatePalm(static_cast<TPalmEditor*>(window.editor(10)));
            annotatePalm(static_cast<TPalmEditor*>(window.editor(11)));
            window.editor(3)->glyphView()->rotate(90);
            window.editor(11)->glyphView()->flip(true);
        }
        const QString path = dir.filePath(name);
        if (!window.writeSet(path))
            return QByteArray();
        if (annotateAll) {
            sections.insert("finger-whorl.xml", sectionOf(window.editor(0)));
            sections.insert("finger-loop.xml", sectionOf(window.editor(1)));
            sections.insert("palm.xml", sectionOf(window.editor(11)));
            const QString standAlone = dir.filePath("finger-standalone.xml");
            auto* finger = static_cast<TDermatoglyphEditor*>(window.editor(0));
            if (finger->dermatoglyphView()->save(standAlone, finger->settingsPanel(), true))
                sections.insert("finger-standalone.xml", contentsOf(standAlone));
        } else {
            sections.insert("finger-empty.xml", sectionOf(window.editor(0)));
            sections.insert("palm-empty.xml", sectionOf(window.editor(10)));
        }
        return contentsOf(path);
    }

private slots:
    void initTestCase()
    {
        testsupport::isolateSettings();
        QVERIFY(dir.isValid());
        sets.insert("empty.xml", writeSet("empty.xml", false, false));
        sets.insert("annotated.xml", writeSet("annotated.xml", true, true));
        for (auto it = sets.cbegin(); it != sets.cend(); ++it)
            QVERIFY2(!it.value().isEmpty(), qPrintable(it.key()));
    }

    void setFilesReadBackWhole()
    {
        for (auto it = sets.cbegin(); it != sets.cend(); ++it) {
            QByteArray bytes = it.value();
            QBuffer buffer(&bytes);
            QVERIFY(buffer.open(QIODevice::ReadOnly));
            setfile::Contents contents;
            try {
                contents = setfile::read(buffer);
            } catch (const TReadError& e) {
                QFAIL(qPrintable(it.key() + ": " + e.message()));
            }
            if (it.key() == "annotated.xml") {
                QCOMPARE(contents.images.at(7).src, QString("R&D print.png"));
                QCOMPARE(contents.images.at(7).xPpi, 500);
                QCOMPARE(contents.records.at(0).cores.size(), 2);
                QCOMPARE(contents.records.at(1).cores.size(), 1);
                QCOMPARE(contents.records.at(0).ridgeLines(0).value(0).size(), 2);
                QCOMPARE(contents.records.at(3).angle, 90);
                QVERIFY(contents.records.at(11).flip);
                QVERIFY(contents.records.at(11).present.at(Slot::T1));
                QCOMPARE(contents.records.at(11).ba.size(), 1);
            } else {
                QVERIFY(contents.images.at(0).src.isEmpty());
                QVERIFY(contents.records.at(10).triradia.size() == TGlyphRecord::triradiusSlots);
            }
        }
    }

    void sectionsReadBackComplete()
    {
        QVERIFY(sections.size() >= 6);
        for (auto it = sections.cbegin(); it != sections.cend(); ++it) {
            QXmlStreamReader xml(it.value());
            TGlyphRecord record;
            QVERIFY2(record.read(xml), qPrintable(it.key()));
            QVERIFY2(!xml.hasError(), qPrintable(it.key()));
        }
    }

    void storeForTheFuzzers()
    {
        const QString target = qEnvironmentVariable("RIDGEMAP_FUZZ_CORPUS");
        if (target.isEmpty())
            QSKIP("RIDGEMAP_FUZZ_CORPUS not set: the seed corpus is left as it is");
        const QMap<QString, QByteArray>* groups[] = {&sections, &sets};
        const char* const folders[] = {"section", "setfile"};
        for (int g = 0; g < 2; ++g) {
            QDir folder(target + "/" + folders[g]);
            QVERIFY(folder.mkpath("."));
            for (auto it = groups[g]->cbegin(); it != groups[g]->cend(); ++it) {
                QFile file(folder.filePath(it.key()));
                QVERIFY(file.open(QIODevice::WriteOnly));
                QCOMPARE(file.write(it.value()), qint64(it.value().size()));
            }
        }
    }
};

QTEST_MAIN(TestFuzzCorpus)
#include "tst_fuzzcorpus.moc"
