#ifndef TPALMVIEW_H
#define TPALMVIEW_H

#include "view/tglyphview.h"

// The view of one palm print with its annotation tools.
class TPalmView : public TGlyphView
{
    Q_OBJECT
public:
    explicit TPalmView(QWidget* parent = nullptr);
};

#endif
