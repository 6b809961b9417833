#ifndef TPALMEDITOR_H
#define TPALMEDITOR_H

#include "view/tglypheditor.h"

class TPalmView;

// The editor window of one palm print.
class TPalmEditor : public TGlyphEditor
{
    Q_OBJECT
public:
    explicit TPalmEditor(QWidget* parent = nullptr);

    void writeAnnotation(QTextStream& out) override;
    void loadAnnotation(const TGlyphRecord& record) override;

public slots:
    void saveFile() override;
    void exportFile() override;
    void reset() override;

private:
    TPalmView* palmView;
};

#endif
