#ifndef TGLYPHEDITOR_H
#define TGLYPHEDITOR_H

#include "annotation/sectionwriter.h"
#include "view/teditorlayout.h"
#include "view/tedithistory.h"
#include "view/tzoomcontrol.h"

#include <QImage>
#include <QMainWindow>

class QAbstractButton;
class QAction;
class QCheckBox;
class QDoubleSpinBox;
class QGraphicsScene;
class QHBoxLayout;
class QPushButton;
class QSettings;
class QSpinBox;
class QTableWidgetItem;
class QTextStream;
class QToolBar;
class QToolBox;
class QToolButton;
class QUndoStack;
class QVBoxLayout;
class TGlyphRecord;
class TGlyphView;
class TImageItem;
class TEditorLayout;
class TResolutionTable;
namespace Ui { class GlyphEditor; }

// The window in which one print is edited: resolution table, navigator, zoom,
// crop, flip and rotation in a side panel; the finger and palm editors add their
// view, tools and classification panel.
class TGlyphEditor : public QMainWindow
{
    Q_OBJECT
public:
    // How long a message stays in the status bar.
    static constexpr int messageMilliseconds = 15000;

    explicit TGlyphEditor(QWidget* parent = nullptr);
    ~TGlyphEditor() override;

    // Writes the section this editor holds into a set file.
    virtual void writeAnnotation(QTextStream& out);
    // Brings the print to record: crop, rotation, mirror, marks, classification.
    // Marks that stay are kept; the image is never decoded or copied again.
    virtual void loadAnnotation(const TGlyphRecord& record);
    // The print as a record: image state, marks and classification.
    virtual TGlyphRecord record() const = 0;
    // The kind of section the editor writes.
    virtual sectionwriter::Kind kind() const = 0;

    void setName(const QString& name);
    void setFileName(const QString& name);
    int xPpi() const;
    int yPpi() const;
    QGraphicsScene* scene() const;
    TImageItem* pixmapItem() const;
    TGlyphView* glyphView() const { return view; }
    // The section this editor writes into a set file, as text.
    QString annotationText();
    // Whether the print holds work that Cancel or a new import would throw away:
    // anything its section or resolution holds beyond the image as it came.
    bool hasAnnotation();
    // Takes the print as it is now as the state it came in (after an import, and
    // for an editor that was never given an image).
    void markPristine();

