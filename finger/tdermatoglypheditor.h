#ifndef TDERMATOGLYPHEDITOR_H
#define TDERMATOGLYPHEDITOR_H

#include "view/tglypheditor.h"

class QButtonGroup;
class QPushButton;
class TDermatoglyphView;
class TFingerSettings;

// The editor window of one finger print: the finger view, its tool buttons and
// the classification panel.
class TDermatoglyphEditor : public TGlyphEditor
{
    Q_OBJECT
public:
    explicit TDermatoglyphEditor(QWidget* parent = nullptr);

    void loadAnnotation(const TGlyphRecord& record) override;
    TGlyphRecord record() const override;
    sectionwriter::Kind kind() const override { return sectionwriter::Finger; }

    TDermatoglyphView* dermatoglyphView() const { return fingerView; }
    TFingerSettings* settingsPanel() const { return panel; }
    QButtonGroup* tools() const { return toolGroup; }

protected:
    QVector<TEditHistory::Action> recordedActions() override;

public slots:
    void saveFile() override;
    void exportFile() override;
    void reset() override;

public:
    QPushButton* buttonFlexion;
    QPushButton* buttonCores;
    QPushButton* buttonTriradia;
    QPushButton* buttonRidgeCount;
    QPushButton* buttonRadiants;
    QPushButton* buttonCentralLines;
    QPushButton* buttonCancelFlexion;
    QPushButton* buttonCancelCores;
    QPushButton* buttonCancelTriradia;
    QPushButton* buttonCancelRidgeCount;
    QPushButton* buttonCancelRadiants;
    QPushButton* buttonCancelCentralLines;
    QPushButton* buttonSuggestRidgePoints;

private:
    TDermatoglyphView* fingerView;
    TFingerSettings* panel;
    QButtonGroup* toolGroup;
};

#endif
