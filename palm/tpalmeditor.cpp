#include "palm/tpalmeditor.h"

#include "palm/tpalmview.h"

#include <QHBoxLayout>

TPalmEditor::TPalmEditor(QWidget* parent)
    : TGlyphEditor(parent)
{
    palmView = new TPalmView;
    palmView->setFrameStyle(QFrame::NoFrame);
    view = palmView;
    centralLayout()->addWidget(palmView);
    setupConnections();
}

void TPalmEditor::writeAnnotation(QTextStream&)
{
}

void TPalmEditor::loadAnnotation(const TGlyphRecord& record)
{
    TGlyphEditor::loadAnnotation(record);
}

void TPalmEditor::saveFile()
{
}

void TPalmEditor::exportFile()
{
}

void TPalmEditor::reset()
{
    TGlyphEditor::reset();
}
