#include "finger/creaseaxis.h"

#include <QImage>
#include <QPainter>

#include <opencv2/core.hpp>

#include <vector>

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

bool fit(const QPolygonF& outline, const QRectF& image, QLineF* axis)
{
    const QRectF bounds = maskRect(outline, image);
    if (bounds.isEmpty())
        return false;
    // The outline is drawn one pixel wide into an image just large enough for
    // it, so the work grows with the polygon, not with the print.
    QImage mask(bounds.size().toSize(), QImage::Format_RGB32);
    if (mask.isNull())
        return false;
    mask.fill(Qt::black);
    {
        QPainter painter(&mask);
        painter.setClipRect(QRectF(QPointF(0, 0), bounds.size()));
        painter.translate(-bounds.topLeft());
        painter.setPen(QPen(Qt::white));
        painter.setBrush(Qt::NoBrush);
        painter.drawPolygon(outline);
    }
    try {
        const cv::Mat pixels4(mask.height(), mask.width(), CV_8UC4, mask.bits(),
                              size_t(mask.bytesPerLine()));
        std::vector<cv::Mat> channels;
        cv::split(pixels4, channels);
        // findNonZero and the analysis need at least one outline pixel.
        if (channels.empty() || cv::countNonZero(channels[0]) == 0)
            return false;
        cv::Mat points;
        cv::findNonZero(channels[0], points);
        const int n = int(points.total());
        cv::Mat data(n, 2, CV_64F, cv::Scalar(1.0));
        for (int i = 0; i < n; ++i) {
            const cv::Point p = points.at<cv::Point>(i);
            data.at<double>(i, 0) = p.x;
            data.at<double>(i, 1) = p.y;
        }
        cv::PCA pca(data, cv::noArray(), cv::PCA::DATA_AS_ROW, 0);
        const cv::Mat projected = pca.project(data);
        double m = 0;
        double M = 0;
        cv::minMaxLoc(projected.col(0), &m, &M);
        cv::Mat ends = cv::Mat::zeros(2, projected.cols, CV_64F);
        ends.at<double>(0, 0) = m;
        ends.at<double>(1, 0) = M;
        const cv::Mat back = pca.backProject(ends);
        *axis = QLineF(bounds.x() + back.at<double>(0, 0), bounds.y() + back.at<double>(0, 1),
                       bounds.x() + back.at<double>(1, 0), bounds.y() + back.at<double>(1, 1));
        return true;
    } catch (const cv::Exception&) {
        return false;
    }
}

}
