#ifndef TPALMEDITOR_H
#define TPALMEDITOR_H

#include "view/tannotationeditor.h"

#include <QStringList>
#include <QVector>

class QButtonGroup;
class QCheckBox;
class QSignalMapper;
class QTableWidget;
class TPalmSettings;
class TPalmView;

// The editor window of one palm print: the palm tools, the table of the
// seventeen triradius slots and the classification panel.
class TPalmEditor : public TAnnotationEditor
{
    Q_OBJECT
public:
    explicit TPalmEditor(QWidget* parent = nullptr);

    void loadAnnotation(const TGlyphRecord& record) override;
    TGlyphRecord record() const override;
    sectionwriter::Kind kind() const override { return sectionwriter::Palm; }

    TPalmView* palmGlyphView() const { return palmView; }
    TPalmSettings* settingsPanel() const { return panel; }
    QTableWidget* triradiusTable() const { return table; }
    QCheckBox* presentBox(int i) const { return presentBoxes.value(i); }
    QCheckBox* determinedBox(int i) const { return determinedBoxes.value(i); }
    QPushButton* cancelTriradiusButton(int i) const { return cancelTriradiusButtons.value(i); }
    QPushButton* coresButton() const { return buttonCores; }
    QPushButton* triradiaButton() const { return buttonTriradia; }
    QPushButton* ridgeCountButton() const { return buttonRidgeCount; }
    QPushButton* radiantsButton() const { return buttonRadiants; }
    QPushButton* centralLinesButton() const { return buttonCentralLines; }

protected:
    QVector<TEditHistory::Action> recordedActions() override;
    QString suggestLandmarks() override;

public slots:
    void triradiumChanged(int i, bool present);
    void reset() override;

private:
    QVector<bool> presentFlags() const;
    // Ticks "pres." and "determ." of every row as record has them.
    void setTriradiusBoxes(const TGlyphRecord& record);
    QVector<bool> determinedFlags() const;

    QVector<QPushButton*> cancelTriradiusButtons;
    QVector<QCheckBox*> determinedBoxes;
    QVector<QCheckBox*> presentBoxes;
    QSignalMapper* cancelMapper;
    QStringList triradiusLabels;
    TPalmSettings* panel;
    TPalmView* palmView;
    QTableWidget* table;
};

#endif
