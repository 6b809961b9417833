#ifndef TANNOTATIONEDITOR_H
#define TANNOTATIONEDITOR_H

#include "view/tglypheditor.h"

class QButtonGroup;
class QPushButton;
class QVBoxLayout;
class TAnnotationView;

// What the finger and palm editors share: the annotation tools in the tool bar,
// each with its key, the buttons that delete a kind of mark, and the ridge points
// suggested for every counted line.
class TAnnotationEditor : public TGlyphEditor
{
    Q_OBJECT
public:
    explicit TAnnotationEditor(QWidget* parent = nullptr);

    QButtonGroup* tools() const { return toolGroup; }
    // Exports this print's annotation alone, offering SET-SLOT.xml; never over a
    // set file, which it would replace by one print.
    void saveFile() override;
    void exportFile() override {}

    QPushButton* buttonCores = nullptr;
    QPushButton* buttonTriradia = nullptr;
    QPushButton* buttonRidgeCount = nullptr;
    QPushButton* buttonRadiants = nullptr;
    QPushButton* buttonCentralLines = nullptr;
    QPushButton* buttonCancelCores = nullptr;
    QPushButton* buttonCancelTriradia = nullptr;
    QPushButton* buttonCancelRidgeCount = nullptr;
    QPushButton* buttonCancelRadiants = nullptr;
    QPushButton* buttonCancelCentralLines = nullptr;
    QPushButton* buttonSuggestRidgePoints = nullptr;
    QPushButton* buttonSuggestLandmarks = nullptr;

protected:
    // Places the landmarks the print suggests; what to tell the examiner.
    virtual QString suggestLandmarks() = 0;
    // Whether the print is of a right hand (its slot's name says).
    bool isRightHand() const;
    // Tells the examiner for a while in the status bar.
    void tell(const QString& text);
    // Builds the shared tools for annotations, once the wiring step has run and
    // the subclass has added its pages; the page of cancel buttons comes last. A
    // tool of the subclass's own (with its cancel button) goes first.
    void setupTools(TAnnotationView* annotations, QPushButton* ownTool = nullptr,
                    QPushButton* ownCancel = nullptr);
    QVector<TEditHistory::Action> recordedActions() override;
    // The page that holds the cancel buttons.
    QVBoxLayout* deletePage() const { return deleteLayout; }
    // Unchecks the placing and counting tools (the tracing ones stay on: tracing
    // usually goes on over the next print).
    void uncheckPlacingTools();
    // A checkable tool button.
    static QPushButton* toolButton(const QString& text);
    // A button that deletes one kind of mark.
    static QPushButton* cancelButton(const QString& text);

private:
    QButtonGroup* toolGroup = nullptr;
    QVBoxLayout* deleteLayout = nullptr;
    QList<QPushButton*> cancels;
};

#endif
