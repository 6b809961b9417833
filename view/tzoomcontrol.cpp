#include "view/tzoomcontrol.h"

#include "view/tglyphview.h"

#include <QDoubleSpinBox>
#include <QSlider>

TZoomControl::TZoomControl(TGlyphView* view, QSlider* slider, QDoubleSpinBox* box,
                           QObject* parent)
    : QObject(parent), view(view), slider(slider), box(box)
{
    // Examiners look closely: far beyond the form's 400 %.
    box->setMaximum(largest);
    slider->setMaximum(largest);
    connect(slider, &QSlider::valueChanged, this, &TZoomControl::followSlider);
    connect(box, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
            &TZoomControl::followBox);
    connect(box, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this,
            &TZoomControl::scaleView);
    // A zoom of the examiner's own is kept through resizes; any other zoom is a
    // fit, which the window redoes when it is resized.
    connect(slider, &QSlider::valueChanged, this, [this] {
        if (!fitting)
            userZoomed = true;
    });
    connect(box, QOverload<double>::of(&QDoubleSpinBox::valueChanged), this, [this] {
        if (!fitting)
            userZoomed = true;
    });
    connect(view, &TGlyphView::resized, this, &TZoomControl::refitUnlessZoomed);
    connect(view, &TGlyphView::zoomRequested, this, [this](double factor, const QPoint& anchor) {
        this->view->keepUnder(anchor, [&] { zoomBy(factor); });
    });
}

void TZoomControl::followBox(double percent)
{
    slider->setValue(int(percent));
}

void TZoomControl::followSlider(int percent)
{
    // Only a move of the slider itself sets the box, or a fit's fraction would be
    // cut off the box and not the view.
    if (int(box->value()) != percent)
        box->setValue(percent);
}

void TZoomControl::scaleView(double percent)
{
    const double factor = view->transform().inverted().m11() * percent / 100.0;
    view->scale(factor, factor);
}

void TZoomControl::zoomBy(double factor)
{
    // Whole percents, which slider, box and view all show alike; always a step.
    const double now = box->value();
    double percent = qRound(now * factor);
    if (percent == qRound(now))
        percent += factor > 1 ? 1 : -1;
    box->setValue(qBound(box->minimum(), percent, box->maximum()));
}

void TZoomControl::fit()
{
    view->fitInView();
    showFitScale();
}

void TZoomControl::showFitScale()
{
    fitting = true;
    box->setValue(view->transform().m11() * 100);
    fitting = false;
    userZoomed = false;
}

void TZoomControl::refitUnlessZoomed()
{
    if (!userZoomed && view->isVisible())
        fit();
}
