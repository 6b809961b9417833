#include "view/screenshot.h"

#include "view/tglyphview.h"
#include "view/timageitem.h"

#include <QGraphicsScene>
#include <QPainter>

namespace screenshot {

QPixmap render(QGraphicsScene* scene, const QRectF& sceneRect, const QRectF& selection,
               double zoom)
{
    // An outline read from a file may reach anywhere; a scene's size beyond the
    // print is as far as the rounding below needs to see.
    const QRectF s = selection.intersected(sceneRect.adjusted(
        -sceneRect.width(), -sceneRect.height(), sceneRect.width(), sceneRect.height()));
    const QRect whole(QPoint(0, 0), (sceneRect.size() * zoom).toSize());
    QRect part = whole;
    if (!s.isEmpty()) {
        const QRect wanted((s.topLeft() * zoom).toPoint(), (s.size() * zoom).toSize() + QSize(5, 5));
        if (whole.intersects(wanted))
            part = whole.intersected(wanted);
    }
    // Two pixels more on each side keep the outline lying on the part's edge from
    // being cut, which would draw it otherwise.
    const QRect drawn = part.adjusted(-2, -2, 2, 2);
    QPixmap rendered(drawn.size());
    rendered.fill(Qt::white);
    {
        QPainter painter(&rendered);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(-drawn.topLeft());
        scene->render(&painter, QRectF(whole), sceneRect, Qt::KeepAspectRatio);
    }
    return rendered.copy(QRect(QPoint(2, 2), part.size()));
}

QPixmap of(TGlyphView* view, double zoom)
{
    const int tone = view->pixmapItem()->tone();
    view->pixmapItem()->setTone(TImageItem::Natural);
    const QPixmap shot = render(view->glyphScene(), view->sceneRect(), view->selectionRect(), zoom);
    view->pixmapItem()->setTone(tone);
    return shot;
}

}
