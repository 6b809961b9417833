#include "app/commandline.h"

#include "annotation/treaderror.h"
#include "app/resultstable.h"
#include "app/setfile.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QTextStream>

#include <cstdio>
#include <memory>

namespace commandline {

namespace {

const QString standardOutput = QStringLiteral("-");

// One table being written: to standard output, or to a file that is replaced
// only once the table is complete.
struct Table
{
    QString name;
    std::unique_ptr<QFileDevice> device;
    std::unique_ptr<QTextStream> out;

    bool open(QString* error)
    {
        if (name == standardOutput) {
            auto file = std::make_unique<QFile>();
            file->open(stdout, QIODevice::WriteOnly);
            device = std::move(file);
        } else {
            auto file = std::make_unique<QSaveFile>(name);
            if (!file->open(QIODevice::WriteOnly)) {
                *error = file->errorString();
                return false;
            }
            device = std::move(file);
        }
        out = std::make_unique<QTextStream>(device.get());
        out->setCodec("UTF-8");
        return true;
    }

    bool close(QString* error)
    {
        out->flush();
        auto* file = qobject_cast<QSaveFile*>(device.get());
        if (out->status() != QTextStream::Ok || !device->flush()) {
            *error = device->errorString();
            if (file)
                file->cancelWriting();
            return false;
        }
        if (file && !file->commit()) {
            *error = file->errorString();
            return false;
        }
        return true;
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
    parser.addOption(results);
    parser.addOption(summary);
    parser.addPositionalArgument("SET.xml", "The set files to read.", "SET.xml [SET.xml ...]");

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
    const QStringList sets = parser.positionalArguments();
    Table prints{parser.value(results), nullptr, nullptr};
    Table summaries{parser.value(summary), nullptr, nullptr};
    const bool wantPrints = parser.isSet(results);
    const bool wantSummaries = parser.isSet(summary);
    if (!wantPrints && !wantSummaries)
        return usageError("Name a table to write with --results, --summary or both.");
    if (sets.isEmpty())
        return usageError("Name at least one set file to read.");
    if (wantPrints && wantSummaries
        && (prints.name == summaries.name
            || (prints.name != standardOutput && summaries.name != standardOutput
                && sameFile(prints.name, summaries.name))))
        return usageError("The two tables cannot go to the same place.");
    // A set file mistaken for an output (a shell pattern right after --results)
    // must not be overwritten. Its name is the same, so only such sets are
    // looked up on disk.
    for (const Table* table : {&prints, &summaries}) {
        if (table->name.isEmpty() || table->name == standardOutput)
            continue;
        const QString name = QFileInfo(table->name).fileName();
        for (const QString& set : sets)
            if (QFileInfo(set).fileName() == name && sameFile(table->name, set))
                return usageError(QString("%1 is a set file to read, not a table to write.")
                                      .arg(set));
    }

    QVector<Table*> tables;
    if (wantPrints)
        tables.append(&prints);
    if (wantSummaries)
        tables.append(&summaries);
    for (Table* table : tables) {
        QString error;
        if (!table->open(&error)) {
            complain(program + ": " + table->name, error);
            return 1;
        }
    }
    if (wantPrints)
        resultstable::writeRow(*prints.out, resultstable::printColumns());
    if (wantSummaries)
        resultstable::writeRow(*summaries.out, resultstable::setColumns());

    int status = 0;
    for (const QString& set : sets) {
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
        const QVector<QStringList> rows = resultstable::printRows(set, contents);
        if (wantPrints)
            for (const QStringList& row : rows)
                resultstable::writeRow(*prints.out, row);
        if (wantSummaries)
            resultstable::writeRow(*summaries.out, resultstable::setRow(rows));
    }
    for (Table* table : tables) {
        QString error;
        if (!table->close(&error)) {
            complain(program + ": " + table->name, error);
            status = 1;
        }
    }
    return status;
}

}
