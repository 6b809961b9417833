#include "testsupport.h"

#include "app/mainwindow.h"
#include "finger/tdermatoglyphview.h"
#include "palm/tpalmsettings.h"
#include "palm/tpalmview.h"
#include "view/trcline.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

// A study of one hand-annotated set. Every print has 2540 x 254 PPI, so a pixel
// is 0.01 mm across and 0.1 mm down. A one-pixel crease outline drawn along
// y = 200 has its pixels in the row that starts at 199.5 (the outline's box
// reaches half a pixel beyond it), so the axis is y = 199.5; along x = 350 it is
// x = 349.5.
static const char* const handSet[] = {
    // L1, a loop: perpendiculars of 99.5 and 49.5 pixels down to the axis.
    "<flexion><point x='20' y='200'/><point x='300' y='200'/></flexion>"
    "<core><point x='100' y='100'/></core><triradium><point x='250' y='150'/></triradium>"
    "<line type='ct'><point x='1' y='1'/><point x='2' y='2'/><point x='3' y='3'/>"
    "<point x='4' y='4'/></line>"
    "<setting type='flexion' first='1' second='0'/>"
    "<setting type='rotation' first='clockwise' second='concentric' third='counter clockwise'/>",
    // L2, a whorl with its cores written right to left: the left one is core 1.
    "<flexion><point x='20' y='200'/><point x='300' y='200'/></flexion>"
    "<core><point x='260' y='80'/><point x='120' y='60'/></core>"
    "<triradium><point x='90' y='170'/><point x='300' y='160'/></triradium>"
    "<line type='cc'><point x='1' y='1'/><point x='2' y='2'/><point x='3' y='3'/></line>"
    "<line type='ct'><point x='1' y='1'/><point x='2' y='2'/><point x='3' y='3'/>"
    "<point x='4' y='4'/><point x='5' y='5'/></line>"
    "<line type='ct'><point x='1' y='1'/><point x='2' y='2'/><point x='3' y='3'/>"
    "<point x='4' y='4'/><point x='5' y='5'/><point x='6' y='6'/><point x='7' y='7'/></line>",
    // L3, an arch: one crease vertex gives no axis; the panel reads "2" as unticked
    // and keeps its first entry for a text it does not offer.
    "<flexion><point x='20' y='200'/></flexion>"
    "<setting type='flexion' first='2' second='1'/>"
    "<setting type='termination' first='ulnar side' second='upwards' third='ulnar side'/>",
    // L4, a loop under an upright crease: 149.5 and 289.5 pixels across.
    "<flexion><point x='350' y='20'/><point x='350' y='280'/></flexion>"
    "<core><point x='200' y='100'/></core><triradium><point x='60' y='150'/></triradium>"
    "<line type='ct'><point x='1' y='1'/><point x='2' y='2'/><point x='3' y='3'/>"
    "<point x='4' y='4'/><point x='5' y='5'/><point x='6' y='6'/><point x='7' y='7'/>"
    "<point x='8' y='8'/><point x='9' y='9'/></line>",
    // L5: cropped, turned a quarter and mirrored (a 220 x 300 print), with a crease
    // reaching past its right edge.
    "<crop><point x='50' y='40'/><point x='350' y='40'/><point x='350' y='260'/>"
    "<point x='50' y='260'/></crop><transform angle='90' flip='1'/>"
    "<flexion><point x='10' y='150'/><point x='260' y='170'/><point x='250' y='190'/></flexion>"
    "<core><point x='100' y='100'/></core>",
    "", "", "", "", "",
    // LPalm with "cd": b-cd is line 1 and cd-T line 3; the c-d points have no
    // line. atd at T (200, 400) between a (100, 100) and cd (300, 100): twice
    // atan(1/3), 36.87 degrees.
    "<triradium><point x='100' y='100' p='1' d='1'/><point x='180' y='90' p='1' d='1'/>"
    "<point x='240' y='95' p='1' d='1'/><point x='320' y='110' p='1' d='1'/>"
    "<point x='200' y='400' p='1' d='1'/><point x='300' y='100' p='1' d='1'/></triradium>"
    "<line type='ba'><point x='1' y='1'/><point x='2' y='2'/><point x='3' y='3'/>"
    "<point x='4' y='4'/></line>"
    "<line type='cb'><point x='1' y='1'/><point x='2' y='2'/><point x='3' y='3'/></line>"
    "<line type='dc'><point x='1' y='1'/><point x='2' y='2'/></line>"
    "<line type='td'><point x='1' y='1'/><point x='2' y='2'/><point x='3' y='3'/>"
    "<point x='4' y='4'/><point x='5' y='5'/><point x='6' y='6'/></line>"
    "<setting type='Dterm' first='Simple' second='X' third='1'/>"
    "<setting type='Aterm' first='Dual' second='11' third='7'/>"
    "<setting type='I1' first='custom' second='Ld' third='W,2'/>",
    // RPalm without an axial triradius placed: no d-T line, no atd. t is ticked
    // present but not determined, so it is in the formula and nowhere else.
    "<triradium><point x='100' y='100' d='1'/><point x='180' y='90' d='1'/>"
    "<point x='240' y='95' d='1'/><point x='300' y='100' d='1'/>"
    "<point x='200' y='400' p='1' d='0'/></triradium>"
    "<line type='ba'><point x='1' y='1'/><point x='2' y='2'/></line>"
    "<line type='td'><point x='1' y='1'/></line>"
    "<setting type='Thenar1' first='custom' second='O' third='&quot;V&quot;'/>",
};

