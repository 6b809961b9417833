#include "finger/tdermatoglypheditor.h"

#include "finger/tdermatoglyphview.h"

#include <QHBoxLayout>

TDermatoglyphEditor::TDermatoglyphEditor(QWidget* parent)
    : TGlyphEditor(parent)
{
    fingerView = new TDermatoglyphView;
    fingerView->setFrameStyle(QFrame::NoFrame);
    view = fingerView;
    centralLayout()->addWidget(fingerView);
    setupConnections();
}

void TDermatoglyphEditor::writeAnnotation(QTextStream&)
{
}

void TDermatoglyphEditor::loadAnnotation(const TGlyphRecord& record)
{
    TGlyphEditor::loadAnnotation(record);
}

void TDermatoglyphEditor::saveFile()
{
}

void TDermatoglyphEditor::exportFile()
{
}

void TDermatoglyphEditor::reset()
{
    TGlyphEditor::reset();
}
