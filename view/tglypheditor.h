#ifndef TGLYPHEDITOR_H
#define TGLYPHEDITOR_H

#include <QMainWindow>

class QAbstractButton;
class QGraphicsScene;
class QHBoxLayout;
class QPushButton;
class QSettings;
class QSpinBox;
class QTableWidgetItem;
class QTextStream;
class QVBoxLayout;
class TGlyphRecord;
class TGlyphView;
class TImageItem;
namespace Ui { class GlyphEditor; }

// The window in which one print is edited: resolution table, navigator, zoom,
// crop, flip and rotation in a side panel; the finger and palm editors add their
// view, tools and classification panel.
class TGlyphEditor : public QMainWindow
{
    Q_OBJECT
public:
    explicit TGlyphEditor(QWidget* parent = nullptr);
    ~TGlyphEditor() override;

    virtual void writeAnnotation(QTextStream& out) = 0;
    virtual void loadAnnotation(const TGlyphRecord& record);

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

signals:
    void sceneRectChanged(const QRectF& rect);

public slots:
    virtual void saveFile() = 0;
    virtual void exportFile() = 0;
    virtual void reset();
    void openFile();
    void setDpi(int h, int v);
    void updateSpacing();
    void calibrate(double distance);
    void setSliderValue(double value);
    void setSpinValue(int value);
    void setScale(double percent);
    void fitView();
    void cropUpdatePreview();
    void disableCrop();
    void updatePreview();
    void importImage();
    void importImage(const QString& fileName);
    void importImage(const QImage& image);
    void exportScreenshot();

protected:
    // The wiring step; the subclass calls it once its view exists.
    void setupConnections();
    QHBoxLayout* centralLayout() const;
    QVBoxLayout* sidePanelLayout() const;
    QPushButton* selectCropButton() const;
    // Unchecks the buttons even when an exclusive group holds one of them checked.
    static void uncheck(const QList<QAbstractButton*>& buttons);
    // Shows a failure in a message box titled "Ridgemap".
    void reportFailure(const QString& text);

    Ui::GlyphEditor* ui;
    TGlyphView* view = nullptr;
    QSettings* settings = nullptr;
    QTableWidgetItem* itemName = nullptr;
    QTableWidgetItem* itemFile = nullptr;
    QSpinBox* spinBoxXPpi = nullptr;
    QSpinBox* spinBoxYPpi = nullptr;
    QTableWidgetItem* itemXSpacing = nullptr;
    QTableWidgetItem* itemYSpacing = nullptr;
    QSpinBox* spinBoxDistance = nullptr;
    QPushButton* buttonCalibrate = nullptr;
    QPushButton* buttonExport = nullptr;

private:
    QString pristineText;
    int pristineXPpi = 0;
    int pristineYPpi = 0;
};

#endif
