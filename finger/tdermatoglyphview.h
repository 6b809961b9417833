#ifndef TDERMATOGLYPHVIEW_H
#define TDERMATOGLYPHVIEW_H

#include "annotation/tlandmark.h"
#include "finger/tflexioncrease.h"
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
    QString countedLineName(const TRCLine* line) const override;

    QPolygonF flexionOutline() const { return crease.outline(); }
    QList<TGraphicsVertexItem*> flexionVertexItems() const { return crease.vertexItems(); }
    QGraphicsPolygonItem* flexionAreaItem() const { return crease.areaItem(); }
    QGraphicsPolygonItem* flexionMaskItem() const { return crease.maskItem(); }
    QGraphicsScene* flexionMaskScene() const { return crease.maskScene(); }
    // The fitted crease axis; a null line while there is none.
    QLineF flexionAxis() const { return crease.axis(); }
    bool hasFlexionAxis() const { return crease.hasAxis(); }
    TGraphicsVertexItem* flexionStartItem() const { return crease.startItem(); }
    TGraphicsVertexItem* flexionEndItem() const { return crease.endItem(); }
    QList<QGraphicsLineItem*> corePerpendicularItems() const { return crease.corePerpendicularItems(); }
    QList<QGraphicsLineItem*> triradiusPerpendicularItems() const
    {
        return crease.triradiusPerpendicularItems();
    }
    QList<TGraphicsVertexItem*> coreItems() const { return cores; }
    QList<TGraphicsVertexItem*> triradiusItems() const { return triradia; }
    QGraphicsLineItem* coreCoreLineItem() const { return coreCoreLine; }
    QGraphicsLineItem* triradiusTriradiusLineItem() const { return triradiusTriradiusLine; }
    TRCLine* coreCoreCountLine() const { return coreCoreCount; }
    QList<QGraphicsLineItem*> coreTriradiusLineItems() const { return coreTriradiusLines; }
    QList<TRCLine*> coreTriradiusCountLines() const { return coreTriradiusCounts; }
    TGraphicsVertexItem* tracedLandmark() const { return currentVertex; }
    bool isPaintingFlex() const { return paintingFlex; }
    // Places a landmark of kind where the pointer is over the print, without a
    // menu, as long as fewer than two of its kind are placed; false otherwise.
    bool placeAtPointer(TLandmark kind);
    // Places the cores and triradii the print suggests, but those within a ridge
    // period of a landmark of their kind; what was placed, to tell the examiner.
    QString suggestLandmarks();
    // The pattern the landmarks suggest, for a print of the right or left hand.
    QString suggestedPattern(bool rightHand) const;
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
    void removeLandmark(TGraphicsVertexItem* landmark) override;
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
    // The landmark menu of the finger's placing tools: either kind, or one.
    void offerLandmarks(const QPointF& point, const QPoint& menuPos, bool core, bool triradius);

    TFlexionCrease crease;
    QList<TGraphicsVertexItem*> cores;
    QList<TGraphicsVertexItem*> triradia;
    QGraphicsLineItem* coreCoreLine = nullptr;
    QGraphicsLineItem* triradiusTriradiusLine = nullptr;
    TRCLine* coreCoreCount = nullptr;
    QList<QGraphicsLineItem*> coreTriradiusLines;
    QList<TRCLine*> coreTriradiusCounts;
    bool paintingFlex = false;
    bool addingPoints = false;
};

#endif