    // The steps taken in this editor, for undo and redo.
    QUndoStack* history() const { return steps->stack(); }
    TEditHistory* editHistory() const { return steps; }
    // Forgets every step: the print as it is now is where undo stops (a new image,
    // a set opened).
    void startHistory() { steps->start(); }
    // The print's state as undo and redo keep it.
    TEditHistory::State editState() const;
    // Puts the print back into state: image, crop, turn, marks, classification
    // and resolution.
    void restoreState(const TEditHistory::State& state);
    // Gives the print back its image as it came, throwing its work away as one
    // step that can be undone (the slot's Cancel).
    void revertToImage(const QImage& image);
    // Records what the examiner's last action changed as one step; name empty
    // names it from the change. Nested actions record once, when the outer ends.
    void recordStep(const QString& name = QString(),
                    TEditHistory::Kind kind = TEditHistory::Other)
    {
        steps->record(name, kind);
    }

signals:
    void sceneRectChanged(const QRectF& rect);
    // Ctrl+S: the examiner saves the whole set, wherever the keys are pressed.
    void saveSetRequested();
    // Page Down (+1) or Page Up (-1): the next or previous print of the set.
    void neighbourRequested(int step);
    // F1: the list of keys.
    void keysRequested();

public slots:
    virtual void saveFile() = 0;
    virtual void exportFile() = 0;
    virtual void reset();
    void openFile() {}
    void setDpi(int h, int v);
    void updateSpacing();
    void calibrate(double distance);
    void setSliderValue(double value) { zoom->followBox(value); }
    void setSpinValue(int value) { zoom->followSlider(value); }
    void setScale(double percent) { zoom->scaleView(percent); }
    void fitView();
    void cropUpdatePreview();
    void disableCrop();
    void updatePreview();
    void importImage();
    void importImage(const QString& fileName);
    void importImage(const QImage& image);
    void exportScreenshot();
    // Zooms by factor from the scale shown, within the zoom box's range.
    void zoomBy(double factor) { zoom->zoomBy(factor); }
    // The zoom shown, in percent; zoomTo chooses one as the examiner does.
    double zoomPercent() const;
    void zoomTo(double percent);

protected:
    void showEvent(QShowEvent* event) override;
    // The wiring step; the subclass calls it once its view exists.
    void setupConnections();
    QHBoxLayout* centralLayout() const;
    QPushButton* selectCropButton() const;
    // Unchecks the buttons even when an exclusive group holds one of them checked.
    static void uncheck(const QList<QAbstractButton*>& buttons);
    // A tool in the tool bar over the print, before undo and redo.
    void addTool(QWidget* tool) { editorLayout->addTool(tool); }
    void addToolSeparator() { editorLayout->addToolSeparator(); }
    // A page of the side panel below the navigator; one page is open at a time.
    void addPage(QWidget* page, const QString& title) { editorLayout->addPage(page, title); }
    // key clicks button, as long as it is enabled and not checked already; the
    // button's tool tip says tip and names the key.
    void addKeys(const QList<QKeySequence>& keys, const std::function<void()>& act)
    {
        editorLayout->addKeys(keys, act);
    }
    void bindKey(QAbstractButton* button, const QKeySequence& key, const QString& tip)
    {
        editorLayout->bindKey(button, key, tip);
    }
    // Shows a failure in a message box titled "Ridgemap".
    void reportFailure(const QString& text);
    // An action of the examiner begins; the step is recorded when it ends.
    void beginStep() { steps->begin(); }
    void endStep(const QString& name = QString(), TEditHistory::Kind kind = TEditHistory::Other)
    {
        steps->end(name, kind);
    }
    // Every action of the examiner in this editor that becomes a step of the
    // history, beyond the view's own presses and keys. A subclass adds its own.
    virtual QVector<TEditHistory::Action> recordedActions();
    // Starts recording recordedActions(); the most derived editor calls it last in
    // its constructor, once every action's own work is connected.
    void trackActions() { steps->track(recordedActions()); }

    Ui::GlyphEditor* ui;
    TGlyphView* view = nullptr;
    QSettings* settings = nullptr;
    // Writes this print's annotation alone (saveFile).
    QPushButton* buttonExportAnnotation = nullptr;
    QTableWidgetItem* itemName = nullptr;
    QTableWidgetItem* itemFile = nullptr;
    QSpinBox* spinBoxXPpi = nullptr;
    QSpinBox* spinBoxYPpi = nullptr;
    QTableWidgetItem* itemXSpacing = nullptr;
    QTableWidgetItem* itemYSpacing = nullptr;
    QDoubleSpinBox* spinBoxDistance = nullptr;
    QPushButton* buttonCalibrate = nullptr;
    QPushButton* buttonExport = nullptr;

private:
    void setupHistory();
    void setupViewing();
    void arrangeSidePanel(QCheckBox* enhance, QCheckBox* invert);
    // Enables or disables the crop controls (a print is cropped once).
    void offerCrop(bool offered);
    void updateTitle();
    // The navigator names the print's radial and ulnar sides for its hand and mirror.
    void updateSides();
    // Shows image as the print that came into this editor, its work thrown away.
    void showPrint(const QImage& image, const QString& fileName);

    // The print as it came, before any work on it.
    TEditHistory::State pristine;
    TEditHistory* steps = nullptr;
    TZoomControl* zoom = nullptr;
    TEditorLayout* editorLayout = nullptr;
    TResolutionTable* resolutionTable = nullptr;
    bool placed = false;
    // The side panel's width before its scroll bar.
    int sideWidth = 0;
};

#endif
