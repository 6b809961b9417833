#include "testsupport.h"

#include "app/mainwindow.h"
#include "finger/tdermatoglyphview.h"
#include "finger/tfingersettings.h"
#include "palm/tpalmsettings.h"
#include "palm/tpalmview.h"
#include "tables/statistics.h"
#include "view/trcline.h"

#include <QAction>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
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

// A set of the twelve sections. images gives each slot's image element; by
// default a 400 x 300 print.png at 2540 x 254 PPI. tail goes after the sections.
static QString setText(const QStringList& sections, const QStringList& images = {},
                       const QString& tail = QString())
{
    QString text = "<?xml version='1.0' encoding='UTF-8'?>\n<dermatoglyphset><images>\n";
    for (int i = 0; i < 12; ++i)
        text += images.value(i, "src='print.png' xdpi='2540' ydpi='254'").prepend("<image ")
                + " width='400' height='300'/>\n";
    text += "</images>\n";
    for (const QString& section : sections)
        text += QString("<dermatoglyph>%1</dermatoglyph>\n").arg(section);
    return text + tail + "</dermatoglyphset>\n";
}

// A finger section as the program writes it for a print whose panel was answered
// as flags say (rotations, then terminations), with a pattern.
static QString answered(const char* pattern, const char* flags = "000' second='000")
{
    return QString("<setting type='pattern' first='%1'/><setting type='answered' first='%2'/>")
        .arg(pattern, flags);
}

// Ridge points on a count line.
static QString counted(const char* type, int n)
{
    QString text = QString("<line type='%1'>").arg(type);
    for (int i = 0; i < n; ++i)
        text += QString("<point x='%1' y='%1'/>").arg(i + 1);
    return text + "</line>";
}

// A study in the format of today: details, patterns and answers, a slot without
// image, a resolution that is no number. Every print is 400 x 300 and marked on
// the print as shown, the triradii left or right of their cores.
static QString studyText()
{
    const QString loop = "<core><point x='200' y='100'/></core><triradium><point x='%1' y='150'/>"
                         "</triradium>";
    const QString whorl = "<core><point x='150' y='100'/><point x='250' y='120'/></core>"
                          "<triradium><point x='50' y='200'/><point x='350' y='200'/></triradium>";
    const QString mirrored = "<transform angle='0' flip='1'/>";
    const QStringList sections = {
        answered("plain arch"),
        "<triradium><point x='200' y='150'/></triradium>" + answered("tented arch"),
        // A left hand as taken has its ulnar side on the viewer's left.
        loop.arg(300) + counted("ct", 3)
            + "<setting type='termination' first='radial side' second='radial side' "
              "third='ulnar side'/>" + answered("ulnar loop", "000' second='001"),
        mirrored + loop.arg(100) + counted("ct", 5) + answered("ulnar loop"),
        whorl + counted("cc", 2) + counted("ct", 4) + counted("ct", 6)
            + "<setting type='rotation' first='counter clockwise' second='clockwise' "
              "third='clockwise'/>" + answered("plain whorl", "100' second='000"),
        // A right hand as taken has it on the viewer's right.
        loop.arg(300) + counted("ct", 7) + answered("radial loop", "000' second='001"),
        mirrored + loop.arg(300) + counted("ct", 8) + answered("ulnar loop"),
        "<core><point x='200' y='100'/></core><triradium><point x='100' y='200'/>"
        "<point x='300' y='200'/></triradium>" + counted("ct", 2) + counted("ct", 3)
            + "<setting type='rotation' first='clockwise' second='clockwise' third='concentric'/>"
            + answered("central pocket loop", "001' second='000"),
        // Every box answered: no flags. A crease, but no resolution to measure by.
        "<flexion><point x='20' y='250'/><point x='380' y='250'/></flexion>" + loop.arg(100)
            + counted("ct", 10) + "<setting type='flexion' first='1' second='0'/>"
              "<setting type='pattern' first='ulnar loop'/>",
        whorl + counted("cc", 1) + counted("ct", 1) + counted("ct", 2) + answered("double loop"),
        // Lines D and A classified, nothing else.
        "<setting type='Dterm' first='Simple' second='9' third='1'/>"
        "<setting type='Aterm' first='Simple' second='4' third='1'/>"
        "<setting type='answered' first='10010' second='01010000'/>",
        "",
    };
    QStringList images;
    for (int i = 0; i < 12; ++i)
        images << (i == 8 ? "src='print.png' xdpi='abc' ydpi='-500'"
                   : i == 11 ? "src='' xdpi='0' ydpi='0'"
                             : "src='print.png' xdpi='2540' ydpi='254'");
    return setText(sections, images,
                   "<details subject='S-01' examiner='A. Example' date='2024-05-02'/>\n");
}

