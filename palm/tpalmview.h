#ifndef TPALMVIEW_H
#define TPALMVIEW_H

#include "annotation/palmlines.h"
#include "view/tannotationview.h"

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
class TPalmView : public TAnnotationView
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
    // Brings the marks to those of record, keeping every landmark that stays (and
    // a trace under way on it) and every counted line whose triradii stay.
    void loadAnnotation(const TGlyphRecord& record);
    // The marks as a record: image state, the seventeen triradius slots (placed
    // ones determined), cores, traced lines and the counted lines' ridge points.
    TGlyphRecord record() const;

    QList<TGraphicsVertexItem*> landmarks(TLandmark kind) const override;
    QList<TRCLine*> countedLines() const override;
    QString countedLineName(const TRCLine* line) const override;

    TGraphicsVertexItem* triradius(int i) const { return triradia.value(i); }
    QList<TGraphicsVertexItem*> corePoints() const { return cores; }
    // Places the cores and the named triradii (a, b, c, d, t) the print suggests,
    // but those within a ridge period of a landmark of their kind or in a slot
    // taken; what was placed and what was only found, to tell the examiner.
    QString suggestLandmarks(bool rightHand);
    TRCLine* countLine(int i) const { return triradiusCounts.value(i); }
    QGraphicsLineItem* connectingLine(int i) const { return triradiusLines.value(i); }

signals:
    void triradiumChanged(int i, bool present);
    void angle(bool present, double angle);

public slots:
    void cancelTriradia();
    void cancelTriradium(int i);
    void cancelCores();
    TGraphicsVertexItem* addCorePoint(const QPointF& p);
    void addRidgePoint(const QPointF& p);
    void addRidgePoint(const QPointF& p, int i);
    void connectPoints() override;
    void reset() override;
    void save(QTextStream& out, bool saveImage, const QVector<bool>& present,
              const QVector<bool>& determined, TPalmSettings* settings);
    // The stand-alone file; false with the reason in error when it could not be
    // written, an earlier file of that name then being left as it was.
    bool save(const QString& fileName, bool saveImage, const QVector<bool>& present,
              const QVector<bool>& determined, TPalmSettings* settings,
              QString* error = nullptr);

protected:
    void mapAnnotation(const QTransform& oldToNew) override;
    void removeLandmark(TGraphicsVertexItem* landmark) override;

private:
    void removeTriradius(int i);
    // The menu of slots a triradius can be placed in at p.
    void offerTriradius(const QPointF& p, const QPoint& menuPos);
    TGraphicsVertexItem* makeCore(const QPointF& p);

    QVector<TGraphicsVertexItem*> triradia;
    QStringList triradiusLabels;
    QList<TGraphicsVertexItem*> cores;
    QGraphicsLineItem* atLine;
    QGraphicsLineItem* dtLine;
    QVector<QGraphicsLineItem*> triradiusLines;
    QVector<TRCLine*> triradiusCounts;
};

#endif
