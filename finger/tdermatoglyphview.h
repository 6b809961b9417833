#ifndef TDERMATOGLYPHVIEW_H
#define TDERMATOGLYPHVIEW_H

#include "annotation/tlandmark.h"
#include "view/tglyphview.h"

#include <QList>
#include <QPolygonF>

class QGraphicsLineItem;
class QGraphicsPolygonItem;
class QGraphicsScene;
class QTextStream;
class TFingerSettings;
class TGlyphRecord;
class TGraphicsVertexItem;
class TRCLine;

// The view of one finger print with its annotation tools: cores and triradii,
// the ridge-count lines between them, radiants and central lines traced from
// them, and the flexion crease with its fitted axis and the perpendiculars that
// place every landmark relative to it.
class TDermatoglyphView : public TGlyphView
{
    Q_OBJECT
public:
    explicit TDermatoglyphView(QWidget* parent = nullptr);
    ~TDermatoglyphView() override;

    TGraphicsVertexItem* addLandmark(const QPointF& point, TLandmark landmark);
    void loadAnnotation(const TGlyphRecord& record);
    // Removes every mark but keeps the image, ready for loadAnnotation to put the
    // annotation back; the line being traced goes on after that load.
    void clearAnnotation();
    // Brings the marks from now to target where both have every landmark and the
    // crease outline at the same place, touching only what differs; false
    // (nothing done) otherwise.
    bool updateAnnotation(const TGlyphRecord& now, const TGlyphRecord& target);

    // Writes the finger section; the image element only when saveImage is set.
    void save(QTextStream& out, TFingerSettings* settings, bool saveImage = false);
    // Writes a stand-alone file (declaration and section); a failure is reported
    // to the user and leaves an existing file of that name as it was.
    bool save(const QString& fileName, TFingerSettings* settings, bool saveImage = false);

    QPolygonF flexionOutline() const { return flexionPolygon; }
    QList<TGraphicsVertexItem*> flexionVertexItems() const { return flexionVertices; }
    QGraphicsPolygonItem* flexionAreaItem() const { return flexionArea; }
    QGraphicsPolygonItem* flexionMaskItem() const { return flexionMask; }
    QGraphicsScene* flexionMaskScene() const { return flexionScene; }
    // The fitted crease axis; a null line while there is none.
    QLineF flexionAxis() const;
    bool hasFlexionAxis() const;
    TGraphicsVertexItem* flexionStartItem() const { return flexionStart; }
    TGraphicsVertexItem* flexionEndItem() const { return flexionEnd; }
    QList<QGraphicsLineItem*> corePerpendicularItems() const { return corePerpendiculars; }
    QList<QGraphicsLineItem*> triradiusPerpendicularItems() const { return triradiusPerpendiculars; }
    QList<TGraphicsVertexItem*> coreItems() const { return cores; }
    QList<TGraphicsVertexItem*> triradiusItems() const { return triradia; }
    QGraphicsLineItem* coreCoreLineItem() const { return coreCoreLine; }
    QGraphicsLineItem* triradiusTriradiusLineItem() const { return triradiusTriradiusLine; }
    TRCLine* coreCoreCountLine() const { return coreCoreCount; }
    QList<QGraphicsLineItem*> coreTriradiusLineItems() const { return coreTriradiusLines; }
    QList<TRCLine*> coreTriradiusCountLines() const { return coreTriradiusCounts; }
    TGraphicsVertexItem* tracedLandmark() const { return currentVertex; }
    bool isPaintingFlex() const { return paintingFlex; }
    bool isAddingPoints() const { return addingPoints; }
    bool isAddingCores() const { return addingCores; }
    bool isAddingTriradia() const { return addingTriradia; }
    bool isAddingRidgePoints() const { return addingRidgePoints; }
    bool isAddingRadiants() const { return addingRadiants; }
    bool isAddingCentralLines() const { return addingCentralLines; }

signals:
    void count(int cores, int triradia);

public slots:
    void paintFlex(bool paint);
    void addPoints(bool add);
    void addCores(bool add);
    void addTriradia(bool add);
    void addRidgePoints(bool add);
    void addRadiants(bool add);
    void addCentralLines(bool add);

    void addPoint(const QPointF& point, const QPoint& globalPos);
    void addCore(const QPointF& point, const QPoint& globalPos);
    void addTriradium(const QPointF& point, const QPoint& globalPos);

    void connectPoints();
    void addVertex(const QPointF& vertex);
    void addPerpendicularLines();

    void cancelFlexionLine();
    void cancelCores();
    void cancelTriradia();
    void cancelLandmarks();
    void cancelRidgePoints();
    // Every counted line takes the ridge points the print suggests for it.
    void suggestRidgePoints();
    void cancelRadiants();
    void cancelCentralLines();
    void reset() override;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mapAnnotation(const QTransform& oldToNew) override;

private:
    void setLandmarksMovable(const QList<TGraphicsVertexItem*>& landmarks, bool movable);
    void deleteCoreLines();
    void deleteTriradiusLines();
    void deleteCoreTriradiusLines();
    void deleteLandmarks(QList<TGraphicsVertexItem*>& landmarks);
    void clearFlexionAxis();
    // Shows the outline and fits the axis to it again.
    void refitFlexion();
    // A vertex and its marker, without a new fit.
    void appendVertex(const QPointF& vertex);
    void rightPress(QMouseEvent* event, const QPointF& scenePos);
    void landmarkPress(QMouseEvent* event, const QPointF& scenePos,
                       void (TDermatoglyphView::*menu)(const QPointF&, const QPoint&));
    TRCLine* countLineAt(const QPointF& scenePos) const;

    QGraphicsScene* flexionScene;
    QGraphicsPolygonItem* flexionArea;
    QGraphicsPolygonItem* flexionMask;
    QGraphicsLineItem* flexionLine;
    QPolygonF flexionPolygon;
    QList<TGraphicsVertexItem*> flexionVertices;
    QList<TGraphicsVertexItem*> cores;
    QList<TGraphicsVertexItem*> triradia;
    QList<QGraphicsLineItem*> corePerpendiculars;
    QList<QGraphicsLineItem*> triradiusPerpendiculars;
    QGraphicsLineItem* coreCoreLine = nullptr;
    QGraphicsLineItem* triradiusTriradiusLine = nullptr;
    TRCLine* coreCoreCount = nullptr;
    QList<QGraphicsLineItem*> coreTriradiusLines;
    QList<TRCLine*> coreTriradiusCounts;
    TGraphicsVertexItem* flexionStart;
    TGraphicsVertexItem* flexionEnd;
    TGraphicsVertexItem* currentVertex = nullptr;
    // Which landmark was being traced when the annotation was cleared for a
    // reload (index into cores, or into triradia past them), and how many lines it
    // had then; -1 when none.
    int resumeLandmark = -1;
    int resumeLines = 0;
    bool paintingFlex = false;
    bool addingPoints = false;
    bool addingCores = false;
    bool addingTriradia = false;
    bool addingRidgePoints = false;
    bool addingRadiants = false;
    bool addingCentralLines = false;
};

#endif
