#ifndef TRESOLUTIONTABLE_H
#define TRESOLUTIONTABLE_H

#include <QObject>

class QDoubleSpinBox;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTableWidgetItem;

// The cells of the editor's table about the print: its name and set, its
// resolution with the pixel spacing that follows, the distance a calibration
// measures and the screenshot button. A resolution the scan does not record
// reads "unknown" and says what to do.
class TResolutionTable : public QObject
{
public:
    explicit TResolutionTable(QTableWidget* table, QObject* parent = nullptr);

    // The spacing cells and the boxes' tool tips for the resolution shown; a
    // print is on the view when shown is set.
    void showSpacing(bool shown);
    // Makes table show all its rows, as narrow as its labels and values allow, so
    // a laptop's screen leaves the print most of its width; that width.
    int fitWidth(QTableWidget* table) const;

    QTableWidgetItem* itemName;
    QTableWidgetItem* itemFile;
    QSpinBox* spinBoxXPpi;
    QSpinBox* spinBoxYPpi;
    QTableWidgetItem* itemXSpacing;
    QTableWidgetItem* itemYSpacing;
    QDoubleSpinBox* spinBoxDistance;
    QPushButton* buttonCalibrate;
    QPushButton* buttonExport;
};

#endif
