#ifndef TDERMATOGLYPHVIEW_H
#define TDERMATOGLYPHVIEW_H

#include "view/tglyphview.h"

// The view of one finger print with its annotation tools.
class TDermatoglyphView : public TGlyphView
{
    Q_OBJECT
public:
    explicit TDermatoglyphView(QWidget* parent = nullptr);
};

#endif
