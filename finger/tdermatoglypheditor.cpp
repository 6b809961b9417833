#include "finger/tdermatoglypheditor.h"

#include "annotation/tglyphrecord.h"
#include "finger/tdermatoglyphview.h"
#include "finger/tfingersettings.h"
#include "view/editorkeys.h"

#include <QAction>
#include <QHBoxLayout>
#include <QPushButton>
#include <QSettings>
#include <QComboBox>
#include <QStatusBar>

#include <tuple>

TDermatoglyphEditor::TDermatoglyphEditor(QWidget* parent)
    : TAnnotationEditor(parent)
{
    fingerView = new TDermatoglyphView;
    fingerView->setFrameStyle(QFrame::NoFrame);
    view = fingerView;
    centralLayout()->addWidget(fingerView);
    panel = new TFingerSettings;
    setupConnections();

    buttonFlexion = toolButton("Delimit flexion crease");
    buttonCancelFlexion = cancelButton("Cancel flexion line");
    addPage(panel, "Classification");
    setupTools(fingerView, buttonFlexion, buttonCancelFlexion);
    bindKey(buttonFlexion, editorkeys::key(editorkeys::Crease),
            editorkeys::description(editorkeys::Crease));
    // One key for what the print suggests: landmarks, ridge points and pattern.
    buttonSuggestAll = new QPushButton("Suggest all");
    addTool(buttonSuggestAll);
    bindKey(buttonSuggestAll, editorkeys::key(editorkeys::SuggestAll),
            editorkeys::description(editorkeys::SuggestAll));
    connect(buttonSuggestAll, &QPushButton::clicked, this, [this] {
        const QString landmarks = suggestLandmarks();
        fingerView->suggestRidgePoints();
        const QString ridges = statusBar()->currentMessage();
        const QString pattern = fingerView->suggestedPattern(isRightHand());
        panel->patternBox()->setCurrentText(pattern);
        tell(landmarks + " " + ridges + " Pattern: " + pattern + ".");
    });

    connect(buttonFlexion, &QPushButton::toggled, fingerView, &TDermatoglyphView::paintFlex);
    connect(buttonCancelFlexion, &QPushButton::clicked, fingerView,
            &TDermatoglyphView::cancelFlexionLine);
    connect(buttonCancelCores, &QPushButton::clicked, fingerView, &TDermatoglyphView::cancelCores);
    connect(buttonCancelTriradia, &QPushButton::clicked, fingerView,
            &TDermatoglyphView::cancelTriradia);
    connect(fingerView, &TDermatoglyphView::count, panel, &TFingerSettings::updatePanels);
    // A landmark at the pointer without a menu: one key for each kind.
    for (const auto& [id, kind, name] : {std::tuple(editorkeys::PlaceCore, Core, "Add core point"),
                                         std::tuple(editorkeys::PlaceTriradius, Triradius,
                                                    "Add triradius")}) {
        const TLandmark landmark = kind;
        const QString step = name;
        addKeys({editorkeys::key(id)}, [this, landmark, step] {
            beginStep();
            fingerView->placeAtPointer(landmark);
            endStep(step);
        });
    }
    trackActions();
}

QString TDermatoglyphEditor::suggestLandmarks()
{
    return fingerView->suggestLandmarks();
}

QVector<TEditHistory::Action> TDermatoglyphEditor::recordedActions()
{
    QVector<TEditHistory::Action> actions = TAnnotationEditor::recordedActions();
    actions.append(TEditHistory::on(buttonSuggestAll, &QPushButton::clicked, "Suggest all"));
    actions.append(TEditHistory::on(panel, &TFingerSettings::changed, "Classification"));
    return actions;
}

TGlyphRecord TDermatoglyphEditor::record() const
{
    TGlyphRecord r = fingerView->record();
    r.settings = panel->record().settings;
    return r;
}

void TDermatoglyphEditor::loadAnnotation(const TGlyphRecord& record)
{
    TGlyphEditor::loadAnnotation(record);
    fingerView->loadAnnotation(record);
    if (panel->record().settings != record.settings)
        panel->load(record);
}

void TDermatoglyphEditor::reset()
{
    TGlyphEditor::reset();
    uncheckPlacingTools();
    uncheck({buttonFlexion});
    panel->clear();
}
