#ifndef TGLYPHVIEW_H
#define TGLYPHVIEW_H

#include "view/timageitem.h"

#include <QGraphicsView>
#include <QList>
#include <QPixmap>
#include <QPolygonF>

#include <functional>

class QGraphicsLineItem;
class QGraphicsPolygonItem;
class QGraphicsRectItem;
class QTextStream;
class TGlyphRecord;
class TGraphicsVertexItem;

// The view in which one print is shown and prepared: the image as loaded, as
// cropped and as displayed after rotation and mirror, the crop outline, the
// resolution and the calibration measurement.
class TGlyphView : public QGraphicsView
{
    Q_OBJECT
public:
    explicit TGlyphView(QWidget* parent = nullptr);
    ~TGlyphView() override;

    bool openImage(const QString& fileName, QString* error = nullptr);
    void setImage(const QImage& image, const QString& fileName = QString());
    QImage currentImage() const;
    TImageItem* pixmapItem() const { return imageItem; }
    QRectF selectionRect() const;
    // Brings the print to the crop, rotation and mirror of record, cut anew from
    // the image as it came (or from the scan record names, when another one is
    // named): marks placed on the print move with it and stay on their pixels.
    void loadImageState(const TGlyphRecord& record);
    // The print's state as a record keeps it: image name, resolution, crop
    // outline, rotation and mirror.
    void recordImageState(TGlyphRecord& record) const;
    // Maps pixels of the image as it came onto the scene as the print is shown.
    QTransform imageToScene() const;
    // Shows polygon (in the coordinates of the cropped image, as the selection is
    // kept) as the crop outline being drawn.
    void restoreSelection(const QPolygonF& polygon);

    // Writes the common head of an annotation section: the root's opening tag, the
    // image element when asked, the crop outline and the transform.
    void writeImageState(QTextStream& out, bool saveImage) const;

    QGraphicsScene* glyphScene() const { return scene; }
    QPixmap croppedPixmap() const { return workingPixmap; }
    QPolygonF selectionPolygon() const { return selection; }
    QPolygonF cropOutline() const { return cropPolygon; }
    QList<TGraphicsVertexItem*> selectionMarkerItems() const { return selectionMarkers; }
    QString fileName() const { return imageFileName; }
    bool isSelecting() const { return selecting; }
    bool isCalibrating() const { return calibrating; }
    double horizontalPpi() const { return xPpi; }
    double verticalPpi() const { return yPpi; }
    int rotation() const { return angle; }
    bool isFlipped() const { return flipped; }
    // The transform from the cropped image to the display (rotation and mirror).
    QTransform displayTransform() const;
    // Runs change (a zoom) so that the scene point under anchor (a viewport
    // position) stays under it.
    void keepUnder(const QPoint& anchor, const std::function<void()>& change);
    QGraphicsLineItem* calibrationLineItem() const { return calibrationLine; }

signals:
    void resized();
    void sceneRectChanged(const QRectF& rect);
    void cropped();
    void ppichanged(int xPpi, int yPpi);
    void calibrated(double distance);
    // Around every press, release and key of the examiner, so the editor can take
    // what each one changed as one step.
    void editStarted();
    void editFinished();
    // The wheel: zoom by factor, keeping what lies under the pointer there.
    void zoomRequested(double factor, const QPoint& anchor);

public slots:
    void selectCrop(bool select);
    void crop();
    void fitInView();
    void rotate(int angle);
    void flip(bool flipped);
    virtual void reset();
    void setXDpi(int ppi);
    void setYDpi(int ppi);
    void calibrate(bool calibrate);
    void cancelSelection();

protected slots:
    void addSelectionPoint(const QPointF& point);

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool viewportEvent(QEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    bool event(QEvent* event) override;
    // The second press of a double-click is a press like the first, handled by the
    // same rules; nothing beyond them reaches the scene.
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    // Hands a press on a landmark to the scene, which drags it once the pointer
    // has moved further than a click's jitter.
    void startLandmarkDrag(QMouseEvent* event);
    // The print was turned, mirrored or cropped: oldToNew maps every scene point
    // of the old display onto the same image pixel in the new one. The annotation
    // views move their marks with it.
    virtual void mapAnnotation(const QTransform& oldToNew);
    // The calibration click rule shared by the annotation views: true when the
    // press was taken by a measurement under way.
    bool calibrationPress(const QPointF& scenePos);

    QGraphicsScene* scene;
    QGraphicsPolygonItem* selectionItem;
    TImageItem* imageItem;
    QPixmap workingPixmap;
    // The image as it came, before any crop; crops are cut anew from it.
    QPixmap importedPixmap;
    // Where the crop's cut starts in the image as it came.
    QPoint cropOffset;
    QGraphicsRectItem* selectionRectItem;
    QPolygonF selection;
    QPolygonF cropPolygon;
    QList<TGraphicsVertexItem*> selectionMarkers;
    QString imageFileName;
    bool selecting = false;
    double xPpi = 0;
    double yPpi = 0;
    int angle = 0;
    bool flipped = false;
    bool calibrating = false;
    QPointF calibrationStart;
    // The first point of a measurement is taken, wherever it lies.
    bool calibrationStarted = false;
    // Drawn from the first point of a measurement to the pointer.
    QGraphicsLineItem* calibrationLine = nullptr;
    // Panning with the middle button, or the left one while Space is held.
    bool spaceHeld = false;
    bool panning = false;
    QPoint panOrigin;
    // A landmark press waiting to become a drag, and where it was.
    bool dragPending = false;
    QPoint dragOrigin;

private:
    void updateTransform();
    void displayChanged(const QTransform& before, const QTransform& shift = QTransform());
    void showSelection(const QPolygonF& shown);
    void clearSelection();
    void addSelectionMarker(const QPointF& shown);
    // Runs an event handler between editStarted and editFinished.
    bool asEdit(const std::function<bool()>& handle);
    // Pans, or shows the measurement under way; true when the event was used.
    bool navigationEvent(QEvent* event);
    void showImage(const QImage& image, const QString& fileName);
    // Cuts the print along the selection; with mapMarks the marks follow.
    void applyCrop(bool mapMarks);
};

#endif
