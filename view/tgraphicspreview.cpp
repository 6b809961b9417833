#include "view/tgraphicspreview.h"

#include "view/tgraphicspreviewrect.h"
#include "view/timageitem.h"

#include <QGraphicsPixmapItem>
#include <QGraphicsScene>
#include <QScrollBar>

TGraphicsPreview::TGraphicsPreview(QWidget* parent)
    : QGraphicsView(parent)
{
    auto* previewScene = new QGraphicsScene(this);
    setScene(previewScene);
    previewItem = previewScene->addPixmap(QPixmap());
    previewItem->setZValue(1);
    previewItem->setTransformationMode(Qt::SmoothTransformation);
    // Fitting asks for the shape; a mask traced from a turned copy's corners
    // would cost more than the copy itself.
    previewItem->setShapeMode(QGraphicsPixmapItem::BoundingRectShape);
    viewportRect = new TGraphicsPreviewRect;
    viewportRect->setZValue(2);
    // No frame until there is a view whose visible part it can show.
    viewportRect->hide();
    previewScene->addItem(viewportRect);
    setBackgroundBrush(QBrush(QPixmap(":/images/back.png")));
    connect(viewportRect, &TGraphicsPreviewRect::itemMoved, this, &TGraphicsPreview::scrollTo);
}

void TGraphicsPreview::setView(QGraphicsView* view)
{
    if (observedView) {
        disconnect(observedView->horizontalScrollBar(), &QScrollBar::valueChanged, this,
                   &TGraphicsPreview::fitRect);
        disconnect(observedView->verticalScrollBar(), &QScrollBar::valueChanged, this,
                   &TGraphicsPreview::fitRect);
    }
    observedView = view;
    viewportRect->hide();
    if (!view)
        return;
    scene()->setSceneRect(view->sceneRect());
    fitRect();
    viewportRect->show();
    connect(view->horizontalScrollBar(), &QScrollBar::valueChanged, this,
            &TGraphicsPreview::fitRect);
    connect(view->verticalScrollBar(), &QScrollBar::valueChanged, this,
            &TGraphicsPreview::fitRect);
}

void TGraphicsPreview::setImage(const QImage& image)
{
    pendingImage = nullptr;
    QImage small = image;
    if (image.width() > previewSide || image.height() > previewSide)
        small = image.scaled(previewSide, previewSide, Qt::KeepAspectRatio, Qt::FastTransformation);
    setPreview(small, image.size());
}

void TGraphicsPreview::setPreview(const QImage& reduced, const QSizeF& size)
{
    // The reduced copy is scaled back up to the print's size, so the navigator
    // frames the same scene coordinates without holding a full-size copy.
    previewItem->setPixmap(QPixmap::fromImage(reduced, Qt::NoFormatConversion));
    previewItem->setScale(reduced.isNull() || reduced.width() == 0
                              ? 1.0 : size.width() / reduced.width());
    QGraphicsView::fitInView(previewItem, Qt::KeepAspectRatio);
}

void TGraphicsPreview::showImageOf(const TImageItem* item)
{
    pendingImage = item;
    if (isVisible())
        makePreview();
}

void TGraphicsPreview::makePreview()
{
    const TImageItem* item = pendingImage;
    pendingImage = nullptr;
    if (item)
        setPreview(item->reducedImage(previewSide), item->boundingRect().size());
}

void TGraphicsPreview::setItem(QGraphicsItem* item)
{
    observedItem = item;
}

void TGraphicsPreview::fitRect()
{
    if (!observedView || !observedItem)
        return;
    const QTransform inv = observedView->transform().inverted();
    QRectF r = QRectF(inv.mapRect(observedView->viewport()->rect()));
    r = r & observedItem->sceneBoundingRect();
    viewportRect->setRect(r);
    const QPoint p = inv.map(QPoint(observedView->horizontalScrollBar()->value(),
                                    observedView->verticalScrollBar()->value()));
    viewportRect->setPos(p);
}

void TGraphicsPreview::scrollTo(const QPointF& point)
{
    if (!observedView)
        return;
    const QTransform m = observedView->transform();
    observedView->horizontalScrollBar()->setValue(int(m.m11() * point.x() + 0.5));
    observedView->verticalScrollBar()->setValue(int(m.m22() * point.y() + 0.5));
}

void TGraphicsPreview::showEvent(QShowEvent* event)
{
    QGraphicsView::showEvent(event);
    if (pendingImage) {
        makePreview();
        fitRect();
    }
}

void TGraphicsPreview::resizeEvent(QResizeEvent* event)
{
    QGraphicsView::fitInView(previewItem, Qt::KeepAspectRatio);
    QGraphicsView::resizeEvent(event);
}
