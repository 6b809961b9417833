#include "palm/tpalmview.h"

TPalmView::TPalmView(QWidget* parent)
    : TGlyphView(parent)
{
}
