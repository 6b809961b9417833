#include "analysis/creaseaxis.h"

#include "annotation/geometry.h"

#include <QImage>
#include <QPainter>

#include <opencv2/core.hpp>

#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace creaseaxis {

QRectF maskRect(const QPolygonF& outline, const QRectF& image)
{
    if (outline.size() < 2)
        return QRectF();
    // The outline pen is one pixel wide, so it reaches half a pixel beyond the
    // vertices on every side.
    QRectF r = outline.boundingRect().adjusted(-0.5, -0.5, 0.5, 0.5);
    // Vertices read from a file may lie anywhere; the mask never reaches past the
    // print, so its cost is bounded by the print's size.
    if (!image.isEmpty())
        r = r.intersected(image);
    if (r.width() <= 0 || r.height() <= 0)
        return QRectF();
    const QSize size = r.size().toSize();
    if (size.isEmpty() || qint64(size.width()) * size.height() > maxMaskPixels)
        return QRectF();
    return r;
}

// Appends the set pixels of one mask row, left to right. The mask is mostly
// black: with SSE2, 64 pixels are passed over in one step, and of the others
// only the set ones are visited.
static void appendSetPixels(const uchar* line, int width, int y, std::vector<cv::Point>& points)
{
    int x = 0;
#if defined(__SSE2__)
    const __m128i black = _mm_setzero_si128();
    for (; x + 64 <= width; x += 64) {
        const __m128i* sixteen = reinterpret_cast<const __m128i*>(line + x);
        const __m128i any = _mm_or_si128(
            _mm_or_si128(_mm_loadu_si128(sixteen), _mm_loadu_si128(sixteen + 1)),
            _mm_or_si128(_mm_loadu_si128(sixteen + 2), _mm_loadu_si128(sixteen + 3)));
        if (_mm_movemask_epi8(_mm_cmpeq_epi8(any, black)) == 0xffff)
            continue;
        for (int k = 0; k < 4; ++k) {
            const __m128i pixels = _mm_loadu_si128(sixteen + k);
            for (uint set = ~uint(_mm_movemask_epi8(_mm_cmpeq_epi8(pixels, black))) & 0xffffu;
                 set != 0; set &= set - 1)
                points.emplace_back(x + 16 * k + int(qCountTrailingZeroBits(set)), y);
        }
    }
#endif
    for (; x < width; ++x)
        if (line[x])
            points.emplace_back(x, y);
}

// The part of segment inside rect; false when none is.
static bool clip(QLineF& segment, const QRectF& rect)
{
    const QPointF p = segment.p1();
    const QPointF d = segment.p2() - p;
    // Vertices at the ends of the double range: no direction to follow.
    if (!qIsFinite(d.x()) || !qIsFinite(d.y()))
        return false;
    double enter = 0;
    double leave = 1;
    if (!clipToRect(p, d, rect, &enter, &leave))
        return false;
    segment = QLineF(p + enter * d, p + leave * d);
    return true;
}

bool fit(const QPolygonF& outline, const QRectF& image, QLineF* axis)
{
    const QRectF bounds = maskRect(outline, image);
    if (bounds.isEmpty())
        return false;
    // The outline is drawn one pixel wide into an image just large enough for
    // it, so the work grows with the polygon, not with the print. One byte a
    // pixel: the pixels drawn are the same in any format.
    QImage mask(bounds.size().toSize(), QImage::Format_Grayscale8);
    if (mask.isNull())
        return false;
    mask.fill(0);
    {
        QPainter painter(&mask);
        painter.setClipRect(QRectF(QPointF(0, 0), bounds.size()));
        painter.translate(-bounds.topLeft());
        painter.setPen(QPen(Qt::white, 0));
        painter.setBrush(Qt::NoBrush);
        // The rasterizer draws nothing of a line whose ends lie too far out, so the
        // edges of an outline reaching beyond the mask are cut to its neighbourhood
        // first; an outline within it is drawn as it is.
        const QRectF reach = bounds.adjusted(-2, -2, 2, 2);
        if (reach.contains(outline.boundingRect())) {
            painter.drawPolygon(outline);
        } else {
            for (int i = 0; i < outline.size(); ++i) {
                QLineF edge(outline.at(i), outline.at((i + 1) % outline.size()));
                if (clip(edge, reach))
                    painter.drawLine(edge);
            }
        }
    }
    // The outline pixels row by row, as cv::findNonZero lists them.
    std::vector<cv::Point> points;
    points.reserve(size_t(2 * (mask.width() + mask.height())));
    for (int y = 0; y < mask.height(); ++y)
        appendSetPixels(mask.constScanLine(y), mask.width(), y, points);
    // The analysis needs at least one outline pixel.
    if (points.empty())
        return false;
    try {
        // The principal components of the pixels: the eigenvectors of their
        // covariance about their mean, as cv::PCA finds them, without its
        // general matrices. Sums of whole pixel coordinates are exact.
        const int n = int(points.size());
        double sx = 0;
        double sy = 0;
        for (const cv::Point& p : points) {
            sx += p.x;
            sy += p.y;
        }
        const double mx = sx * (1.0 / n);
        const double my = sy * (1.0 / n);
        double sxx = 0;
        double sxy = 0;
        double syy = 0;
        for (const cv::Point& p : points) {
            const double dx = p.x - mx;
            const double dy = p.y - my;
            sxx += dx * dx;
            sxy += dx * dy;
            syy += dy * dy;
        }
        cv::Matx21d spreads;
        cv::Matx22d directions;
        cv::eigen(cv::Matx22d(sxx, sxy, sxy, syy), spreads, directions);
        // The outermost pixels along the first component, and the points of
        // the axis there.
        const double ex = directions(0, 0);
        const double ey = directions(0, 1);
        double m = 0;
        double M = 0;
        for (int i = 0; i < n; ++i) {
            const double t = (points[size_t(i)].x - mx) * ex + (points[size_t(i)].y - my) * ey;
            if (i == 0 || t < m)
                m = t;
            if (i == 0 || t > M)
                M = t;
        }
        *axis = QLineF(bounds.x() + (m * ex + mx), bounds.y() + (m * ey + my),
                       bounds.x() + (M * ex + mx), bounds.y() + (M * ey + my));
        return true;
    } catch (const cv::Exception&) {
        return false;
    }
}

}
