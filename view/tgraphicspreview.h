#ifndef TGRAPHICSPREVIEW_H
#define TGRAPHICSPREVIEW_H

#include <QGraphicsView>

class QGraphicsPixmapItem;
class TGraphicsPreviewRect;

// The navigator: a small copy of the displayed print with a frame marking what the
// main view shows; dragging the frame scrolls the main view and the reverse.
class TGraphicsPreview : public QGraphicsView
{
    Q_OBJECT
public:
    explicit TGraphicsPreview(QWidget* parent = nullptr);

    void setView(QGraphicsView* view);
    void setImage(const QImage& image);
    void setItem(QGraphicsItem* item);
    TGraphicsPreviewRect* frame() const { return viewportRect; }
    QGraphicsPixmapItem* preview() const { return previewItem; }

    // The longest side of the navigator's copy; a print is never copied at full size.
    static constexpr int previewSide = 1024;

public slots:
    void fitRect();

private slots:
    void scrollTo(const QPointF& point);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    TGraphicsPreviewRect* viewportRect;
    QGraphicsView* observedView = nullptr;
    QGraphicsPixmapItem* previewItem;
    QGraphicsItem* observedItem = nullptr;
};

#endif
