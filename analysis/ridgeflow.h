#ifndef RIDGEFLOW_H
#define RIDGEFLOW_H

#include <QImage>
#include <QPointF>
#include <QSize>

#include <memory>
#include <vector>

// The ridge flow of a print: the ridges' local direction and how clearly it
// shows, the local ridge period, and where the print's ridges are at all
// (paper and smudges are not), read once per image on a copy reduced to a few
// pixels a ridge and shared by every line counted on it.
class RidgeFlow
{
public:
    // The flow of image: the one already read for these pixels (every copy of
    // one scan has the same cacheKey), or read now. The flows of the last few
    // images read are kept; an image gone is forgotten once others are read.
    static std::shared_ptr<const RidgeFlow> of(const QImage& image);

    // At p in the image's pixel coordinates, interpolated between blocks about
    // a ridge period wide:
    // the ridges' direction as a unit vector (its sign means nothing),
    QPointF along(const QPointF& p) const;
    // how much the gradients there agree on it, 0 to 1,
    double coherence(const QPointF& p) const;
    // the distance from one ridge to the next, in pixels,
    double period(const QPointF& p) const;
    // and whether ridges are seen there, 0 (paper, smudge) to 1.
    double foreground(const QPointF& p) const;

    // The median period over the print's ridges, pixels; 0 when none is seen.
    double typicalPeriod() const { return typical; }
    // The image pixels per pixel of the reduced copy the flow was read from.
    int reduction() const { return factor; }
    QSize imageSize() const { return size; }
    // Bytes held.
    size_t memory() const;

    explicit RidgeFlow(const QImage& image);

private:
    struct Sample {
        double c2, s2, coherence, period, foreground;
    };
    Sample at(const QPointF& p) const;

    QSize size;
    int factor = 1;
    int block = 1;   // image pixels a block
    int columns = 0;
    int rows = 0;
    double typical = 0;
    // Per block: the doubled angle of the ridges' direction (cos, sin),
    // coherence, period in image pixels, foreground.
    std::vector<float> c2, s2, agreement, spacing, ridged;
};

#endif
