#ifndef TPALMVIEW_H
#define TPALMVIEW_H

#include "annotation/palmlines.h"
#include "view/tglyphview.h"

#include <QList>
#include <QStringList>
#include <QVector>

class QGraphicsLineItem;
class TGlyphRecord;
class TGraphicsVertexItem;
class TPalmSettings;
class TRCLine;

// The view of one palm print with its annotation tools: seventeen named triradius
// slots, core points, radiants and central lines traced from them, the four
// ridge-count lines between the digital and axial triradii and the atd angle.
class TPalmView : public TGlyphView
{
    Q_OBJECT
public:
    static constexpr int slotCount = palmlines::slotCount;
    static constexpr int countLineCount = palmlines::lineCount;
    using Slot = palmlines::Slot;

    explicit TPalmView(QWidget* parent = nullptr);
    ~TPalmView() override;

    // The names of the four ridge-count lines as they are stored.
    static QStringList countLineNames();

    TGraphicsVertexItem* addTriradius(int i, const QPointF& p);
    void loadAnnotation(const TGlyphRecord& record);
    // Removes every mark but keeps the image, ready for loadAnnotation to put the
    // annotation back; the line being traced goes on after that load.
    void clearAnnotation();
    // Brings the marks from now to target where both have every triradius and
    // core at the same place, touching only what differs; false (nothing done)
    // otherwise.
    bool updateAnnotation(const TGlyphRecord& now, const TGlyphRecord& target);

    TGraphicsVertexItem* triradius(int i) const { return triradia.value(i); }
    QList<TGraphicsVertexItem*> corePoints() const { return cores; }
    TRCLine* countLine(int i) const { return triradiusCounts.value(i); }
    QGraphicsLineItem* connectingLine(int i) const { return triradiusLines.value(i); }
    TGraphicsVertexItem* tracedVertex() const { return currentVertex; }
    bool isAddingTriradia() const { return addingTriradia; }
    bool isAddingCores() const { return addingCores; }
    bool isAddingRidgePoints() const { return addingRidgePoints; }
    bool isAddingRadiants() const { return addingRadiants; }
    bool isAddingCentralLines() const { return addingCentralLines; }

signals:
    void triradiumChanged(int i, bool present);
    void angle(bool present, double angle);

public slots:
    void addTriradia(bool enabled);
    void addCores(bool add);
    void addRidgePoints(bool add);
    void addRadiants(bool add);
    void addCentralLines(bool add);
    void cancelTriradia();
    void cancelTriradium(int i);
    void cancelCores();
    void cancelRidgePoints();
    // Every counted line takes the ridge points the print suggests for it.
    void suggestRidgePoints();
    void cancelRadiants();
    void cancelCentralLines();
    TGraphicsVertexItem* addCorePoint(const QPointF& p);
    void addRidgePoint(const QPointF& p);
    void addRidgePoint(const QPointF& p, int i);
    void connectPoints();
    void reset() override;
    void save(QTextStream& out, bool saveImage, const QVector<bool>& present,
              const QVector<bool>& determined, TPalmSettings* settings);
    // The stand-alone file; false with the reason in error when it could not be
    // written, an earlier file of that name then being left as it was.
    bool save(const QString& fileName, bool saveImage, const QVector<bool>& present,
              const QVector<bool>& determined, TPalmSettings* settings,
              QString* error = nullptr);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mapAnnotation(const QTransform& oldToNew) override;

private:
    void removeTriradius(int i);
    bool isLandmark(TGraphicsVertexItem* item) const;
    void rightPress(TGraphicsVertexItem* vertex, const QPoint& pos);
    void leftPress(QMouseEvent* event, TGraphicsVertexItem* vertex, const QPointF& scenePos);

    TGraphicsVertexItem* currentVertex = nullptr;
    // The triradius slot (or slotCount + core index) being traced when the marks
    // were cleared for a reload, and how many lines it had; -1 when none.
    int resumeLandmark = -1;
    int resumeLines = 0;
    QVector<TGraphicsVertexItem*> triradia;
    QStringList triradiusLabels;
    QList<TGraphicsVertexItem*> cores;
    QGraphicsLineItem* atLine;
    QGraphicsLineItem* dtLine;
    bool addingTriradia = false;
    bool addingCores = false;
    bool addingRidgePoints = false;
    bool addingRadiants = false;
    bool addingCentralLines = false;
    QVector<QGraphicsLineItem*> triradiusLines;
    QVector<TRCLine*> triradiusCounts;
};

#endif
