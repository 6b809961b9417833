#ifndef TFINGERSETTINGS_H
#define TFINGERSETTINGS_H

#include "annotation/tglyphrecord.h"

#include <QWidget>

#include <optional>

class QTextStream;
namespace Ui { class TFingerSettings; }

// The classification of one finger print: flexion crease edges, extralimital
// triradii, and the rotation and termination of the central lines. Only the
// questions that fit the print's numbers of cores and triradii are shown.
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

signals:
    // The examiner changed the classification.
    void changed();

public slots:
    void updatePanels(int cores, int triradia);

private:
    Ui::TFingerSettings* ui;
    // The record as the boxes gave it last; made again once a box changes.
    mutable std::optional<TGlyphRecord> recorded;
};

#endif
