#include "tables/commandline.h"

#include "annotation/sectionformat.h"
#include "annotation/setfile.h"
#include "annotation/treaderror.h"
#include "tables/agreementtable.h"
#include "tables/columns.h"
#include "tables/resultstable.h"
#include "tables/subjecttable.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QTextStream>

#include <cstdio>
#include <functional>

namespace commandline {

namespace {

const QString standardOutput = QStringLiteral("-");

// Tells each failure as it happens, a line of its own, and keeps the exit status.
struct Report
{
    QTextStream err{stderr};
    int status = 0;

    void warn(const QString& what, const QString& why) { err << what << ": " << why << Qt::endl; }
    void fail(const QString& what, const QString& why)
    {
        warn(what, why);
        status = 1;
    }
};

// Writes a finished table to name: standard output, or a file replaced only by a
// complete new one.
bool writeTable(const QString& name, const QString& text, QString* error)
{
    if (name != standardOutput)
        return sectionformat::writeTextFile(name, [&text](QTextStream& out) { out << text; },
                                            error);
    QFile out;
    const QByteArray bytes = text.toUtf8();
    if (!out.open(stdout, QIODevice::WriteOnly) || out.write(bytes) != bytes.size()
        || !out.flush()) {
        *error = out.errorString();
        return false;
    }
    return true;
}

// A table as it is filled: its text, and where it goes once complete.
struct Table
{
    QString name;
    bool wanted = false;
    QString text;
    QTextStream out{&text};

