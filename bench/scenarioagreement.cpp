// The agreement-tables scenario: two examiners' studies of 1,000 sets compared
// into the agreement and pairs tables, and one study into the subject table,
// each against the results-table run (--results and --summary) over the same
// sets, alternated so that both see the same machine.

#include "bench/scenarios.h"

#include "annotation/sectionformat.h"
#include "annotation/setfile.h"
#include "annotation/treaderror.h"
#include "tables/commandline.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double secondsOf(const std::function<void()>& work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e9;
}

double middle(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// The sets of one examiner: each set of the study under a subject of its own
// (its index); the second examiner names his files otherwise (they pair by
// subject), moves every core two pixels and leaves out one ridge point on the
// first count line of every third set.
bool writeExaminer(const QStringList& sets, const QString& folder, bool second)
{
    if (!QDir().mkpath(folder))
        return false;
    for (int i = 0; i < sets.size(); ++i) {
        QFile file(sets.at(i));
        if (!file.open(QIODevice::ReadOnly))
            return false;
        setfile::Contents contents;
        try {
            contents = setfile::read(file);
        } catch (const TReadError&) {
            return false;
        }
        contents.subject = QString("S%1").arg(i, 4, 10, QLatin1Char('0'));
        for (int slot = 0; second && slot < 10; ++slot) {
            TGlyphRecord& record = contents.records[slot];
            for (QPointF& core : record.cores)
                core += QPointF(2, 1);
            if (i % 3 == 0 && !record.ct.isEmpty() && !record.ct.first().isEmpty())
                record.ct.first().removeLast();
        }
        QString error;
        const QString name =
            folder + (second ? "/b-" : "/") + QFileInfo(sets.at(i)).fileName();
        if (!sectionformat::writeXmlFile(
                name, [&contents](QTextStream& out) { setfile::write(out, contents); }, &error))
            return false;
    }
    return true;
}

bool report(const char* name, double value, double floor)
{
    const double ratio = value / floor;
    const bool ok = ratio <= 1.5;
    std::printf("bench %s: %.3f s; floor %.3f s; ratio %.2f (target <= 1.5) %s\n", name, value,
                floor, ratio, ok ? "ok" : "FAIL");
    std::fflush(stdout);
    return ok;
}

}

// study holds the fully annotated sets (*.xml) of the results-table scenario.
namespace bench {

bool agreementTables(const QString& study)
{
    const QStringList names = QDir(study).entryList({"*.xml"}, QDir::Files, QDir::Name);
    QStringList sets;
    for (const QString& name : names)
        sets << QDir(study).filePath(name);
    QTemporaryDir work(QDir(study).absoluteFilePath("../agreement-XXXXXX"));
    const QString a = work.filePath("examinerA");
    const QString b = work.filePath("examinerB");
    if (sets.isEmpty() || !work.isValid() || !writeExaminer(sets, a, false)
        || !writeExaminer(sets, b, true)) {
        std::fprintf(stderr, "ridgemap-bench: cannot write the examiners' studies\n");
        return false;
    }
    const QString out = work.path();
    const QStringList compare = {"ridgemap", "--compare", a, b, "--agreement",
                                 out + "/agreement.csv", "--pairs", out + "/pairs.csv"};
    const QStringList bothTables = {"ridgemap", "--results", out + "/prints.csv", "--summary",
                                    out + "/sets.csv", a, b};
    const QStringList subjects = {"ridgemap", "--subjects", out + "/subjects.csv", a};
    const QStringList oneTable = {"ridgemap", "--results", out + "/prints.csv", "--summary",
                                  out + "/sets.csv", a};
    commandline::run(bothTables);   // the files into the page cache before anything is timed
    std::vector<double> compared, compareFloor, subjected, subjectFloor;
    for (int rep = 0; rep < 5; ++rep) {
        compareFloor.push_back(secondsOf([&] { commandline::run(bothTables); }));
        compared.push_back(secondsOf([&] { commandline::run(compare); }));
        subjectFloor.push_back(secondsOf([&] { commandline::run(oneTable); }));
        subjected.push_back(secondsOf([&] { commandline::run(subjects); }));
    }
    const bool compareMet = report("agreement-tables compare", middle(compared),
                                   middle(compareFloor));
    const bool subjectsMet = report("agreement-tables subjects", middle(subjected),
                                    middle(subjectFloor));
    return compareMet && subjectsMet;
}

}
