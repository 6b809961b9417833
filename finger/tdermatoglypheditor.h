#ifndef TDERMATOGLYPHEDITOR_H
#define TDERMATOGLYPHEDITOR_H

#include "view/tglypheditor.h"

class TDermatoglyphView;

// The editor window of one finger print.
class TDermatoglyphEditor : public TGlyphEditor
{
    Q_OBJECT
public:
    explicit TDermatoglyphEditor(QWidget* parent = nullptr);

    void writeAnnotation(QTextStream& out) override;
    void loadAnnotation(const TGlyphRecord& record) override;

public slots:
    void saveFile() override;
    void exportFile() override;
    void reset() override;

private:
    TDermatoglyphView* fingerView;
};

#endif