    void start(const QStringList& header)
    {
        if (wanted)
            resultstable::writeRow(out, header);
    }
    void add(const QStringList& row)
    {
        if (wanted)
            resultstable::writeRow(out, row);
    }
    void finish(Report& report)
    {
        out.flush();
        QString error;
        if (wanted && !writeTable(name, text, &error))
            report.fail(QCoreApplication::applicationName() + ": " + name, error);
    }
};

// Whether two names reach the same file; names of files not yet made are
// compared written out in full.
bool sameFile(const QString& a, const QString& b)
{
    const QFileInfo fa(a);
    const QFileInfo fb(b);
    if (fa.exists() && fb.exists())
        return fa.canonicalFilePath() == fb.canonicalFilePath();
    return QDir::cleanPath(fa.absoluteFilePath()) == QDir::cleanPath(fb.absoluteFilePath());
}

// The set files the arguments name: a folder stands for its *.xml files in name
// order, anything else for itself. The folders without any are put in empty.
QStringList setFiles(const QStringList& arguments, QStringList* empty)
{
    QStringList files;
    for (const QString& argument : arguments) {
        if (!QFileInfo(argument).isDir()) {
            files.append(argument);
            continue;
        }
        const QStringList names = QDir(argument).entryList({"*.xml"}, QDir::Files, QDir::Name);
        for (const QString& name : names)
            files.append(QDir::cleanPath(argument + "/" + name));
        if (names.isEmpty())
            empty->append(argument);
    }
    return files;
}

// Why the tables cannot be written where outputs say while sets are read;
// empty when they can.
QString misplacedTable(const QStringList& outputs, const QStringList& sets)
{
    for (int i = 0; i < outputs.size(); ++i)
        for (int j = i + 1; j < outputs.size(); ++j)
            if (outputs.at(i) == outputs.at(j)
                || (outputs.at(i) != standardOutput && outputs.at(j) != standardOutput
                    && sameFile(outputs.at(i), outputs.at(j))))
                return "Two tables cannot go to the same place.";
    // A set file mistaken for an output (a shell pattern right after --results)
    // must not be overwritten. Its name is the same, so only such sets are
    // looked up on disk.
    for (const QString& table : outputs) {
        if (table == standardOutput)
            continue;
        const QString name = QFileInfo(table).fileName();
        for (const QString& set : sets)
            if (QFileInfo(set).fileName() == name && sameFile(table, set))
                return QString("%1 is a set file to read, not a table to write.").arg(set);
    }
    return QString();
}

// Reads the sets in order and hands each to use: a set named twice is read once,
// one that cannot be read is told of and left out, and so are two sets of one
// name and prints without a resolution.
void readSets(const QStringList& sets, Report& report,
              const std::function<void(const QString&, const setfile::Contents&)>& use)
{
    // By the file each name reaches, and by the key it gives.
    QSet<QString> read;
    QHash<QString, QString> keys;
    for (const QString& set : sets) {
        const QString reached = QFileInfo(set).canonicalFilePath();
        if (!reached.isEmpty() && read.contains(reached)) {
            report.warn(set, "named more than once; read once.");
            continue;
        }
        QFile file(set);
        if (!file.open(QIODevice::ReadOnly)) {
            report.fail(set, file.errorString());
            continue;
        }
        setfile::Contents contents;
        try {
            // The tables need no traced lines.
            contents = setfile::read(file, false);
        } catch (const TReadError& e) {
            report.fail(set, e.message());
            continue;
        }
        if (!reached.isEmpty())
            read.insert(reached);
        const QString key = resultstable::setKey(set);
        const QString first = keys.value(key);
        if (first.isEmpty())
            keys.insert(key, set);
        else
            report.warn(set, QString("another set of this name, %1, was read: both are \"%2\" "
                                     "in the set column; path and subject tell them apart.")
                                 .arg(first, key));
        for (int i = 0; i < setfile::slotCount; ++i) {
            const setfile::SlotImage& image = contents.images.at(i);
            if (!image.src.isEmpty() && !resultstable::hasResolution(image))
                report.warn(set + ": " + setfile::slotNames().at(i),
                            setfile::kindOf(i) == sectionwriter::Finger
                                ? "resolution unknown or invalid; the tables leave it and the "
                                  "millimetre columns empty."
                                : "resolution unknown or invalid; the tables leave it empty.");
        }
        use(set, contents);
    }
}

struct Options
{
    QCommandLineOption results{
        "results", "Write one row per print to <file> (- for standard output).", "file"};
    QCommandLineOption summary{
        "summary", "Write one row per set to <file> (- for standard output).", "file"};
    QCommandLineOption subjects{
        "subjects",
        "Write one row per set in wide form, with the asymmetries between the hands, to "
        "<file> (- for standard output).", "file"};
    QCommandLineOption compare{
        "compare",
        "Compare the sets of <A> (a set file or folder) with those of the set file or folder "
        "named after it (another examiner, or a second session): --compare A B.", "A"};
    QCommandLineOption agreement{
        "agreement", "With --compare: write one row per trait, how well A and B agree, to "
        "<file> (- for standard output).", "file"};
    QCommandLineOption pairs{
        "pairs", "With --compare: write each paired value and landmark of A and B to <file> "
        "(- for standard output).", "file"};
    QCommandLineOption dictionary{
        "columns", "Print what each column of the tables means, as a Markdown table."};
};

// The tables of the sets named: prints, sets and subjects.
int writeTables(const QCommandLineParser& parser, const Options& o,
                const std::function<int(const QString&)>& usageError)
{
    Table prints, summaries, subjects;
    const QCommandLineOption* options[] = {&o.results, &o.summary, &o.subjects};
    Table* tables[] = {&prints, &summaries, &subjects};
    QStringList outputs;
    for (int i = 0; i < 3; ++i) {
        tables[i]->wanted = parser.isSet(*options[i]);
        tables[i]->name = parser.value(*options[i]);
        if (tables[i]->wanted)
            outputs.append(tables[i]->name);
    }
    if (outputs.isEmpty())
        return usageError("Name a table to write with --results, --summary, --subjects or "
                          "--compare.");
    if (parser.positionalArguments().isEmpty())
        return usageError("Name at least one set file to read.");
    QStringList emptyFolders;
    const QStringList sets = setFiles(parser.positionalArguments(), &emptyFolders);
    const QString misplaced = misplacedTable(outputs, sets);
    if (!misplaced.isEmpty())
        return usageError(misplaced);

    Report report;
    prints.start(resultstable::printColumns());
    summaries.start(resultstable::setColumns());
    subjects.start(subjecttable::columns());
    for (const QString& folder : qAsConst(emptyFolders))
        report.warn(folder, "a folder without set files (*.xml).");
    readSets(sets, report, [&](const QString& set, const setfile::Contents& contents) {
        const QVector<QStringList> rows = resultstable::printRows(set, contents);
        for (const QStringList& row : rows)
            prints.add(row);
        const QStringList setRow = resultstable::setRow(rows);
        summaries.add(setRow);
        if (subjects.wanted)
            subjects.add(subjecttable::row(rows, setRow));
    });
    for (Table* table : tables)
        table->finish(report);
    return report.status;
}

// Two examiners' sets of the same subjects, paired and compared.
int compareSets(const QCommandLineParser& parser, const Options& o,
                const std::function<int(const QString&)>& usageError)
{
    Table agreement, pairs;
    agreement.wanted = parser.isSet(o.agreement);
    agreement.name = parser.value(o.agreement);
    pairs.wanted = parser.isSet(o.pairs);
    pairs.name = parser.value(o.pairs);
    if (parser.isSet(o.results) || parser.isSet(o.summary) || parser.isSet(o.subjects))
        return usageError("--compare writes --agreement and --pairs; write the other tables "
                          "without it.");
    const QStringList sides = {parser.value(o.compare), parser.positionalArguments().value(0)};
    if (parser.positionalArguments().size() != 1)
        return usageError("--compare takes two set files or folders: --compare A B.");
    if (!agreement.wanted && !pairs.wanted)
        return usageError("Name a table to write with --agreement, --pairs or both.");
    QStringList outputs;
    for (const Table* table : {&agreement, &pairs})
        if (table->wanted)
            outputs.append(table->name);
    QStringList emptyFolders;
    QStringList files[2];
    for (int side = 0; side < 2; ++side)
        files[side] = setFiles({sides.at(side)}, &emptyFolders);
    const QString misplaced = misplacedTable(outputs, files[0] + files[1]);
    if (!misplaced.isEmpty())
        return usageError(misplaced);

    Report report;
    for (const QString& folder : qAsConst(emptyFolders))
        report.warn(folder, "a folder without set files (*.xml).");
    QVector<agreementtable::Examination> examined[2];
    for (int side = 0; side < 2; ++side)
        readSets(files[side], report, [&](const QString& set, const setfile::Contents& contents) {
            const QVector<QStringList> rows = resultstable::printRows(set, contents);
            examined[side].append(agreementtable::examination(set, contents, rows,
                                                              resultstable::setRow(rows)));
        });
    const agreementtable::Pairing pairing = agreementtable::pairSets(examined[0], examined[1]);
    for (int i : pairing.unpairedA)
        report.warn(examined[0].at(i).path, "no set of " + sides.at(1) + " to pair with.");
    for (int j : pairing.unpairedB)
        report.warn(examined[1].at(j).path, "no set of " + sides.at(0) + " to pair with.");
    if (pairing.pairs.isEmpty())
        report.fail(QCoreApplication::applicationName(),
                    "no set of " + sides.at(0) + " pairs with one of " + sides.at(1)
                        + " (by subject where both give one, else by file name).");

    agreement.start(agreementtable::agreementColumns());
    if (agreement.wanted)
        for (const QStringList& row :
             agreementtable::agreementRows(examined[0], examined[1], pairing.pairs))
            agreement.add(row);
    pairs.start(agreementtable::pairColumns());
    if (pairs.wanted)
        for (const QStringList& row :
             agreementtable::pairRows(examined[0], examined[1], pairing.pairs))
            pairs.add(row);
    agreement.finish(report);
    pairs.finish(report);
    return report.status;
}

}

int run(const QStringList& arguments)
{
    const QString program = QCoreApplication::applicationName();
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Writes the results of print sets as CSV tables, or compares two examiners' sets "
        "of the same subjects. Without arguments, starts the window.");
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const Options o;
    for (const QCommandLineOption* option : {&o.results, &o.summary, &o.subjects, &o.compare,
                                             &o.agreement, &o.pairs, &o.dictionary})
        parser.addOption(*option);
    parser.addPositionalArgument("SET.xml",
                                 "The set files to read; a folder stands for its *.xml files "
                                 "in name order. With --compare, B.", "SET.xml|FOLDER ...");

    auto usageError = [&](const QString& text) {
        QTextStream(stderr) << program << ": " << text << "\n\n" << parser.helpText();
        return 2;
    };
    if (!parser.parse(arguments))
        return usageError(parser.errorText());
    if (parser.isSet(help) || parser.isSet("help-all")) {
        QTextStream(stdout) << parser.helpText();
        return 0;
    }
    if (parser.isSet(version)) {
        QTextStream(stdout) << program << " " << QCoreApplication::applicationVersion() << "\n";
        return 0;
    }
    if (parser.isSet(o.dictionary)) {
        QTextStream(stdout) << columns::dictionary();
        return 0;
    }
    if (parser.isSet(o.compare))
        return compareSets(parser, o, usageError);
    if (parser.isSet(o.agreement) || parser.isSet(o.pairs))
        return usageError("--agreement and --pairs compare two examiners: --compare A B.");
    return writeTables(parser, o, usageError);
}

}