static QString setText()
{
    QString text = "<?xml version='1.0' encoding='UTF-8'?>\n<dermatoglyphset><images>\n";
    for (int i = 0; i < 12; ++i)
        text += "<image src='print.png' xdpi='2540' ydpi='254' width='400' height='300'/>\n";
    text += "</images>\n";
    for (const char* section : handSet)
        text += QString("<dermatoglyph>%1</dermatoglyph>\n").arg(section);
    return text + "</dermatoglyphset>\n";
}

static bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

static QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The program as a user runs it from a shell in folder, with no display.
static int ridgemap(const QString& folder, const QStringList& arguments, QByteArray* out,
                    QByteArray* err = nullptr)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove("DISPLAY");
    environment.remove("WAYLAND_DISPLAY");
    environment.remove("QT_QPA_PLATFORM");
    // No display plugin is needed, nor looked for.
    environment.insert("QT_QPA_PLATFORM_PLUGIN_PATH", "/nonexistent");
    process.setProcessEnvironment(environment);
    process.start(RIDGEMAP_BINARY, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return -1;
    *out = process.readAllStandardOutput();
    if (err)
        *err = process.readAllStandardError();
    return process.exitCode();
}

// The fields of one CSV record (CR LF cut off).
static QStringList fields(const QByteArray& record)
{
    const QString text = QString::fromUtf8(record).remove('\r');
    QStringList result{QString()};
    bool quoted = false;
    for (int i = 0; i < text.size(); ++i) {
        if (text.at(i) == '"' && quoted && i + 1 < text.size() && text.at(i + 1) == '"')
            result.last() += text.at(++i);
        else if (text.at(i) == '"')
            quoted = !quoted;
        else if (text.at(i) == ',' && !quoted)
            result.append(QString());
        else
            result.last() += text.at(i);
    }
    return result;
}

// What the editor shows: a ridge count, and a perpendicular at 2540 x 254 PPI.
static QString count(const TRCLine* line)
{
    return line ? QString::number(line->count()) : QString();
}

static QString millimetres(const QGraphicsLineItem* perpendicular)
{
    if (!perpendicular)
        return QString();
    const QLineF l = perpendicular->line();
    return QString::number(std::hypot(l.dx() * 25.4 / 2540, l.dy() * 25.4 / 254), 'f', 3);
}

