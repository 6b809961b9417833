#ifndef TGRAPHICSPREVIEW_H
#define TGRAPHICSPREVIEW_H

#include <QGraphicsView>

class QGraphicsPixmapItem;
class TGraphicsPreviewRect;
class TImageItem;

// The navigator: a small copy of the displayed print with a frame marking what the
// main view shows; dragging the frame scrolls the main view and the reverse.
class TGraphicsPreview : public QGraphicsView
{
    Q_OBJECT
public:
    explicit TGraphicsPreview(QWidget* parent = nullptr);

    void setView(QGraphicsView* view);
    void setImage(const QImage& image);
    // Shows reduced, a copy already made small, over the size of the print it was
    // reduced from.
    void setPreview(const QImage& reduced, const QSizeF& size);
    // Shows the print as item displays it. The small copy is made once the
    // navigator is on screen, so editors that stay hidden (every slot an import or
    // Open fills) make none, and one that is refreshed often makes one when shown.
    void showImageOf(const TImageItem* item);
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
    void showEvent(QShowEvent* event) override;

private:
    void makePreview();

    TGraphicsPreviewRect* viewportRect;
    QGraphicsView* observedView = nullptr;
    QGraphicsPixmapItem* previewItem;
    QGraphicsItem* observedItem = nullptr;
    const TImageItem* pendingImage = nullptr;
};

#endif
