#ifndef SYNTHETICPRINT_H
#define SYNTHETICPRINT_H

#include "synth/flowmodel.h"
#include "synth/synthtypes.h"

#include <QImage>

#include <opencv2/core.hpp>

#include <vector>

// Synthetic prints that look like skin: ridges grown from noise along a
// FlowModel by repeated Gabor filtering (so they end, fork and run close
// together by themselves, as published print generators make them), drawn at
// a scanner's resolution, then damaged the ways inking and scanning damage
// real prints. Each print keeps its truth: the undamaged ridges and the
// model's cores and triradii. Every random choice comes from the seed.
namespace synth {

// Ridges grown once per skin, at a coarse resolution of about six pixels a
// ridge, and drawn from there at any resolution.
struct Skin {
    FlowModel model;
    double pixelsPerMm = 0;
    cv::Mat field;   // CV_32F, band-passed ridge signal: a ridge where above level
    cv::Mat level;   // CV_32F, the threshold, varying so ridge widths vary
};

Skin grow(const FlowModel& model, quint32 seed);

// A skin drawn at ppi, undamaged.
struct Print {
    FlowModel model;
    int ppi = 0;
    double pixelsPerMm = 0;
    // 255 on a ridge, 0 in a furrow or off the skin: the undamaged ridges.
    QImage ridges;
    // Signed distance to the nearest ridge edge, pixels: positive on a ridge.
    cv::Mat depth;
    // The same from the grown signal, to a fraction of a pixel near the edges:
    // what the ink is drawn from.
    cv::Mat edge;

    // In pixels of this print.
    std::vector<SingularPoint> singularPoints() const;
    double period(const QPointF& p) const;
    double orientation(const QPointF& p) const;
    double inside(const QPointF& p) const;   // pixels inside the skin's outline
    QPointF toPixels(const QPointF& mm) const { return mm * pixelsPerMm; }
    QPointF toMm(const QPointF& pixels) const { return pixels / pixelsPerMm; }
};

Print render(const Skin& skin, int ppi);

// How a print was inked and scanned. Clean is none of them; combined is every
// one of the first seven at once.
struct Damage {
    const char* name;
    bool faint, noisy, blurred, uneven, broken, dots, pores, overInked, dry;
};
const std::vector<Damage>& damages();

// The print as a gray scan (Grayscale8, with the print's resolution): paper
// near 225, ridges darker.
QImage scan(const Print& print, const Damage& damage, quint32 seed);

// Ridge endings and forks of the undamaged ridges per square millimetre of
// skin, from their thinned lines (crossing numbers 1 and 3): how busy the
// ridges are, to compare with real prints.
double minutiaeDensity(const Print& print);

}

#endif
