// ridgemap-bench: the costs an examiner feels on full-size scans, each measured
// against a floor taken in the same run, so the ratios hold on a noisy machine;
// and how well suggested ridge points match prints whose ridges are known.

#include "bench/harness.h"
#include "bench/scenarios.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <functional>
#include <malloc.h>
#include <vector>

using namespace bench;

namespace {

// ---------------------------------------------------------------------------
// Synthetic scans

// Gray ridges circling one centre per print, ridge spacing about 0.45 mm, with
// some grain, so the codec works as hard as on a real scan.
QImage ridgeScan(int width, int height, int ppi, int columns, int rows)
{
    QImage image(width, height, QImage::Format_Grayscale8);
    const double period = ppi / 25.4 * 0.45;
    std::vector<uchar> wave(1024);
    for (int i = 0; i < 1024; ++i)
        wave[i] = uchar(150 + 80 * std::cos(i * 2 * M_PI / 1024));
    quint32 grain = 12345;
    const double cellW = double(width) / columns;
    const double cellH = double(height) / rows;
    for (int y = 0; y < height; ++y) {
        uchar* line = image.scanLine(y);
        const double cy = (std::floor(y / cellH) + 0.5) * cellH;
        for (int x = 0; x < width; ++x) {
            const double cx = (std::floor(x / cellW) + 0.5) * cellW;
            const double dy = (y - cy) * 1.3;
            const double r = std::sqrt((x - cx) * (x - cx) + dy * dy);
            grain = grain * 1664525u + 1013904223u;
            const int v = wave[int(r / period * 1024) & 1023] + int(grain >> 28) - 8;
            line[x] = uchar(qBound(0, v, 255));
        }
    }
    const int dotsPerMeter = qRound(ppi / 0.0254);
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

// The offscreen platform's remarks on every window shown are noise here.
void quietOffscreen(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (message.contains("propagateSizeHints") || message.contains("XDG_RUNTIME_DIR"))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

}

int main(int argc, char** argv)
{
    // Freed image buffers go back to the system at once, so resident memory shows
    // what the program holds rather than what the allocator keeps for later.
    mallopt(M_MMAP_THRESHOLD, 1 << 20);
    mallopt(M_TRIM_THRESHOLD, 1 << 20);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "ridgemap-bench: no temporary folder\n");
        return 2;
    }
    // The program's settings go to the temporary folder, never the user's own.
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir.filePath("config")));
    qInstallMessageHandler(quietOffscreen);
    QApplication app(argc, argv);

    // Scenario names on the command line run only those, for profiling one.
    const QStringList chosen = app.arguments().mid(1);

    // A ten-print card at 600 PPI, a palm at 1000 PPI and a small print, written
    // only when a scenario that reads them runs.
    const QString card = dir.filePath("card.jpg");
    const QString palm = dir.filePath("palm.jpg");
    const QString small = dir.filePath("small.jpg");
    const QStringList scanScenarios = {"import-both-hands", "open-set", "annotate-step",
                                       "rotate-step", "undo-step", "fit-repaint",
                                       "results-table", "agreement-tables"};
    if (chosen.isEmpty() || std::any_of(scanScenarios.begin(), scanScenarios.end(),
                                        [&](const QString& s) { return chosen.contains(s); })) {
        if (!ridgeScan(4800, 5000, 600, 5, 2).save(card, "JPG", 90)
            || !ridgeScan(5600, 5700, 1000, 1, 1).save(palm, "JPG", 90)
            || !ridgeScan(1000, 1000, 1000, 1, 1).save(small, "JPG", 90)) {
            std::fprintf(stderr, "ridgemap-bench: cannot write the scans\n");
            return 2;
        }
        decode(card);   // warm the codec and the page cache before anything is timed
    }

    int met = 0;
    int total = 0;
    auto run = [&](const QString& name, const std::function<bool()>& scenario) {
        if (!chosen.isEmpty() && !chosen.contains(name))
            return;
        ++total;
        met += scenario() ? 1 : 0;
    };
    run("import-both-hands", [&] { return importBothHands(card); });
    run("open-set", [&] { return openSet(card, dir.path()); });
    run("annotate-step", [&] { return annotateStep(palm, small); });
    run("rotate-step", [&] { return rotateStep(palm); });
    run("flexion-fit", [] { return flexionFit(); });
    run("undo-step", [&] { return undoStep(palm); });
    run("fit-repaint", [&] { return fitRepaintStep(palm, small); });
    run("results-table", [&] { return resultsTable(card, dir.path()); });
    run("agreement-tables", [&] {
        if (!QDir(dir.filePath("study")).exists())
            resultsTable(card, dir.path());
        return agreementTables(dir.filePath("study"));
    });
    // Each of its figures has a target of its own.
    if (chosen.isEmpty() || chosen.contains("ridge-suggest"))
    {
        skinPrints(&met, &total);
        ringPrints(&met, &total);
    }
    if (chosen.isEmpty() || chosen.contains("landmarks"))
        landmarks(&met, &total);
    std::printf("bench: %d of %d targets met\n", met, total);
    return met == total ? 0 : 1;
}
