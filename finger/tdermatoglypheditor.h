#ifndef TDERMATOGLYPHEDITOR_H
#define TDERMATOGLYPHEDITOR_H

#include "view/tannotationeditor.h"

class QPushButton;
class TDermatoglyphView;
class TFingerSettings;

// The editor window of one finger print: the finger view, its tools (the crease
// outline besides those every print has) and the classification panel.
class TDermatoglyphEditor : public TAnnotationEditor
{
    Q_OBJECT
public:
    explicit TDermatoglyphEditor(QWidget* parent = nullptr);

    void loadAnnotation(const TGlyphRecord& record) override;
    TGlyphRecord record() const override;
    sectionwriter::Kind kind() const override { return sectionwriter::Finger; }

    TDermatoglyphView* dermatoglyphView() const { return fingerView; }
    TFingerSettings* settingsPanel() const { return panel; }

public slots:
    void reset() override;

public:
    QPushButton* buttonFlexion;
    QPushButton* buttonCancelFlexion;

    QPushButton* buttonSuggestAll;

protected:
    QVector<TEditHistory::Action> recordedActions() override;
    QString suggestLandmarks() override;

private:
    TDermatoglyphView* fingerView;
    TFingerSettings* panel;
};

#endif
