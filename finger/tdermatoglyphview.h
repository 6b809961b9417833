#ifndef TDERMATOGLYPHVIEW_H
#define TDERMATOGLYPHVIEW_H

#include "annotation/tlandmark.h"
#include "view/tannotationview.h"

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
class TDermatoglyphView : public TAnnotationView
{
    Q_OBJECT
public:
    explicit TDermatoglyphView(QWidget* parent = nullptr);
    ~TDermatoglyphView() override;

    TGraphicsVertexItem* addLandmark(const QPointF& point, TLandmark landmark);
    // Brings the marks to those of record, keeping every landmark that stays (and
    // a trace under way on it) and every counted line whose landmarks stay.
    void loadAnnotation(const TGlyphRecord& record);
    // The marks as a record: image state, crease outline, landmarks with their
    // traced lines, and the ridge points of the counted lines.
    TGlyphRecord record() const;

    // Writes the finger section; the image element only when saveImage is set.
    void save(QTextStream& out, TFingerSettings* settings, bool saveImage = false);
    // Writes a stand-alone file (declaration and section); a failure is reported
    // to the user and leaves an existing file of that name as it was.
    bool save(const QString& fileName, TFingerSettings* settings, bool saveImage = false);

    QList<TGraphicsVertexItem*> landmarks(TLandmark kind) const override;
    QList<TRCLine*> countedLines() const override;

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

signals:
    void count(int cores, int triradia);

public slots:
    void paintFlex(bool paint);
    void addPoints(bool add);

    void addPoint(const QPointF& point, const QPoint& globalPos);
    void addCore(const QPointF& point, const QPoint& globalPos);
    void addTriradium(const QPointF& point, const QPoint& globalPos);

    void connectPoints() override;
    void addVertex(const QPointF& vertex);
    void addPerpendicularLines();

    void cancelFlexionLine();
    void cancelCores();
    void cancelTriradia();
    void cancelLandmarks();
    void reset() override;

protected:
    bool pressFirst(QMouseEvent* event, const QPointF& scenePos) override;
    void mapAnnotation(const QTransform& oldToNew) override;

private:
    // A landmark marker at point, in no list yet.
    TGraphicsVertexItem* makeLandmark(const QPointF& point, TLandmark landmark);
    void deleteCoreLines();
    void deleteTriradiusLines();
    void deleteCoreTriradiusLines();
    void deleteLandmarks(QList<TGraphicsVertexItem*>& landmarks);
    // Every landmark and the lines between them, the count left unsaid.
    void deleteAllLandmarks();
    void clearFlexionAxis();
    // Shows the outline and fits the axis to it again.
    void refitFlexion();
    // A vertex and its marker, without a new fit.
    void appendVertex(const QPointF& vertex);
    // The landmark menu of the finger's placing tools: either kind, or one.
    void offerLandmarks(const QPointF& point, const QPoint& menuPos, bool core, bool triradius);

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
    bool paintingFlex = false;
    bool addingPoints = false;
};

#endif
