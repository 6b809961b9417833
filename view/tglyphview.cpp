#include "view/tglyphview.h"

#include "annotation/sectionformat.h"
#include "annotation/sectionwriter.h"
#include "annotation/tglyphrecord.h"
#include "scan/printgeometry.h"
#include "scan/printimage.h"
#include "view/tgraphicsvertexitem.h"
#include "view/trcline.h"

#include <QGraphicsPolygonItem>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextStream>
#include <QVector2D>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>
#include <limits>

static QPen dashedPen(const QColor& color)
{
    // Width 0: the outline's bounding rectangle is the clicked points' own.
    QPen pen(color, 0);
    pen.setCosmetic(true);
    pen.setStyle(Qt::DashLine);
    return pen;
}

TGlyphView::TGlyphView(QWidget* parent)
    : QGraphicsView(parent),
      scene(new QGraphicsScene(this))
{
    setScene(scene);
    imageItem = new TImageItem;
    scene->addItem(imageItem);
    selectionItem = scene->addPolygon(QPolygonF(), dashedPen(Qt::green));
    selectionRectItem = scene->addRect(QRectF(0, 0, 0, 0), dashedPen(Qt::red));
    setBackgroundBrush(QBrush(QPixmap(":/images/back.png")));
    // The tiled background is drawn once per view size, not at every repaint.
    setCacheMode(QGraphicsView::CacheBackground);
    setInteractive(true);
    calibrationLine = scene->addLine(QLineF(), dashedPen(Qt::magenta));
    calibrationLine->setZValue(3000);
    calibrationLine->hide();
}

TGlyphView::~TGlyphView()
{
    qDeleteAll(selectionMarkers);
}

QTransform TGlyphView::displayTransform() const
{
    QTransform t;
    t.rotate(angle, Qt::ZAxis);
    if (flipped)
        t.scale(-1, 1);
    return QPixmap::trueMatrix(t, workingPixmap.width(), workingPixmap.height());
}

void TGlyphView::showImage(const QImage& image, const QString& fileName)
{
    imageFileName = fileName;
    // No conversion: the pixmap shares the decoded pixels with every other slot.
    workingPixmap = QPixmap::fromImage(printimage::forDisplay(image), Qt::NoFormatConversion);
    importedPixmap = workingPixmap;
    cropOffset = QPoint();
    imageItem->setImage(workingPixmap);
    xPpi = image.isNull() ? 0 : image.logicalDpiX();
    yPpi = image.isNull() ? 0 : image.logicalDpiY();
    setSceneRect(imageItem->sceneBoundingRect());
    QGraphicsView::fitInView(imageItem, Qt::KeepAspectRatio);
    emit sceneRectChanged(imageItem->sceneBoundingRect());
    emit ppichanged(int(xPpi), int(yPpi));
}

bool TGlyphView::openImage(const QString& fileName, QString* error)
{
    const QImage image = printimage::load(fileName, error);
    showImage(image, fileName);
    return !image.isNull();
}

void TGlyphView::setImage(const QImage& image, const QString& fileName)
{
    showImage(image, fileName);
}

QImage TGlyphView::currentImage() const
{
    return imageItem->pixmap().toImage();
}

QRectF TGlyphView::selectionRect() const
{
    return selectionRectItem->rect();
}

void TGlyphView::showSelection(const QPolygonF& shown)
{
    for (int i = 0; i < selectionMarkers.size() && i < shown.size(); ++i)
        selectionMarkers.at(i)->setPos(shown.at(i));
    selectionItem->setPolygon(shown);
    selectionRectItem->setRect(selectionItem->boundingRect());
}

void TGlyphView::clearSelection()
{
    selection.clear();
    selectionItem->setPolygon(selection);
    selectionRectItem->setRect(QRectF(0, 0, 0, 0));
    selectionItem->setVisible(true);
    selectionRectItem->setVisible(true);
    qDeleteAll(selectionMarkers);
    selectionMarkers.clear();
}

void TGlyphView::addSelectionPoint(const QPointF& point)
{
    // Points are kept in the coordinates of the cropped-to image, whatever the
    // display shows, so the crop cuts what the user outlined on screen.
    bool invertible = true;
    const QTransform toImage = displayTransform().inverted(&invertible);
    selection.append(invertible ? toImage.map(point) : point);
    addSelectionMarker(point);
    showSelection(displayTransform().map(selection));
}

void TGlyphView::addSelectionMarker(const QPointF& shown)
{
    auto* marker = new TGraphicsVertexItem;
    scene->addItem(marker);
    marker->setPos(shown);
    marker->setMarkerBrush(Qt::NoBrush);
    QPen pen(Qt::green);
    pen.setCosmetic(true);
    marker->setMarkerPen(pen);
    selectionMarkers.append(marker);
}

void TGlyphView::restoreSelection(const QPolygonF& polygon)
{
    if (polygon == selection)
        return;
    clearSelection();
    selection = polygon;
    const QPolygonF shown = displayTransform().map(selection);
    for (const QPointF& p : shown)
        addSelectionMarker(p);
    showSelection(shown);
}

