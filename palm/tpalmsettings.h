#ifndef TPALMSETTINGS_H
#define TPALMSETTINGS_H

#include "annotation/tglyphrecord.h"
#include <QVector>

#include <QWidget>

#include <optional>

class QCheckBox;
class QComboBox;
class QSignalMapper;
class QTableWidgetItem;
class QTextStream;
namespace Ui { class TPalmSettings; }
namespace palmformula { struct Termination; }

// The classification panel of a palm: main-line terminations, axial triradii and
// palm patterns, from which the palm formula and the main line indices follow; it
// also shows the atd angle.
class TPalmSettings : public QWidget
{
    Q_OBJECT
public:
    explicit TPalmSettings(QWidget* parent = nullptr);
    ~TPalmSettings() override;

    QVector<QCheckBox*> axialPresentBoxes() const { return axialBoxes; }
    void saveSettings(QTextStream& out) const;
    void load(const TGlyphRecord& record);
    // The classification as a record's settings.
    TGlyphRecord record() const;
    void clear();

    // Read-only views for the editor and for checks.
    QComboBox* dualBox(int row) const { return dualBoxes.value(row); }
    QComboBox* firstTerminationBox(int row) const { return firstTerminationBoxes.value(row); }
    QComboBox* secondTerminationBox(int row) const { return secondTerminationBoxes.value(row); }
    QComboBox* patternOptionBox(int row) const { return patternOptionBoxes.value(row); }
    QComboBox* predefinedPatternBox(int row) const;
    QTableWidgetItem* patternTextItem(int row) const { return patternTextItems.value(row); }
    QString formula() const;
    QString mainLineIndex(int i) const;
    QString angleText() const;

signals:
    // The examiner changed the classification.
    void changed();

public slots:
    void setAngle(bool present, double angle);
    void updateDual(int i);
    void updatePattern(int i);
    void updateMainLineIndex();
    void updateFormula();

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void fitToContents();
    void fitSummary();
    void setLineAnswered(int row, bool answered);
    void setPatternAnswered(int row, bool answered);
    // What a cleared panel has answered: the second hypothenar and thenar areas.
    void clearAnswers();
    QVector<palmformula::Termination> terminations() const;

    Ui::TPalmSettings* ui;
    QVector<QComboBox*> dualBoxes;
    QVector<QComboBox*> firstTerminationBoxes;
    QVector<QComboBox*> secondTerminationBoxes;
    QVector<QComboBox*> patternOptionBoxes;
    QVector<QCheckBox*> axialBoxes;
    QVector<QComboBox*> palmarPatternBoxes;
    QVector<QComboBox*> interdigitalPatternBoxes;
    QVector<QTableWidgetItem*> patternTextItems;
    QSignalMapper* dualMapper;
    QSignalMapper* patternMapper;
    QTableWidgetItem* formulaItem = nullptr;
    QVector<QTableWidgetItem*> mainLineIndexItems;
    QTableWidgetItem* angleItem = nullptr;
    // Whether the examiner chose any box of a main line row (D, C, B, A, T) or
    // of a pattern row.
    QVector<bool> linesAnswered;
    QVector<bool> patternsAnswered;
    // The record as the boxes gave it last; made again once a box changes.
    mutable std::optional<TGlyphRecord> recorded;
};

#endif
