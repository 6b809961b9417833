#include "tables/commandline.h"

#include "annotation/sectionformat.h"
#include "annotation/setfile.h"
#include "annotation/treaderror.h"
#include "tables/columns.h"
#include "tables/resultstable.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QTextStream>

#include <cstdio>

namespace commandline {

namespace {

const QString standardOutput = QStringLiteral("-");

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

}

int run(const QStringList& arguments)
{
    QTextStream err(stderr);
    const QString program = QCoreApplication::applicationName();
    // Each failure is told as it happens, a line of its own.
    auto complain = [&err](const QString& what, const QString& why) {
        err << what << ": " << why << Qt::endl;
    };

    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Writes the results of print sets as CSV tables. Without arguments, starts the "
        "window.");
    const QCommandLineOption help = parser.addHelpOption();
    const QCommandLineOption version = parser.addVersionOption();
    const QCommandLineOption results(
        "results", "Write one row per print to <file> (- for standard output).", "file");
    const QCommandLineOption summary(
        "summary", "Write one row per set to <file> (- for standard output).", "file");
    const QCommandLineOption dictionary(
        "columns", "Print what each column of both tables means, as a Markdown table.");
    parser.addOption(results);
    parser.addOption(summary);
    parser.addOption(dictionary);
    parser.addPositionalArgument("SET.xml",
                                 "The set files to read; a folder stands for its *.xml files "
                                 "in name order.", "SET.xml|FOLDER ...");

    auto usageError = [&](const QString& text) {
        err << program << ": " << text << "\n\n" << parser.helpText();
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
    if (parser.isSet(dictionary)) {
        QTextStream(stdout) << columns::dictionary();
        return 0;
    }
    QStringList emptyFolders;
    const QStringList sets = setFiles(parser.positionalArguments(), &emptyFolders);
    const QString printsName = parser.value(results);
    const QString summariesName = parser.value(summary);
    const bool wantPrints = parser.isSet(results);
    const bool wantSummaries = parser.isSet(summary);
    if (!wantPrints && !wantSummaries)
        return usageError("Name a table to write with --results, --summary or both.");
    if (parser.positionalArguments().isEmpty())
        return usageError("Name at least one set file to read.");
    if (wantPrints && wantSummaries
        && (printsName == summariesName
            || (printsName != standardOutput && summariesName != standardOutput
                && sameFile(printsName, summariesName))))
        return usageError("The two tables cannot go to the same place.");
    // A set file mistaken for an output (a shell pattern right after --results)
    // must not be overwritten. Its name is the same, so only such sets are
    // looked up on disk.
    for (const QString& table : {printsName, summariesName}) {
        if (table.isEmpty() || table == standardOutput)
            continue;
        const QString name = QFileInfo(table).fileName();
        for (const QString& set : sets)
            if (QFileInfo(set).fileName() == name && sameFile(table, set))
                return usageError(QString("%1 is a set file to read, not a table to write.")
                                      .arg(set));
    }

    QString printsText;
    QString summariesText;
    QTextStream prints(&printsText);
    QTextStream summaries(&summariesText);
    resultstable::writeRow(prints, resultstable::printColumns());
    resultstable::writeRow(summaries, resultstable::setColumns());
    int status = 0;
    for (const QString& folder : qAsConst(emptyFolders))
        complain(folder, "a folder without set files (*.xml).");
    // By the file each name reaches, and by the key it gives.
    QSet<QString> read;
    QHash<QString, QString> keys;
    for (const QString& set : sets) {
        const QString reached = QFileInfo(set).canonicalFilePath();
        if (!reached.isEmpty() && read.contains(reached)) {
            complain(set, "named more than once; read once.");
            continue;
        }
        QFile file(set);
        if (!file.open(QIODevice::ReadOnly)) {
            complain(set, file.errorString());
            status = 1;
            continue;
        }
        setfile::Contents contents;
        try {
            // The tables need no traced lines.
            contents = setfile::read(file, false);
        } catch (const TReadError& e) {
            complain(set, e.message());
            status = 1;
            continue;
        }
        if (!reached.isEmpty())
            read.insert(reached);
        const QString key = resultstable::setKey(set);
        const QString first = keys.value(key);
        if (first.isEmpty())
            keys.insert(key, set);
        else
            complain(set, QString("another set of this name, %1, was read: both are \"%2\" "
                                  "in the set column; path and subject tell them apart.")
                              .arg(first, key));
        for (int i = 0; i < setfile::slotCount; ++i) {
            const setfile::SlotImage& image = contents.images.at(i);
            if (!image.src.isEmpty() && !resultstable::hasResolution(image))
                complain(set + ": " + setfile::slotNames().at(i),
                         setfile::kindOf(i) == sectionwriter::Finger
                             ? "resolution unknown or invalid; the tables leave it and the "
                               "millimetre columns empty."
                             : "resolution unknown or invalid; the tables leave it empty.");
        }
        const QVector<QStringList> rows = resultstable::printRows(set, contents);
        for (const QStringList& row : rows)
            resultstable::writeRow(prints, row);
        resultstable::writeRow(summaries, resultstable::setRow(rows));
    }
    prints.flush();
    summaries.flush();
    auto write = [&](const QString& name, const QString& text) {
        QString error;
        if (!writeTable(name, text, &error)) {
            complain(program + ": " + name, error);
            status = 1;
        }
    };
    if (wantPrints)
        write(printsName, printsText);
    if (wantSummaries)
        write(summariesName, summariesText);
    return status;
}

}