void TGlyphView::selectCrop(bool select)
{
    selecting = select;
}

void TGlyphView::cancelSelection()
{
    clearSelection();
}

void TGlyphView::crop()
{
    applyCrop(true);
    emit cropped();
}

void TGlyphView::applyCrop(bool mapMarks)
{
    cropPolygon = selection;
    const QRectF r = selection.boundingRect();
    // Cut from the image in place, since QPixmap::copy would make a 32-bit copy
    // of a gray print.
    const QRect cut = printgeometry::cropRect(workingPixmap.size(), selection);
    const QTransform before = displayTransform();
    workingPixmap = QPixmap::fromImage(printimage::cut(workingPixmap.toImage(), cut),
                                       Qt::NoFormatConversion);
    cropOffset += cut.topLeft();
    selecting = false;
    selection.translate(-r.topLeft());
    if (angle == 0 && !flipped) {
        imageItem->setImage(workingPixmap);
        setSceneRect(imageItem->boundingRect());
        emit sceneRectChanged(imageItem->sceneBoundingRect());
        showSelection(selection);
    } else {
        // A crop made on a turned or mirrored display stays turned and mirrored,
        // so the annotation placed afterwards sits where it reads back from file.
        updateTransform();
    }
    if (mapMarks)
        displayChanged(before, QTransform::fromTranslate(-cut.left(), -cut.top()));
}

QTransform TGlyphView::imageToScene() const
{
    return QTransform::fromTranslate(-cropOffset.x(), -cropOffset.y()) * displayTransform();
}

void TGlyphView::fitInView()
{
    QGraphicsView::fitInView(imageItem, Qt::KeepAspectRatio);
}

void TGlyphView::rotate(int value)
{
    const QTransform before = displayTransform();
    angle = value;
    updateTransform();
    displayChanged(before);
}

void TGlyphView::flip(bool value)
{
    const QTransform before = displayTransform();
    flipped = value;
    updateTransform();
    displayChanged(before);
}

void TGlyphView::displayChanged(const QTransform& before, const QTransform& shift)
{
    // Scene coordinates are pixels of the display; each mark stays on the image
    // pixel it was placed on.
    bool invertible = false;
    const QTransform toImage = before.inverted(&invertible);
    if (!invertible)
        return;
    const QTransform oldToNew = toImage * shift * displayTransform();
    if (!oldToNew.isIdentity())
        mapAnnotation(oldToNew);
}

void TGlyphView::mapAnnotation(const QTransform&)
{
}

void TGlyphView::updateTransform()
{
    // The item turns the image as it paints it; the pixels are never copied.
    imageItem->setImage(workingPixmap, printgeometry::turn(angle, flipped));
    setSceneRect(QRectF(imageItem->boundingRect().toRect()));
    showSelection(displayTransform().map(selection));
    emit sceneRectChanged(imageItem->sceneBoundingRect());
    QGraphicsView::fitInView(imageItem, Qt::KeepAspectRatio);
}

void TGlyphView::reset()
{
    workingPixmap = QPixmap();
    importedPixmap = QPixmap();
    cropOffset = QPoint();
    angle = 0;
    flipped = false;
    cropPolygon.clear();
    clearSelection();
    imageItem->setImage(QPixmap());
    imageFileName.clear();
    selecting = false;
    xPpi = 0;
    yPpi = 0;
}

void TGlyphView::setXDpi(int ppi)
{
    xPpi = ppi;
}

void TGlyphView::setYDpi(int ppi)
{
    yPpi = ppi;
}

void TGlyphView::calibrate(bool value)
{
    calibrating = value;
    calibrationStart = QPointF(0, 0);
    calibrationStarted = false;
    calibrationLine->hide();
    // The line follows the pointer between the two clicks.
    viewport()->setMouseTracking(value);
}

bool TGlyphView::calibrationPress(const QPointF& scenePos)
{
    if (!calibrating)
        return false;
    // Its own flag, not the point: a first click may well be at (0, 0).
    if (!calibrationStarted) {
        calibrationStart = scenePos;
        calibrationStarted = true;
        calibrationLine->setLine(QLineF(scenePos, scenePos));
        calibrationLine->show();
        return true;
    }
    const float distance = QVector2D(calibrationStart).distanceToPoint(QVector2D(scenePos));
    calibrate(false);
    emit calibrated(distance);
    return true;
}

void TGlyphView::loadImageState(const TGlyphRecord& record)
{
    // A section that names another scan than the one shown brings that scan.
    if (!record.src.isEmpty() && record.src != imageFileName)
        openImage(record.src);
    const QPolygonF outline = QPolygonF(record.crop);
    if (outline == cropPolygon && record.angle == angle && record.flip == flipped)
        return;
    const QTransform before = imageToScene();
    // Crop points are stored in the coordinates of the unturned image; they are
    // replayed on the image as it came, whatever the display showed before.
    workingPixmap = importedPixmap;
    cropOffset = QPoint();
    cropPolygon.clear();
    clearSelection();
    angle = 0;
    flipped = false;
    for (const QPointF& p : outline)
        addSelectionPoint(p);
    if (!outline.isEmpty())
        applyCrop(false);
    selecting = false;
    angle = record.angle;
    flipped = record.flip;
    updateTransform();
    bool invertible = false;
    const QTransform back = before.inverted(&invertible);
    if (invertible && !(back * imageToScene()).isIdentity())
        mapAnnotation(back * imageToScene());
    if (!outline.isEmpty())
        emit cropped();
}

