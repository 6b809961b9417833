#include "finger/tdermatoglyphview.h"

TDermatoglyphView::TDermatoglyphView(QWidget* parent)
    : TGlyphView(parent)
{
}
