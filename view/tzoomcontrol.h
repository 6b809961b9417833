#ifndef TZOOMCONTROL_H
#define TZOOMCONTROL_H

#include <QObject>

class QDoubleSpinBox;
class QSlider;
class TGlyphView;

// The editor's zoom: slider, box and view kept in step, zooming in whole percents
// within the box's range, and a fit that is redone when the view is resized
// until the examiner chooses a zoom of their own.
class TZoomControl : public QObject
{
    Q_OBJECT
public:
    // The largest zoom in percent.
    static constexpr int largest = 3200;

    TZoomControl(TGlyphView* view, QSlider* slider, QDoubleSpinBox* box, QObject* parent = nullptr);

    // Zooms by factor from the scale shown; always at least one percent.
    void zoomBy(double factor);
    // Fits the print into the view and shows the scale the fit left.
    void fit();
    // Shows the view's present scale, as a fit leaves it.
    void showFitScale();
    bool isUserZoomed() const { return userZoomed; }

    // The slider follows the box in whole percents; the box follows a move of the
    // slider itself; the view takes the box's scale.
    void followBox(double percent);
    void followSlider(int percent);
    void scaleView(double percent);

public slots:
    // The view was resized: a fit follows the new size, a chosen zoom stays.
    void refitUnlessZoomed();

private:
    TGlyphView* view;
    QSlider* slider;
    QDoubleSpinBox* box;
    bool userZoomed = false;
    bool fitting = false;
};

#endif
