#include "testsupport.h"

#include "annotation/tglyphrecord.h"
#include "app/mainwindow.h"
#include "finger/tdermatoglyphview.h"
#include "finger/tfingersettings.h"
#include "palm/tpalmsettings.h"
#include "palm/tpalmview.h"
#include "view/tgraphicsvertexitem.h"
#include "view/trcline.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QScopeGuard>
#include <QSpinBox>
#include <QTableWidgetItem>
#include <QTemporaryDir>
#include <QTextStream>
#include <QtTest>

#include <atomic>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

static QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

static bool writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

static quint32 crc32(const QByteArray& bytes)
{
    quint32 crc = 0xffffffffu;
    for (const char c : bytes) {
        crc ^= quint8(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xedb88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// A PNG that claims its size and holds no pixels.
static QByteArray pngHeader(quint32 width, quint32 height)
{
    auto bigEndian = [](quint32 v) {
        const char bytes[] = {char(v >> 24), char(v >> 16), char(v >> 8), char(v)};
        return QByteArray(bytes, 4);
    };
    const QByteArray ihdr = "IHDR" + bigEndian(width) + bigEndian(height)
                            + QByteArray::fromHex("0800000000");
    return QByteArray::fromHex("89504e470d0a1a0a") + bigEndian(13) + ihdr
           + bigEndian(crc32(ihdr)) + bigEndian(0) + "IDAT" + bigEndian(crc32("IDAT"))
           + bigEndian(0) + "IEND" + bigEndian(crc32("IEND"));
}

// Compares line by line, so that a failure names the first line that differs.
static void compareLines(const QString& actual, const QString& expected)
{
    const QStringList a = actual.split("\r\n");
    const QStringList e = expected.split("\r\n");
    for (int i = 0; i < qMin(a.size(), e.size()); ++i)
        QCOMPARE(QString::number(i) + ": " + a[i], QString::number(i) + ": " + e[i]);
    QCOMPARE(a.size(), e.size());
}

static void import(MainWindow& w, const QString& path, int slot = -1)
{
    if (slot < 0)
        QVERIFY(QMetaObject::invokeMethod(&w, "importImage", Q_ARG(QString, path)));
    else
        QVERIFY(QMetaObject::invokeMethod(&w, "importImage", Q_ARG(QString, path), Q_ARG(int, slot)));
}

static bool save(MainWindow& w)
{
    bool saved = false;
    QMetaObject::invokeMethod(&w, "save", Q_RETURN_ARG(bool, saved));
    return saved;
}

// Finger k: a crop, a turn and (odd k) a mirror, a flexion outline, two cores and
// two triradii with traced lines, ridge points and a classification.
static void annotateFinger(TDermatoglyphEditor* editor, int k)
{
    TDermatoglyphView* view = editor->dermatoglyphView();
    TGlyphRecord crop;
    crop.crop = {QPointF(10 + k, 10), QPointF(390, 12), QPointF(380, 290), QPointF(10, 280)};
    view->loadImageState(crop);
    editor->findChild<QSpinBox*>("spinBoxRotate")->setValue(k - 4);
    editor->findChild<QCheckBox*>("checkBoxFlip")->setChecked(k % 2);
    view->addVertex(QPointF(20, 200 + k));
    view->addVertex(QPointF(200.25, 215));
    view->addVertex(QPointF(330, 205));
    TGraphicsVertexItem* core = view->addLandmark(QPointF(120 + k, 60), Core);
    view->addLandmark(QPointF(260, 70.5), Core);
    TGraphicsVertexItem* t = view->addLandmark(QPointF(90, 170), Triradius);
    view->addLandmark(QPointF(300, 160), Triradius);
    core->addRidgeLine();
    core->addRidgePoint(QPointF(130, 80));
    t->addRidgeLine();
    t->addRidgePoint(QPointF(70, 190.5));
    view->connectPoints();
    view->addRidgePoints(true);
    view->coreCoreCountLine()->addRidgePoint(190, 65);
    view->coreTriradiusCountLines().at(0)->addRidgePoint(105, 115);
    view->addRidgePoints(false);
    TFingerSettings* panel = editor->settingsPanel();
    panel->findChild<QCheckBox*>("flexionRadial")->setChecked(k % 3 == 0);
    panel->findChild<QCheckBox*>("extralimitalUlnar")->setChecked(true);
    panel->findChild<QComboBox*>("rotationInner")->setCurrentIndex(k % 3);
}

// A palm: the five main triradii and an axial one, a core with a radiant, a
// ridge count and a custom pattern text with characters special to XML.
static void annotatePalm(TPalmEditor* editor)
{
    TPalmView* view = editor->palmGlyphView();
    TGraphicsVertexItem* a = view->addTriradius(palmlines::A, QPointF(50, 60));
    view->addTriradius(palmlines::B, QPointF(150.5, 55));
    view->addTriradius(palmlines::C, QPointF(250, 58));
    view->addTriradius(palmlines::D, QPointF(350, 62));
    view->addTriradius(palmlines::T, QPointF(200, 280));
    a->addRidgeLine();
    a->addRidgePoint(QPointF(40, 70));
    TGraphicsVertexItem* core = view->addCorePoint(QPointF(200, 150));
    core->addRidgeLine();
    core->addRidgePoint(QPointF(210, 160));
    view->connectPoints();
    view->addRidgePoints(true);
    view->addRidgePoint(QPointF(100, 57), 0);
    view->addRidgePoints(false);
    editor->presentBox(palmlines::T)->setChecked(true);
    TPalmSettings* panel = editor->settingsPanel();
    panel->dualBox(3)->setCurrentText("Dual");
    panel->patternOptionBox(5)->setCurrentText("custom");
    panel->patternTextItem(5)->setText("R&D \"loop\" <2>");
}

class TestMainWindow : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;
    QString scan;
    QString setPath;

    QString path(const QString& name) const { return dir.filePath(name); }

    // A both-hands set of the scan, written to file, as bytes to be edited.
    QByteArray bothHandsSet(const QString& file)
    {
        MainWindow w;
        import(w, scan);
        return w.writeSet(file) ? contents(file) : QByteArray();
    }

    // A both-hands set, every slot annotated, saved under set.xml.
    void makeFullSet(MainWindow& w)
    {
        import(w, scan);
        for (int k = 0; k < 10; ++k)
            annotateFinger(static_cast<TDermatoglyphEditor*>(w.editor(k)), k);
        annotatePalm(static_cast<TPalmEditor*>(w.editor(10)));
        annotatePalm(static_cast<TPalmEditor*>(w.editor(11)));
        QVERIFY(w.writeSet(setPath));
    }

private slots:
    void initTestCase()
    {
        testsupport::isolateSettings();
        scan = path("both hands.png");
        setPath = path("set.xml");
        QVERIFY(testsupport::writeImage(scan, 400, 300, 600));
        QVERIFY(testsupport::writeImage(path("other.png"), 300, 200, 500));
    }

    void oneImportedSlotIsWrittenToTheByte()
    {
        const QString a = path("a.jpg");
        QVERIFY(testsupport::writeImage(a, 800, 600, 500));
        MainWindow w;
        import(w, a, 0);
        const QString out = path("a-set.xml");
        QVERIFY(w.writeSet(out));
        const QList<QByteArray> lines = contents(out).split('\n');
        QCOMPARE(lines[0], QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r"));
        QCOMPARE(lines[1], QByteArray("<dermatoglyphset>\r"));
        QCOMPARE(lines[2], QByteArray("  <images>\r"));
        QCOMPARE(lines[3], QByteArray("    <image src=\"a.jpg\" xdpi=\"500\" ydpi=\"500\" width=\"800\" height=\"600\" />\r"));
        for (int i = 4; i < 15; ++i)
            QCOMPARE(lines[i], QByteArray("    <image src=\"\" xdpi=\"0\" ydpi=\"0\" width=\"0\" height=\"0\" />\r"));
        QCOMPARE(lines[15], QByteArray("  </images>\r"));
        QCOMPARE(lines[16], QByteArray("<dermatoglyph>\r"));
        QCOMPARE(lines[lines.size() - 2], QByteArray("</dermatoglyphset>\r"));
        QVERIFY(lines.last().isEmpty());
        QCOMPARE(contents(out).count("<dermatoglyph>"), 12);
    }

    void fullSetSurvivesSaveOpenSave()
    {
        MainWindow w;
        makeFullSet(w);
        const QByteArray saved = contents(setPath);
        QCOMPARE(saved.count("src=\"both hands.png\" xdpi=\"600\" ydpi=\"600\" width=\"400\" height=\"300\""), 12);
        QVERIFY(saved.contains("R&amp;D &quot;loop&quot; &lt;2&gt;"));

        MainWindow fresh;
        QVERIFY(fresh.openSet(setPath));
        QCOMPARE(fresh.currentDocumentName(), QString("set.xml"));
        // One decoded image serves all twelve slots.
        for (int i = 1; i < 12; ++i)
            QCOMPARE(fresh.image(i).cacheKey(), fresh.image(0).cacheKey());
        for (int i = 0; i < 12; ++i)
            compareLines(testsupport::sectionText(fresh.editor(i)), testsupport::sectionText(w.editor(i)));
        const QString again = path("again.xml");
        QVERIFY(fresh.writeSet(again));
        QCOMPARE(contents(again), saved);

        // After Open, Save goes to the opened file without asking for a name.
        bool asked = false;
        testsupport::onNextModal([&asked](QWidget* modal) { asked = true; modal->close(); }, 500);
        fresh.editor(1)->setDpi(300, 301);
        QVERIFY(save(fresh));
        QTest::qWait(600);
        QVERIFY(!asked);
        QVERIFY(contents(setPath).contains("xdpi=\"300\" ydpi=\"301\""));
        QVERIFY(writeBytes(setPath, saved));

        // Without its size attributes the set opens the same.
        QByteArray sizeless = saved;
        sizeless.replace(" width=\"400\" height=\"300\"", "");
        const QString sizelessPath = path("sizeless.xml");
        QVERIFY(writeBytes(sizelessPath, sizeless));
        MainWindow third;
        QVERIFY(third.openSet(sizelessPath));
        QVERIFY(third.writeSet(again));
        QCOMPARE(contents(again), saved);
    }

    void setMovedWithoutItsImagesKeepsItsAnnotations()
    {
        MainWindow w;
        makeFullSet(w);
        QTemporaryDir elsewhere;
        const QString moved = elsewhere.filePath("set.xml");
        QVERIFY(QFile::copy(setPath, moved));
        MainWindow reopened;
        QString message;
        testsupport::captureMessageBox(&message);
        QVERIFY(reopened.openSet(moved));
        QVERIFY(message.contains("both hands.png"));
        for (int i = 0; i < 12; ++i) {
            QVERIFY(reopened.image(i).isNull());
            QCOMPARE(reopened.imageName(i), QString("both hands.png"));
            compareLines(testsupport::sectionText(reopened.editor(i)), testsupport::sectionText(w.editor(i)));
        }
    }

    void failedSavesReportAndKeepTheOldFile()
    {
        MainWindow w;
        makeFullSet(w);
        const QByteArray before = contents(setPath);
        QString message;

        testsupport::captureMessageBox(&message);
        QVERIFY(!w.writeSet(path("no such folder/set.xml")));
        QVERIFY(message.contains("could not be saved"));
        QVERIFY(!QFile::exists(path("no such folder")));

        // A disk that runs out of room, as a file size limit: root is not stopped
        // by permissions, but is by this.
        w.editor(0)->setDpi(1200, 1200);
        rlimit old;
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
        rlimit small = old;
        small.rlim_cur = 2048;
        const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        message.clear();
        testsupport::captureMessageBox(&message);
        const bool written = w.writeSet(setPath);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, previousHandler);
        QVERIFY(!written);
        QVERIFY(message.contains("could not be saved"));
        QCOMPARE(contents(setPath), before);
        QCOMPARE(QDir(dir.path()).entryList({"set.xml*"}, QDir::Files), QStringList{"set.xml"});
    }

    void savingIntoALockedFolder()
    {
        QTemporaryDir folder;
        const QString existing = folder.filePath("set.xml");
        QVERIFY(writeBytes(existing, "old"));
        MainWindow w;
        import(w, scan, 0);
        // The file rw-rw-rw-, its folder r-x for all; root, who ignores permissions,
        // saves as "nobody" meanwhile.
        QFile::setPermissions(existing, QFileDevice::Permissions(0x6666));
        QFile::setPermissions(folder.path(), QFileDevice::Permissions(0x5555));
        const bool dropped = geteuid() == 0 && setresuid(65534, 65534, 0) == 0;
        const auto restore = qScopeGuard([&]() {
            if (dropped)
                setresuid(0, 0, 0);
            QFile::setPermissions(folder.path(), QFileDevice::Permissions(0x7700));
        });
        if (QFileInfo(folder.path()).isWritable())
            QSKIP("the folder cannot be locked here");
        // Over an existing writable file the set is written in place, but a new file
        // still needs the folder.
        QString message;
        testsupport::captureMessageBox(&message, QMessageBox::Ok, 500);
        QVERIFY2(w.writeSet(existing), qPrintable(message));
        QVERIFY(contents(existing).contains("src=\"both hands.png\""));
        testsupport::captureMessageBox(&message);
        QVERIFY(!w.writeSet(folder.filePath("new.xml")));
        QVERIFY(message.contains("could not be saved"));
    }

    void setNamingAFifoOrADeviceOpens()
    {
        QTemporaryDir folder;
        const QByteArray fifo = QFile::encodeName(folder.filePath("pipe.png"));
        QCOMPARE(mkfifo(fifo.constData(), 0600), 0);
        QVERIFY(QFile::link("/dev/zero", folder.filePath("zero.png")));
        const QString set = folder.filePath("set.xml");
        QByteArray bytes = bothHandsSet(set);
        for (const char* name : {"pipe.png", "zero.png"})
            bytes.replace(bytes.indexOf("both hands.png"), 14, name);
        QVERIFY(writeBytes(set, bytes));

        // After five seconds a writer sets a read blocked on the FIFO free, so a hang
        // fails the test instead of stopping it.
        std::atomic<bool> done(false);
        std::atomic<bool> hung(false);
        std::thread watchdog([&]() {
            for (int i = 0; !done; ++i) {
                std::this_thread::sleep_for(std::chrono::milliseconds(10));
                if (i > 500) {
                    hung = true;
                    ::close(::open(fifo.constData(), O_WRONLY | O_NONBLOCK));
                }
            }
        });
        QString message;
        testsupport::captureMessageBox(&message);
        MainWindow reopened;
        const bool opened = reopened.openSet(set);
        done = true;
        watchdog.join();
        QVERIFY(!hung && opened);
        QVERIFY2(message.contains("pipe.png: Not a regular file")
                     && message.contains("zero.png: Not a regular file"), qPrintable(message));
        QVERIFY(reopened.image(0).isNull() && reopened.image(1).isNull());
    }

    void hostileCoordinatesCostNoMoreThanThePrint()
    {
        // The first print's crop reaches far beyond the print, its crease outline
        // beyond what an int holds; the second's outline spans 7000 pixels and has
        // two thousand cores, each to get its perpendicular.
        QByteArray bytes = bothHandsSet(setPath);
        const QByteArray crop = "  <crop>\r\n  </crop>\r\n";
        bytes.replace(bytes.indexOf(crop), crop.size(),
                      "<crop><point x=\"20\" y=\"30\"/><point x=\"1e300\" y=\"4e9\"/></crop>");
        const QByteArray flexion = "  <flexion>\r\n  </flexion>\r\n";
        bytes.replace(bytes.indexOf(flexion), flexion.size(),
                      "<flexion><point x=\"-3e15\" y=\"-3e15\"/><point x=\"1e300\" y=\"1e300\"/></flexion>");
        QByteArray cores = "<flexion><point x=\"0\" y=\"0\"/><point x=\"7000\" y=\"7000\"/></flexion><core>";
        for (int i = 0; i < 2000; ++i)
            cores += "<point x=\"" + QByteArray::number(i % 400) + "\" y=\"20\"/>";
        const QByteArray empty = "  <flexion>\r\n  </flexion>\r\n  <core>\r\n  </core>\r\n";
        bytes.replace(bytes.indexOf(empty), empty.size(), cores + "</core>");
        QVERIFY(writeBytes(setPath, bytes));

        MainWindow reopened;
        QVERIFY(reopened.openSet(setPath));
        QCOMPARE(reopened.editor(0)->glyphView()->croppedPixmap().size(), QSize(380, 270));
        for (int i = 0; i < 2; ++i) {
            auto* view = static_cast<TDermatoglyphEditor*>(reopened.editor(i))->dermatoglyphView();
            // The axis is fitted to what of the outline lies on the print.
            const QRectF print = view->sceneRect().adjusted(-1, -1, 1, 1);
            QVERIFY2(view->hasFlexionAxis() && print.contains(view->flexionAxis().p1())
                         && print.contains(view->flexionAxis().p2()), qPrintable(QString::number(i)));
            QCOMPARE(view->corePerpendicularItems().size(), i * 2000);
        }
    }

    void failedOpensKeepTheCurrentSet()
    {
        MainWindow w;
        makeFullSet(w);
        QVERIFY(w.openSet(setPath));
        const QByteArray whole = contents(setPath);
        const QString first = testsupport::sectionText(w.editor(0));
        const qint64 imageKey = w.image(0).cacheKey();

        QStringList broken;
        for (int tenth = 0; tenth < 10; ++tenth) {
            const QString cut = path(QString("cut%1.xml").arg(tenth));
            QVERIFY(writeBytes(cut, whole.left(whole.size() * tenth / 10)));
            broken << cut;
        }
        QByteArray foreign = whole;
        foreign.replace("dermatoglyphset>", "fingerprintset>");
        QVERIFY(writeBytes(path("foreign.xml"), foreign));
        broken << path("foreign.xml") << path("missing.xml");

        for (const QString& file : qAsConst(broken)) {
            QString message;
            testsupport::captureMessageBox(&message);
            QVERIFY2(!w.openSet(file), qPrintable(file));
            QVERIFY2(message.startsWith("Error"), qPrintable(file + ": " + message));
            QCOMPARE(w.currentDocumentName(), QString("set.xml"));
            QCOMPARE(w.currentDocumentDir(), dir.path());
            QCOMPARE(w.image(0).cacheKey(), imageKey);
            QCOMPARE(testsupport::sectionText(w.editor(0)), first);
        }
        QVERIFY(w.writeSet(path("after.xml")));
        QCOMPARE(contents(path("after.xml")), whole);
    }

    void importRefusesWhatItCannotShow()
    {
        // A header that claims 100 000 x 100 000 pixels: refused before decoding.
        const QString huge = path("huge.png");
        QVERIFY(writeBytes(huge, pngHeader(100000, 100000)));
        MainWindow w;
        QString message;
        testsupport::captureMessageBox(&message);
        import(w, huge, 3);
        QVERIFY2(message.contains("larger than"), qPrintable(message));
        QVERIFY(w.image(3).isNull());
        QVERIFY(w.imageName(3).isEmpty());

        const QString junk = path("junk.jpg");
        QVERIFY(writeBytes(junk, "not an image"));
        import(w, scan, 0);
        message.clear();
        testsupport::captureMessageBox(&message);
        import(w, junk);
        QVERIFY(message.contains("junk.jpg"));
        QCOMPARE(w.imageName(0), QString("both hands.png"));
        QCOMPARE(w.imageName(11), QString());
    }

    void annotatedSlotsAskBeforeTheyAreCleared()
    {
        MainWindow w;
        import(w, scan);
        auto* finger = static_cast<TDermatoglyphEditor*>(w.editor(0));
        auto* palm = static_cast<TPalmEditor*>(w.editor(10));
        finger->dermatoglyphView()->addLandmark(QPointF(100, 100), Core);
        palm->palmGlyphView()->addTriradius(palmlines::A, QPointF(50, 60));
        auto cancelButton = [&w](const char* name) { w.findChild<QPushButton*>(name)->click(); };

        QString question;
        testsupport::captureMessageBox(&question, QMessageBox::Cancel);
        cancelButton("buttonCancel1L");
        QVERIFY2(question.contains("L1") && !question.contains("LPalm"), qPrintable(question));
        QCOMPARE(finger->dermatoglyphView()->coreItems().size(), 1);
        testsupport::answerMessageBox(QMessageBox::Discard);
        cancelButton("buttonCancel1L");
        QVERIFY(finger->dermatoglyphView()->coreItems().isEmpty());

        // A hand import names the slots it would clear, and Cancel keeps them.
        question.clear();
        testsupport::captureMessageBox(&question, QMessageBox::Cancel);
        QVERIFY(QMetaObject::invokeMethod(&w, "importImageLeft", Q_ARG(QString, path("other.png"))));
        QVERIFY2(question.contains("LPalm") && !question.contains("L1,"), qPrintable(question));
        QVERIFY(palm->palmGlyphView()->triradius(palmlines::A));

        // A slot without annotation asks nothing.
        question.clear();
        testsupport::captureMessageBox(&question, QMessageBox::Cancel);
        cancelButton("buttonCancel4L");
        QTest::qWait(50);
        QVERIFY(question.isEmpty());
    }

    void controlCharactersReadBackOrStayOut()
    {
        // Tab, line feed and carriage return in image names and custom texts come back
        // as they were; other control characters never reach the file.
        const QStringList names = {"tab\there.png", "two\nlines\r.png", "bell\a.png"};
        MainWindow w;
        QString message;
        for (int i = 0; i < names.size(); ++i) {
            QVERIFY(testsupport::writeImage(path(names[i]), 40, 30, 300));
            testsupport::captureMessageBox(&message, QMessageBox::Ok, 500);
            import(w, path(names[i]), i);
        }
        QVERIFY2(message.contains("control character"), qPrintable(message));
        QVERIFY(w.imageName(2).isEmpty());
        TPalmSettings* panel = static_cast<TPalmEditor*>(w.editor(10))->settingsPanel();
        panel->patternOptionBox(0)->setCurrentText("custom");
        panel->patternTextItem(0)->setText(QString("a\tb\nc\r\nd") + QChar(1) + QChar(0xFFFF) + " e");
        const QString typed("a\tb\nc\r\nd e");
        QCOMPARE(panel->patternTextItem(0)->text(), typed);

        QVERIFY(w.writeSet(setPath));
        MainWindow reopened;
        message.clear();
        testsupport::captureMessageBox(&message, QMessageBox::Ok, 500);
        QVERIFY(reopened.openSet(setPath));
        QVERIFY2(message.isEmpty(), qPrintable(message));
        for (int i = 0; i < 2; ++i)
            QVERIFY(reopened.imageName(i) == names[i] && !reopened.image(i).isNull());
        auto* palm = static_cast<TPalmEditor*>(reopened.editor(10));
        QCOMPARE(palm->settingsPanel()->patternTextItem(0)->text(), typed);
    }

    void newAndCancelledSaveAs()
    {
        MainWindow w;
        import(w, scan);
        // Titles name the set, "Untitled" until it has a name; Ctrl+S saves it.
        QCOMPARE(w.windowTitle(), QString("Ridgemap \u2014 Untitled"));
        QCOMPARE(w.editor(10)->windowTitle(), QString("LPalm \u2014 Untitled \u2014 Ridgemap"));
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        testsupport::answerFileDialog(path("titled.xml"));
        QTest::keyClick(&w, Qt::Key_S, Qt::ControlModifier);
        QVERIFY(QFile::exists(path("titled.xml")));
        QCOMPARE(w.windowTitle(), QString("Ridgemap \u2014 titled.xml"));
        QCOMPARE(w.editor(0)->windowTitle(), QString("L1 \u2014 titled.xml \u2014 Ridgemap"));
        QString question;
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        testsupport::captureMessageBox(&question, QMessageBox::Cancel);
        QTest::keyClick(&w, Qt::Key_O, Qt::ControlModifier);
        QVERIFY(question.contains("before opening"));
        // The import dialog offers every kind of scan at once, first.
        QStringList filters;
        testsupport::onNextModal([&filters](QWidget* modal) {
            if (auto* dialog = qobject_cast<QFileDialog*>(modal)) {
                filters = dialog->nameFilters();
                filters.prepend(dialog->selectedNameFilter());
                dialog->reject();
            }
        });
        w.findChild<QPushButton*>("buttonImport2L")->click();
        QCOMPARE(filters.value(0), QString("Images (*.jpg *.jpeg *.tif *.tiff *.png)"));
        QCOMPARE(filters.mid(2), (QStringList{"*.jpg *.jpeg", "*.tif *.tiff", "*.png"}));
        testsupport::answerMessageBox(QMessageBox::Discard);
        QVERIFY(QMetaObject::invokeMethod(&w, "newFile"));
        QCOMPARE(w.windowTitle(), QString("Ridgemap \u2014 Untitled"));
        import(w, scan);
        // No name yet: Save asks for one, and cancelling it saves nothing.
        testsupport::answerFileDialog(QString());
        QVERIFY(!save(w));
        QVERIFY(w.currentDocumentName().isEmpty());
        // A name without suffix gets the one the Open dialog lists; others stay.
        for (const auto& [typed, written] : {std::pair("named", "named.xml"),
                                             std::pair("kept.set", "kept.set")}) {
            testsupport::answerFileDialog(path(typed));
            QVERIFY(QMetaObject::invokeMethod(&w, "saveAs"));
            QCOMPARE(w.currentDocumentName(), QString(written));
            QVERIFY(contents(path(written)).startsWith("<?xml"));
        }

        testsupport::answerMessageBox(QMessageBox::Discard);
        QVERIFY(QMetaObject::invokeMethod(&w, "newFile"));
        for (int i = 0; i < 12; ++i) {
            QVERIFY(w.image(i).isNull());
            QVERIFY(w.imageName(i).isEmpty());
            QCOMPARE(w.editor(i)->xPpi(), 0);
        }
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
