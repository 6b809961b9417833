#ifndef TFINGERSETTINGS_H
#define TFINGERSETTINGS_H

#include "annotation/tglyphrecord.h"

#include <QVector>
#include <QWidget>

#include <optional>

class QComboBox;
class QTextStream;
namespace Ui { class TFingerSettings; }

// The classification of one finger print: its pattern type, flexion crease
// edges, extralimital triradii, and the rotation and termination of the central
// lines. Only the questions that fit the print's numbers of cores and triradii
// are shown; a question counts as answered once the examiner chose an entry.
class TFingerSettings : public QWidget
{
    Q_OBJECT
public:
    explicit TFingerSettings(QWidget* parent = nullptr);
    ~TFingerSettings() override;

    void clear();
    void saveSettings(QTextStream& out) const;
    void load(const TGlyphRecord& record);
    // The classification as a record's settings.
    TGlyphRecord record() const;
    Ui::TFingerSettings* form() const { return ui; }
    QComboBox* patternBox() const { return pattern; }
    // Whether the examiner chose an entry in box (one of the rotation and
    // termination boxes).
    bool isAnswered(const QComboBox* box) const;

signals:
    // The examiner changed the classification.
    void changed();

public slots:
    void updatePanels(int cores, int triradia);

private:
    void setAnswered(int question, bool answered);

    Ui::TFingerSettings* ui;
    QComboBox* pattern;
    // The rotation boxes (inner, outer, single), then the termination boxes
    // (radial, ulnar, single), and whether each is answered.
    QVector<QComboBox*> questions;
    QVector<bool> answered;
    // The record as the boxes gave it last; made again once a box changes.
    mutable std::optional<TGlyphRecord> recorded;
};

#endif