void TGlyphView::recordImageState(TGlyphRecord& record) const
{
    record.src = imageFileName;
    record.xPpi = xPpi;
    record.yPpi = yPpi;
    record.crop = cropPolygon;
    record.angle = angle;
    record.flip = flipped;
}

void TGlyphView::writeImageState(QTextStream& out, bool saveImage) const
{
    TGlyphRecord record;
    recordImageState(record);
    sectionwriter::writeHead(out, record, saveImage);
}

void TGlyphView::keepUnder(const QPoint& anchor, const std::function<void()>& change)
{
    const QPointF under = mapToScene(anchor);
    change();
    const QPoint moved = mapFromScene(under) - anchor;
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() + moved.x());
    verticalScrollBar()->setValue(verticalScrollBar()->value() + moved.y());
}

void TGlyphView::wheelEvent(QWheelEvent* event)
{
    // Shift and the wheel scroll; the wheel alone (or with Ctrl) zooms about the
    // pointer, as image viewers do.
    if (event->modifiers() & Qt::ShiftModifier) {
        const QPoint delta = event->angleDelta();
        const bool across = delta.y() == 0;
        QScrollBar* bar = across ? horizontalScrollBar() : verticalScrollBar();
        bar->setValue(bar->value() - (across ? delta.x() : delta.y()) * bar->singleStep() * 3 / 120);
        event->accept();
        return;
    }
    // One notch (120) zooms by a quarter.
    const double notches = event->angleDelta().y() / 120.0;
    if (notches != 0)
        emit zoomRequested(std::pow(1.25, notches), event->position().toPoint());
    event->accept();
}

bool TGlyphView::navigationEvent(QEvent* event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() == Qt::MiddleButton
            || (mouse->button() == Qt::LeftButton && spaceHeld)) {
            panning = true;
            panOrigin = mouse->pos();
            viewport()->setCursor(Qt::ClosedHandCursor);
            return true;
        }
        return false;
    }
    case QEvent::MouseMove: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        if (panning) {
            const QPoint delta = mouse->pos() - panOrigin;
            panOrigin = mouse->pos();
            horizontalScrollBar()->setValue(horizontalScrollBar()->value() - delta.x());
            verticalScrollBar()->setValue(verticalScrollBar()->value() - delta.y());
            return true;
        }
        if (calibrationStarted)
            calibrationLine->setLine(QLineF(calibrationStart, mapToScene(mouse->pos())));
        return false;
    }
    case QEvent::MouseButtonRelease:
        if (!panning)
            return false;
        panning = false;
        viewport()->unsetCursor();
        return true;
    default:
        return false;
    }
}

bool TGlyphView::viewportEvent(QEvent* event)
{
    if (navigationEvent(event))
        return true;
    const QEvent::Type type = event->type();
    if (type == QEvent::MouseButtonPress || type == QEvent::MouseButtonDblClick
        || type == QEvent::MouseButtonRelease)
        return asEdit([&] { return QGraphicsView::viewportEvent(event); });
    return QGraphicsView::viewportEvent(event);
}

bool TGlyphView::event(QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Space) {
            if (!key->isAutoRepeat())
                spaceHeld = type == QEvent::KeyPress;
            viewport()->setCursor(spaceHeld ? Qt::OpenHandCursor : Qt::ArrowCursor);
            return true;
        }
    }
    if (type == QEvent::KeyPress)
        return asEdit([&] { return QGraphicsView::event(event); });
    return QGraphicsView::event(event);
}

bool TGlyphView::asEdit(const std::function<bool()>& handle)
{
    emit editStarted();
    const bool handled = handle();
    emit editFinished();
    return handled;
}

void TGlyphView::mouseDoubleClickEvent(QMouseEvent* event)
{
    mousePressEvent(event);
}

void TGlyphView::startLandmarkDrag(QMouseEvent* event)
{
    dragPending = true;
    dragOrigin = event->pos();
    QGraphicsView::mousePressEvent(event);
}

void TGlyphView::mouseMoveEvent(QMouseEvent* event)
{
    // A click's jitter must not move the landmark, and with it its counted lines.
    if (dragPending) {
        if ((event->pos() - dragOrigin).manhattanLength() <= TRCLine::clickTolerance)
            return;
        dragPending = false;
    }
    QGraphicsView::mouseMoveEvent(event);
}

void TGlyphView::mouseReleaseEvent(QMouseEvent* event)
{
    dragPending = false;
    QGraphicsView::mouseReleaseEvent(event);
}

void TGlyphView::resizeEvent(QResizeEvent* event)
{
    emit resized();
    QGraphicsView::resizeEvent(event);
}