class TestResults : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        testsupport::isolateSettings();
        QVERIFY(writeFile(dir.filePath("hand, set.xml"), setText().toUtf8()));
        QVERIFY(testsupport::writeImage(dir.filePath("print.png"), 400, 300, 2540));
    }

    void handWorkedSetThroughTheCommandLine()
    {
        // A set cut short in the middle of a section, between two good ones.
        const QByteArray good = readFile(dir.filePath("hand, set.xml"));
        QVERIFY(writeFile(dir.filePath("broken.xml"), good.left(good.size() / 2)));
        QByteArray prints, err;
        QCOMPARE(ridgemap(dir.path(), {"--results", "-", "--summary", "sets.csv", "hand, set.xml",
                                       "broken.xml", "hand, set.xml"}, &prints, &err),
                 1);
        QVERIFY2(err.startsWith("broken.xml: Error reading XML file"), err.constData());
        QCOMPARE(err.count('\n'), 1);

        const QList<QByteArray> rows = prints.split('\n');
        QCOMPARE(rows.size(), 1 + 2 * 12 + 1);   // header, two sets, nothing after the last CR LF
        QVERIFY(rows.last().isEmpty());
        for (int i = 0; i + 1 < rows.size(); ++i)
            QVERIFY(rows.at(i).endsWith('\r'));
        QCOMPARE(rows.at(0), QByteArray("set,slot,image,xppi,yppi,cores,triradii,rc_cc,rc_ct1,rc_ct2,"
            "crease,core1_crease_mm,core2_crease_mm,triradius1_crease_mm,triradius2_crease_mm,"
            "flexion_radial,flexion_ulnar,extralimital_radial,extralimital_ulnar,rotation1,"
            "rotation2,rotation3,termination1,termination2,termination3,palm_triradii,rc_ab,"
            "rc_bc,rc_cd,rc_dt,atd,palm_formula,mli_a1d1,mli_a1d2,mli_a2d1,mli_a2d2\r"));
        const QByteArray set = "\"hand, set.xml\"";
        const QByteArray defaults = "clockwise,clockwise,clockwise,radial side,radial side,radial side";
        const QByteArray noPalm = ",,,,,,,,,,,\r";
        const QByteArray noFinger = ",,,,,,,,,,,,,,,,,,,,,";
        const QList<QByteArray> expected = {
            set + ",L1,print.png,2540,254,1,1,,4,,1,9.950,,4.950,,1,0,0,0,"
                "clockwise,concentric,counter clockwise,radial side,radial side,radial side" + noPalm,
            set + ",L2,print.png,2540,254,2,2,3,5,7,1,13.950,11.950,2.950,3.950,0,0,0,0," + defaults
                + noPalm,
            set + ",L3,print.png,2540,254,0,0,,,,0,,,,,0,1,0,0,clockwise,clockwise,clockwise,"
                "ulnar side,radial side,ulnar side" + noPalm,
            set + ",L4,print.png,2540,254,1,1,,9,,1,1.495,,2.895,,0,0,0,0," + defaults + noPalm,
            set + ",R5,print.png,2540,254,0,0,,,,0,,,,,0,0,0,0," + defaults + noPalm,
            set + ",LPalm,print.png,2540,254" + noFinger
                + "a.b.c.d.t.cd,4,3,,6,36.87,\"X.1.1.11/7.1-t-Au.O:W,2.Ld.Ld.Ld\",7,,3,\r",
            set + ",RPalm,print.png,2540,254" + noFinger
                + "a.b.c.d,2,0,0,,,\"1.1.1.1.1-t-Au.\"\"V\"\":Ld.Ld.Ld.Ld\",2,,,\r",
        };
        for (int k : {1, 2, 3, 4, 10, 11, 12})
            QCOMPARE(rows.at(k), expected.at(k < 5 ? k - 1 : k - 6));
        QCOMPARE(rows.mid(1, 12), rows.mid(13, 12));   // the second good set, after the broken one

        const QByteArray summary = set + ",4,4,20,25,4,2,36.87,,\"X.1.1.11/7.1-t-Au.O:W,2.Ld.Ld.Ld\","
                                         "\"1.1.1.1.1-t-Au.\"\"V\"\":Ld.Ld.Ld.Ld\"\r\n";
        QCOMPARE(readFile(dir.filePath("sets.csv")),
                 "set,fingers_annotated,pii,tfrc,afrc,left_ab,right_ab,left_atd,right_atd,"
                 "left_palm_formula,right_palm_formula\r\n" + summary + summary);
    }

    void usageAndRefusals()
    {
        QByteArray out, err;
        QCOMPARE(ridgemap(dir.path(), {"--help"}, &out), 0);
        QVERIFY(out.contains("--results <file>") && out.contains("--summary <file>"));
        QCOMPARE(ridgemap(dir.path(), {"--version"}, &out), 0);
        QCOMPARE(out, "ridgemap " + QByteArray(RIDGEMAP_VERSION) + "\n");
        const QList<QStringList> wrong = {
            {"--bogus", "hand, set.xml"},
            {"hand, set.xml", "broken.xml"},                    // no table asked for
            {"--results", "-"},                                 // no set
            {"--results", "-", "--summary", "-", "hand, set.xml"},
            // A shell pattern right after --results: the first set would be lost.
            {"--results", "hand, set.xml", "broken.xml", "hand, set.xml"},
        };
        const QByteArray before = readFile(dir.filePath("hand, set.xml"));
        for (const QStringList& arguments : wrong) {
            QCOMPARE(ridgemap(dir.path(), arguments, &out, &err), 2);
            QVERIFY2(out.isEmpty() && err.contains("Usage:"), qPrintable(arguments.join(' ')));
        }
        QCOMPARE(readFile(dir.filePath("hand, set.xml")), before);
        QCOMPARE(ridgemap(dir.path(), {"--results", "no/such/folder/out.csv", "hand, set.xml"},
                          &out, &err), 1);
        QVERIFY(err.startsWith("ridgemap: no/such/folder/out.csv: "));
    }

    // The editors restore the set (sorting cores, dropping points without a line,
    // clipping the crease to the turned print, keeping known texts only): what
    // they show is the command line's table of the file, and so is the window's
    // table of what they hold.
    void exportFromTheWindowEqualsTheCommandLine()
    {
        const QString set = dir.filePath("hand, set.xml");
        QByteArray cli;
        QCOMPARE(ridgemap(dir.path(), {"--results", "-", set}, &cli), 0);
        const QList<QByteArray> rows = cli.split('\n');

        MainWindow window;
        QVERIFY(window.openSet(set));
        for (int k = 0; k < 10; ++k) {
            const QStringList row = fields(rows.at(k + 1));
            TDermatoglyphView* view =
                static_cast<TDermatoglyphEditor*>(window.editor(k))->dermatoglyphView();
            QCOMPARE(row.at(5).toInt(), view->coreItems().size());
            QCOMPARE(row.at(6).toInt(), view->triradiusItems().size());
            QCOMPARE(row.at(7), count(view->coreCoreCountLine()));
            for (int i = 0; i < 2; ++i)
                QCOMPARE(row.at(8 + i), count(view->coreTriradiusCountLines().value(i)));
            QCOMPARE(row.at(10), QString(view->hasFlexionAxis() ? "1" : "0"));
            for (int i = 0; i < 2; ++i) {
                QCOMPARE(row.at(11 + i), millimetres(view->corePerpendicularItems().value(i)));
                QCOMPARE(row.at(13 + i), millimetres(view->triradiusPerpendicularItems().value(i)));
            }
        }
        QVERIFY(fields(rows.at(5)).at(11) != fields(rows.at(5)).at(12));   // L5 has its axis
        for (int k = 10; k < 12; ++k) {
            const QStringList row = fields(rows.at(k + 1));
            auto* editor = static_cast<TPalmEditor*>(window.editor(k));
            for (int i = 0; i < 4; ++i)
                QCOMPARE(row.at(26 + i), count(editor->palmGlyphView()->countLine(i)));
            const QString angle = editor->settingsPanel()->angleText().remove(QChar(0x00B0));
            QCOMPARE(row.at(30), angle.isEmpty() ? angle : QString::number(angle.toDouble(), 'f', 2));
            QCOMPARE(row.at(31), editor->settingsPanel()->formula());
            for (int i = 0; i < 4; ++i)
                QCOMPARE(row.at(32 + i), editor->settingsPanel()->mainLineIndex(i));
        }
        QMenu* file = window.menuBar()->findChild<QMenu*>("menuFile");
        QVERIFY(file);
        QStringList texts;
        for (QAction* action : file->actions())
            texts << (action->isSeparator() ? "-" : action->text());
        const int at = texts.indexOf("Export results...");
        QVERIFY(at > 0 && texts.at(at - 1) == "Export" && texts.at(at + 1) == "-");
        QAction* exportResults = file->actions().at(at);

        testsupport::answerFileDialog(dir.filePath("window.csv"));
        exportResults->trigger();
        QCOMPARE(readFile(dir.filePath("window.csv")), cli);

        QString message;
        testsupport::answerFileDialog(dir.filePath("no/such/folder/window.csv"));
        testsupport::captureMessageBox(&message);
        exportResults->trigger();
        QTRY_VERIFY(message.startsWith("The results could not be saved to "));
    }
};

QTEST_MAIN(TestResults)
#include "tst_results.moc"
