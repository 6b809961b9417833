// Suggested ridge points on prints that look like skin: ridges grown along
// finger and palm flows with their cores and triradii, so they end, fork and
// run close together, damaged the ways inking and scanning damage real prints,
// and counted against the undamaged ridges.

#include "bench/harness.h"
#include "bench/scenarios.h"

#include "analysis/ridgeflow.h"
#include "analysis/ridgeprofile.h"
#include "synth/ridgetruth.h"
#include "synth/syntheticprint.h"

#include <QImage>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <random>
#include <vector>

namespace bench {

namespace {

struct Tally {
    int lines = 0;
    int exact = 0;
    int withinOne = 0;
    int under = 0;
    int over = 0;
    double error = 0;
    int open = 0;   // lines whose truth allows more than one count
    double ridges = 0;
    double offCentre = 0;
    int points = 0;
    std::vector<double> times;   // ms per line, the flow already read

    void add(int found, const synth::RidgeCount& truth, double ms)
    {
        const int e = found < truth.least ? found - truth.least : found > truth.most ? found - truth.most : 0;
        ++lines;
        exact += e == 0;
        withinOne += std::abs(e) <= 1;
        under += e < 0;
        over += e > 0;
        error += std::abs(e);
        open += truth.most > truth.least;
        ridges += truth.least;
        if (ms >= 0)
            times.push_back(ms);
    }
};

double share(double part, int whole)
{
    return part / std::max(1, whole);
}

void row(const char* name, const Tally& t)
{
    std::printf("bench ridge-suggest: %-18s %5d %6.1f%% %6.1f%% %5.3f %5.1f%% %5.1f%% %5.3f P %6.3f ms\n",
                name, t.lines, 100 * share(t.exact, t.lines), 100 * share(t.withinOne, t.lines),
                share(t.error, t.lines), 100 * share(t.under, t.lines), 100 * share(t.over, t.lines),
                share(t.offCentre, t.points), t.times.empty() ? 0.0 : median(t.times));
}

}

void skinPrints(int* met, int* total)
{
    using namespace synth;
    const std::vector<Damage>& classes = damages();
    const int n = int(classes.size());
    std::vector<Tally> tallies(classes.size());
    Tally overall, landmarks, shallow, fingers, palms, sure;
    std::vector<double> firstTimes;   // first suggestion on a 1000 PPI finger, field included
    std::vector<double> density;
    double fewestMm = 1e9, mostMm = 0;

    struct Kind {
        Pattern pattern;
        int seeds;
    };
    const Kind kinds[] = {{Pattern::LoopLeft, 2},   {Pattern::LoopRight, 2}, {Pattern::Whorl, 2},
                          {Pattern::DoubleLoop, 2}, {Pattern::PlainArch, 2}, {Pattern::TentedArch, 2},
                          {Pattern::Palm, 1}};
    quint32 seed = 20250301;   // the same prints and lines in every run
    for (const Kind& kind : kinds)
        for (int s = 0; s < kind.seeds; ++s) {
            std::mt19937 random(++seed);
            const bool palm = kind.pattern == Pattern::Palm;
            const FlowModel model = palm ? FlowModel::palm(random, QSizeF(70, 80))
                                         : FlowModel::finger(kind.pattern, random);
            const Skin skin = grow(model, ++seed);
            for (int ppi : {500, 1000}) {
                const Print print = render(skin, ppi);
                if (ppi == 500)
                    density.push_back(minutiaeDensity(print));
                const std::vector<CountedLine> lines = countedLines(print, palm ? 60 : 25, ++seed);
                for (int c = 0; c < n; ++c) {
                    QImage image = scan(print, classes[size_t(c)], ++seed);
                    // Colour scans are shown as 32-bit images.
                    if (s % 2)
                        image = image.convertToFormat(QImage::Format_RGB32);
                    bool first = true;
                    for (const CountedLine& counted : lines) {
                        QVector<QPointF> found;
                        const double ms = 1000 * seconds([&] {
                            found = ridgeprofile::crossings(image, counted.line);
                        });
                        if (first && !palm && ppi == 1000)
                            firstTimes.push_back(ms);
                        std::vector<Tally*> into = {&tallies[size_t(c)], &overall,
                                                    palm ? &palms : &fingers};
                        if (counted.kind == CountedLine::Landmarks)
                            into.push_back(&landmarks);
                        if (counted.angle < 25)
                            into.push_back(&shallow);
                        if (counted.truth.least == counted.truth.most)
                            into.push_back(&sure);
                        for (Tally* t : into) {
                            // The first line on a print pays for reading its flow.
                            t->add(int(found.size()), counted.truth, first ? -1 : ms);
                            for (const QPointF& p : found) {
                                t->offCentre += offCentre(print, p);
                                ++t->points;
                            }
                        }
                        first = false;
                        const double mm = counted.line.length() / print.pixelsPerMm;
                        fewestMm = std::min(fewestMm, mm);
                        mostMm = std::max(mostMm, mm);
                    }
                }
            }
        }

    std::printf("bench ridge-suggest: %-18s %5s %7s %7s %5s %6s %6s %7s %9s\n", "skin prints", "lines",
                "exact", "within1", "MAE", "under", "over", "centre", "per line");
    for (int c = 0; c < n; ++c)
        row(classes[size_t(c)].name, tallies[size_t(c)]);
    row("all classes", overall);
    row("fingers", fingers);
    row("palms", palms);
    row("landmark lines", landmarks);
    row("shallow (<25 deg)", shallow);
    row("one count right", sure);
    std::printf("bench ridge-suggest: %.1f ridges a line (lines %.1f to %.1f mm); on %.1f %% of "
                "lines two counts are right (a ridge grazed or passed by a hair, an end at an edge); minutiae "
                "%.2f to %.2f per mm2\n",
                share(overall.ridges, overall.lines), fewestMm, mostMm,
                100 * share(overall.open, overall.lines),
                *std::min_element(density.begin(), density.end()),
                *std::max_element(density.begin(), density.end()));

    auto target = [&](const QString& figure, double value, const char* unit, bool atLeast, double goal) {
        const bool ok = atLeast ? value >= goal : value <= goal;
        std::printf("bench ridge-suggest %s: %.3f %s (target %s %g) %s\n", qPrintable(figure), value,
                    unit, atLeast ? ">=" : "<=", goal, ok ? "ok" : "FAIL");
        ++*total;
        *met += ok ? 1 : 0;
    };
    target("exact clean", 100 * share(tallies[0].exact, tallies[0].lines), "%", true, 95);
    target("exact all classes", 100 * share(overall.exact, overall.lines), "%", true, 85);
    target("within one", 100 * share(overall.withinOne, overall.lines), "%", true, 97);
    target("count error", share(overall.error, overall.lines), "ridges", false, 0.2);
    target("under-counts", 100 * share(overall.under, overall.lines), "% of lines", false, 5);
    target("over-counts", 100 * share(overall.over, overall.lines), "% of lines", false, 5);
    target("off centre", share(overall.offCentre, overall.points), "periods", false, 0.2);
    target("suggestion", median(overall.times), "ms a line, flow read", false, 2);
    target("first suggestion", median(firstTimes), "ms on a 1 MP finger", false, 100);
    std::fflush(stdout);

    // The flow of a whole palm at 1000 PPI, read once: its time, what it keeps
    // and the most it needs while reading, against one 8-bit copy of the print.
    QImage palm;
    {
        std::mt19937 random(++seed);
        const Print print = render(grow(FlowModel::palm(random, QSizeF(140, 145)), ++seed), 1000);
        palm = scan(print, classes[4], ++seed);   // unevenly inked
    }
    settle();
    const double copy = double(palm.width()) * palm.height();
    std::vector<double> times, kept, peaks;
    for (int rep = 0; rep < 3; ++rep) {
        // A copy of its own each time, so no flow read before is found.
        const QImage image = palm.copy();
        settle();
        const qint64 before = residentBytes();
        resetPeak();
        std::shared_ptr<const RidgeFlow> flow;
        times.push_back(seconds([&] { flow = RidgeFlow::of(image); }));
        peaks.push_back(double(peakResidentBytes() - before));
        settle();
        kept.push_back(double(residentBytes() - before));
    }
    std::printf("bench ridge-suggest: palm flow on %.1f MP: %.3f s, keeps %.1f MB, needs %.1f MB at "
                "most; one 8-bit copy %.1f MB\n",
                copy / 1e6, median(times), median(kept) / 1e6, median(peaks) / 1e6, copy / 1e6);
    target("palm flow", median(times), "s", false, 1.5);
    target("palm flow memory", std::max(median(kept), median(peaks)) / copy, "8-bit copies", false, 1);
    std::fflush(stdout);
}

}
