#ifndef SCREENSHOT_H
#define SCREENSHOT_H

#include <QPixmap>
#include <QRectF>

class QGraphicsScene;
class TGlyphView;

// What the editor's screenshot holds: a part of the print with its marks as the
// view draws them at a magnification.
namespace screenshot {

// Renders the part of scene within selection (the whole scene rectangle when
// selection is empty) at zoom, on white. Only that part is drawn, placed where a
// render of the whole scene would have it.
QPixmap render(QGraphicsScene* scene, const QRectF& sceneRect, const QRectF& selection,
               double zoom);
// The screenshot of view's selection at zoom, showing the print as scanned
// whatever tone the eye chose.
QPixmap of(TGlyphView* view, double zoom);

}

#endif