// One examiner's set of the study of two examiners: the first fingers as given,
// the others plain arches, LPalm as given (no image when empty), RPalm no image.
static QString examinedSet(const QStringList& fingers, const QString& palm,
                           const QString& subject,
                           const QString& l1Image = "src='print.png' xdpi='2540' ydpi='254'")
{
    const QString scan = "src='print.png' xdpi='2540' ydpi='254'";
    const QString none = "src='' xdpi='0' ydpi='0'";
    QStringList sections = fingers;
    QStringList images{l1Image};
    for (int i = 1; i < 10; ++i)
        images << scan;
    while (sections.size() < 10)
        sections << answered("plain arch");
    sections << palm << "";
    images << (palm.isEmpty() ? none : scan) << none;
    return setText(sections, images,
                   subject.isEmpty() ? QString()
                                     : QString("<details subject='%1'/>\n").arg(subject));
}

// A loop with its core and triradius at (x, y) pairs, after head.
static QString loop(const char* pattern, int ridges, int cx, int cy, int tx, int ty,
                    const QString& head = QString())
{
    return head + QString("<core><point x='%1' y='%2'/></core><triradium><point x='%3' y='%4'/>"
                          "</triradium>").arg(cx).arg(cy).arg(tx).arg(ty)
           + counted("ct", ridges) + answered(pattern);
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

// A table's records, each as its fields.
static QList<QStringList> records(const QByteArray& table)
{
    QList<QStringList> rows;
    for (const QByteArray& line : table.split('\n'))
        if (!line.isEmpty())
            rows.append(fields(line));
    return rows;
}

// What a row records beyond its set's identifiers (or after column from):
// "column=value" for each field that is not empty, in column order.
static QString recorded(const QStringList& header, const QStringList& row,
                        const char* from = "date")
{
    QStringList given;
    for (int i = header.indexOf(from) + 1; i < header.size() && i < row.size(); ++i)
        if (!row.at(i).isEmpty())
            given << header.at(i) + "=" + row.at(i);
    return given.join("; ");
}

class TestResults : public QObject
{
    Q_OBJECT

    QTemporaryDir dir;

private slots:
    void initTestCase()
    {
        testsupport::isolateSettings();
        const QStringList sections(std::begin(handSet), std::end(handSet));
        QVERIFY(writeFile(dir.filePath("hand, set.xml"), setText(sections).toUtf8()));
        QVERIFY(testsupport::writeImage(dir.filePath("print.png"), 400, 300, 2540));
    }

    // A set written before patterns and answers were kept: its values count as
    // given, but what it holds for a print without landmarks, and what the panel
    // does not ask for its landmarks, is no value.
    void handWorkedSetThroughTheCommandLine()
    {
        // A set cut short in the middle of a section.
        const QByteArray good = readFile(dir.filePath("hand, set.xml"));
        QVERIFY(writeFile(dir.filePath("broken.xml"), good.left(good.size() / 2)));
        QByteArray prints, err;
        QCOMPARE(ridgemap(dir.path(), {"--results", "-", "--summary", "sets.csv", "broken.xml",
                                       "hand, set.xml"}, &prints, &err),
                 1);
        QVERIFY2(err.startsWith("broken.xml: Error reading XML file"), err.constData());
        QCOMPARE(err.count('\n'), 1);

        const QList<QByteArray> lines = prints.split('\n');
        QCOMPARE(lines.size(), 1 + 12 + 1);   // header, the set, nothing after the last CR LF
        for (int i = 0; i + 1 < lines.size(); ++i)
            QVERIFY(lines.at(i).endsWith('\r'));
        const QList<QStringList> rows = records(prints);
        const QStringList header = rows.at(0);
        for (const QStringList& row : rows.mid(1))
            QCOMPARE(row.mid(0, 5), (QStringList{"hand, set.xml", "hand, set.xml", "", "", ""}));
        const QString image = "image=print.png; xppi=2540; yppi=254";
        const QString unticked = "flexion_radial=0; flexion_ulnar=0; extralimital_radial=0; "
                                 "extralimital_ulnar=0";
        const QStringList expected = {
            // The loop's rotations are not asked; its termination, never written,
            // was the box's entry then.
            "slot=L1; hand=L; digit=1; " + image + "; cores=1; triradii=1; rc_ct1=4; "
            "rc_radial=4; rc_max=4; crease=1; core1_crease_mm=9.950; "
            "triradius1_crease_mm=4.950; flexion_radial=1; flexion_ulnar=0; "
            "extralimital_radial=0; extralimital_ulnar=0; termination3=radial side",
            "slot=L2; hand=L; digit=2; " + image + "; cores=2; triradii=2; rc_cc=3; rc_ct1=5; "
            "rc_ct2=7; rc_radial=7; rc_ulnar=5; rc_max=7; crease=1; core1_crease_mm=13.950; "
            "core2_crease_mm=11.950; triradius1_crease_mm=2.950; triradius2_crease_mm=3.950; "
            + unticked + "; rotation1=clockwise; rotation2=clockwise; "
            "termination1=radial side; termination2=radial side",
            // Not annotated: its ticks and texts are no data.
            "slot=L3; hand=L; digit=3; " + image,
            "slot=L4; hand=L; digit=4; " + image + "; cores=1; triradii=1; rc_ct1=9; "
            "rc_ulnar=9; rc_max=9; crease=1; core1_crease_mm=1.495; "
            "triradius1_crease_mm=2.895; " + unticked + "; termination3=radial side",
        };
        for (int k = 0; k < expected.size(); ++k)
            QCOMPARE(recorded(header, rows.at(k + 1)), expected.at(k));
        QVERIFY(rows.at(5).at(header.indexOf("core1_crease_mm")).toDouble() > 0);   // L5's axis
        for (int k = 6; k <= 10; ++k)
            QCOMPARE(recorded(header, rows.at(k)),
                     QString("slot=R%1; hand=R; digit=%1; ").arg(k - 5) + image);
        QCOMPARE(recorded(header, rows.at(11)),
                 "slot=LPalm; hand=L; " + image + "; palm_triradii=a.b.c.d.t.cd; rc_ab=4; "
                 "rc_bc=3; rc_dt=6; atd=36.87; palm_formula=X.1.1.11/7.1-t-Au.O:W,2.Ld.Ld.Ld; "
                 "mli_a1d1=7; mli_a2d1=3");
        QCOMPARE(recorded(header, rows.at(12)),
                 "slot=RPalm; hand=R; " + image + "; palm_triradii=a.b.c.d; rc_ab=2; rc_bc=0; "
                 "rc_cd=0; palm_formula=1.1.1.1.1-t-Au.\"V\":Ld.Ld.Ld.Ld; mli_a1d1=2");
        QVERIFY(lines.at(11).contains(",\"X.1.1.11/7.1-t-Au.O:W,2.Ld.Ld.Ld\","));

        // Four fingers annotated: no totals over the ten.
        QCOMPARE(readFile(dir.filePath("sets.csv")),
                 "set,path,subject,examiner,date,fingers_annotated,pii,tfrc,afrc,left_ab,"
                 "right_ab,left_atd,right_atd,left_palm_formula,right_palm_formula,"
                 "fingers_classified,arches,ulnar_loops,radial_loops,whorls\r\n"
                 "\"hand, set.xml\",\"hand, set.xml\",,,,4,,,,4,2,36.87,,"
                 "\"X.1.1.11/7.1-t-Au.O:W,2.Ld.Ld.Ld\",\"1.1.1.1.1-t-Au.\"\"V\"\":Ld.Ld.Ld.Ld\","
                 "0,,,,\r\n");
    }

    // A study as a researcher puts it through: a folder, a set named again under
    // another spelling, two sets of one name.
    void studyThroughTheCommandLine()
    {
        QVERIFY(QDir(dir.path()).mkpath("study"));
        QVERIFY(writeFile(dir.filePath("study/subject A.xml"), studyText().toUtf8()));
        QVERIFY(QFile::copy(dir.filePath("hand, set.xml"), dir.filePath("study/hand, set.xml")));
        QByteArray prints, err, summary;
        QCOMPARE(ridgemap(dir.path(), {"--results", "-", "--summary", "sets.csv", "--subjects",
                                       "subjects.csv", "study", "study/../study/subject A.xml",
                                       "hand, set.xml"},
                          &prints, &err),
                 0);
        QCOMPARE(QString::fromUtf8(err).split('\n'), (QStringList{
            "study/subject A.xml: R4: resolution unknown or invalid; the tables leave it and "
            "the millimetre columns empty.",
            "study/../study/subject A.xml: named more than once; read once.",
            "hand, set.xml: another set of this name, study/hand, set.xml, was read: both are "
            "\"hand, set.xml\" in the set column; path and subject tell them apart.", ""}));
        const QList<QStringList> rows = records(prints);
        QCOMPARE(rows.size(), 1 + 3 * 12);
        const QStringList header = rows.at(0);
        QCOMPARE(rows.at(1).mid(0, 2), (QStringList{"hand, set.xml", "study/hand, set.xml"}));
        QCOMPARE(rows.at(25).mid(0, 2), (QStringList{"hand, set.xml", "hand, set.xml"}));
        for (int k = 13; k <= 24; ++k)
            QCOMPARE(rows.at(k).mid(0, 5), (QStringList{"subject A.xml", "study/subject A.xml",
                                                        "S-01", "A. Example", "2024-05-02"}));
        const QString image = "image=print.png; xppi=2540; yppi=254";
        const QString unticked = "crease=0; flexion_radial=0; flexion_ulnar=0; "
                                 "extralimital_radial=0; extralimital_ulnar=0";
        const QStringList expected = {
            "slot=L1; hand=L; digit=1; " + image + "; cores=0; triradii=0; pattern=plain arch; "
                + unticked,
            "slot=L2; hand=L; digit=2; " + image + "; cores=0; triradii=1; "
                "pattern=tented arch; " + unticked,
            "slot=L3; hand=L; digit=3; " + image + "; cores=1; triradii=1; pattern=ulnar loop; "
                "rc_ct1=3; rc_radial=3; rc_max=3; " + unticked + "; termination3=ulnar side",
            "slot=L4; hand=L; digit=4; " + image + "; cores=1; triradii=1; pattern=ulnar loop; "
                "rc_ct1=5; rc_radial=5; rc_max=5; " + unticked,
            "slot=L5; hand=L; digit=5; " + image + "; cores=2; triradii=2; "
                "pattern=plain whorl; rc_cc=2; rc_ct1=4; rc_ct2=6; rc_radial=6; rc_ulnar=4; "
                "rc_max=6; " + unticked + "; rotation1=counter clockwise",
            "slot=R1; hand=R; digit=1; " + image + "; cores=1; triradii=1; "
                "pattern=radial loop; rc_ct1=7; rc_ulnar=7; rc_max=7; " + unticked
                + "; termination3=radial side",
            "slot=R2; hand=R; digit=2; " + image + "; cores=1; triradii=1; pattern=ulnar loop; "
                "rc_ct1=8; rc_radial=8; rc_max=8; " + unticked,
            "slot=R3; hand=R; digit=3; " + image + "; cores=1; triradii=2; "
                "pattern=central pocket loop; rc_ct1=2; rc_ct2=3; rc_radial=2; rc_ulnar=3; "
                "rc_max=3; " + unticked + "; rotation3=concentric",
            "slot=R4; hand=R; digit=4; image=print.png; cores=1; triradii=1; "
                "pattern=ulnar loop; rc_ct1=10; rc_radial=10; rc_max=10; crease=1; "
                "flexion_radial=1; flexion_ulnar=0; extralimital_radial=0; "
                "extralimital_ulnar=0; termination3=radial side",
            "slot=R5; hand=R; digit=5; " + image + "; cores=2; triradii=2; "
                "pattern=double loop; rc_cc=1; rc_ct1=1; rc_ct2=2; rc_radial=1; rc_ulnar=2; "
                "rc_max=2; " + unticked,
            // Classified D (9, value 4) and A (4) only: an index, no formula.
            "slot=LPalm; hand=L; " + image + "; mli_a1d1=8",
            "slot=RPalm; hand=R",
        };
        for (int k = 0; k < 12; ++k)
            QCOMPARE(recorded(header, rows.at(13 + k)), expected.at(k));

        // pii 0+1+1+1+2 + 1+1+2+1+2; tfrc 3+5+6 + 7+8+3+10+2; afrc adds 4, 2 and 1.
        const QList<QStringList> sets = records(readFile(dir.filePath("sets.csv")));
        QCOMPARE(sets.size(), 4);
        QCOMPARE(sets.at(2), (QStringList{"subject A.xml", "study/subject A.xml", "S-01",
                                          "A. Example", "2024-05-02", "10", "12", "44", "51",
                                          "", "", "", "", "", "", "10", "2", "4", "1", "3"}));

        // The hands side by side: R - L of the digits' counts (arches 0) 7-0, 8-0,
        // 3-3, 10-5, 2-6, of the totals 30 - 14; the patterns of digits 1, 2, 3 and
        // 5 differ. The other set's fingers are not all annotated, but its palms
        // give a-b: 2 - 4.
        const QList<QStringList> subjects = records(readFile(dir.filePath("subjects.csv")));
        QCOMPARE(subjects.size(), 4);
        QCOMPARE(subjects.at(2).mid(0, 5), sets.at(2).mid(0, 5));
        QCOMPARE(recorded(subjects.at(0), subjects.at(2)),
                 QString("L1_pattern=plain arch; L1_rc_max=0; L2_pattern=tented arch; "
                         "L2_rc_max=0; L3_pattern=ulnar loop; L3_rc_max=3; L3_rc_radial=3; "
                         "L4_pattern=ulnar loop; L4_rc_max=5; L4_rc_radial=5; "
                         "L5_pattern=plain whorl; L5_rc_max=6; L5_rc_radial=6; L5_rc_ulnar=4; "
                         "R1_pattern=radial loop; R1_rc_max=7; R1_rc_ulnar=7; "
                         "R2_pattern=ulnar loop; R2_rc_max=8; R2_rc_radial=8; "
                         "R3_pattern=central pocket loop; R3_rc_max=3; R3_rc_radial=2; "
                         "R3_rc_ulnar=3; R4_pattern=ulnar loop; R4_rc_max=10; R4_rc_radial=10; "
                         "R5_pattern=double loop; R5_rc_max=2; R5_rc_radial=1; R5_rc_ulnar=2; "
                         "left_trc=14; left_arches=2; left_loops=2; left_whorls=1; "
                         "right_trc=30; right_arches=0; right_loops=3; right_whorls=2; pii=12; "
                         "left_mli=8; d1_rc_diff=7; d1_rc_absdiff=7; d2_rc_diff=8; "
                         "d2_rc_absdiff=8; d3_rc_diff=0; d3_rc_absdiff=0; d4_rc_diff=5; "
                         "d4_rc_absdiff=5; d5_rc_diff=-4; d5_rc_absdiff=4; trc_diff=16; "
                         "trc_absdiff=16; patterns_differing=4"));
        QCOMPARE(recorded(subjects.at(0), subjects.at(3), "R5_rc_ulnar"),
                 QString("left_ab=4; left_bc=3; left_atd=36.87; left_mli=7; right_ab=2; "
                         "right_bc=0; right_cd=0; right_mli=2; ab_diff=-2; ab_absdiff=2"));

        // The header is the dictionary's print columns, in its order.
        QByteArray dictionary;
        QCOMPARE(ridgemap(dir.path(), {"--columns"}, &dictionary), 0);
        QStringList documented;
        for (const QByteArray& line : dictionary.split('\n'))
            if (line.contains(" | prints | "))
                documented << QString::fromUtf8(line.mid(2, line.indexOf(" | ") - 2));
        QCOMPARE(documented, header);
    }

    // Shrout and Fleiss's (1979) six targets rated by four judges: their published
    // ICCs. The interval of ICC(3,1) as worked from a printed F table: F0 = BMS /
    // EMS = 11.24 / 1.02, F.975(5, 15) = 3.576 and F.975(15, 5) = 6.428 give
    // (F0 / 3.576 - 1) / (F0 / 3.576 + 3) = 0.34 and (F0 * 6.428 - 1) / (F0 * 6.428 + 3)
    // = 0.95.
    void intraclassCorrelationsOfShroutAndFleiss()
    {
        const statistics::Icc icc = statistics::icc(
            {{9, 2, 5, 8}, {6, 1, 3, 2}, {8, 4, 6, 8}, {7, 1, 2, 6}, {10, 5, 6, 9}, {6, 2, 4, 7}});
        const char* const single[] = {"0.17", "0.29", "0.71"};
        const char* const mean[] = {"0.44", "0.62", "0.91"};
        for (int form = 0; form < 3; ++form) {
            QCOMPARE(QString::number(icc.single[form].value, 'f', 2), QString(single[form]));
            QCOMPARE(QString::number(icc.mean[form].value, 'f', 2), QString(mean[form]));
            for (const statistics::Estimate& e : {icc.single[form], icc.mean[form]})
                QVERIFY(e.lower < e.value && e.value < e.upper && e.upper < 1);
        }
        QCOMPARE(QString::number(icc.single[2].lower, 'f', 2), QString("0.34"));
        QCOMPARE(QString::number(icc.single[2].upper, 'f', 2), QString("0.95"));
        // F(2, 2) has the closed form p / (1 - p); F(1, 10) is Student's t(10)
        // squared, 2.2281^2.
        QCOMPARE(QString::number(statistics::fQuantile(0.975, 2, 2), 'f', 6), QString("39.000000"));
        QCOMPARE(QString::number(statistics::fQuantile(0.95, 1, 10), 'f', 3), QString("4.965"));
    }

    // Two examiners on three subjects. Every L1 is a loop with its core at
    // (100, 100) and triradius at (250, 150) of the scan, 6, 9 and 14 ridges for A,
    // 5, 8 and 12 for B; B mirrors S1's print and puts the triradius 50 pixels
    // (0.5 mm) further right, crops S2's at (50, 40) and calls it a radial loop,
    // and gives S3's no resolution (and no subject: paired by file name). S1's L2
    // is a whorl whose cores the mirror shows in the other order. The other
    // fingers are arches, so tfrc is L1's count. A set of B has no partner, and
    // two sets of one file name name different subjects.
    void twoExaminersThroughTheCommandLine()
    {
        QDir folder(dir.path());
        QVERIFY(folder.mkpath("examinerA") && folder.mkpath("examinerB"));
        // S1's left palms: a 30 pixels (0.3 mm) apart, b alike; a-b 4 and 5 ridges;
        // line D answered only, ending at 9, and for B dual, 9 and 11.
        auto palm = [](int ax, int ridges, const char* kind) {
            return QString("<triradium><point x='%1' y='100' d='1'/><point x='200' y='100' "
                           "d='1'/></triradium>").arg(ax) + counted("ba", ridges)
                   + QString("<setting type='Dterm' first='%1' second='9' third='11'/><setting "
                             "type='answered' first='10000' second='00000000'/>").arg(kind);
        };
        const QString mirror = "<transform angle='0' flip='1'/>";
        const QString whorl = "<core><point x='200' y='100'/><point x='%1' y='100'/></core>"
                              + answered("plain whorl");
        const QString sets[][2] = {
            {"examinerA/s1.xml", examinedSet({loop("ulnar loop", 6, 100, 100, 250, 150),
                                              whorl.arg(100)}, palm(100, 4, "Simple"), "S1")},
            {"examinerA/s2.xml", examinedSet({loop("ulnar loop", 9, 100, 100, 250, 150)}, "",
                                             "S2")},
            {"examinerA/s3.xml", examinedSet({loop("plain whorl", 14, 100, 100, 250, 150)}, "",
                                             "S3")},
            {"examinerA/s4.xml", examinedSet({}, "", "S4")},
            {"examinerB/first.xml",
             examinedSet({loop("ulnar loop", 5, 300, 100, 100, 150, mirror),
                          mirror + whorl.arg(300)}, palm(130, 5, "Dual"), "S1")},
            {"examinerB/second.xml",
             examinedSet({loop("radial loop", 8, 50, 60, 200, 110,
                               "<crop><point x='50' y='40'/><point x='350' y='260'/></crop>")},
                         "", "S2")},
            {"examinerB/s3.xml", examinedSet({loop("plain whorl", 12, 100, 100, 250, 150)}, "",
                                             "", "src='print.png' xdpi='0' ydpi='0'")},
            {"examinerB/s4.xml", examinedSet({}, "", "S5")},
            {"examinerB/extra.xml", examinedSet({}, "", "S9")},
        };
        for (const auto& set : sets)
            QVERIFY(writeFile(dir.filePath(set[0]), set[1].toUtf8()));
        QByteArray pairs, err;
        QCOMPARE(ridgemap(dir.path(), {"--compare", "examinerA", "examinerB", "--agreement",
                                       "agreement.csv", "--pairs", "-"}, &pairs, &err),
                 0);
        QCOMPARE(QString::fromUtf8(err).split('\n'), (QStringList{
            "examinerB/s3.xml: L1: resolution unknown or invalid; the tables leave it and the "
            "millimetre columns empty.",
            "examinerA/s4.xml: no set of examinerB to pair with.",
            "examinerB/extra.xml: no set of examinerA to pair with.",
            "examinerB/s4.xml: no set of examinerA to pair with.", ""}));

        // L1's count, d = A - B = 1, 1, 2: mean 4/3, sd sqrt(1/3), tem sqrt(6/6) = 1,
        // 100 * 1 / 9 %. Two-way ANOVA of (6,5), (9,8), (14,12) about the mean 9:
        // BMS = 2 (3.5^2 + 0.5^2 + 4^2) / 2 = 28.5, JMS = 3 (2 (2/3)^2) = 8/3, EMS =
        // sum (d - 4/3)^2 / 4 = 1/6. ICC(3,1) = (BMS - EMS) / (BMS + EMS) = 170/172;
        // ICC(2,1) = (BMS - EMS) / (BMS + EMS + 2 (JMS - EMS) / 3) = 170/182. With
        // F.975(2, 2) = 39 and F0 = BMS / EMS = 171, ICC(3,1)'s bounds are (171/39 -
        // 1) / (171/39 + 1) = 132/210 and (171 * 39 - 1) / (171 * 39 + 1). ICC(2,1)'s:
        // a = 2 * 170/182, b = 3 (1 + 170/182) - a, Satterthwaite's v = 2 (a JMS +
        // b EMS)^2 / (2 (a JMS)^2 + (b EMS)^2) = 1.2696; F(2, v) has the closed form
        // (v/2) ((1 - p)^(-2/v) - 1), so F* = F.975(2, v) = 211.96 and F** = F.975(v,
        // 2) = 1 / F.025(2, v) = 38.715; with 2 JMS + (6 - 2 - 3) EMS = 5.5 the bounds
        // are 3 (28.5 - F* / 6) / (5.5 F* + 85.5) and 3 (28.5 F** - 1/6) / (5.5 + 85.5 F**).
        const QStringList count = {"3", "9.667", "8.333", "1.333", "0.577", "1.000", "11.111",
                                   "0.934", "-0.016", "0.998", "0.988", "0.629", "1.000", "",
                                   ""};
        QStringList none;
        while (none.size() < 15)
            none << QString();
        const QList<QStringList> agreement = records(readFile(dir.filePath("agreement.csv")));
        QCOMPARE(agreement.size(), 1 + 101);
        auto statisticsOf = [&agreement](const QString& trait, const QString& slot) {
            for (const QStringList& row : agreement)
                if (row.at(0) == trait && row.at(1) == slot)
                    return QStringList(row.mid(2));
            return QStringList();
        };
        QCOMPARE(statisticsOf("rc_max", "L1"), count);
        QCOMPARE(statisticsOf("rc_radial", "L1"), count);
        QCOMPARE(statisticsOf("tfrc", ""), count);
        // Fingers without a count line count 0 for both: no spread, no correlation.
        QCOMPARE(statisticsOf("rc_max", "L2"),
                 QStringList() << "3" << "0.000" << "0.000" << "0.000" << "0.000" << "0.000"
                               << none.mid(6));
        QCOMPARE(statisticsOf("rc_ulnar", "L1"), QStringList() << "0" << none.mid(1));
        // One pair: d = -1, tem sqrt(1/2), 100 tem / 4.5 %; no spread to tell.
        QCOMPARE(statisticsOf("rc_ab", "LPalm"), QStringList()
                 << "1" << "4.000" << "5.000" << "-1.000" << "" << "0.707" << "15.713"
                 << none.mid(7));
        auto category = [&none](const char* pairs, const char* share, const char* kappa) {
            return QStringList() << pairs << none.mid(0, 12) << share << kappa;
        };
        QCOMPARE(statisticsOf("line_d", "LPalm"), category("1", "0.000", "0.000"));
        // L1's patterns agree in 2 of 3; expected (2/3)(1/3) + (1/3)(1/3) = 1/3, so
        // kappa (2/3 - 1/3) / (1 - 1/3). L2's agree, expected 5/9: kappa 1; L3's are
        // all arches: kappa 0/0. Over all 30 fingers (26 arches, 2 whorls each):
        // 29/30, expected (26 * 26 + 2 * 1 + 2 * 2) / 900, kappa (870 - 682) / (900 - 682).
        QCOMPARE(statisticsOf("pattern", "L1"), category("3", "0.667", "0.500"));
        QCOMPARE(statisticsOf("pattern", "L2"), category("3", "1.000", "1.000"));
        QCOMPARE(statisticsOf("pattern", "L3"), category("3", "1.000", ""));
        QCOMPARE(statisticsOf("pattern", "L1-R5"), category("30", "0.967", "0.862"));

        // Every paired value and landmark: S1's in full, the others' distances.
        QStringList s1, distances;
        const QList<QStringList> rows = records(pairs);
        for (const QStringList& row : rows.mid(1)) {
            if (row.at(1) == "examinerA/s1.xml")
                s1 << row.mid(3).join('|');
            if (row.at(4).startsWith("core") || row.at(4).startsWith("triradius"))
                distances << QStringList{row.at(0), row.at(2), row.at(3), row.at(4), row.at(8)}
                                 .join(' ');
        }
        QCOMPARE(rows.at(1).mid(0, 3),
                 (QStringList{"S1", "examinerA/s1.xml", "examinerB/first.xml"}));
        QStringList expected = {"L1|pattern|ulnar loop|ulnar loop||", "L1|rc_max|6|5|1|",
                                "L1|rc_radial|6|5|1|", "L1|core1||||0.000",
                                "L1|triradius1||||0.500", "L2|pattern|plain whorl|plain whorl||",
                                "L2|rc_max|0|0|0|", "L2|core1||||0.000", "L2|core2||||0.000"};
        for (const char* slot : {"L3", "L4", "L5", "R1", "R2", "R3", "R4", "R5"})
            expected << QString(slot) + "|pattern|plain arch|plain arch||"
                     << QString(slot) + "|rc_max|0|0|0|";
        expected << "LPalm|rc_ab|4|5|-1|" << "LPalm|line_d|9|9/11||"
                 << "LPalm|triradius_a||||0.300" << "LPalm|triradius_b||||0.000"
                 << "|tfrc|6|5|1|" << "|afrc|6|5|1|";
        QCOMPARE(s1, expected);
        QCOMPARE(distances.mid(6), (QStringList{
            "S2 examinerB/second.xml L1 core1 0.000",
            "S2 examinerB/second.xml L1 triradius1 0.000",
            "S3 examinerB/s3.xml L1 core1 ", "S3 examinerB/s3.xml L1 triradius1 "}));
        QCOMPARE(rows.size(), 1 + 31 + 25 + 25);

        // Nothing to compare is a failure, not an empty table.
        QCOMPARE(ridgemap(dir.path(), {"--compare", "examinerA/s4.xml", "examinerB/s4.xml",
                                       "--agreement", "-"}, &pairs, &err),
                 1);
        QVERIFY(err.contains("\nridgemap: no set of examinerA/s4.xml pairs with one of "
                             "examinerB/s4.xml"));
    }

    // The README's column table is what `--columns` prints.
    void columnsAreDocumentedInTheReadme()
    {
        QByteArray out;
        QCOMPARE(ridgemap(dir.path(), {"--columns"}, &out), 0);
        const QByteArray readme = readFile(RIDGEMAP_SOURCE_DIR "/README.md");
        const QByteArray begin = "<!-- ridgemap --columns -->\n";
        const int from = readme.indexOf(begin) + begin.size();
        const int to = readme.indexOf("<!-- end of ridgemap --columns -->");
        QVERIFY(from >= begin.size() && to > from);
        QCOMPARE(readme.mid(from, to - from), out);
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
            {"--compare", "hand, set.xml", "--agreement", "-"},     // no B
            {"--agreement", "-", "hand, set.xml", "broken.xml"},    // no --compare
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
        const QList<QStringList> rows = records(cli);
        const QStringList header = rows.at(0);
        auto value = [&header](const QStringList& row, const char* column, int i = 0) {
            return row.at(header.indexOf(column) + i);
        };

        MainWindow window;
        QVERIFY(window.openSet(set));
        for (int k = 0; k < 10; ++k) {
            const QStringList& row = rows.at(k + 1);
            TDermatoglyphView* view =
                static_cast<TDermatoglyphEditor*>(window.editor(k))->dermatoglyphView();
            QCOMPARE(value(row, "cores").toInt(), view->coreItems().size());
            QCOMPARE(value(row, "triradii").toInt(), view->triradiusItems().size());
            QCOMPARE(value(row, "rc_cc"), count(view->coreCoreCountLine()));
            for (int i = 0; i < 2; ++i)
                QCOMPARE(value(row, "rc_ct1", i), count(view->coreTriradiusCountLines().value(i)));
            QCOMPARE(value(row, "crease") == "1", view->hasFlexionAxis());
            for (int i = 0; i < 2; ++i) {
                QCOMPARE(value(row, "core1_crease_mm", i),
                         millimetres(view->corePerpendicularItems().value(i)));
                QCOMPARE(value(row, "triradius1_crease_mm", i),
                         millimetres(view->triradiusPerpendicularItems().value(i)));
            }
        }
        for (int k = 10; k < 12; ++k) {
            const QStringList& row = rows.at(k + 1);
            auto* editor = static_cast<TPalmEditor*>(window.editor(k));
            for (int i = 0; i < 4; ++i)
                QCOMPARE(value(row, "rc_ab", i), count(editor->palmGlyphView()->countLine(i)));
            const QString angle = editor->settingsPanel()->angleText().remove(QChar(0x00B0));
            QCOMPARE(value(row, "atd"),
                     angle.isEmpty() ? angle : QString::number(angle.toDouble(), 'f', 2));
            QCOMPARE(value(row, "palm_formula"), editor->settingsPanel()->formula());
            for (int i = 0; i < 4; ++i)
                QCOMPARE(value(row, "mli_a1d1", i), editor->settingsPanel()->mainLineIndex(i));
        }
        QMenu* file = window.menuBar()->findChild<QMenu*>("menuFile");
        QVERIFY(file);
        QStringList texts;
        for (QAction* action : file->actions())
            texts << (action->isSeparator() ? "-" : action->text());
        const int at = texts.indexOf("Export results...");
        QVERIFY(at > 0 && texts.at(at - 1) == "Export" && texts.at(at + 1) == "-");
        QAction* exportResults = file->actions().at(at);
        QCOMPARE(texts.at(at - 2), QString("Set details..."));

        // The set is keyed by its name alone; its path is where it was opened from.
        testsupport::answerFileDialog(dir.filePath("window.csv"));
        exportResults->trigger();
        QCOMPARE(readFile(dir.filePath("window.csv")), cli);

        QString message;
        testsupport::answerFileDialog(dir.filePath("no/such/folder/window.csv"));
        testsupport::captureMessageBox(&message);
        exportResults->trigger();
        QTRY_VERIFY(message.startsWith("The results could not be saved to "));

        // The examiner names the subject and classifies the arch; both are in the set
        // saved and in its table.
        testsupport::onNextModal([](QWidget* dialog) {
            dialog->findChild<QLineEdit*>("subject")->setText("S-02 \"twin\"");
            dialog->findChild<QLineEdit*>("examiner")->setText("B. Example");
            dialog->findChild<QLineEdit*>("date")->setText(" 2024-06-01 ");
            qobject_cast<QDialog*>(dialog)->accept();
        });
        file->actions().at(at - 2)->trigger();
        auto* arch = static_cast<TDermatoglyphEditor*>(window.editor(2))->settingsPanel();
        QTest::keyClick(arch->patternBox(), Qt::Key_Down);
        const QString saved = dir.filePath("details.xml");
        QVERIFY(window.writeSet(saved));
        QVERIFY(readFile(saved).endsWith(
            "  <details subject=\"S-02 &quot;twin&quot;\" examiner=\"B. Example\" "
            "date=\"2024-06-01\" />\r\n</dermatoglyphset>\r\n"));
        QCOMPARE(ridgemap(dir.path(), {"--results", "-", "details.xml"}, &cli), 0);
        const QStringList l3 = records(cli).at(3);
        QCOMPARE(l3.mid(0, 5), (QStringList{"details.xml", "details.xml", "S-02 \"twin\"",
                                            "B. Example", "2024-06-01"}));
        QCOMPARE(recorded(header, l3), QString("slot=L3; hand=L; digit=3; image=print.png; "
                                               "xppi=2540; yppi=254; cores=0; triradii=0; "
                                               "pattern=plain arch; crease=0; flexion_radial=0; "
                                               "flexion_ulnar=1; extralimital_radial=0; "
                                               "extralimital_ulnar=0"));
        MainWindow reopened;
        QVERIFY(reopened.openSet(saved));
        QCOMPARE(reopened.contents().subject, QString("S-02 \"twin\""));

        // A new set has no name to be keyed by, nor details.
        testsupport::answerMessageBox(QMessageBox::Discard);
        QVERIFY(QMetaObject::invokeMethod(&reopened, "newFile"));
        testsupport::answerFileDialog(dir.filePath("untitled.csv"));
        reopened.findChild<QMenu*>("menuFile")->actions().at(at)->trigger();
        QCOMPARE(records(readFile(dir.filePath("untitled.csv"))).at(1).mid(0, 6),
                 (QStringList{"", "", "", "", "", "L1"}));

        // A box not yet chosen looks it and says why; choosing the entry shown answers it.
        TFingerSettings panel;
        QComboBox* box = panel.findChild<QComboBox*>("termination");
        QVERIFY(box->font().italic() && box->toolTip().contains("tables leave this empty"));
        QSignalSpy changed(&panel, &TFingerSettings::changed);
        emit box->activated(box->currentIndex());
        QVERIFY(!box->font().italic() && box->toolTip().isEmpty() && panel.isAnswered(box));
        QCOMPARE(changed.count(), 1);
    }
};

QTEST_MAIN(TestResults)
#include "tst_results.moc"
